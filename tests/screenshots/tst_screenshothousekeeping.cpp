// Screenshot housekeeping on real folders: following the tool's setting,
// rename, Trash, the age sweep and the dedicated folder.
#include "WatcherWorld.h"

using namespace WatcherWorld;

class TestScreenshotHousekeeping : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void relocationFollowsTheToolsSetting();
    void renameRules();
    void trashKeepsListAndFolderInStep();
    void sweepTrashesOnlyOldCaptures();
    void dedicatedFolderIsFollowed();
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

    // A folder the tool has not made yet is awaited, not swapped for the
    // Desktop; everything that appears in it is new, the first capture too.
    const QString missing = world.folder(QStringLiteral("missing"));
    world.pointTo(missing);
    QTRY_COMPARE_WITH_TIMEOUT(w->dir(), QUrl::fromLocalFile(missing), kWait);
    QVERIFY(!w->isWatching());
    writeFile(missing + QStringLiteral("/Screenshot first.png"));
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 2, kWait);
    QCOMPARE(world.copied.last(), urlOf(missing, QStringLiteral("Screenshot first.png")));
    QCOMPARE(w->screenshots(), QList<QUrl>{world.copied.last()});
}

void TestScreenshotHousekeeping::renameRules() {
    World world;
    const QString dir = world.folder();
    for (const char* name : {"Screenshot_20240101_100000.png", "Screenshot 2.jpg",
                             "Screenshot 3.png", "Screenshot 4.png", "taken.png"})
        writeFile(dir + QLatin1Char('/') + QLatin1String(name));
    world.pointTo(dir);
    auto w = world.watcher();
    waitUntilWatching(*w, dir);
    QTRY_COMPARE_WITH_TIMEOUT(w->screenshots().size(), 4, kWait);
    const QUrl one = urlOf(dir, QStringLiteral("Screenshot_20240101_100000.png"));
    const QList<QUrl> before = w->screenshots();
    QSignalSpy listed(w.get(), &ScreenshotWatcher::screenshotsChanged);

    // Refused: nothing moves, nothing changes.
    for (const QString& bad : {u""_qs, u" \t "_qs, u"taken"_qs, u"../escaped"_qs, u"a/b.png"_qs})
        QVERIFY2(!w->renameScreenshot(one, bad), qPrintable(bad));
    QVERIFY(QFile::exists(one.toLocalFile()));
    QCOMPARE(w->screenshots(), before);
    QCOMPARE(listed.count(), 0);

    // Spaces and tabs go; the extension stays unless the name ends in a capture's own.
    const QList<std::pair<QUrl, QString>> renames{
        {one, QStringLiteral(" \tholiday  ")},
        {urlOf(dir, QStringLiteral("Screenshot 2.jpg")), QStringLiteral("v1.2")},
        {urlOf(dir, QStringLiteral("Screenshot 3.png")), QStringLiteral("v1.2 mock")},
        {urlOf(dir, QStringLiteral("Screenshot 4.png")), QStringLiteral("beach.JPEG")}};
    const QStringList names{QStringLiteral("holiday.png"), QStringLiteral("v1.2.jpg"),
                            QStringLiteral("v1.2 mock.png"), QStringLiteral("beach.JPEG")};
    QList<QUrl> expected = before;
    for (qsizetype i = 0; i < renames.size(); ++i) {
        const auto renamed = w->renameScreenshot(renames[i].first, renames[i].second);
        QCOMPARE(renamed, std::optional<QUrl>(urlOf(dir, names[i])));
        QVERIFY(QFile::exists(renamed->toLocalFile()));
        expected[before.indexOf(renames[i].first)] = *renamed;
    }
    QVERIFY(!QFile::exists(one.toLocalFile()));
    QCOMPARE(w->screenshots(), expected);
    QVERIFY(w->known().contains(QStringLiteral("holiday.png")));
    QVERIFY(!w->known().contains(one.fileName()));

    // The rescan the moves cause keeps every renamed capture and finds nothing new.
    const int edits = int(listed.count());
    QTRY_VERIFY_WITH_TIMEOUT(listed.count() > edits, kWait);
    QCOMPARE(QSet<QUrl>(w->screenshots().cbegin(), w->screenshots().cend()),
             QSet<QUrl>(expected.cbegin(), expected.cend()));
    QCOMPARE(w->unseenCount(), 0);
    QVERIFY(world.copied.isEmpty());

    // And so does the next start, with the attribute or, where a file
    // system refuses it, the list in the data folder. (The test's file system
    // accepts attributes, so the list is fed directly.)
    const QString plain = world.folder(QStringLiteral("plain.png"));
    writeFile(plain);
    QVERIFY(!CaptureMarks::hasAttribute(plain));
    world.marks.remember({*CaptureMarks::keyOf(plain)});
    QVERIFY(QFile::rename(plain, dir + QStringLiteral("/from list.png")));
    w.reset();
    CaptureMarks reread(world.dir.filePath(QStringLiteral("capture-marks")));
    QVERIFY(reread.isMarked(dir + QStringLiteral("/from list.png")));
    auto again = world.watcher();
    QTRY_COMPARE_WITH_TIMEOUT(again->screenshots().size(), 5, kWait);
    QVERIFY(again->screenshots().contains(urlOf(dir, QStringLiteral("from list.png"))));
    QVERIFY(!again->screenshots().contains(urlOf(dir, QStringLiteral("taken.png"))));
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

    // Already gone from the folder: dropped from the list as well.
    const QUrl two = urlOf(dir, QStringLiteral("Screenshot 2.png"));
    QVERIFY(QFile::remove(two.toLocalFile()));
    w->trashScreenshot(two);
    QVERIFY(!w->screenshots().contains(two));
}

void TestScreenshotHousekeeping::sweepTrashesOnlyOldCaptures() {
    World world;
    const QString dir = world.folder();
    const QString fresh = dir + QStringLiteral("/Screenshot fresh.png");
    // Moved in with the times it had elsewhere, as a restore or a sync keeps them.
    const QString movedIn = dir + QStringLiteral("/Screenshot moved in.png");
    const QString gone = dir + QStringLiteral("/Screenshot gone.png");
    for (const QString& path : {fresh, movedIn, gone})
        writeFile(path);
    age(movedIn, 30);
    world.pointTo(dir);
    ScreenshotWatcher::Timing timing;
    QDateTime now = QDateTime::currentDateTime();
    timing.now = [&now] {
        return now;
    };
    auto w = world.watcher(nullptr, timing);
    QTRY_COMPARE_WITH_TIMEOUT(w->screenshots().size(), 3, kWait);
    // Without a date to read, a capture is never old enough.
    QVERIFY(QFile::remove(gone));

    // Each gets its full days in the folder, whatever its modification time says.
    world.prefs.setAutoDeleteDays(7);
    for (int days : {0, 6}) {
        now = QDateTime::currentDateTime().addDays(days);
        w->sweepOldScreenshots();
        QCOMPARE(w->screenshots().size(), 3);
        QVERIFY(QFile::exists(movedIn));
    }
    world.prefs.setAutoDeleteDays(0);
    now = QDateTime::currentDateTime().addDays(400);
    w->sweepOldScreenshots();
    QCOMPARE(w->screenshots().size(), 3);

    world.prefs.setAutoDeleteDays(7);
    now = QDateTime::currentDateTime().addDays(8);
    w->sweepOldScreenshots();
    QCOMPARE(w->screenshots(), QList<QUrl>{QUrl::fromLocalFile(gone)});
    QVERIFY(!QFile::exists(fresh) && !QFile::exists(movedIn));
}

// What each tool's settings hold on and off is checked in tst_screenshotplatform.
void TestScreenshotHousekeeping::dedicatedFolderIsFollowed() {
    World world;
    const QString start = world.folder(QStringLiteral("start"));
    writeFile(start + QStringLiteral("/Screenshot s.png"));
    world.pointTo(start);
    const QString dedicated =
        QStandardPaths::writableLocation(QStandardPaths::PicturesLocation) + u"/Screenshots"_qs;
    QDir(dedicated).removeRecursively();
    auto w = world.watcher();
    QTRY_COMPARE_WITH_TIMEOUT(w->screenshots().size(), 1, kWait);

    // On: the folder is made in Pictures and the watcher follows at once.
    w->applyDedicatedFolder(true);
    QVERIFY(QFileInfo(dedicated).isDir());
    QTRY_COMPARE_WITH_TIMEOUT(w->dir(), QUrl::fromLocalFile(dedicated), kWait);
    QTRY_VERIFY_WITH_TIMEOUT(w->screenshots().isEmpty(), kWait);

    // Off: the watcher follows the session's tool back, nothing counted.
    w->applyDedicatedFolder(false);
    QTRY_COMPARE_WITH_TIMEOUT(w->dir(), QUrl::fromLocalFile(start), kWait);
    QTRY_COMPARE_WITH_TIMEOUT(w->screenshots().size(), 1, kWait);
    QCOMPARE(w->unseenCount(), 0);
}

QTEST_GUILESS_MAIN(TestScreenshotHousekeeping)
#include "tst_screenshothousekeeping.moc"
