#include "platform/dbus/DBusCommandClient.h"
#include "platform/dbus/DesktopNotifications.h"
#include "platform/dbus/FileManagerReveal.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

// The session-bus services against peers recording what they are asked to
// show, on the harness's private bus.
namespace {
class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QList<QStringList> shown;
public Q_SLOTS:
    void ShowItems(const QStringList& uris, const QString&) { shown.append(uris); }
};

class FakeNotificationDaemon : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList shown;
public Q_SLOTS:
    uint Notify(const QString& app, uint, const QString&, const QString& summary,
                const QString& body, const QStringList&, const QVariantMap&, int) {
        shown << app + QStringLiteral(": ") + summary + QStringLiteral(" / ") + body;
        return 7;
    }
};

// A Quillet that hangs on TogglePicker and, like an older one, has no Hide.
class HungQuillet : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.ovo.quillet.Commands")
public Q_SLOTS:
    void TogglePicker(const QDBusMessage& call) { call.setDelayedReply(true); }
};
} // namespace

class TestDBusServices : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void askWhoeverIsOnTheBus();
    void commandClientSaysWhatWentWrong();
};

void TestDBusServices::askWhoeverIsOnTheBus() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    QVERIFY(bus.isConnected());
    const QUrl file =
        QUrl::fromLocalFile(QStringLiteral("/tmp/Screenshot from 2026-12-06 10-00-00.png"));
    DesktopNotifications notifications(bus);
    QSignalSpy delivered(&notifications, &DesktopNotifications::delivered);
    QSignalSpy undelivered(&notifications, &DesktopNotifications::undelivered);

    // Nobody on the bus: nothing is sent, the caller falls back.
    QVERIFY(!FileManagerReveal::showItems(file, bus));
    QVERIFY(!FileManagerReveal::showItems(QUrl(QStringLiteral("https://example.org/a.png")), bus));
    notifications.notify(QStringLiteral("Nobody"), QStringLiteral("listens"));
    QTRY_COMPARE(undelivered.count(), 1);
    QCOMPARE(undelivered.first().first().toString(), QStringLiteral("Nobody"));

    FakeFileManager manager;
    FakeNotificationDaemon daemon;
    QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &manager,
                               QDBusConnection::ExportAllSlots));
    QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.FileManager1")));
    QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &daemon,
                               QDBusConnection::ExportAllSlots));
    QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.Notifications")));
    QVERIFY(FileManagerReveal::showItems(file, bus));
    QTRY_COMPARE(manager.shown.size(), 1);
    // The file's URL with the spaces encoded, as file managers expect.
    QCOMPARE(
        manager.shown.constFirst(),
        QStringList{QStringLiteral("file:///tmp/Screenshot%20from%202026-12-06%2010-00-00.png")});
    notifications.notify(QStringLiteral("History damaged"), QStringLiteral("kept aside"));
    QTRY_COMPARE(delivered.count(), 1);
    QCOMPARE(daemon.shown, QStringList{QStringLiteral("Quillet: History damaged / kept aside")});
}

// The working commands, a missing Quillet and a missing bus are covered
// through the built binary in tst_acceptance.
void TestDBusServices::commandClientSaysWhatWentWrong() {
    // The other Quillet has a connection and a thread of its own, as another
    // process would: the client's blocking call leaves it free to answer.
    QThread thread;
    thread.start();
    auto* hung = new HungQuillet;
    hung->moveToThread(&thread);
    QDBusConnection other =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("other"));
    QVERIFY(other.registerObject(QStringLiteral("/com/ovo/quillet"), hung,
                                 QDBusConnection::ExportAllSlots));
    QVERIFY(other.registerService(QStringLiteral("com.ovo.quillet")));
    auto cleanup = qScopeGuard([&] {
        QDBusConnection::disconnectFromBus(QStringLiteral("other"));
        thread.quit();
        thread.wait();
        delete hung;
    });

    const DBusCommandClient client(300);
    const DBusCommandClient::Result hanging = client.togglePicker();
    QCOMPARE(hanging.outcome, DBusCommandClient::Outcome::noAnswer);
    QCOMPARE(hanging.message, QStringLiteral("Quillet did not answer within 0.3 s"));
    const DBusCommandClient::Result older = client.hide();
    QCOMPARE(older.outcome, DBusCommandClient::Outcome::refused);
    QVERIFY2(older.message.contains(QStringLiteral("does not know the command Hide")),
             qPrintable(older.message));
}

QTEST_GUILESS_MAIN(TestDBusServices)
#include "tst_dbusservices.moc"
