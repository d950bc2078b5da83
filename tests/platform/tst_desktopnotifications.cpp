#include "platform/dbus/DesktopNotifications.h"

#include <QDBusConnection>
#include <QSignalSpy>
#include <QTest>

namespace {
// A notification daemon of the test's own on the private session bus.
class FakeNotificationDaemon : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList summaries;
    QStringList bodies;
public Q_SLOTS:
    uint Notify(const QString& app, uint, const QString&, const QString& summary,
                const QString& body, const QStringList&, const QVariantMap&, int) {
        summaries << app + QStringLiteral(": ") + summary;
        bodies << body;
        return 7;
    }
};
} // namespace

class TestDesktopNotifications : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void reachesTheDaemonOrSaysItDidNot();
};

void TestDesktopNotifications::reachesTheDaemonOrSaysItDidNot() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    QVERIFY(bus.isConnected());
    DesktopNotifications notifications(bus);
    QSignalSpy delivered(&notifications, &DesktopNotifications::delivered);
    QSignalSpy undelivered(&notifications, &DesktopNotifications::undelivered);

    notifications.notify(QStringLiteral("Nobody"), QStringLiteral("listens"));
    QTRY_COMPARE(undelivered.count(), 1);
    QCOMPARE(undelivered.first().first().toString(), QStringLiteral("Nobody"));

    FakeNotificationDaemon daemon;
    QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &daemon,
                               QDBusConnection::ExportAllSlots));
    QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.Notifications")));
    notifications.notify(QStringLiteral("History damaged"), QStringLiteral("kept aside"));
    QTRY_COMPARE(delivered.count(), 1);
    QCOMPARE(delivered.first().first().toUInt(), 7u);
    QCOMPARE(daemon.summaries, QStringList{QStringLiteral("Quillet: History damaged")});
    QCOMPARE(daemon.bodies, QStringList{QStringLiteral("kept aside")});
    QCOMPARE(undelivered.count(), 1);
    bus.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
}

QTEST_GUILESS_MAIN(TestDesktopNotifications)
#include "tst_desktopnotifications.moc"
