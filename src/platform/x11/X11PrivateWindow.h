#pragma once

#include <cstdint>

struct xcb_connection_t;

// A private X connection with an input-only window of its own, which
// selection transfers need as requestor or owner: the clipboard reader and
// the clipboard manager each open one, apart from Qt's connection, so that
// they can wait for selection events without the event loop.
struct X11PrivateWindow {
    xcb_connection_t* conn = nullptr;
    uint32_t window = 0;

    // Property changes on the window are selected. conn is null when no X
    // display can be reached.
    static X11PrivateWindow open();
};
