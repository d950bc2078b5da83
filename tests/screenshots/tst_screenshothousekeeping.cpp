// Screenshot housekeeping on real folders: following the tool's setting,
// rename, Trash, the age sweep and the dedicated folder.
#include "WatcherWorld.h"

#include "app/Prefs.h"
#include "platform/SystemSound.h"
#include "platform/freedesktop/FreedesktopScreenCaptureProbe.h"
#include "platform/freedesktop/FreedesktopTrash.h"
#include "platform/freedesktop/JsonDefaultsStore.h"
#include "platform/freedesktop/ToolScreenshotLocation.h"
#include "platform/freedesktop/XdgAutostartLoginItem.h"
#include "screenshots/ScreenshotScan.h"
#include "screenshots/ScreenshotWatcher.h"
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QTimer>
#include <sys/stat.h>

using namespace WatcherWorld;

class TestScreenshotHousekeeping : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void relocationFollowsTheToolsSetting();
    void renameRules();
    void trashKeepsListAndFolderInStep();
    void sweepTrashesOnlyOldCaptures();
    void dedicatedFolderWritesEveryTool();
};

void TestScreenshotHousekeeping::relocationFollowsTheToolsSetting() {
    World world;
    const QString first = world.folder(QStringLiteral("first"));
    const QString second = world.folder(QStringLiteral("second"));
    writeFile(first + QStringLiteral("/Screenshot a.png"));
    for (const char* name : {"Screenshot b.png", "Screenshot c.png", "notes.txt"})
        writeFile(second + QLatin1Char('/') + QLatin1String(name));
    world.pointTo(first);
    ScreenshotWatcher::Timing timing;
    timing.relocateMs = 200;
    auto w = world.watcher(nullptr, timing);
    waitUntilWatching(*w, first);

    // The user picks another folder in the tool: followed at the next check.
    world.pointTo(second);
    QTRY_COMPARE_WITH_TIMEOUT(w->dir(), QUrl::fromLocalFile(second), kWait);
    QTRY_COMPARE_WITH_TIMEOUT(w->screenshots().size(), 2, kWait);
    QCOMPARE(w->known(), (QSet<QString>{QStringLiteral("Screenshot b.png"),
                                        QStringLiteral("Screenshot c.png")}));
    waitUntilWatching(*w, second);
    QCOMPARE(w->unseenCount(), 0);
    QVERIFY(world.copied.isEmpty());

    // The old folder is no longer watched; the new one is.
    writeFile(first + QStringLiteral("/Screenshot stale.png"));
    writeFile(second + QStringLiteral("/Screenshot d.png"));
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 1, kWait);
    QCOMPARE(world.copied, QList<QUrl>{urlOf(second, QStringLiteral("Screenshot d.png"))});

    // A setting that names a missing folder means the Desktop.
    world.pointTo(world.folder(QStringLiteral("missing")));
    QTRY_COMPARE_WITH_TIMEOUT(
        w->dir(), QUrl::fromLocalFile(QDir::homePath() + QStringLiteral("/Desktop")), kWait);
}

void TestScreenshotHousekeeping::renameRules() {
    World world;
    const QString dir = world.folder();
    for (const char* name : {"Screenshot 1.png", "Screenshot 2.png", "taken.png"})
        writeFile(dir + QLatin1Char('/') + QLatin1String(name));
    world.pointTo(dir);
    auto w = world.watcher();
    waitUntilWatching(*w, dir);
    const QUrl one = urlOf(dir, QStringLiteral("Screenshot 1.png"));
    const QUrl two = urlOf(dir, QStringLiteral("Screenshot 2.png"));
    const QList<QUrl> before = w->screenshots();
    QSignalSpy listed(w.get(), &ScreenshotWatcher::screenshotsChanged);

    // Refused: nothing moves, nothing changes.
    for (const QString& bad : {u""_qs, u" \t "_qs, u"taken"_qs, u"../escaped"_qs, u"a/b.png"_qs})
        QVERIFY2(!w->renameScreenshot(one, bad), qPrintable(bad));
    QVERIFY(QFile::exists(one.toLocalFile()));
    QCOMPARE(w->screenshots(), before);
    QCOMPARE(listed.count(), 0);

    // Spaces and tabs go, the extension comes back; a dotted name stays as typed.
    const auto renamed = w->renameScreenshot(one, QStringLiteral(" \tholiday  "));
    QCOMPARE(renamed, std::optional<QUrl>(urlOf(dir, QStringLiteral("holiday.png"))));
    const auto dotted = w->renameScreenshot(two, QStringLiteral("beach.jpeg"));
    QCOMPARE(dotted, std::optional<QUrl>(urlOf(dir, QStringLiteral("beach.jpeg"))));
    QVERIFY(QFile::exists(dir + QStringLiteral("/holiday.png")));
    QVERIFY(!QFile::exists(one.toLocalFile()));
    QList<QUrl> expected = before;
    expected[before.indexOf(one)] = *renamed;
    expected[before.indexOf(two)] = *dotted;
    QCOMPARE(w->screenshots(), expected);
    QVERIFY(w->known().contains(QStringLiteral("holiday.png")));
    QVERIFY(!w->known().contains(QStringLiteral("Screenshot 1.png")));

    // The folder events of the moves bring a rescan, which finds nothing new.
    const int edits = int(listed.count());
    QTRY_VERIFY_WITH_TIMEOUT(listed.count() > edits, kWait);
    QCOMPARE(w->unseenCount(), 0);
    QVERIFY(world.copied.isEmpty());
}

void TestScreenshotHousekeeping::trashKeepsListAndFolderInStep() {
    World world;
    const QString dir = world.folder();
    for (const char* name : {"Screenshot 1.png", "Screenshot 2.png", "Screenshot 3.png"})
        writeFile(dir + QLatin1Char('/') + QLatin1String(name));
    world.pointTo(dir);
    RefusingTrash refusing;
    auto w = world.watcher(&refusing);
    waitUntilWatching(*w, dir);
    const QUrl one = urlOf(dir, QStringLiteral("Screenshot 1.png"));
    const QList<QUrl> before = w->screenshots();

    // Refused: the file is still there, so it stays listed and known, and
    // the next listing does not announce it as a new capture.
    w->trashScreenshot(one);
    QCOMPARE(w->screenshots(), before);
    QVERIFY(w->known().contains(QStringLiteral("Screenshot 1.png")));
    writeFile(dir + QStringLiteral("/Screenshot 4.png"));
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 1, kWait);
    QCOMPARE(world.copied, QList<QUrl>{urlOf(dir, QStringLiteral("Screenshot 4.png"))});

    // Into the real Trash: gone from the folder and the list, order kept.
    auto real = world.watcher();
    QTRY_COMPARE_WITH_TIMEOUT(real->screenshots().size(), 4, kWait);
    QList<QUrl> rest = real->screenshots();
    real->trashScreenshot(one);
    rest.removeAll(one);
    QCOMPARE(real->screenshots(), rest);
    QVERIFY(!real->known().contains(QStringLiteral("Screenshot 1.png")));
    QVERIFY(!QFile::exists(one.toLocalFile()));
    const QString trashed = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                            QStringLiteral("/Trash/files/Screenshot 1.png");
    QVERIFY(QFile::exists(trashed));

    // Already gone from the folder: dropped from the list as well.
    const QUrl two = urlOf(dir, QStringLiteral("Screenshot 2.png"));
    QVERIFY(QFile::remove(two.toLocalFile()));
    w->trashScreenshot(two);
    QVERIFY(!w->screenshots().contains(two));
}

void TestScreenshotHousekeeping::sweepTrashesOnlyOldCaptures() {
    World world;
    const QString dir = world.folder();
    const QString oldOne = dir + QStringLiteral("/Screenshot old.png");
    const QString recent = dir + QStringLiteral("/Screenshot recent.png");
    const QString fresh = dir + QStringLiteral("/Screenshot fresh.png");
    writeFile(oldOne);
    writeFile(recent);
    writeFile(fresh);
    age(oldOne, 8);
    age(recent, 6);
    world.pointTo(dir);
    auto w = world.watcher();
    QTRY_COMPARE_WITH_TIMEOUT(w->screenshots().size(), 3, kWait);

    world.prefs.setAutoDeleteDays(0);
    w->sweepOldScreenshots();
    QCOMPARE(w->screenshots().size(), 3);

    world.prefs.setAutoDeleteDays(7);
    w->sweepOldScreenshots();
    QCOMPARE(w->screenshots(),
             (QList<QUrl>{QUrl::fromLocalFile(fresh), QUrl::fromLocalFile(recent)}));
    QVERIFY(!QFile::exists(oldOne));
    QVERIFY(QFile::exists(recent));

    // Without a date to read, a capture is never old enough.
    QVERIFY(QFile::remove(recent));
    world.prefs.setAutoDeleteDays(1);
    age(fresh, 3);
    w->sweepOldScreenshots();
    QCOMPARE(w->screenshots(), QList<QUrl>{QUrl::fromLocalFile(recent)});
}

void TestScreenshotHousekeeping::dedicatedFolderWritesEveryTool() {
    World world;
    const QString start = world.folder(QStringLiteral("start"));
    writeFile(start + QStringLiteral("/Screenshot s.png"));
    world.pointTo(start);
    writeFile(world.location.flameshotConfig(), "[General]\nsavePath=/x\nsavePathFixed=false\n");
    writeFile(world.location.xfceConfig(), "[Preferences]\nscreenshot_dir=file:///x\n");
    const QString dedicated = QDir::homePath() + QStringLiteral("/Pictures/Screenshots");
    QDir(dedicated).removeRecursively();
    auto w = world.watcher();
    QTRY_COMPARE_WITH_TIMEOUT(w->screenshots().size(), 1, kWait);

    // On: the folder is made, every tool saves there and the watcher follows at once.
    w->applyDedicatedFolder(true);
    QVERIFY(QFileInfo(dedicated).isDir());
    const QByteArray url = QUrl::fromLocalFile(dedicated).toEncoded();
    QCOMPARE(QFile(world.location.flameshotConfig()).open(QIODevice::ReadOnly), true);
    QFile flameshot(world.location.flameshotConfig());
    QVERIFY(flameshot.open(QIODevice::ReadOnly));
    QCOMPARE(flameshot.readAll(),
             "[General]\nsavePath=" + QFile::encodeName(dedicated) + "\nsavePathFixed=false\n");
    QFile xfce(world.location.xfceConfig());
    QVERIFY(xfce.open(QIODevice::ReadOnly));
    QCOMPARE(xfce.readAll(), "[Preferences]\nscreenshot_dir=" + url + "\n");
    QTRY_COMPARE_WITH_TIMEOUT(w->dir(), QUrl::fromLocalFile(dedicated), kWait);
    QTRY_VERIFY_WITH_TIMEOUT(w->screenshots().isEmpty(), kWait);

    // Off: always the Desktop, whatever was there before.
    const QString desktop = QDir::homePath() + QStringLiteral("/Desktop");
    writeFile(desktop + QStringLiteral("/Screenshot on desktop.png"));
    w->applyDedicatedFolder(false);
    QCOMPARE(world.location.read(), desktop);
    QTRY_COMPARE_WITH_TIMEOUT(w->dir(), QUrl::fromLocalFile(desktop), kWait);
    QTRY_COMPARE_WITH_TIMEOUT(w->screenshots().size(), 1, kWait);
    QCOMPARE(w->unseenCount(), 0);
    QFile spectacle(world.location.spectacleConfig());
    QVERIFY(spectacle.open(QIODevice::ReadOnly));
    QCOMPARE(spectacle.readAll(),
             "[Save]\ndefaultSaveLocation=" + QUrl::fromLocalFile(desktop).toEncoded() + "/\n");
    QFile::remove(desktop + QStringLiteral("/Screenshot on desktop.png"));
}

QTEST_GUILESS_MAIN(TestScreenshotHousekeeping)
#include "tst_screenshothousekeeping.moc"
