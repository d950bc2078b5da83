#include "platform/CapabilityReport.h"

#include "platform/Platform.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {
// Each row's name for scripts and title for people, in the order of Capability::Id.
struct Names {
    const char* id;
    const char* title;
};
constexpr Names kNames[] = {
    {"clipboard", QT_TRANSLATE_NOOP("CapabilityReport", "Clipboard history")},
    {"sourceApp", QT_TRANSLATE_NOOP("CapabilityReport", "Source application")},
    {"pasteDirectly", QT_TRANSLATE_NOOP("CapabilityReport", "Paste directly")},
    {"globalShortcut", QT_TRANSLATE_NOOP("CapabilityReport", "Global shortcut")},
    {"tray", QT_TRANSLATE_NOOP("CapabilityReport", "Tray icon")}};

QString idName(Capability::Id id) {
    return QLatin1String(kNames[int(id)].id);
}

// Whether the X11 screen has an XEmbed tray manager (the system-tray selection has an owner).
bool hasXEmbedTray() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c)
        return false;
    const QByteArray name = "_NET_SYSTEM_TRAY_S0";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, name.size(), name.constData()), nullptr);
    if (!atom)
        return false;
    const xcb_atom_t selection = atom->atom;
    std::free(atom);
    if (selection == XCB_ATOM_NONE)
        return false;
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr);
    const bool owned = owner && owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
    return owned;
}
} // namespace

Capability CapabilityReport::trayHost() {
    Capability tray{Capability::Id::tray, false, {}, {}};
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    if (bus && bus->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher"))) {
        tray.available = true;
        tray.how = QStringLiteral("StatusNotifierItem");
        tray.reason = tr("The desktop's status area shows Quillet's paperclip.");
    } else if (hasXEmbedTray()) {
        tray.available = true;
        tray.how = QStringLiteral("XEmbed");
        tray.reason = tr("The desktop's system tray shows Quillet's paperclip.");
    } else {
        tray.reason = tr("This desktop shows no tray icons: Quillet opens its panel "
                         "at start instead, and \"quillet --show-panel\" opens it again.");
    }
    return tray;
}

Capability CapabilityReport::row(Capability::Id id, bool available, const QString& how,
                                 const QString& ifAvailable, const QString& ifNot) {
    return available ? Capability{id, true, how, ifAvailable} : Capability{id, false, {}, ifNot};
}

QList<Capability> CapabilityReport::collect(const Platform& platform) {
    QList<Capability> rows = platform.capabilities;
    rows.removeIf([](const Capability& c) { return c.id == Capability::Id::tray; });
    rows.append(trayHost());
    return rows;
}

QString CapabilityReport::title(Capability::Id id) {
    return tr(kNames[int(id)].title);
}

QString CapabilityReport::text(const QList<Capability>& rows) {
    QString out;
    for (const Capability& c : rows) {
        out += title(c.id) + QStringLiteral(": ") +
               (c.available ? tr("yes, through %1").arg(c.how) : tr("no")) +
               QStringLiteral("\n  ") + c.reason + u'\n';
    }
    return out;
}

QByteArray CapabilityReport::json(const QString& platform, const QList<Capability>& rows) {
    QJsonArray list;
    for (const Capability& c : rows) {
        list.append(QJsonObject{{QStringLiteral("id"), idName(c.id)},
                                {QStringLiteral("available"), c.available},
                                {QStringLiteral("how"), c.how},
                                {QStringLiteral("reason"), c.reason}});
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("platform"), platform},
                                     {QStringLiteral("capabilities"), list}})
        .toJson(QJsonDocument::Indented);
}
