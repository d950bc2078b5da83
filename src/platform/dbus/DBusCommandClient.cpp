#include "platform/dbus/DBusCommandClient.h"

#include "platform/dbus/DBusCommandService.h"
#include "platform/dbus/DBusSingleInstance.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>

DBusCommandClient::Result DBusCommandClient::togglePicker() const {
    return call(QStringLiteral("TogglePicker"), {});
}

DBusCommandClient::Result DBusCommandClient::showPanel(const QString& tab) const {
    return call(QStringLiteral("ShowPanel"), {tab});
}

DBusCommandClient::Result DBusCommandClient::hide() const {
    return call(QStringLiteral("Hide"), {});
}

DBusCommandClient::Result DBusCommandClient::call(const QString& method,
                                                  const QVariantList& arguments) const {
    const QString service = DBusSingleInstance::defaultServiceName();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return {Outcome::noBus, QCoreApplication::translate("DBusCommandClient",
                                                            "cannot reach the session bus (%1)")
                                    .arg(bus.lastError().message())};
    }
    QDBusMessage message = QDBusMessage::createMethodCall(
        service, DBusSingleInstance::objectPath(), DBusCommandService::interfaceName(), method);
    message.setArguments(arguments);
    // A bus that could start Quillet for the call must not: a key binding
    // pressed while Quillet is not running says so instead.
    message.setAutoStartService(false);
    const QDBusMessage answer = bus.call(message, QDBus::Block, m_timeoutMs);
    if (answer.type() == QDBusMessage::ReplyMessage)
        return {};

    const QDBusError error(answer);
    // Asked not to start anyone, the bus answers NameHasNoOwner, which Qt has no value for.
    if (error.type() == QDBusError::ServiceUnknown ||
        error.name() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner")) {
        return {
            Outcome::notRunning,
            QCoreApplication::translate(
                "DBusCommandClient", "Quillet is not running (nothing owns %1 on the session bus)")
                .arg(service)};
    }
    switch (error.type()) {
    case QDBusError::NoReply:
    case QDBusError::Timeout:
    case QDBusError::TimedOut:
        return {Outcome::noAnswer, QCoreApplication::translate("DBusCommandClient",
                                                               "Quillet did not answer within %1 s")
                                       .arg(m_timeoutMs / 1000.0)};
    case QDBusError::Disconnected:
    case QDBusError::NoServer:
        return {Outcome::noBus, QCoreApplication::translate("DBusCommandClient",
                                                            "cannot reach the session bus (%1)")
                                    .arg(error.message())};
    case QDBusError::UnknownObject:
    case QDBusError::UnknownInterface:
    case QDBusError::UnknownMethod:
        return {Outcome::refused,
                QCoreApplication::translate("DBusCommandClient",
                                            "the running Quillet does not know the command "
                                            "%1 (an older version?)")
                    .arg(method)};
    default:
        return {Outcome::refused, QCoreApplication::translate("DBusCommandClient",
                                                              "the running Quillet refused %1: %2")
                                      .arg(method, error.message())};
    }
}
