#pragma once

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <vector>

// A second X connection: to the server another application.
class OtherXClient {
public:
    OtherXClient()
        : m_connection(xcb_connect(nullptr, nullptr)) {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    }
    ~OtherXClient() { xcb_disconnect(m_connection); }

    // True when nobody else held the combination.
    bool grab(std::uint8_t keycode, std::uint16_t mask) {
        xcb_generic_error_t* error = xcb_request_check(
            m_connection, xcb_grab_key_checked(m_connection, 0, m_root, mask, keycode,
                                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        std::free(error);
        return error == nullptr;
    }
    // Waits, so that a request from another connection cannot overtake it.
    void ungrab(std::uint8_t keycode, std::uint16_t mask) {
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

    // Presses or releases the keys in order through XTEST, and waits for the server.
    void fakeKeys(std::initializer_list<std::uint8_t> keycodes, bool press) {
        for (std::uint8_t keycode : keycodes)
            xcb_test_fake_input(m_connection, press ? XCB_KEY_PRESS : XCB_KEY_RELEASE, keycode,
                                XCB_CURRENT_TIME, m_root, 0, 0, 0);
        std::free(
            xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    }

    // Moves the keys to the modifier of the mask, as xmodmap would.
    bool moveKeysToModifier(std::initializer_list<std::uint8_t> keys, std::uint16_t mask) {
        auto* map = xcb_get_modifier_mapping_reply(m_connection,
                                                   xcb_get_modifier_mapping(m_connection), nullptr);
        const int per = map ? map->keycodes_per_modifier : 0;
        const int width = per + int(keys.size());
        std::vector<std::uint8_t> moved(size_t(8 * width), 0);
        for (int mod = 0; map && mod < 8; ++mod) {
            auto out = moved.begin() + mod * width;
            out = std::remove_copy_if(xcb_get_modifier_mapping_keycodes(map) + mod * per,
                                      xcb_get_modifier_mapping_keycodes(map) + (mod + 1) * per, out,
                                      [&](std::uint8_t code) {
                                          return std::find(keys.begin(), keys.end(), code) !=
                                                 keys.end();
                                      });
            if ((1u << mod) == mask)
                std::copy(keys.begin(), keys.end(), out);
        }
        std::free(map);
        auto* set = xcb_set_modifier_mapping_reply(
            m_connection, xcb_set_modifier_mapping(m_connection, std::uint8_t(width), moved.data()),
            nullptr);
        const bool ok = set && set->status == XCB_MAPPING_STATUS_SUCCESS;
        std::free(set);
        return ok;
    }

private:
    xcb_connection_t* m_connection;
    xcb_window_t m_root = 0;
};
