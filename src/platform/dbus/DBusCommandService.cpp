#include "platform/dbus/DBusCommandService.h"

#include "platform/PlatformLog.h"
#include "platform/dbus/DBusSingleInstance.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>

namespace {
class CommandsAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.ovo.quillet.Commands")

public:
    CommandsAdaptor(DBusSingleInstance& host, DBusCommandService& service)
        : QDBusAbstractAdaptor(&host)
        , m_service(service) {}

public Q_SLOTS:
    void TogglePicker() { Q_EMIT m_service.togglePickerRequested(); }

    // The call itself comes last (Qt hands it to a slot that asks, and keeps
    // it out of the interface) so that a refusal can answer it. QDBusContext
    // would have to be a base of the host object, not of an adaptor.
    void ShowPanel(const QString& tab, const QDBusMessage& call) {
        if (!tab.isEmpty() && !DBusCommandService::isPanelTab(tab)) {
            qCWarning(platformLog) << "ShowPanel refused: no tab" << tab;
            call.setDelayedReply(true);
            QDBusConnection::sessionBus().send(call.createErrorReply(
                QDBusError::InvalidArgs,
                QStringLiteral("unknown tab \"%1\": the tabs are clipboard and screenshots, or "
                               "empty for the tab shown last")
                    .arg(tab)));
            return;
        }
        Q_EMIT m_service.showPanelRequested(tab);
    }

    void Hide() { Q_EMIT m_service.hideRequested(); }

private:
    DBusCommandService& m_service;
};
} // namespace

DBusCommandService::DBusCommandService(DBusSingleInstance& instance)
    : m_adaptor(new CommandsAdaptor(instance, *this)) {}

DBusCommandService::~DBusCommandService() {
    delete m_adaptor;
}

bool DBusCommandService::isPanelTab(const QString& tab) {
    return tab == QLatin1String("clipboard") || tab == QLatin1String("screenshots");
}

#include "DBusCommandService.moc"
