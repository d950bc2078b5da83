#pragma once

#include "platform/Platform.h"

#include <optional>

class DefaultsStore;

// The services of a Wayland session whose compositor lets a clipboard manager
// see the clipboard (data-control), with the freedesktop ones every Linux
// desktop shares; the global shortcut through the desktop portal, and the
// paste keystroke where the compositor offers a virtual keyboard.
class WaylandPlatform {
public:
    // Nothing when no compositor answers or it gives no clipboard access.
    static std::optional<Platform> create(DefaultsStore& store);

    // Before the application object exists: on a Wayland session whose
    // compositor gives no clipboard access (GNOME Shell), Qt is asked to run
    // on XWayland, where the compositor bridges the clipboard to X11. Leaves
    // an explicit QT_QPA_PLATFORM or QUILLET_PLATFORM alone. Says what it did.
    static void preferXWaylandWithoutClipboardAccess();
};
