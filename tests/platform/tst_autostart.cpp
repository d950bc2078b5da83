#include "platform/freedesktop/XdgAutostartLoginItem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {
void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
} // namespace

class TestAutostart : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void registerAndUnregister();
    void systemEntryIsHiddenNotDeleted();
    void refusedWhenFolderCannotBeMade();
};

void TestAutostart::registerAndUnregister() {
    QTemporaryDir home;
    XdgAutostartLoginItem item(home.filePath(QStringLiteral("config")),
                               {home.filePath(QStringLiteral("etc"))},
                               QStringLiteral("/opt/My Apps/quillet"));
    QCOMPARE(item.status(), LoginItem::Status::NotRegistered);
    QVERIFY(item.registerItem());
    QCOMPARE(item.status(), LoginItem::Status::Enabled);
    QFile f(item.userEntryPath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray entry = f.readAll();
    QVERIFY(entry.startsWith("[Desktop Entry]\n"));
    // A path with a space is quoted so the session starts the right program.
    QVERIFY(entry.contains("Exec=\"/opt/My Apps/quillet\"\n"));
    QVERIFY(item.unregisterItem());
    QCOMPARE(item.status(), LoginItem::Status::NotRegistered);
    QVERIFY(!QFile::exists(item.userEntryPath()));
    QVERIFY(item.unregisterItem()); // nothing to remove is not a failure

    // A user entry that the desktop's own settings switched off is not enabled.
    writeFile(item.userEntryPath(),
              "[Desktop Entry]\nExec=quillet\nX-GNOME-Autostart-enabled=false\n");
    QCOMPARE(item.status(), LoginItem::Status::NotRegistered);
}

void TestAutostart::systemEntryIsHiddenNotDeleted() {
    QTemporaryDir home;
    const QString system = home.filePath(QStringLiteral("etc/autostart/quillet.desktop"));
    writeFile(system, "[Desktop Entry]\nType=Application\nExec=quillet\n");
    XdgAutostartLoginItem item(home.filePath(QStringLiteral("config")),
                               {home.filePath(QStringLiteral("etc"))}, QStringLiteral("quillet"));
    QCOMPARE(item.status(), LoginItem::Status::Enabled);
    QVERIFY(item.unregisterItem());
    QVERIFY(QFile::exists(system));
    QCOMPARE(item.status(), LoginItem::Status::NotRegistered);
    QVERIFY(item.registerItem());
    QCOMPARE(item.status(), LoginItem::Status::Enabled);
}

void TestAutostart::refusedWhenFolderCannotBeMade() {
    QTemporaryDir home;
    writeFile(home.filePath(QStringLiteral("config/autostart")), "not a folder");
    XdgAutostartLoginItem item(home.filePath(QStringLiteral("config")), {}, QStringLiteral("q"));
    QVERIFY(!item.registerItem());
    QCOMPARE(item.status(), LoginItem::Status::NotRegistered);
}

QTEST_GUILESS_MAIN(TestAutostart)
#include "tst_autostart.moc"
