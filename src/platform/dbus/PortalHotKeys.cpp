#include "platform/dbus/PortalHotKeys.h"

#include "platform/EvdevKeyCodes.h"
#include "platform/PlatformLog.h"
#include "platform/dbus/PortalRequest.h"
#include "platform/dbus/PortalTrigger.h"
#include "platform/null/NullHotKeys.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QRandomGenerator>

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kShortcutId = QStringLiteral("openPanel");

// One element of the portal's a(sa{sv}) shortcut lists.
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

QDBusMessage portalCall(const QString& method) {
    return QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
}

// An object path the portal may send as a string or as a path.
QString pathOf(const QVariant& value) {
    if (value.metaType() == QMetaType::fromType<QDBusObjectPath>())
        return value.value<QDBusObjectPath>().path();
    return value.metaType() == QMetaType::fromType<QString>() ? value.toString() : QString();
}

} // namespace

Q_DECLARE_METATYPE(PortalShortcut)

PortalHotKeys::PortalHotKeys(const QDBusConnection& bus, QObject* parent)
    : QObject(parent)
    , m_bus(bus) {
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
    // Asking the bus itself is quick; the portal may take a while to start.
    if (const QDBusConnectionInterface* names = m_bus.isConnected() ? m_bus.interface() : nullptr)
        m_portalOnBus = names->isServiceRegistered(kService).value() ||
                        names->activatableServiceNames().value().contains(kService);
    if (!m_portalOnBus) {
        m_failed = true;
        m_reason = noShortcutReason();
        return;
    }
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("Activated"), this,
                  SLOT(onActivated(QDBusMessage)));
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("Deactivated"), this,
                  SLOT(onDeactivated(QDBusMessage)));
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("ShortcutsChanged"), this,
                  SLOT(onShortcutsChanged(QDBusMessage)));
    readVersion();
}

PortalHotKeys::~PortalHotKeys() {
    closeSession();
}

QString PortalHotKeys::noShortcutReason() {
    return QCoreApplication::translate(
        "CapabilityReport", "This desktop gives Quillet no global shortcut: bind a key to "
                            "\"quillet --toggle-picker\" in the desktop's own keyboard settings.");
}

void PortalHotKeys::readVersion() {
    QDBusMessage get = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kInterface << QStringLiteral("version");
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(get), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *watcher;
        const uint version = reply.isError() ? 0 : reply.value().variant().toUInt();
        if (version == 0) {
            qCWarning(platformLog)
                << "the desktop portal offers no global shortcuts" << reply.error().message();
            fail(noShortcutReason());
            return;
        }
        qCInfo(platformLog) << "global shortcut through the desktop portal, version" << version;
        m_version = version;
        if (m_grabbed)
            createSession();
    });
}

int PortalHotKeys::grab(int keyCode, int modifiers) {
    if (m_failed)
        return -1;
    if (portalTriggerFor(keyCode, modifiers).isEmpty())
        return 2;
    m_wanted = Combination{keyCode, modifiers};
    m_grabbed = true;
    // A grab waits for the portal's answer, and a request on its way picks the
    // new combination up when it ends.
    if (m_version == 0 || m_busy || m_bound == m_wanted)
        return 0;
    // A session binds its shortcuts once: another combination needs a new one.
    closeSession();
    createSession();
    return 0;
}

void PortalHotKeys::ungrab(int keyCode, int modifiers) {
    // The portal cannot unbind: the shortcut stays with the desktop, and its
    // presses are dropped until it is grabbed again.
    if (m_wanted == Combination{keyCode, modifiers}) {
        m_grabbed = false;
        m_down.reset();
    }
}

std::optional<int> PortalHotKeys::keyCodeForScanCode(quint32 scanCode) const {
    return scanCode >= 8 ? keyCodeForEvdevCode(int(scanCode) - 8) : std::nullopt;
}

QString PortalHotKeys::layoutCharacter(int keyCode) const {
    // The layout is the compositor's; names follow the US one.
    return NullHotKeys::usCharacter(keyCode);
}

void PortalHotKeys::createSession() {
    m_busy = true;
    QDBusMessage call = portalCall(QStringLiteral("CreateSession"));
    call << QVariantMap{
        {QStringLiteral("session_handle_token"),
         QStringLiteral("quillet%1").arg(QRandomGenerator::global()->generate(), 0, 16)}};
    auto* request = PortalRequest::send(m_bus, call, this);
    connect(request, &PortalRequest::finished, this,
            [this](uint response, const QVariantMap& results) {
                m_busy = false;
                const QString session = pathOf(results.value(QStringLiteral("session_handle")));
                if (response != PortalRequest::success || session.isEmpty()) {
                    fail(QStringLiteral("The desktop refused Quillet a global shortcut: bind a "
                                        "key to \"quillet --toggle-picker\" in the desktop's own "
                                        "keyboard settings."));
                    return;
                }
                m_session = session;
                bind();
            });
}

void PortalHotKeys::bind() {
    if (!m_wanted)
        return;
    m_busy = true;
    const Combination combination = *m_wanted;
    const QVariantMap properties{
        {QStringLiteral("description"), QStringLiteral("Show the quick picker of recent clips")},
        {QStringLiteral("preferred_trigger"),
         portalTriggerFor(combination.first, combination.second)}};
    QDBusMessage call = portalCall(QStringLiteral("BindShortcuts"));
    call << QVariant::fromValue(QDBusObjectPath(m_session))
         << QVariant::fromValue(QList<PortalShortcut>{{kShortcutId, properties}}) << QString()
         << QVariantMap();
    auto* request = PortalRequest::send(m_bus, call, this);
    connect(request, &PortalRequest::finished, this,
            [this, combination](uint response, const QVariantMap& results) {
                m_busy = false;
                if (response != PortalRequest::success) {
                    fail(QStringLiteral("The desktop's global shortcut for Quillet was declined: "
                                        "bind a key to \"quillet --toggle-picker\" in the "
                                        "desktop's own keyboard settings instead."));
                    return;
                }
                m_bound = combination;
                takeTrigger(results.value(QStringLiteral("shortcuts")));
                // Grabbed with another combination meanwhile: a session binds
                // once, so the new one gets a session of its own.
                if (m_wanted != m_bound) {
                    closeSession();
                    createSession();
                }
            });
}

void PortalHotKeys::closeSession() {
    if (m_session.isEmpty())
        return;
    m_bus.send(QDBusMessage::createMethodCall(kService, m_session,
                                              QStringLiteral("org.freedesktop.portal.Session"),
                                              QStringLiteral("Close")));
    m_session.clear();
    m_bound.reset();
    m_down.reset();
}

void PortalHotKeys::fail(const QString& reason) {
    qCWarning(platformLog) << "no global shortcut:" << reason;
    closeSession();
    m_failed = true;
    m_reason = reason;
    m_trigger.clear();
    notifyChanged();
}

bool PortalHotKeys::canChangeDesktopTrigger() const {
    return m_version >= 2 && !m_session.isEmpty() && !m_failed;
}

void PortalHotKeys::changeDesktopTrigger() {
    if (!canChangeDesktopTrigger())
        return;
    QDBusMessage call = portalCall(QStringLiteral("ConfigureShortcuts"));
    call << QVariant::fromValue(QDBusObjectPath(m_session)) << QString() << QVariantMap();
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [watcher] {
        watcher->deleteLater();
        if (watcher->isError())
            qCWarning(platformLog) << "the desktop portal did not open its shortcut settings:"
                                   << watcher->error().message();
    });
}

bool PortalHotKeys::isOurShortcut(const QDBusMessage& message) const {
    const QList<QVariant> arguments = message.arguments();
    return !m_session.isEmpty() && arguments.size() >= 2 && pathOf(arguments[0]) == m_session &&
           arguments[1].toString() == kShortcutId;
}

void PortalHotKeys::onActivated(const QDBusMessage& message) {
    if (!m_grabbed || !m_bound || m_down || !isOurShortcut(message))
        return;
    m_down = m_wanted;
    deliver({true, m_down->first, m_down->second, false});
}

void PortalHotKeys::onDeactivated(const QDBusMessage& message) {
    if (!m_down || !isOurShortcut(message))
        return;
    const Combination released = *m_down;
    m_down.reset();
    deliver({false, released.first, released.second, false});
}

void PortalHotKeys::onShortcutsChanged(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() >= 2 && !m_session.isEmpty() && pathOf(arguments[0]) == m_session)
        takeTrigger(arguments[1]);
}

void PortalHotKeys::takeTrigger(const QVariant& shortcuts) {
    // Whatever the portal sends is checked before it is read.
    if (shortcuts.metaType() != QMetaType::fromType<QDBusArgument>() ||
        shortcuts.value<QDBusArgument>().currentSignature() != QLatin1String("a(sa{sv})"))
        return;
    for (const PortalShortcut& shortcut : qdbus_cast<QList<PortalShortcut>>(shortcuts)) {
        if (shortcut.id != kShortcutId)
            continue;
        const QString trigger =
            shortcut.properties.value(QStringLiteral("trigger_description")).toString();
        if (trigger != m_trigger) {
            m_trigger = trigger;
            notifyChanged();
        }
    }
}
