// The screenshot watcher on real folders with real inotify: what counts as a
// screenshot, the listing, new captures, and the housekeeping (following the
// tool's folder, rename, Trash, the age sweep). Doubles only for what cannot
// run here.
#include "helpers/TempPrefs.h"
#include "platform/SystemSound.h"
#include "platform/freedesktop/FreedesktopScreenCaptureProbe.h"
#include "platform/freedesktop/FreedesktopTrash.h"
#include "platform/freedesktop/InotifyFolderWatch.h"
#include "platform/freedesktop/ToolScreenshotLocation.h"
#include "screenshots/CaptureMarks.h"
#include "screenshots/ScreenshotScan.h"
#include "screenshots/ScreenshotWatcher.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QTimer>

#include <sys/stat.h>

namespace {
constexpr int kWait = 5000;

void writeFile(const QString& path, const QByteArray& bytes = "capture") {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Writes path so that its capture date is later than than's: file times
// come from a coarse clock, and files written in one tick share a date.
bool writtenNewer(const QString& path, const QString& than) {
    QFile::remove(path);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write("capture") != 7)
        return false;
    f.close();
    return ScreenshotScan::creationDate(QFileInfo(path)) >
           ScreenshotScan::creationDate(QFileInfo(than));
}

void age(const QString& path, int days) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(QDateTime::currentDateTime().addDays(-days),
                          QFileDevice::FileModificationTime));
}

// No audio device here: remembers the events instead of playing them.
class RecordingSound : public SystemSound {
public:
    void play(const QString& eventId) override { played.append(eventId); }
    QStringList played;
};

// The real Trash cannot be made to refuse a file when tests run as root.
class RefusingTrash : public FreedesktopTrash {
public:
    bool moveToTrash(const QString&) override { return false; }
};

// One user's world: settings, tool configuration and folders in a temp dir.
// The session is KDE, so the folder is whatever spectaclerc names.
struct World : TempPrefs {
    ToolScreenshotLocation location{dir.filePath(QStringLiteral("cfg")), QStringLiteral("KDE"),
                                    &defaults};
    CaptureMarks marks{dir.filePath(QStringLiteral("capture-marks"))};
    FreedesktopTrash trash;
    RecordingSound sound;
    QList<QUrl> copied;
    QList<qint64> copiedSizes;

    QString folder(const QString& name = QStringLiteral("shots")) const {
        return dir.filePath(name);
    }
    void pointTo(const QString& path) {
        writeFile(location.spectacleConfig(),
                  "[Save]\ndefaultSaveLocation=" + QUrl::fromLocalFile(path).toEncoded() + "/\n");
    }
    std::unique_ptr<ScreenshotWatcher> watcher(Trash* trashToUse = nullptr,
                                               ScreenshotWatcher::Timing timing = {}) {
        return std::make_unique<ScreenshotWatcher>(
            prefs, location, trashToUse ? *trashToUse : trash, sound, marks,
            std::make_unique<InotifyFolderWatch>(),
            std::make_shared<FreedesktopScreenCaptureProbe>(),
            [this](const QUrl& url) {
                copied.append(url);
                copiedSizes.append(QFileInfo(url.toLocalFile()).size());
            },
            timing);
    }
    // A watcher on a folder holding the given files, once it has listed and watches it.
    std::unique_ptr<ScreenshotWatcher> watching(const QString& dir, const QStringList& names,
                                                Trash* trashToUse = nullptr,
                                                ScreenshotWatcher::Timing timing = {}) {
        QDir().mkpath(dir);
        for (const QString& name : names)
            writeFile(dir + u'/' + name);
        pointTo(dir);
        auto w = watcher(trashToUse, timing);
        waitUntilWatching(*w, dir);
        return w;
    }
    static void waitUntilWatching(ScreenshotWatcher& w, const QString& folder) {
        QTRY_VERIFY_WITH_TIMEOUT(w.isWatching() && w.dir() == QUrl::fromLocalFile(folder), kWait);
        const qsizetype present =
            QDir(folder).entryList({QStringLiteral("Screenshot*")}, QDir::Files).size();
        QTRY_COMPARE_WITH_TIMEOUT(w.known().size(), present, kWait);
    }
};

QUrl urlOf(const QString& folder, const QString& name) {
    return QUrl::fromLocalFile(folder + QLatin1Char('/') + name);
}
} // namespace

class TestScreenshotWatcher : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void detection_data();
    void detection();
    void listingIsNewestFirstAndCapped();
    void folderThatGoesAndComesBack();
    void newCapturesAreCountedCopiedAndSounded();
    void growingAndVanishingFiles();
    void followsTheToolsFolder();
    void renameRules();
    void trashKeepsListAndFolderInStep();
    void sweepTrashesOnlyOldCaptures();
};

void TestScreenshotWatcher::detection_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("upper-case extension") << "Screenshot 1.PNG"
                                          << "file" << true;
    QTest::newRow("pattern needs a word end") << "Screenshots.png"
                                              << "file" << false;
    QTest::newRow("pattern is case-sensitive") << "screenshot 1.png"
                                               << "file" << false;
    QTest::newRow("lower case, marked by the tool") << "screenshot 1.png"
                                                    << "gnome" << true;
    QTest::newRow("dot file") << ".Screenshot 1.png"
                              << "file" << false;
    QTest::newRow("gif") << "Screenshot 1.gif"
                         << "file" << false;
    QTest::newRow("tool template") << "Screenshot_20240101_100000.png"
                                   << "file" << true;
    QTest::newRow("FIFO with a capture name") << "Screenshot fifo.png"
                                              << "fifo" << false;
    QTest::newRow("link to a FIFO") << "Screenshot link.png"
                                    << "fifolink" << false;
    QTest::newRow("link to a capture") << "Screenshot link.png"
                                       << "link" << true;
    QTest::newRow("folder with a capture name") << "Screenshot dir.png"
                                                << "dir" << false;
}

void TestScreenshotWatcher::detection() {
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(bool, accepted);
    QTemporaryDir tmp;
    const QString path = tmp.filePath(name);
    const QByteArray target = QFile::encodeName(tmp.filePath(QStringLiteral("target")));
    if (kind == QLatin1String("file")) {
        writeFile(path);
    } else if (kind == QLatin1String("gnome")) {
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QImageWriter writer(path, "png");
        writer.setText(QStringLiteral("Software"), QStringLiteral("gnome-screenshot"));
        QVERIFY(writer.write(image));
    } else if (kind == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == QLatin1String("fifolink")) {
        QCOMPARE(::mkfifo(target.constData(), 0600), 0);
        QVERIFY(QFile::link(QString::fromLocal8Bit(target), path));
    } else if (kind == QLatin1String("link")) {
        writeFile(QString::fromLocal8Bit(target));
        QVERIFY(QFile::link(QString::fromLocal8Bit(target), path));
    } else {
        QVERIFY(QDir().mkpath(path));
    }
    const FreedesktopScreenCaptureProbe probe;
    QCOMPARE(ScreenshotScan::isScreenshot(QFileInfo(path), probe), accepted);
    QCOMPARE(ScreenshotScan::list(tmp.path(), probe).urls().contains(QUrl::fromLocalFile(path)),
             accepted);
}

void TestScreenshotWatcher::listingIsNewestFirstAndCapped() {
    World world;
    const QString dir = world.folder();
    for (int i = 0; i < 150; ++i)
        writeFile(dir + QStringLiteral("/Screenshot %1.png").arg(i, 3, 10, QChar('0')));
    // Copied in last with its old times kept: it was captured here, now.
    const QString kept = dir + QStringLiteral("/Screenshot kept.png");
    QTRY_VERIFY_WITH_TIMEOUT(writtenNewer(kept, dir + QStringLiteral("/Screenshot 149.png")),
                             kWait);
    age(kept, 300);
    writeFile(dir + QStringLiteral("/notes.txt"));
    world.pointTo(dir);
    auto w = world.watcher();
    QCOMPARE(w->dir(), QUrl::fromLocalFile(dir));
    QTRY_COMPARE_WITH_TIMEOUT(w->screenshots().size(), 100, kWait);
    QCOMPARE(w->known().size(), 151);
    const QList<QUrl> listed = w->screenshots();
    auto date = [](const QUrl& url) {
        return ScreenshotScan::creationDate(QFileInfo(url.toLocalFile()));
    };
    for (qsizetype i = 1; i < listed.size(); ++i)
        QVERIFY(date(listed[i - 1]) >= date(listed[i]));
    for (const QString& name : QDir(dir).entryList({QStringLiteral("Screenshot*")})) {
        const QUrl url = urlOf(dir, name);
        QVERIFY2(listed.contains(url) || date(url) <= date(listed.last()), qPrintable(name));
    }
    // Where the file system keeps birth times, the copy is the newest capture.
    if (QFileInfo(kept).birthTime().isValid())
        QCOMPARE(listed.first(), QUrl::fromLocalFile(kept));
    // What was there at start-up is not new.
    QCOMPARE(w->unseenCount(), 0);
    QVERIFY(world.copied.isEmpty());

    // A watcher gone before its listing and watch are back: the results are dropped.
    world.pointTo(QDir::homePath());
    world.watcher().reset();
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
}

void TestScreenshotWatcher::folderThatGoesAndComesBack() {
    World world;
    const QString dir = world.folder();
    const QString away = world.folder(QStringLiteral("away"));
    // Made long before the folder goes: it comes back with it, not as a capture.
    const QString elsewhere = away + QStringLiteral("/Screenshot elsewhere.png");
    writeFile(elsewhere);
    auto w = world.watching(dir, {u"Screenshot old.png"_qs});

    // Moved to the Trash: nothing listed, and the same folder is awaited.
    QVERIFY(QDir().rename(dir, world.folder(QStringLiteral("trashed"))));
    QTRY_VERIFY_WITH_TIMEOUT(w->screenshots().isEmpty() && !w->isWatching(), kWait);
    QCOMPARE(w->dir(), QUrl::fromLocalFile(dir));

    // The tool makes it again with its next capture: watched again, and that capture is new.
    writeFile(dir + QStringLiteral("/Screenshot next.png"));
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 1, kWait);
    QCOMPARE(world.copied, QList<QUrl>{urlOf(dir, QStringLiteral("Screenshot next.png"))});
    QTRY_VERIFY_WITH_TIMEOUT(w->isWatching(), kWait);
    writeFile(dir + QStringLiteral("/Screenshot after.png"));
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 2, kWait);

    // Deleted, then a folder that already holds captures is moved into its
    // place: listed, none of them counted.
    QVERIFY(QDir(dir).removeRecursively());
    QTRY_VERIFY_WITH_TIMEOUT(w->screenshots().isEmpty(), kWait);
    QTRY_VERIFY_WITH_TIMEOUT(QDateTime::currentDateTime() >
                                 ScreenshotScan::arrivalDate(QFileInfo(elsewhere)).addSecs(2),
                             kWait);
    QVERIFY(QDir().rename(away, dir));
    QTRY_COMPARE_WITH_TIMEOUT(w->screenshots(),
                              QList<QUrl>{urlOf(dir, QStringLiteral("Screenshot elsewhere.png"))},
                              kWait);
    writeFile(dir + QStringLiteral("/Screenshot last.png"));
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 3, kWait);
    QCOMPARE(world.copied.last(), urlOf(dir, QStringLiteral("Screenshot last.png")));
    QCOMPARE(world.copied.size(), 3);
}

void TestScreenshotWatcher::newCapturesAreCountedCopiedAndSounded() {
    World world;
    world.prefs.setPlaySound(true);
    const QString dir = world.folder();
    auto w = world.watching(dir, {QStringLiteral("Screenshot old.png")});
    QSignalSpy counted(w.get(), &ScreenshotWatcher::newScreenshotsCounted);
    // Prepared elsewhere with distinct dates (files made within one clock tick
    // share one), then moved in at once, as a tool saving three captures
    // would: one rescan, handled oldest first.
    QStringList names;
    const QString staging = world.folder(QStringLiteral("staging"));
    writeFile(staging + QStringLiteral("/first"));
    QString previous = staging + QStringLiteral("/first");
    for (int i = 1; i <= 3; ++i) {
        names << QStringLiteral("Screenshot burst %1.png").arg(i);
        const QString path = staging + QLatin1Char('/') + names.last();
        QTRY_VERIFY_WITH_TIMEOUT(writtenNewer(path, previous), kWait);
        previous = path;
    }
    QSignalSpy listed(w.get(), &ScreenshotWatcher::screenshotsChanged);
    QList<QUrl> expected;
    for (const QString& name : names) {
        QVERIFY(QFile::rename(staging + QLatin1Char('/') + name, dir + QLatin1Char('/') + name));
        expected << urlOf(dir, name);
    }
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 3, kWait);
    QCOMPARE(listed.count(), 1);
    QCOMPARE(world.copied, expected);
    QCOMPARE(w->screenshots().first(), expected.last());
    QCOMPARE(world.sound.played, QStringList(3, QStringLiteral("screen-capture")));
    QCOMPARE(counted.count(), 3);

    // The settings are read at the moment of use.
    world.prefs.setAutoCopyScreenshots(false);
    world.prefs.setPlaySound(false);
    writeFile(dir + QStringLiteral("/Screenshot newer.png"));
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 4, kWait);
    QCOMPARE(world.copied.size(), 3);
    QCOMPARE(world.sound.played.size(), 3);
    QCOMPARE(counted.count(), 4);

    // Only names are new, and each only once; other files are never counted.
    writeFile(dir + QStringLiteral("/Screenshot newer.png"), "rewritten");
    writeFile(dir + QStringLiteral("/holiday.png"));
    writeFile(dir + QStringLiteral("/Screenshot last.png"));
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 5, kWait);
    QCOMPARE(w->screenshots().size(), 6);

    // GNOME Shell plays the capture sound itself: once is enough.
    world.prefs.setPlaySound(true);
    ToolScreenshotLocation gnome(world.dir.filePath(QStringLiteral("cfg")),
                                 QStringLiteral("GNOME"));
    ScreenshotWatcher shell(world.prefs, gnome, world.trash, world.sound, world.marks,
                            std::make_unique<InotifyFolderWatch>(),
                            std::make_shared<FreedesktopScreenCaptureProbe>(), {});
    const QString shellFolder = ToolScreenshotLocation::gnomeShellFolder();
    QCOMPARE(shell.dir(), QUrl::fromLocalFile(shellFolder));
    writeFile(shellFolder + QStringLiteral("/Screenshot from GNOME.png"));
    QTRY_COMPARE_WITH_TIMEOUT(shell.unseenCount(), 1, kWait);
    QCOMPARE(world.sound.played.size(), 3);
}

void TestScreenshotWatcher::growingAndVanishingFiles() {
    World world;
    const QString dir = world.folder();
    ScreenshotWatcher::Timing timing;
    timing.settleStepMs = 100;
    auto w = world.watching(dir, {}, nullptr, timing);

    // Still being written: handled once two looks a step apart agree.
    QFile growing(dir + QStringLiteral("/Screenshot growing.png"));
    QVERIFY(growing.open(QIODevice::WriteOnly));
    int chunks = 0;
    QTimer writer;
    writer.setInterval(40);
    connect(&writer, &QTimer::timeout, &growing, [&] {
        growing.write(QByteArray(1000, 'x'));
        growing.flush();
        if (++chunks == 12) {
            writer.stop();
            growing.close();
        }
    });
    writer.start();
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 1, kWait);
    QCOMPARE(chunks, 12);
    QCOMPARE(world.copiedSizes, QList<qint64>{12000});

    // Made empty first and written a little later: not a capture until then.
    const QString late = dir + QStringLiteral("/Screenshot late.png");
    writeFile(late, {});
    QTRY_VERIFY_WITH_TIMEOUT(w->screenshots().contains(QUrl::fromLocalFile(late)), kWait);
    QTimer::singleShot(timing.settleStepMs * 5 / 2, w.get(), [&] { writeFile(late, "capture"); });
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 2, kWait);
    QCOMPARE(world.copiedSizes, QList<qint64>({12000, 7}));

    // Deleted while settling: never counted. An empty file never settles, so
    // the one written after it is handled only after every try of the first.
    const QString doomed = dir + QStringLiteral("/Screenshot doomed.png");
    writeFile(doomed, {});
    QTRY_VERIFY_WITH_TIMEOUT(w->screenshots().contains(QUrl::fromLocalFile(doomed)), kWait);
    QVERIFY(QFile::remove(doomed));
    const QString empty = dir + QStringLiteral("/Screenshot empty.png");
    writeFile(empty, {});
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 3, kWait);
    QCOMPARE(world.copied.last(), QUrl::fromLocalFile(empty));
    QCOMPARE(world.copied.size(), 3);
}

void TestScreenshotWatcher::followsTheToolsFolder() {
    World world;
    const QString first = world.folder(QStringLiteral("first"));
    const QString second = world.folder(QStringLiteral("second"));
    for (const char* name : {"Screenshot b.png", "Screenshot c.png", "notes.txt"})
        writeFile(second + QLatin1Char('/') + QLatin1String(name));
    ScreenshotWatcher::Timing timing;
    timing.relocateMs = 200;
    auto w = world.watching(first, {QStringLiteral("Screenshot a.png")}, nullptr, timing);

    // The user picks another folder in the tool: followed at the next check.
    world.pointTo(second);
    QTRY_COMPARE_WITH_TIMEOUT(w->dir(), QUrl::fromLocalFile(second), kWait);
    QTRY_COMPARE_WITH_TIMEOUT(w->screenshots().size(), 2, kWait);
    QCOMPARE(w->known(), (QSet<QString>{QStringLiteral("Screenshot b.png"),
                                        QStringLiteral("Screenshot c.png")}));
    World::waitUntilWatching(*w, second);
    QCOMPARE(w->unseenCount(), 0);
    QVERIFY(world.copied.isEmpty());

    // The old folder is no longer watched; the new one is.
    writeFile(first + QStringLiteral("/Screenshot stale.png"));
    writeFile(second + QStringLiteral("/Screenshot d.png"));
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 1, kWait);
    QCOMPARE(world.copied, QList<QUrl>{urlOf(second, QStringLiteral("Screenshot d.png"))});

    // The dedicated folder: made in Pictures and followed at once when on; the
    // tool's folder again when off, nothing counted either way (what each
    // tool's settings hold is checked in tst_screenshotplatform).
    const QString dedicated =
        QStandardPaths::writableLocation(QStandardPaths::PicturesLocation) + u"/Screenshots"_qs;
    QDir(dedicated).removeRecursively();
    w->applyDedicatedFolder(true);
    QVERIFY(QFileInfo(dedicated).isDir());
    QTRY_COMPARE_WITH_TIMEOUT(w->dir(), QUrl::fromLocalFile(dedicated), kWait);
    QTRY_VERIFY_WITH_TIMEOUT(w->screenshots().isEmpty(), kWait);
    w->applyDedicatedFolder(false);
    QTRY_COMPARE_WITH_TIMEOUT(w->dir(), QUrl::fromLocalFile(second), kWait);
    QTRY_COMPARE_WITH_TIMEOUT(w->screenshots().size(), 3, kWait);
    QCOMPARE(w->unseenCount(), 1);
}

void TestScreenshotWatcher::renameRules() {
    World world;
    const QString dir = world.folder();
    auto w = world.watching(dir, {u"Screenshot_20240101_100000.png"_qs, u"Screenshot 2.jpg"_qs,
                                  u"Screenshot 3.png"_qs, u"Screenshot 4.png"_qs, u"taken.png"_qs});
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

void TestScreenshotWatcher::trashKeepsListAndFolderInStep() {
    World world;
    const QString dir = world.folder();
    RefusingTrash refusing;
    auto w = world.watching(
        dir, {u"Screenshot 1.png"_qs, u"Screenshot 2.png"_qs, u"Screenshot 3.png"_qs}, &refusing);
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

void TestScreenshotWatcher::sweepTrashesOnlyOldCaptures() {
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

QTEST_GUILESS_MAIN(TestScreenshotWatcher)
#include "tst_screenshotwatcher.moc"
