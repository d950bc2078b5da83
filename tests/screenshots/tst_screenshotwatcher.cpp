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

namespace {
constexpr int kWait = 5000;

void writeFile(const QString& path, const QByteArray& bytes = "capture") {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
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
struct World {
    QTemporaryDir tmp;
    JsonDefaultsStore store{tmp.filePath(QStringLiteral("defaults.json"))};
    XdgAutostartLoginItem login{tmp.filePath(QStringLiteral("cfg")),
                                {tmp.filePath(QStringLiteral("etc"))},
                                QStringLiteral("quillet")};
    Prefs prefs{store, login};
    ToolScreenshotLocation location{tmp.filePath(QStringLiteral("cfg")), QStringLiteral("KDE")};
    FreedesktopTrash trash;
    RecordingSound sound;
    QList<QUrl> copied;
    QList<qint64> copiedSizes;

    QString folder(const QString& name = QStringLiteral("shots")) const {
        return tmp.filePath(name);
    }
    void pointTo(const QString& path) {
        writeFile(location.spectacleConfig(),
                  "[Save]\ndefaultSaveLocation=" + QUrl::fromLocalFile(path).toEncoded() + "/\n");
    }
    std::unique_ptr<ScreenshotWatcher> watcher(Trash* trashToUse = nullptr,
                                               ScreenshotWatcher::Timing timing = {}) {
        auto w = std::make_unique<ScreenshotWatcher>(
            prefs, location, trashToUse ? *trashToUse : trash, sound,
            [this](const QUrl& url) {
                copied.append(url);
                copiedSizes.append(QFileInfo(url.toLocalFile()).size());
            },
            timing);
        return w;
    }
};

QUrl urlOf(const QString& folder, const QString& name) {
    return QUrl::fromLocalFile(folder + QLatin1Char('/') + name);
}

// Waits until the watcher has listed its folder and watches it.
void waitUntilWatching(ScreenshotWatcher& w, const QString& folder) {
    QTRY_VERIFY_WITH_TIMEOUT(w.isWatching() && w.dir() == QUrl::fromLocalFile(folder), kWait);
    const qsizetype present =
        QDir(folder).entryList({QStringLiteral("Screenshot*")}, QDir::Files).size();
    QTRY_COMPARE_WITH_TIMEOUT(w.known().size(), present, kWait);
}
} // namespace

class TestScreenshotWatcher : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void detection_data();
    void detection();
    void listingIsNewestFirstAndCapped();
    void newCaptureIsCountedCopiedAndSounded();
    void burstIsOneRescanHandledOldestFirst();
    void growingAndVanishingFiles();
    void relocationFollowsTheToolsSetting();
    void renameRules();
    void trashKeepsListAndFolderInStep();
    void sweepTrashesOnlyOldCaptures();
    void dedicatedFolderWritesEveryTool();
};

void TestScreenshotWatcher::detection_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("Screenshot png") << "Screenshot 2024-01-01 at 10.00.00.png"
                                    << "file" << true;
    QTest::newRow("GNOME name") << "Screenshot from 2024-01-01 10-00-00.png"
                                << "file" << true;
    QTest::newRow("upper-case extension") << "Screenshot 1.PNG"
                                          << "file" << true;
    QTest::newRow("every capture extension") << "Screen Recording 1.mov"
                                             << "file" << true;
    QTest::newRow("jpeg") << "Screen Shot 1.jpeg"
                          << "file" << true;
    QTest::newRow("heic") << "CleanShot 1.heic"
                          << "file" << true;
    QTest::newRow("GNOME screencast") << "Screencast from 2024-01-01.webm"
                                      << "file" << true;
    QTest::newRow("pattern needs a word end") << "Screenshots.png"
                                              << "file" << false;
    QTest::newRow("pattern is case-sensitive") << "screenshot 1.png"
                                               << "file" << false;
    QTest::newRow("lower case, marked by the tool") << "screenshot 1.png"
                                                    << "gnome" << true;
    QTest::newRow("dot file") << ".Screenshot 1.png"
                              << "file" << false;
    QTest::newRow("dot file, marked") << ".x.png"
                                      << "gnome" << false;
    QTest::newRow("gif") << "Screenshot 1.gif"
                         << "file" << false;
    QTest::newRow("no extension") << "Screenshot 1"
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
    QCOMPARE(ScreenshotScan::list(tmp.path(), probe).contains(QUrl::fromLocalFile(path)), accepted);
}

void TestScreenshotWatcher::listingIsNewestFirstAndCapped() {
    World world;
    const QString dir = world.folder();
    for (int i = 0; i < 150; ++i) {
        const QString path = dir + QStringLiteral("/Screenshot %1.png").arg(i, 3, 10, QChar('0'));
        writeFile(path);
        age(path, 150 - i); // Screenshot 149 is the newest
    }
    writeFile(dir + QStringLiteral("/notes.txt"));
    world.pointTo(dir);
    auto w = world.watcher();
    QCOMPARE(w->dir(), QUrl::fromLocalFile(dir));
    QTRY_COMPARE_WITH_TIMEOUT(w->screenshots().size(), 100, kWait);
    QCOMPARE(w->known().size(), 150);
    QCOMPARE(w->screenshots().first(), urlOf(dir, QStringLiteral("Screenshot 149.png")));
    QCOMPARE(w->screenshots().last(), urlOf(dir, QStringLiteral("Screenshot 050.png")));
    // What was there at start-up is not new.
    QCOMPARE(w->unseenCount(), 0);
    QVERIFY(world.copied.isEmpty());

    // An unreadable folder lists as empty: the fallback Desktop here.
    QDir(dir).removeRecursively();
    w->relocateIfNeeded();
    QCOMPARE(w->dir(), QUrl::fromLocalFile(QDir::homePath() + QStringLiteral("/Desktop")));
    QTRY_VERIFY_WITH_TIMEOUT(w->known().isEmpty() && w->screenshots().isEmpty(), kWait);

    // A watcher gone before its listing and watch are back: the results are dropped.
    world.pointTo(QDir::homePath());
    world.watcher().reset();
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
}

void TestScreenshotWatcher::newCaptureIsCountedCopiedAndSounded() {
    World world;
    const QString dir = world.folder();
    writeFile(dir + QStringLiteral("/Screenshot old.png"));
    world.pointTo(dir);
    world.prefs.setPlaySound(true);
    auto w = world.watcher();
    QSignalSpy counted(w.get(), &ScreenshotWatcher::newScreenshotsCounted);
    waitUntilWatching(*w, dir);
    QCOMPARE(w->screenshots().size(), 1);

    // Written by another process, as a screenshot tool would.
    const QString path = dir + QStringLiteral("/Screenshot new.png");
    const QString made = world.folder(QStringLiteral("made.png"));
    writeFile(made, QByteArray(5000, 'x'));
    QCOMPARE(QProcess::execute(QStringLiteral("cp"), {made, path}), 0);
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 1, kWait);
    QCOMPARE(w->screenshots().first(), QUrl::fromLocalFile(path));
    QCOMPARE(world.copied, QList<QUrl>{QUrl::fromLocalFile(path)});
    QCOMPARE(world.sound.played, QStringList{QStringLiteral("screen-capture")});
    QCOMPARE(counted.count(), 1);

    // The settings are read at the moment of use.
    world.prefs.setAutoCopyScreenshots(false);
    world.prefs.setPlaySound(false);
    writeFile(dir + QStringLiteral("/Screenshot newer.png"));
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 2, kWait);
    QCOMPARE(world.copied.size(), 1);
    QCOMPARE(world.sound.played.size(), 1);
    QCOMPARE(counted.count(), 2);

    // Only names are new, and each only once; other files are never counted.
    writeFile(dir + QStringLiteral("/Screenshot new.png"), "rewritten");
    writeFile(dir + QStringLiteral("/holiday.png"));
    writeFile(dir + QStringLiteral("/Screenshot last.png"));
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 3, kWait);
    QCOMPARE(w->screenshots().size(), 4);
    w->setUnseenCount(0);
    QCOMPARE(w->unseenCount(), 0);
}

void TestScreenshotWatcher::burstIsOneRescanHandledOldestFirst() {
    World world;
    const QString dir = world.folder();
    QDir().mkpath(dir);
    world.pointTo(dir);
    auto w = world.watcher();
    waitUntilWatching(*w, dir);
    // Prepared elsewhere with distinct dates (files made within one clock tick
    // share one), then moved in at once, as a tool saving three captures would.
    QStringList names;
    const QString staging = world.folder(QStringLiteral("staging"));
    for (int i = 1; i <= 3; ++i) {
        names << QStringLiteral("Screenshot burst %1.png").arg(i);
        const QString path = staging + QLatin1Char('/') + names.last();
        writeFile(path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(i - 10),
                              QFileDevice::FileModificationTime));
    }
    QSignalSpy listed(w.get(), &ScreenshotWatcher::screenshotsChanged);
    for (const QString& name : names)
        QVERIFY(QFile::rename(staging + QLatin1Char('/') + name, dir + QLatin1Char('/') + name));
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 3, kWait);
    QCOMPARE(listed.count(), 1);
    QList<QUrl> expected;
    for (const QString& name : names)
        expected << urlOf(dir, name);
    QCOMPARE(world.copied, expected);
}

void TestScreenshotWatcher::growingAndVanishingFiles() {
    World world;
    const QString dir = world.folder();
    QDir().mkpath(dir);
    world.pointTo(dir);
    ScreenshotWatcher::Timing timing;
    timing.settleStepMs = 100;
    auto w = world.watcher(nullptr, timing);
    waitUntilWatching(*w, dir);

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

    // Deleted while settling: never counted. An empty file never settles, so
    // the one written after it is handled only after every try of the first.
    const QString doomed = dir + QStringLiteral("/Screenshot doomed.png");
    writeFile(doomed, {});
    QTRY_VERIFY_WITH_TIMEOUT(w->screenshots().contains(QUrl::fromLocalFile(doomed)), kWait);
    QVERIFY(QFile::remove(doomed));
    const QString empty = dir + QStringLiteral("/Screenshot empty.png");
    writeFile(empty, {});
    QTRY_COMPARE_WITH_TIMEOUT(w->unseenCount(), 2, kWait);
    QCOMPARE(world.copied.last(), QUrl::fromLocalFile(empty));
    QCOMPARE(world.copied.size(), 2);
}

void TestScreenshotWatcher::relocationFollowsTheToolsSetting() {
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

void TestScreenshotWatcher::renameRules() {
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

void TestScreenshotWatcher::trashKeepsListAndFolderInStep() {
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

void TestScreenshotWatcher::sweepTrashesOnlyOldCaptures() {
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

void TestScreenshotWatcher::dedicatedFolderWritesEveryTool() {
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

QTEST_GUILESS_MAIN(TestScreenshotWatcher)
#include "tst_screenshotwatcher.moc"
