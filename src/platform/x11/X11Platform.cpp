#include "platform/x11/X11Platform.h"

#include "platform/dbus/PortalHotKeys.h"
#include "platform/freedesktop/FreedesktopServices.h"
#include "platform/x11/X11ClipboardManager.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11FrontmostApp.h"
#include "platform/x11/X11PasteKeystroke.h"
#include "platform/x11/X11Pasteboard.h"

#include <QDBusConnection>

Platform X11Platform::create(DefaultsStore& store) {
    Platform p;
    p.name = QStringLiteral("x11");
    // The keystroke injector and the clipboard manager share one connection,
    // whose events the main thread hands to both. The pasteboard's reader
    // opens its own: it waits for its events on a worker thread. Frontmost
    // application and hot keys use Qt's, whose events Qt reads.
    auto display = std::make_shared<X11Connection>();
    p.connection = display;
    p.pasteboard = std::make_unique<X11Pasteboard>();
    p.pasteKeystroke = std::make_unique<X11PasteKeystroke>(*display);
    p.frontmostApp = std::make_unique<X11FrontmostApp>();
    p.clipboardManager = std::make_unique<X11ClipboardManager>(*display);
    p.hotKeys = HotKeyBackend::createForPlatform();
    // On XWayland (GNOME Shell) X11 grabs never fire; the desktop's portal
    // binds the shortcut there if it runs.
    if (!p.hotKeys->unavailableReason().isEmpty()) {
        auto portal = std::make_unique<PortalHotKeys>(QDBusConnection::sessionBus());
        if (portal->isPortalOnBus())
            p.hotKeys = std::move(portal);
    }
    FreedesktopServices::addTo(p, store);
    return p;
}
