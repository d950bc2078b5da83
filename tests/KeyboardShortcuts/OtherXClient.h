#pragma once

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <vector>

// A second connection to the X server: to the server it is another
// application, so a key it grabs is held by someone other than Quillet.
class OtherXClient {
public:
    OtherXClient()
        : m_connection(xcb_connect(nullptr, nullptr)) {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    }
    ~OtherXClient() { xcb_disconnect(m_connection); }
    OtherXClient(const OtherXClient&) = delete;
    OtherXClient& operator=(const OtherXClient&) = delete;

    // True when the grab succeeded, i.e. nobody else held the combination.
    bool grab(std::uint8_t keycode, std::uint16_t mask) {
        xcb_generic_error_t* error = xcb_request_check(
            m_connection, xcb_grab_key_checked(m_connection, 0, m_root, mask, keycode,
                                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        std::free(error);
        return error == nullptr;
    }
    void ungrab(std::uint8_t keycode, std::uint16_t mask) {
        // Waits for the server, so that our next request from another
        // connection cannot overtake the release.
        std::free(xcb_request_check(m_connection,
                                    xcb_ungrab_key_checked(m_connection, keycode, m_root, mask)));
    }

    // A grab that is given back at once: true when nobody holds the combination.
    bool isFree(std::uint8_t keycode, std::uint16_t mask) {
        if (!grab(keycode, mask))
            return false;
        ungrab(keycode, mask);
        return true;
    }

    // Presses (or releases) the keys in order through XTEST, as a keyboard
    // would, and waits until the server has taken them.
    void fakeKeys(std::initializer_list<std::uint8_t> keycodes, bool press) {
        for (std::uint8_t keycode : keycodes)
            xcb_test_fake_input(m_connection, press ? XCB_KEY_PRESS : XCB_KEY_RELEASE, keycode,
                                XCB_CURRENT_TIME, m_root, 0, 0, 0);
        std::free(
            xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    }

    // The modifier map as xmodmap would change it: eight rows of keycodes.
    std::vector<std::uint8_t> modifierMap(int* perModifier) {
        xcb_get_modifier_mapping_reply_t* reply = xcb_get_modifier_mapping_reply(
            m_connection, xcb_get_modifier_mapping(m_connection), nullptr);
        if (!reply)
            return {};
        *perModifier = reply->keycodes_per_modifier;
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(reply);
        std::vector<std::uint8_t> map(codes, codes + 8 * reply->keycodes_per_modifier);
        std::free(reply);
        return map;
    }
    bool setModifierMap(const std::vector<std::uint8_t>& map, int perModifier) {
        xcb_set_modifier_mapping_reply_t* reply = xcb_set_modifier_mapping_reply(
            m_connection,
            xcb_set_modifier_mapping(m_connection, std::uint8_t(perModifier), map.data()), nullptr);
        const bool ok = reply && reply->status == XCB_MAPPING_STATUS_SUCCESS;
        std::free(reply);
        return ok;
    }
    // Moves the given keys to the modifier of the mask (1 << index), as a user
    // putting Super on Mod3 with xmodmap does. Zero entries are ignored.
    bool moveKeysToModifier(std::initializer_list<std::uint8_t> keys, std::uint16_t mask) {
        int per = 0;
        const std::vector<std::uint8_t> map = modifierMap(&per);
        const int width = per + int(keys.size());
        std::vector<std::uint8_t> moved(size_t(8 * width), 0);
        for (int mod = 0; mod < 8; ++mod) {
            auto out = moved.begin() + mod * width;
            for (int i = 0; i < per; ++i) {
                const std::uint8_t code = map[size_t(mod * per + i)];
                if (std::find(keys.begin(), keys.end(), code) == keys.end())
                    *out++ = code;
            }
            if ((1u << mod) == mask)
                std::copy(keys.begin(), keys.end(), out);
        }
        return setModifierMap(moved, width);
    }

private:
    xcb_connection_t* m_connection;
    xcb_window_t m_root = 0;
};
