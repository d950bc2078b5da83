#include "platform/x11/X11Platform.h"

#include "platform/CapabilityReport.h"
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

    // Under XWayland the compositor bridges the clipboard, but X11 sees only
    // X11 windows and keys.
    const bool xwayland =
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland";
    using Id = Capability::Id;
    p.capabilities = {
        CapabilityReport::row(
            Id::clipboard, true,
            xwayland ? QStringLiteral("XWayland") : QStringLiteral("X11 selections"),
            xwayland ? CapabilityReport::tr(
                           "The compositor shares the clipboard of Wayland applications "
                           "with X11 ones, where Quillet reads and keeps it.")
                     : CapabilityReport::tr("Quillet reads the clipboard and keeps it when the "
                                            "application that copied quits."),
            {}),
        CapabilityReport::row(
            Id::sourceApp, true, QStringLiteral("_NET_ACTIVE_WINDOW"),
            xwayland
                ? CapabilityReport::tr("Only X11 windows are seen: a copy made in a Wayland window "
                                       "is recorded without its application.")
                : CapabilityReport::tr("The window manager names the active window."),
            {}),
        CapabilityReport::row(
            Id::pasteDirectly, p.pasteKeystroke->isAvailable(), QStringLiteral("XTEST"),
            xwayland
                ? CapabilityReport::tr("Only X11 applications receive the keystroke; in Wayland "
                                       "ones the item is copied and you paste it yourself.")
                : CapabilityReport::tr("Quillet presses Ctrl+V in the application you came from."),
            CapabilityReport::tr(
                "The X server has no XTEST extension, so Quillet only copies the item.")),
        p.hotKeys->desktopAssignsKeys()
            ? CapabilityReport::row(
                  Id::globalShortcut, p.hotKeys->unavailableReason().isEmpty(),
                  QStringLiteral("xdg-desktop-portal GlobalShortcuts"),
                  CapabilityReport::tr("The desktop tells Quillet when its shortcut "
                                       "is pressed."),
                  p.hotKeys->unavailableReason())
            : CapabilityReport::row(Id::globalShortcut, p.hotKeys->unavailableReason().isEmpty(),
                                    QStringLiteral("X11 key grab"),
                                    CapabilityReport::tr("Quillet grabs the key on the X server."),
                                    p.hotKeys->unavailableReason()),
    };
    return p;
}
