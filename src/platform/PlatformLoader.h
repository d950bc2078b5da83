#pragma once

#include "platform/Platform.h"

#include <QString>

class DefaultsStore;

// Picks the window-system platform once, at start-up. QUILLET_PLATFORM
// ("wayland", "x11" or "null") overrides the choice; otherwise Wayland where
// Qt runs on Wayland, X11 where Qt runs on xcb or an X display is set, and the
// null platform (whose objects do nothing) where none is, or where the
// compositor gives no clipboard access. Logs which one it loaded.
class PlatformLoader {
public:
    // `store` keeps what the screenshot location needs to restore later; it must
    // outlive the platform.
    static Platform load(DefaultsStore& store,
                         const QString& requested = qEnvironmentVariable("QUILLET_PLATFORM"));

    // The name load() would choose for `requested` in this process.
    static QString choose(const QString& requested);
};
