// The screenshot watcher and its housekeeping on real folders with real inotify.
#include "helpers/ReadOnlyTree.h"
#include "helpers/StallProbe.h"
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
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int kWait = 5000;

void writeFile(const QString& path, const QByteArray& bytes = "capture") {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Writes path dated later than than's (files written in one clock tick share a date).
bool writtenNewer(const QString& path, const QString& than) {
    QFile::remove(path);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write("capture") != 7)
        return false;
    f.close();
    return ScreenshotScan::creationDate(QFileInfo(path)) >
           ScreenshotScan::creationDate(QFileInfo(than));
}

// No audio device here: remembers the events instead of playing them.
class RecordingSound : public SystemSound {
public:
    void play(const QString& eventId) override { played.append(eventId); }
    QStringList played;
};

// The real Trash, told to refuse: it cannot be made to refuse a file when tests run as root.
class RefusingTrash : public FreedesktopTrash {
public:
    bool moveToTrash(const QString& path) override {
        return !refuse && FreedesktopTrash::moveToTrash(path);
    }
    bool refuse = false;
};

// One user's settings, tool configuration (KDE's spectaclerc) and folders in a temp dir.
struct World : TempPrefs {
    ToolScreenshotLocation location{dir.filePath(QStringLiteral("cfg")), QStringLiteral("KDE"),
                                    &defaults};
    CaptureMarks marks{dir.filePath(QStringLiteral("capture-marks"))};
    RefusingTrash trash;
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
    std::unique_ptr<ScreenshotWatcher> watcher(ScreenshotWatcher::Timing timing = {}) {
        return std::make_unique<ScreenshotWatcher>(
            prefs, location, trash, sound, marks, std::make_unique<InotifyFolderWatch>(),
            std::make_shared<FreedesktopScreenCaptureProbe>(),
            [this](const QUrl& url) {
                copied.append(url);
                copiedSizes.append(QFileInfo(url.toLocalFile()).size());
            },
            timing);
    }
    // A watcher on a folder holding the given files, once it has listed and watches it.
    std::unique_ptr<ScreenshotWatcher> watching(const QString& dir, const QStringList& names,
                                                ScreenshotWatcher::Timing timing = {}) {
        QDir().mkpath(dir);
        for (const QString& name : names)
            writeFile(dir + u'/' + name);
        pointTo(dir);
        auto w = watcher(timing);
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
    // A capture: a whole-word, case-sensitive name (or one the probe knows), a picture, a file.
    void detection() {
        QTemporaryDir tmp;
        const auto path = [&](const char* name) {
            return tmp.filePath(QString::fromUtf8(name));
        };
        for (const char* name :
             {"Screenshot 1.PNG", "Screenshots.png", "screenshot 1.png", ".Screenshot 1.png",
              "Screenshot 1.gif", "Screenshot_20240101_100000.png", "2024-01-31_23-59.png",
              "target"})
            writeFile(path(name));
        for (const char* fifo : {"Screenshot fifo.png", "fifo"})
            QCOMPARE(::mkfifo(QFile::encodeName(path(fifo)).constData(), 0600), 0);
        QVERIFY(QFile::link(path("fifo"), path("Screenshot fifo link.png")));
        QVERIFY(QFile::link(path("target"), path("Screenshot link.png")));

        QSet<QUrl> accepted;
        for (const char* name : {"Screenshot 1.PNG", "2024-01-31_23-59.png",
                                 "Screenshot_20240101_100000.png", "Screenshot link.png"})
            accepted << QUrl::fromLocalFile(path(name));
        const QList<QUrl> listed =
            ScreenshotScan::list(tmp.path(), FreedesktopScreenCaptureProbe()).urls();
        QCOMPARE(QSet<QUrl>(listed.cbegin(), listed.cend()), accepted);
    }

    void listingAndAFolderThatGoesAndComesBack() {
        World world;
        const QString dir = world.folder();
        const QString away = world.folder(QStringLiteral("away"));
        // Made long before the folder goes: it comes back with it, not as a capture.
        const QString elsewhere = away + QStringLiteral("/Screenshot elsewhere.png");
        writeFile(elsewhere);
        for (int i = 0; i < 150; ++i)
            writeFile(dir + QStringLiteral("/Screenshot %1.png").arg(i, 3, 10, QChar('0')));
        writeFile(dir + QStringLiteral("/notes.txt"));
        world.pointTo(dir);
        auto w = world.watcher();
        QTRY_COMPARE_WITH_TIMEOUT(w->screenshots().size(), 100, kWait);
        QCOMPARE(w->known().size(), 150);
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
        QCOMPARE(w->unseenCount(), 0); // what was there at start-up is not new
        World::waitUntilWatching(*w, dir);

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

        // Deleted, then a folder holding captures is moved into its place: listed, none counted.
        QVERIFY(QDir(dir).removeRecursively());
        QTRY_VERIFY_WITH_TIMEOUT(w->screenshots().isEmpty(), kWait);
        QTRY_VERIFY_WITH_TIMEOUT(QDateTime::currentDateTime() >
                                     ScreenshotScan::arrivalDate(QFileInfo(elsewhere)).addSecs(2),
                                 kWait);
        QVERIFY(QDir().rename(away, dir));
        QTRY_COMPARE_WITH_TIMEOUT(
            w->screenshots(), QList<QUrl>{urlOf(dir, QStringLiteral("Screenshot elsewhere.png"))},
            kWait);
        writeFile(dir + QStringLiteral("/Screenshot last.png"));
        QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 3, kWait);
        QCOMPARE(world.copied.last(), urlOf(dir, QStringLiteral("Screenshot last.png")));
        QCOMPARE(world.copied.size(), 3);

        // A watcher gone before its listing and watch are back: the results are dropped.
        world.pointTo(QDir::homePath());
        world.watcher().reset();
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
    }

    void newCapturesAreCountedCopiedAndSounded() {
        World world;
        world.prefs.setPlaySound(true);
        const QString dir = world.folder();
        auto w = world.watching(dir, {QStringLiteral("Screenshot old.png")});
        QSignalSpy counted(w.get(), &ScreenshotWatcher::newScreenshotsCounted);
        // Three captures with distinct dates moved in at once: one rescan, handled oldest first.
        QStringList names;
        const QString staging = world.dir.path();
        QString previous = dir + QStringLiteral("/Screenshot old.png");
        for (int i = 1; i <= 3; ++i) {
            names << QStringLiteral("Screenshot burst %1.png").arg(i);
            const QString path = staging + QLatin1Char('/') + names.last();
            QTRY_VERIFY_WITH_TIMEOUT(writtenNewer(path, previous), kWait);
            previous = path;
        }
        QSignalSpy listed(w.get(), &ScreenshotWatcher::screenshotsChanged);
        QList<QUrl> expected;
        for (const QString& name : names) {
            QVERIFY(
                QFile::rename(staging + QLatin1Char('/') + name, dir + QLatin1Char('/') + name));
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
    }

    void growingAndVanishingFiles() {
        World world;
        const QString dir = world.folder();
        ScreenshotWatcher::Timing timing;
        timing.settleStepMs = 100;
        auto w = world.watching(dir, {}, timing);

        // Still being written: handled once two looks a step apart agree.
        QFile growing(dir + QStringLiteral("/Screenshot growing.png"));
        QVERIFY(growing.open(QIODevice::WriteOnly));
        int chunks = 0;
        QTimer writer;
        writer.setInterval(40);
        connect(&writer, &QTimer::timeout, &growing, [&] {
            growing.write(QByteArray(1000, 'x'));
            growing.flush();
            if (++chunks == 12)
                writer.stop();
        });
        writer.start();
        QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 1, kWait);
        QCOMPARE(world.copiedSizes, QList<qint64>{12000});

        // Made empty first and written a little later: not a capture until then.
        const QString late = dir + QStringLiteral("/Screenshot late.png");
        writeFile(late, {});
        QTRY_VERIFY_WITH_TIMEOUT(w->screenshots().contains(QUrl::fromLocalFile(late)), kWait);
        QTimer::singleShot(timing.settleStepMs * 5 / 2, w.get(),
                           [&] { writeFile(late, "capture"); });
        QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 2, kWait);
        QCOMPARE(world.copiedSizes, QList<qint64>({12000, 7}));

        // Deleted while settling: never counted; an empty file is handled after its last try.
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

    void followsTheToolsFolder() {
        World world;
        const QString first = world.folder(QStringLiteral("first"));
        const QString second = world.folder(QStringLiteral("second"));
        for (const char* name : {"Screenshot b.png", "Screenshot c.png", "notes.txt"})
            writeFile(second + QLatin1Char('/') + QLatin1String(name));
        ScreenshotWatcher::Timing timing;
        timing.relocateMs = 200;
        auto w = world.watching(first, {QStringLiteral("Screenshot a.png")}, timing);

        // The user picks another folder in the tool: followed at the next check.
        world.pointTo(second);
        QTRY_COMPARE_WITH_TIMEOUT(w->dir(), QUrl::fromLocalFile(second), kWait);
        QTRY_COMPARE_WITH_TIMEOUT(w->screenshots().size(), 2, kWait);
        World::waitUntilWatching(*w, second);
        QCOMPARE(w->unseenCount(), 0);
        QVERIFY(world.copied.isEmpty());

        // The old folder is no longer watched; the new one is.
        writeFile(first + QStringLiteral("/Screenshot stale.png"));
        writeFile(second + QStringLiteral("/Screenshot d.png"));
        QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 1, kWait);
        QCOMPARE(world.copied, QList<QUrl>{urlOf(second, QStringLiteral("Screenshot d.png"))});

        // The dedicated folder: made in Pictures and followed when on, the tool's again when off.
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

    void renameRules() {
        World world;
        const QString dir = world.folder();
        auto w = world.watching(dir, {u"Screenshot_20240101_100000.png"_qs, u"Screenshot 2.jpg"_qs,
                                      u"Screenshot 4.png"_qs, u"taken.png"_qs});
        QTRY_COMPARE_WITH_TIMEOUT(w->screenshots().size(), 3, kWait);
        const QUrl one = urlOf(dir, QStringLiteral("Screenshot_20240101_100000.png"));
        const QList<QUrl> before = w->screenshots();
        QSignalSpy listed(w.get(), &ScreenshotWatcher::screenshotsChanged);

        // Refused: nothing moves, nothing changes.
        for (const QString& bad :
             {u""_qs, u" \t "_qs, u"taken"_qs, u"../escaped"_qs, u"a/b.png"_qs})
            QVERIFY2(!w->renameScreenshot(one, bad), qPrintable(bad));
        {
            const ReadOnlyTree readOnly(dir);
            QVERIFY(!w->renameScreenshot(one, u"holiday"_qs));
        }
        QVERIFY(QFile::exists(one.toLocalFile()));
        QCOMPARE(w->screenshots(), before);
        QCOMPARE(listed.count(), 0);

        // Spaces and tabs go; the extension stays unless the name ends in a capture's own.
        QList<QUrl> expected = before;
        for (const auto& [from, to, result] :
             {std::tuple{u"Screenshot_20240101_100000.png"_qs, u" \tholiday  "_qs,
                         u"holiday.png"_qs},
              {u"Screenshot 2.jpg"_qs, u"v1.2"_qs, u"v1.2.jpg"_qs},
              {u"Screenshot 4.png"_qs, u"beach.JPEG"_qs, u"beach.JPEG"_qs}}) {
            QCOMPARE(w->renameScreenshot(urlOf(dir, from), to), std::optional(urlOf(dir, result)));
            expected[before.indexOf(urlOf(dir, from))] = urlOf(dir, result);
        }
        QVERIFY(!QFile::exists(one.toLocalFile()));
        QCOMPARE(w->screenshots(), expected);

        // The rescan the moves cause keeps every renamed capture and finds nothing new.
        const int edits = int(listed.count());
        QTRY_VERIFY_WITH_TIMEOUT(listed.count() > edits, kWait);
        QCOMPARE(QSet<QUrl>(w->screenshots().cbegin(), w->screenshots().cend()),
                 QSet<QUrl>(expected.cbegin(), expected.cend()));
        QCOMPARE(w->unseenCount(), 0);
        QVERIFY(world.copied.isEmpty());

        // So does the next start, by the attribute or (fed directly here) the list kept
        // for file systems that refuse attributes.
        const QString plain = world.folder(QStringLiteral("plain.png"));
        writeFile(plain);
        QVERIFY(!CaptureMarks::hasAttribute(plain));
        world.marks.remember({*CaptureMarks::keyOf(plain)});
        QVERIFY(QFile::rename(plain, dir + QStringLiteral("/from list.png")));
        w.reset();
        CaptureMarks reread(world.dir.filePath(QStringLiteral("capture-marks")));
        QVERIFY(reread.isMarked(dir + QStringLiteral("/from list.png")));
        // Past its limit the list forgets its oldest entries, never the newest.
        CaptureMarks full(world.dir.filePath(QStringLiteral("full-marks")));
        QList<CaptureMarks::Key> many;
        for (quint64 i = 0; i <= quint64(CaptureMarks::kListLimit); ++i)
            many.append({0, i});
        full.remember(many);
        QVERIFY(!full.remembered().contains({0, 0}));
        QVERIFY(full.remembered().contains({0, quint64(CaptureMarks::kListLimit)}));
        auto again = world.watcher();
        QTRY_COMPARE_WITH_TIMEOUT(again->screenshots().size(), 4, kWait);
        QVERIFY(again->screenshots().contains(urlOf(dir, QStringLiteral("from list.png"))));
        QVERIFY(!again->screenshots().contains(urlOf(dir, QStringLiteral("taken.png"))));
    }

    // A crowded folder (bench/hostile_bench has 100,000 files), a link loop, an unreadable
    // file and a name that is not UTF-8: listed without holding up the main thread, and
    // the next capture is still seen.
    void hostileFolderStallsNothing() {
        World world;
        const QByteArray dir = QFile::encodeName(world.folder());
        QVERIFY(QDir().mkpath(world.folder()));
        const auto make = [&](const QByteArray& name, mode_t mode = 0600) {
            const QByteArray path = dir + '/' + name;
            const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, mode);
            ::close(fd);
            return fd >= 0;
        };
        for (int i = 0; i < 20000; ++i)
            QVERIFY(make("Screenshot " + QByteArray::number(i) + ".png"));
        QVERIFY(make("Screenshot \xff\xfe.png") && make("secret.png", 0));
        for (const auto& [target, link] :
             {std::pair{"Screenshot loop 2.png", "/Screenshot loop 1.png"},
              {"Screenshot loop 1.png", "/Screenshot loop 2.png"},
              {".", "/Screenshot here.png"}})
            QCOMPARE(::symlink(target, QByteArray(dir + link).constData()), 0);
        ReadOnlyTree::obeyFileModes();

        StallProbe probe;
        world.pointTo(world.folder());
        auto w = world.watcher();
        QTRY_VERIFY_WITH_TIMEOUT(w->isWatching() && w->known().size() >= 20000, 60000);
        writeFile(world.folder() + QStringLiteral("/Screenshot new.png"));
        QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 1, 60000);
        QVERIFY2(probe.worstMs() < 1000, qPrintable(QString::number(probe.worstMs())));
        ::unlink(dir + "/Screenshot \xff\xfe.png"); // a name Qt cannot remove
    }

    void trashKeepsListAndFolderInStep() {
        World world;
        const QString dir = world.folder();
        auto w = world.watching(
            dir, {u"Screenshot 1.png"_qs, u"Screenshot 2.png"_qs, u"Screenshot 3.png"_qs});
        const QUrl one = urlOf(dir, QStringLiteral("Screenshot 1.png"));
        const QList<QUrl> before = w->screenshots();

        // Refused: still listed and known, so the next listing does not count it as new.
        world.trash.refuse = true;
        w->trashScreenshot(one);
        QCOMPARE(w->screenshots(), before);
        QVERIFY(w->known().contains(QStringLiteral("Screenshot 1.png")));
        writeFile(dir + QStringLiteral("/Screenshot 4.png"));
        QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 1, kWait);
        QCOMPARE(world.copied, QList<QUrl>{urlOf(dir, QStringLiteral("Screenshot 4.png"))});

        // Into the real Trash: gone from the folder and the list, order kept.
        world.trash.refuse = false;
        QList<QUrl> rest = w->screenshots();
        w->trashScreenshot(one);
        rest.removeAll(one);
        QCOMPARE(w->screenshots(), rest);
        QVERIFY(!w->known().contains(QStringLiteral("Screenshot 1.png")));
        QVERIFY(!QFile::exists(one.toLocalFile()));

        // Already gone from the folder: dropped from the list as well.
        const QUrl two = urlOf(dir, QStringLiteral("Screenshot 2.png"));
        QVERIFY(QFile::remove(two.toLocalFile()));
        w->trashScreenshot(two);
        QVERIFY(!w->screenshots().contains(two));
    }

    void sweepTrashesOnlyOldCaptures() {
        World world;
        const QString dir = world.folder();
        ScreenshotWatcher::Timing timing;
        QDateTime now = QDateTime::currentDateTime();
        timing.now = [&now] {
            return now;
        };
        const QStringList names{u"Screenshot fresh.png"_qs, u"Screenshot moved in.png"_qs,
                                u"Screenshot gone.png"_qs};
        auto w = world.watching(dir, names, timing);
        const QString fresh = dir + u'/' + names[0], movedIn = dir + u'/' + names[1],
                      gone = dir + u'/' + names[2];
        QFile moved(movedIn); // moved in with the times it had elsewhere, as a restore keeps them
        QVERIFY(moved.open(QIODevice::ReadWrite) &&
                moved.setFileTime(now.addDays(-30), QFileDevice::FileModificationTime));
        // Without a date to read, a capture is never old enough.
        QVERIFY(QFile::remove(gone));

        // Each gets its full days in the folder, whatever its modification time says.
        world.prefs.setAutoDeleteDays(7);
        now = QDateTime::currentDateTime().addDays(6);
        w->sweepOldScreenshots();
        QCOMPARE(w->screenshots().size(), 3);
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
};

QTEST_GUILESS_MAIN(TestScreenshotWatcher)
#include "tst_screenshotwatcher.moc"
