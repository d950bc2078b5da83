#include "platform/wayland/WaylandPlatform.h"

#include "platform/CapabilityReport.h"
#include "platform/PlatformLog.h"
#include "platform/dbus/PortalHotKeys.h"
#include "platform/freedesktop/FreedesktopServices.h"
#include "platform/null/NullHotKeys.h"
#include "platform/null/NullPlatform.h"
#include "platform/wayland/WaylandClipboard.h"
#include "platform/wayland/WaylandClipboardManager.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandFrontmostApp.h"
#include "platform/wayland/WaylandPasteKeystroke.h"
#include "platform/wayland/WaylandPasteboard.h"

#include <QDBusConnection>
#include <QGuiApplication>

namespace {
// What the services share; the clipboard goes before the connection it uses.
struct Session {
    std::unique_ptr<WaylandConnection> connection;
    std::unique_ptr<WaylandClipboard> clipboard;
};

bool hasClipboardAccess(const WaylandConnection& connection) {
    return connection.global("ext_data_control_manager_v1") ||
           connection.global("zwlr_data_control_manager_v1")
                   .value_or(WaylandConnection::Global{})
                   .version >= 2;
}
} // namespace

std::optional<Platform> WaylandPlatform::create(DefaultsStore& store) {
    auto session = std::make_shared<Session>();
    session->connection = WaylandConnection::connect();
    if (!session->connection) {
        qCWarning(platformLog) << "no Wayland compositor answers at" << qgetenv("WAYLAND_DISPLAY");
        return std::nullopt;
    }
    session->clipboard = WaylandClipboard::create(*session->connection);
    if (!session->clipboard) {
        qCWarning(platformLog) << "the Wayland compositor gives no clipboard access "
                                  "(no data-control protocol)";
        return std::nullopt;
    }
    qCInfo(platformLog) << "Wayland clipboard through" << session->clipboard->protocolName();

    // Quillet's own windows carry this id; the app the user came from is another.
    QString ownAppId = QGuiApplication::desktopFileName();
    if (ownAppId.endsWith(QLatin1String(".desktop")))
        ownAppId.chop(8);
    auto frontmost = std::make_unique<WaylandFrontmostApp>(*session->connection, ownAppId);
    const bool knowsWindows = frontmost->isAvailable();
    if (!knowsWindows)
        qCInfo(platformLog) << "the compositor keeps its window list to itself: copies are "
                               "recorded without their application, and excluded applications "
                               "cannot be told apart";
    auto keystroke = std::make_unique<WaylandPasteKeystroke>(*session->connection, *frontmost);
    if (!keystroke->isAvailable())
        qCInfo(platformLog) << "the compositor offers no virtual keyboard or no window list: "
                               "chosen items are copied, not pasted";

    Platform p = NullPlatform::create();
    p.name = QStringLiteral("wayland");
    p.pasteboard = std::make_unique<WaylandPasteboard>(*session->clipboard);
    p.clipboardManager = std::make_unique<WaylandClipboardManager>(*session->clipboard);
    p.frontmostApp = std::move(frontmost);
    if (keystroke->isAvailable())
        p.pasteKeystroke = std::move(keystroke);
    // Whether the portal binds shortcuts is learnt without waiting for it.
    auto portal = std::make_unique<PortalHotKeys>(QDBusConnection::sessionBus());
    if (portal->isPortalOnBus())
        p.hotKeys = std::move(portal);
    else
        p.hotKeys = std::make_unique<NullHotKeys>(PortalHotKeys::noShortcutReason());
    FreedesktopServices::addTo(p, store);

    using Id = Capability::Id;
    p.capabilities = {
        CapabilityReport::row(
            Id::clipboard, true, session->clipboard->protocolName(),
            CapabilityReport::tr("The compositor lets Quillet read the clipboard and "
                                 "keep it when the application that copied quits."),
            {}),
        CapabilityReport::row(
            Id::sourceApp, knowsWindows, QStringLiteral("wlr-foreign-toplevel-management"),
            CapabilityReport::tr("The compositor names the window that was active."),
            CapabilityReport::tr(
                "The compositor keeps its window list to itself: copies are recorded "
                "without their application, and excluded applications cannot apply.")),
        CapabilityReport::row(
            Id::pasteDirectly, p.pasteKeystroke->isAvailable(), QStringLiteral("virtual keyboard"),
            CapabilityReport::tr("Quillet types Ctrl+V into the application you came "
                                 "from once it is active again."),
            CapabilityReport::tr("This compositor lets no application type into "
                                 "another, so Quillet only copies the item.")),
        CapabilityReport::row(Id::globalShortcut, p.hotKeys->unavailableReason().isEmpty(),
                              QStringLiteral("xdg-desktop-portal GlobalShortcuts"),
                              CapabilityReport::tr("The desktop tells Quillet when its shortcut is "
                                                   "pressed."),
                              p.hotKeys->unavailableReason()),
    };
    // Everything is bound; from here on the connection's own thread reads it.
    session->connection->start();
    p.connection = std::move(session);
    return p;
}

void WaylandPlatform::preferXWaylandWithoutClipboardAccess() {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
        !qEnvironmentVariableIsEmpty("QUILLET_PLATFORM") ||
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return;
    const auto connection = WaylandConnection::connect();
    if (!connection || hasClipboardAccess(*connection))
        return;
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        qCWarning(platformLog) << "the Wayland compositor gives no clipboard access and there is "
                                  "no XWayland display: the clipboard cannot be recorded";
        return;
    }
    qCInfo(platformLog) << "the Wayland compositor gives no clipboard access; running on "
                           "XWayland, where it shares the clipboard with X11 applications";
    qputenv("QT_QPA_PLATFORM", "xcb");
}
