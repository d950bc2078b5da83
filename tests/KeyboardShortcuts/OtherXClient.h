#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>

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

private:
    xcb_connection_t* m_connection;
    xcb_window_t m_root = 0;
};
