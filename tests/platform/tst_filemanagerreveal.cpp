#include "platform/dbus/FileManagerReveal.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QTest>

namespace {
// A file manager of the test's own on the private session bus, recording
// what it is asked to show.
class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QList<QStringList> shown;
    QStringList startupIds;
public Q_SLOTS:
    void ShowItems(const QStringList& uris, const QString& startupId) {
        shown.append(uris);
        startupIds.append(startupId);
    }
};
} // namespace

class TestFileManagerReveal : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void asksTheFileManagerOnTheBus();
};

void TestFileManagerReveal::asksTheFileManagerOnTheBus() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    QVERIFY(bus.isConnected());
    const QUrl file =
        QUrl::fromLocalFile(QStringLiteral("/tmp/Screenshot from 2026-12-06 10-00-00.png"));

    // No file manager on the bus: nothing is sent, the caller falls back.
    QVERIFY(!FileManagerReveal::showItems(file, bus));
    QVERIFY(!FileManagerReveal::showItems(QUrl(QStringLiteral("https://example.org/a.png")), bus));

    FakeFileManager manager;
    QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &manager,
                               QDBusConnection::ExportAllSlots));
    QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.FileManager1")));
    QVERIFY(FileManagerReveal::showItems(file, bus));
    QTRY_COMPARE(manager.shown.size(), 1);
    // The file's URL with the spaces encoded, as file managers expect.
    QCOMPARE(
        manager.shown.constFirst(),
        QStringList{QStringLiteral("file:///tmp/Screenshot%20from%202026-12-06%2010-00-00.png")});
    QCOMPARE(manager.startupIds.constFirst(), QString());
    bus.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
}

QTEST_GUILESS_MAIN(TestFileManagerReveal)
#include "tst_filemanagerreveal.moc"
