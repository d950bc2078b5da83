#include "platform/dbus/PortalRequest.h"

#include "platform/PlatformLog.h"

#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QRandomGenerator>

namespace {
const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kRequestInterface = QStringLiteral("org.freedesktop.portal.Request");

// Unique among our own calls, and not guessable by another client.
QString newToken() {
    return QStringLiteral("quillet%1").arg(QRandomGenerator::global()->generate64(), 0, 16);
}
} // namespace

PortalRequest::PortalRequest(const QDBusConnection& bus, QObject* parent)
    : QObject(parent)
    , m_bus(bus) {}

PortalRequest* PortalRequest::send(const QDBusConnection& bus, QDBusMessage call, QObject* parent) {
    auto* request = new PortalRequest(bus, parent);
    const QString token = newToken();
    QList<QVariant> arguments = call.arguments();
    QVariantMap options = arguments.isEmpty() ? QVariantMap() : arguments.takeLast().toMap();
    options.insert(QStringLiteral("handle_token"), token);
    arguments.append(options);
    call.setArguments(arguments);

    // ":1.42" answers at …/request/1_42/<token>.
    const QString sender = bus.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    request->listen(
        QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token));

    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), request);
    connect(watcher, &QDBusPendingCallWatcher::finished, request, [request, watcher, call] {
        watcher->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
        if (reply.isError()) {
            qCWarning(platformLog)
                << "portal call" << call.member() << "failed:" << reply.error().message();
            request->finish(failed, {});
            return;
        }
        // Portals older than the path convention name their own.
        const QString path = reply.value().path();
        if (!request->m_done && path != request->m_path) {
            request->stopListening();
            request->listen(path);
        }
    });
    return request;
}

bool PortalRequest::listen(const QString& path) {
    m_path = path;
    return m_bus.connect(kService, path, kRequestInterface, QStringLiteral("Response"), this,
                         SLOT(onResponse(uint, QVariantMap)));
}

void PortalRequest::stopListening() {
    m_bus.disconnect(kService, m_path, kRequestInterface, QStringLiteral("Response"), this,
                     SLOT(onResponse(uint, QVariantMap)));
}

void PortalRequest::onResponse(uint response, const QVariantMap& results) {
    finish(response, results);
}

void PortalRequest::finish(uint response, const QVariantMap& results) {
    if (m_done)
        return;
    m_done = true;
    stopListening();
    Q_EMIT finished(response, results);
    deleteLater();
}
