#include "platform/dbus/DesktopNotifications.h"

#include "platform/PlatformLog.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
} // namespace

DesktopNotifications::DesktopNotifications(const QDBusConnection& bus, QObject* parent)
    : QObject(parent)
    , m_bus(bus) {}

void DesktopNotifications::notify(const QString& summary, const QString& body) {
    if (!m_bus.isConnected()) {
        Q_EMIT undelivered(summary, body);
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/Notifications"),
                                       kService, QStringLiteral("Notify"));
    // app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout
    call << QStringLiteral("Quillet") << 0u << QStringLiteral("edit-paste") << summary << body
         << QStringList() << QVariantMap() << -1;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, summary, body] {
        watcher->deleteLater();
        const QDBusPendingReply<uint> reply = *watcher;
        if (reply.isError()) {
            qCWarning(platformLog) << "desktop notification not shown:" << reply.error().message();
            Q_EMIT undelivered(summary, body);
            return;
        }
        Q_EMIT delivered(reply.value());
    });
}
