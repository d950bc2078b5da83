#include "KeyboardShortcuts/Center.h"
#include "platform/dbus/PortalHotKeys.h"
#include "platform/dbus/PortalTrigger.h"
#include "settings/JsonDefaultsStore.h"
#include "ui/settings/ShortcutsSection.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

// The portal backend against a portal of the test's own on the harness's
// private session bus: no desktop portal with global shortcuts can run here.
// The double speaks the real interface (request paths from the caller's
// unique name and handle token, Response on them, Activated/Deactivated),
// and answers each request before its method call returns, as only a client
// that subscribed beforehand can hear.
namespace {
const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
constexpr int kV = 9;
constexpr int kShiftCommand = 0x200 | 0x100;
} // namespace

// One element of the portal's shortcut lists. Not in an anonymous namespace:
// the double's slots are found by the names of their parameter types.
struct Shortcut {
    QString id;
    QVariantMap properties;
};
QDBusArgument& operator<<(QDBusArgument& a, const Shortcut& s) {
    a.beginStructure();
    a << s.id << s.properties;
    a.endStructure();
    return a;
}
const QDBusArgument& operator>>(const QDBusArgument& a, Shortcut& s) {
    a.beginStructure();
    a >> s.id >> s.properties;
    a.endStructure();
    return a;
}
Q_DECLARE_METATYPE(Shortcut)

namespace {
class FakePortal : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.GlobalShortcuts")
    Q_PROPERTY(uint version READ version)
public:
    explicit FakePortal(QDBusConnection bus)
        : m_bus(bus) {}
    uint version() const { return 2; }

    uint answer = 0; // the Response code of every request
    QString session;
    QList<Shortcut> bound;
    int binds = 0;
    int configured = 0;

    void emitKey(const QString& member, const QString& sessionPath, const QString& id) {
        QDBusMessage signal = QDBusMessage::createSignal(kPath, kInterface, member);
        signal << QVariant::fromValue(QDBusObjectPath(sessionPath)) << id << quint64(1)
               << QVariantMap();
        m_bus.send(signal);
    }
    void emitTrigger(const QString& text) {
        QDBusMessage signal =
            QDBusMessage::createSignal(kPath, kInterface, QStringLiteral("ShortcutsChanged"));
        signal << QVariant::fromValue(QDBusObjectPath(session))
               << QVariant::fromValue(
                      QList<Shortcut>{{QStringLiteral("openPanel"),
                                       {{QStringLiteral("trigger_description"), text}}}});
        m_bus.send(signal);
    }

public Q_SLOTS:
    QDBusObjectPath CreateSession(const QVariantMap& options) {
        session =
            QStringLiteral("/org/freedesktop/portal/desktop/session/%1/%2")
                .arg(sender(), options.value(QStringLiteral("session_handle_token")).toString());
        return respond(options, {{QStringLiteral("session_handle"), session}});
    }
    QDBusObjectPath BindShortcuts(const QDBusObjectPath&, const QList<Shortcut>& shortcuts,
                                  const QString&, const QVariantMap& options) {
        bound = shortcuts;
        ++binds;
        QList<Shortcut> assigned;
        for (const Shortcut& s : shortcuts)
            assigned.append(
                {s.id, {{QStringLiteral("trigger_description"), QStringLiteral("Shift+Super+V")}}});
        return respond(options, {{QStringLiteral("shortcuts"), QVariant::fromValue(assigned)}});
    }
    void ConfigureShortcuts(const QDBusObjectPath& s, const QString&, const QVariantMap&) {
        configured += s.path() == session;
    }

private:
    QString sender() const {
        return message().service().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    }
    QDBusObjectPath respond(const QVariantMap& options, const QVariantMap& results) {
        const QString path =
            QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                .arg(sender(), options.value(QStringLiteral("handle_token")).toString());
        QDBusMessage response = QDBusMessage::createSignal(
            path, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        response << answer << results;
        m_bus.send(response);
        return QDBusObjectPath(path);
    }

    QDBusConnection m_bus;
};
} // namespace

class TestPortalHotKeys : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void triggerText_data();
    void triggerText();
    void bindAndDeliver();
};

void TestPortalHotKeys::triggerText_data() {
    QTest::addColumn<int>("keyCode");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("trigger");
    QTest::newRow("⇧⌘V") << kV << kShiftCommand << QStringLiteral("SHIFT+LOGO+v");
    QTest::newRow("⌃⌥F5") << 96 << (0x1000 | 0x800) << QStringLiteral("CTRL+ALT+F5");
    QTest::newRow("⌘= by keysym name") << 24 << 0x100 << QStringLiteral("LOGO+equal");
    QTest::newRow("keypad 8") << 91 << 0x1000 << QStringLiteral("CTRL+KP_8");
    QTest::newRow("ISO key: no US name") << 10 << 0x100 << QString();
}

void TestPortalHotKeys::triggerText() {
    QFETCH(int, keyCode);
    QFETCH(int, modifiers);
    QFETCH(QString, trigger);
    QCOMPARE(portalTriggerFor(keyCode, modifiers), trigger);
}

void TestPortalHotKeys::bindAndDeliver() {
    qDBusRegisterMetaType<Shortcut>();
    qDBusRegisterMetaType<QList<Shortcut>>();
    QDBusConnection bus = QDBusConnection::sessionBus();
    QVERIFY(bus.isConnected());

    // No portal on the bus: nothing to bind with, and the user is told why.
    {
        PortalHotKeys absent(bus);
        QVERIFY(!absent.isPortalOnBus());
        QCOMPARE_NE(absent.grab(kV, kShiftCommand), 0);
        QVERIFY(!absent.unavailableReason().isEmpty());
    }

    QDBusConnection portalBus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("portal"));
    FakePortal portal(portalBus);
    QVERIFY(portalBus.registerObject(
        kPath, &portal, QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties));
    QVERIFY(portalBus.registerService(kService));

    // The user declines: the grab fails from then on, with a reason.
    portal.answer = 1;
    {
        PortalHotKeys declined(bus);
        int changes = 0;
        declined.setChangeHandler([&changes] { ++changes; });
        QCOMPARE(declined.grab(kV, kShiftCommand), 0);
        QTRY_VERIFY(!declined.unavailableReason().isEmpty());
        QCOMPARE(changes, 1);
        QCOMPARE_NE(declined.grab(kV, kShiftCommand), 0);
    }

    portal.answer = 0;
    PortalHotKeys hotKeys(bus);
    QList<HotKeyEvent> events;
    hotKeys.setEventHandler([&events](const HotKeyEvent& e) {
        events.append(e);
        return true;
    });
    QCOMPARE(hotKeys.grab(kV, kShiftCommand), 0);
    QTRY_COMPARE(hotKeys.desktopTrigger(), QStringLiteral("Shift+Super+V"));
    QCOMPARE(portal.bound.size(), 1);
    QCOMPARE(portal.bound[0].id, QStringLiteral("openPanel"));
    QCOMPARE(portal.bound[0].properties.value(QStringLiteral("preferred_trigger")).toString(),
             QStringLiteral("SHIFT+LOGO+v"));
    QVERIFY(hotKeys.unavailableReason().isEmpty());

    // Another session's or another shortcut's signals are not ours; the
    // desktop's new trigger, sent after them, shows when they have all arrived.
    for (const QString& member : {QStringLiteral("Activated"), QStringLiteral("Deactivated")}) {
        portal.emitKey(member, portal.session + QLatin1Char('x'), QStringLiteral("openPanel"));
        portal.emitKey(member, portal.session, QStringLiteral("other"));
    }
    portal.emitTrigger(QStringLiteral("Ctrl+Alt+V"));
    QTRY_COMPARE(hotKeys.desktopTrigger(), QStringLiteral("Ctrl+Alt+V"));
    QVERIFY(events.isEmpty());
    portal.emitKey(QStringLiteral("Activated"), portal.session, QStringLiteral("openPanel"));
    portal.emitKey(QStringLiteral("Deactivated"), portal.session, QStringLiteral("openPanel"));
    QTRY_COMPARE(events.size(), 2);
    QVERIFY(events[0].press && !events[1].press);
    for (const HotKeyEvent& e : events) {
        QCOMPARE(e.keyCode, kV);
        QCOMPARE(e.modifiers, kShiftCommand);
        QVERIFY(!e.raw);
    }

    // Let go (a menu is open): presses are dropped until the next grab.
    hotKeys.ungrab(kV, kShiftCommand);
    portal.emitKey(QStringLiteral("Activated"), portal.session, QStringLiteral("openPanel"));
    portal.emitTrigger(QStringLiteral("Super+V"));
    QTRY_COMPARE(hotKeys.desktopTrigger(), QStringLiteral("Super+V"));
    QCOMPARE(events.size(), 2);
    // Taken again, the same combination needs no second bind.
    QCOMPARE(hotKeys.grab(kV, kShiftCommand), 0);
    portal.emitKey(QStringLiteral("Activated"), portal.session, QStringLiteral("openPanel"));
    QTRY_COMPARE(events.size(), 3);
    QCOMPARE(portal.binds, 1);

    // The settings show the desktop's keys and follow them; its own dialog
    // for changing them is one click away.
    QTemporaryDir dir;
    JsonDefaultsStore store(dir.filePath(QStringLiteral("defaults.json")));
    KeyboardShortcuts::Center center(store, hotKeys);
    ShortcutsSection section(center);
    auto* recorder = qobject_cast<QLineEdit*>(section.recorder());
    QVERIFY(recorder && recorder->isReadOnly());
    QCOMPARE(recorder->text(), QStringLiteral("Super+V"));
    portal.emitTrigger(QStringLiteral("Ctrl+Alt+V"));
    QTRY_COMPARE(recorder->text(), QStringLiteral("Ctrl+Alt+V"));
    auto* change = section.findChild<QPushButton*>();
    QVERIFY(change && !change->isHidden());
    change->click();
    QTRY_COMPARE(portal.configured, 1);
}

QTEST_MAIN(TestPortalHotKeys)
#include "tst_portalhotkeys.moc"
