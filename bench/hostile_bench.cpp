// The main thread's longest stall (how late a 10 ms timer fires) while Quillet
// deals with hostile clipboard owners and a hostile screenshot folder, against
// the goal of 100 ms. X11 only (the hostile owners are X11 clients):
//   tests/harness/run-test bench build/dev/bench/hostile_bench
// Prints one line per case: the stall, the time until the case was dealt
// with, and whether the next ordinary copy (or capture) was still recorded.
#include "helpers/ClipboardOwner.h"
#include "helpers/StallProbe.h"
#include "helpers/TempPrefs.h"
#include "history/ClipStore.h"
#include "history/ClipboardMonitor.h"
#include "platform/PlatformLoader.h"
#include "platform/SystemSound.h"
#include "platform/freedesktop/FreedesktopScreenCaptureProbe.h"
#include "platform/freedesktop/FreedesktopTrash.h"
#include "platform/freedesktop/InotifyFolderWatch.h"
#include "platform/freedesktop/ToolScreenshotLocation.h"
#include "screenshots/CaptureMarks.h"
#include "screenshots/ScreenshotWatcher.h"
#include "thumbnails/ThumbnailCache.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QObject>
#include <QTest>

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {
class SilentSound : public SystemSound {
public:
    void play(const QString&) override {}
};

void report(const char* name, const StallProbe& probe, const QElapsedTimer& clock, bool goesOn) {
    std::printf("%-34s stall %5lld ms (goal <= 100)  dealt with in %6lld ms  %s\n", name,
                probe.worstMs(), clock.elapsed(), goesOn ? "next one recorded" : "STOPPED");
    std::fflush(stdout);
}

void hostileOwners(TempPrefs& t) {
    const Platform platform = PlatformLoader::load(t.defaults);
    if (platform.name != QLatin1String("x11")) {
        std::printf("owners: skipped, the hostile owners are X11 clients\n");
        return;
    }
    ClipStore store(t.dir.filePath(QStringLiteral("Quillet")), t.prefs);
    ThumbnailCache thumbnails(store.thumbsDir());
    ClipboardMonitor monitor(*platform.pasteboard, *platform.frontmostApp, store, thumbnails,
                             t.prefs);
    monitor.start();
    QFile big(t.dir.filePath(QStringLiteral("big.bin")));
    big.open(QIODevice::WriteOnly);
    big.write(QByteArray(3 * 1024 * 1024, 'q'));
    big.close();
    const QString file = QStringLiteral("@") + big.fileName();
    const QList<std::pair<const char*, QStringList>> cases{
        {"owner answers the wrong type", {u"--wrong-type"_qs, u"text/plain=wrong"_qs}},
        {"owner understates the size", {u"--understate"_qs, "image/png=" + file}},
        {"owner never finishes", {u"--unfinished"_qs, "image/png=" + file}},
        {"owner offers 10,000 types", {u"--targets"_qs, u"10000"_qs, u"text/plain=many"_qs}},
        {"owner never answers", {u"--hang"_qs, u"text/plain=hung"_qs}},
    };
    int n = 0;
    for (const auto& [name, args] : cases) {
        StallProbe probe;
        QElapsedTimer clock;
        clock.start();
        const qint64 before = platform.pasteboard->changeCount();
        qint64 handled = before;
        const QMetaObject::Connection seen = QObject::connect(
            &monitor, &ClipboardMonitor::changeHandled, [&](qint64 change) { handled = change; });
        auto owner = ClipboardOwner::offer(args);
        (void)QTest::qWaitFor([&] { return handled > before && monitor.isIdle(); }, 60000);
        QObject::disconnect(seen);
        const QString next = QStringLiteral("after %1").arg(++n);
        auto normal = ClipboardOwner::xclip(QStringLiteral("UTF8_STRING"), next.toUtf8());
        const bool recorded =
            QTest::qWaitFor([&] { return store.items().value(0).text == next; }, 30000);
        report(name, probe, clock, recorded);
    }
}

void hostileFolder(TempPrefs& t) {
    const QString folder = t.dir.filePath(QStringLiteral("shots"));
    QDir().mkpath(folder);
    const QByteArray dir = QFile::encodeName(folder);
    for (int i = 0; i < 100000; ++i) {
        const QByteArray path = dir + "/Screenshot " + QByteArray::number(i) + ".png";
        ::close(::open(path.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600));
    }
    ::close(::open((dir + "/Screenshot \xff\xfe.png").constData(), O_CREAT | O_WRONLY, 0));
    ::symlink("Screenshot loop 2.png", (dir + "/Screenshot loop 1.png").constData());
    ::symlink("Screenshot loop 1.png", (dir + "/Screenshot loop 2.png").constData());
    ToolScreenshotLocation location(t.dir.filePath(QStringLiteral("cfg")), QStringLiteral("KDE"),
                                    &t.defaults);
    QDir().mkpath(QFileInfo(location.spectacleConfig()).absolutePath());
    QFile config(location.spectacleConfig());
    config.open(QIODevice::WriteOnly);
    config.write("[Save]\ndefaultSaveLocation=" + QUrl::fromLocalFile(folder).toEncoded() + "/\n");
    config.close();
    CaptureMarks marks(t.dir.filePath(QStringLiteral("capture-marks")));
    FreedesktopTrash trash;
    SilentSound sound;
    StallProbe probe;
    QElapsedTimer clock;
    clock.start();
    ScreenshotWatcher watcher(t.prefs, location, trash, sound, marks,
                              std::make_unique<InotifyFolderWatch>(),
                              std::make_shared<FreedesktopScreenCaptureProbe>(), {});
    (void)QTest::qWaitFor([&] { return watcher.isWatching() && watcher.known().size() >= 100000; },
                          120000);
    report("folder of 100,000 files: listing", probe, clock, watcher.known().size() >= 100000);
    probe.reset();
    clock.restart();
    QFile shot(folder + QStringLiteral("/Screenshot new.png"));
    shot.open(QIODevice::WriteOnly);
    shot.write("capture");
    shot.close();
    const bool seen = QTest::qWaitFor([&] { return watcher.unseenCount() == 1; }, 120000);
    report("folder of 100,000 files: new capture", probe, clock, seen);
    ::unlink((dir + "/Screenshot \xff\xfe.png").constData()); // a name Qt cannot remove
}
} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    {
        TempPrefs t;
        hostileOwners(t);
    }
    TempPrefs t;
    hostileFolder(t);
    return 0;
}
