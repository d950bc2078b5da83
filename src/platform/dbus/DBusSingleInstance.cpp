#include "platform/dbus/DBusSingleInstance.h"

#include "platform/PlatformLog.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QVariantMap>

namespace {
// The freedesktop application interface, so desktop tools can activate Quillet too.
class ApplicationAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

public:
    explicit ApplicationAdaptor(DBusSingleInstance& owner)
        : QDBusAbstractAdaptor(&owner)
        , m_owner(owner) {}

public Q_SLOTS:
    void Activate(const QVariantMap& platformData) {
        Q_UNUSED(platformData);
        Q_EMIT m_owner.activateRequested();
    }

private:
    DBusSingleInstance& m_owner;
};
} // namespace

DBusSingleInstance::DBusSingleInstance(QString serviceName, QObject* parent)
    : QObject(parent)
    , m_serviceName(std::move(serviceName)) {
    new ApplicationAdaptor(*this);
}

DBusSingleInstance::~DBusSingleInstance() {
    if (m_registered)
        QDBusConnection::sessionBus().unregisterObject(objectPath());
}

DBusSingleInstance::Outcome DBusSingleInstance::claim() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()) {
        qCWarning(platformLog) << "no session bus:" << bus.lastError().message()
                               << "- a second Quillet cannot find this one";
        return Outcome::NoBus;
    }

    // The object goes up before the name, so a caller who sees the name can reach it.
    if (!m_registered) {
        m_registered = bus.registerObject(objectPath(), this, QDBusConnection::ExportAdaptors);
        if (!m_registered)
            qCWarning(platformLog) << "cannot offer" << objectPath() << "on the session bus";
    }

    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus.interface()->registerService(m_serviceName, QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered)
        return Outcome::Primary;
    if (!reply.isValid()) {
        qCWarning(platformLog) << "cannot own" << m_serviceName << reply.error().message();
        return Outcome::NoBus;
    }

    if (m_registered) {
        bus.unregisterObject(objectPath());
        m_registered = false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        m_serviceName, objectPath(), QStringLiteral("org.freedesktop.Application"),
        QStringLiteral("Activate"));
    call << QVariantMap();
    const QDBusMessage answer = bus.call(call, QDBus::Block, 5000);
    if (answer.type() == QDBusMessage::ErrorMessage)
        qCWarning(platformLog) << "the running Quillet did not answer:" << answer.errorMessage();
    return Outcome::ActivatedOther;
}

#include "DBusSingleInstance.moc"
