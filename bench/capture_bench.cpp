// Clipboard capture figures on the session's real clipboard, X11 or Wayland.
// Run under the harness, on either tier:
//   tests/harness/run-test bench build/dev/bench/capture_bench
//   tests/harness/run-test wayland build/dev/bench/capture_bench
// Prints: latency from another process copying to the row in the database;
// how many of a fast burst of copies are recorded; CPU time of the idle
// monitor; per picture size and kind, the time to record it, the time of
// each stage and the peak memory; time to record 5 MB and 25 MB PNGs from an
// owner that serves them slowly.
#include "BenchImages.h"
#include "helpers/StallProbe.h"
#include "history/ClipImageEncoder.h"
#include "history/ClipStore.h"
#include "history/ClipboardMonitor.h"
#include "platform/PlatformLoader.h"
#include "platform/freedesktop/XdgAutostartLoginItem.h"
#include "settings/JsonDefaultsStore.h"
#include "settings/Prefs.h"
#include "thumbnails/Sha256.h"
#include "thumbnails/ThumbnailCache.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

#include <malloc.h>
#include <sys/resource.h>

namespace {
double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto secs = [](const timeval& t) {
        return double(t.tv_sec) + double(t.tv_usec) / 1e6;
    };
    return secs(usage.ru_utime) + secs(usage.ru_stime);
}

qint64 statusKiB(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

void resetPeakRss() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

bool onWayland = false;

// Another application copying a file's bytes as one type: xclip, or wl-copy.
struct Xclip {
    QProcess process;
    void start(const QString& type, const QString& path) {
        if (onWayland) {
            process.setStandardInputFile(path);
            process.start(QStringLiteral("wl-copy"),
                          {QStringLiteral("--foreground"), QStringLiteral("-t"), type});
            return;
        }
        process.start(QStringLiteral("xclip"),
                      {QStringLiteral("-quiet"), QStringLiteral("-selection"),
                       QStringLiteral("clipboard"), QStringLiteral("-t"), type,
                       QStringLiteral("-i"), path});
    }
    ~Xclip() {
        process.kill();
        process.waitForFinished();
    }
};

// Runs the event loop until pred holds. QTest::qWaitFor would sleep 10 ms
// between turns, delaying the monitor and adding to every figure.
bool waitUntil(const std::function<bool()>& pred, int timeoutMs) {
    bool met = pred();
    if (met)
        return true;
    QEventLoop loop;
    QTimer check;
    check.setTimerType(Qt::PreciseTimer);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        met = pred();
        if (met)
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    check.start(1);
    loop.exec();
    return met;
}

bool hasText(const ClipStore& store, const QString& text) {
    const ClipItemList& items = store.items();
    return std::any_of(items.begin(), items.end(),
                       [&](const ClipItem& i) { return i.text == text; });
}
double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double median(QList<double> v) {
    if (v.isEmpty())
        return -1.0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Pictures, stage by stage: noise and a screenshot-like picture of
// about 1, 5 and 25 MB, each copied several times (new pixels each time)
// by another process. Recorded: wall time from its start to the row; cpu:
// this process's CPU time meanwhile (all threads). The stages are timed
// again alone on the same bytes: transfer, blob write and record (in a
// history of its own) in wall time; decoding, scaling down, encoding and
// hash in CPU time of the thread, as the encoder reports them, so that a
// busy machine does not blur them; the preview is what the encoder spent on
// it plus the wait from the row to its file. Medians of the runs; RSS at the
// start of a copy (median), the peak during the first copy and during all
// (what the allocator kept from one copy is there at the next), MiB.
void pictureStages(ClipStore& store, Pasteboard& pasteboard, ThumbnailCache& thumbnails,
                   Prefs& prefs, const QTemporaryDir& dir) {
    QElapsedTimer clock;
    const int runs = std::max(1, qEnvironmentVariableIntValue("QUILLET_BENCH_IMAGE_RUNS") > 0
                                     ? qEnvironmentVariableIntValue("QUILLET_BENCH_IMAGE_RUNS")
                                     : 3);
    ClipStore scratch(dir.filePath(QStringLiteral("scratch")), prefs);
    const QString path = dir.filePath(QStringLiteral("offer.png"));
    std::printf("pictures, medians of %d copies (ms; RSS MiB; stored MB):\n", runs);
    std::printf("%-10s %5s %8s %5s %8s %6s %6s %6s %5s %5s %5s %5s %5s %5s %5s %5s %6s %s\n",
                "picture", "MB", "recorded", "cpu", "transfer", "decode", "scale", "encode", "hash",
                "write", "thumb", "rec", "stall", "RSS", "peak1", "peak", "stored", "size");
    for (const bool isNoise : {true, false}) {
        for (const qint64 target : {1000000LL, 5000000LL, 25000000LL}) {
            QSize size;
            QList<double> recorded, cpu, transfer, decode, scale, encode, hash, write, thumb, rec,
                stall;
            double offered = 0;
            double stored = 0;
            double peakRss = 0;
            double firstPeak = 0;
            QList<double> rssBefore;
            for (int run = 0; run < runs; ++run) {
                size = BenchImages::save(isNoise, target, path, size);
                offered = QFileInfo(path).size() / 1e6;
                const qsizetype rowsBefore = store.items().size();
                resetPeakRss();
                rssBefore.append(statusKiB("VmRSS:") / 1024.0);
                StallProbe probe;
                Xclip x;
                const double cpuBefore = cpuSeconds();
                clock.start();
                x.start(PasteboardType::png, path);
                const bool ok = waitUntil(
                    [&] {
                        return store.items().size() > rowsBefore &&
                               store.items().first().kind == ClipKind::image;
                    },
                    30000);
                recorded.append(clock.nsecsElapsed() / 1e6);
                cpu.append((cpuSeconds() - cpuBefore) * 1000);
                const double peak = statusKiB("VmHWM:") / 1024.0;
                firstPeak = run == 0 ? peak : firstPeak;
                peakRss = std::max(peakRss, peak);
                stall.append(double(probe.worstMs()));
                if (!ok) {
                    std::printf("  a copy of %.1f MB was NOT recorded\n", offered);
                    continue;
                }
                const ClipItem item = store.items().first();
                clock.start();
                waitUntil([&] { return item.thumbPath && QFileInfo::exists(*item.thumbPath); },
                          10000);
                const double previewWait = clock.nsecsElapsed() / 1e6;
                stored = QFileInfo(*item.blobPath).size() / 1e6;

                clock.start();
                const auto bytes = pasteboard.data(PasteboardType::png);
                transfer.append(clock.nsecsElapsed() / 1e6);
                if (!bytes)
                    continue;
                ClipImageEncoder::Timings spent;
                const auto result = ClipImageEncoder::encode(*bytes, "png", &spent);
                if (!result)
                    continue;
                // The scaling down happens inside the decoder: a plain decode splits it off.
                double plain = spent.decodeMs;
                if (result->downscaled) {
                    const double before = threadCpuMs();
                    const QImage full = QImage::fromData(*bytes, "png");
                    plain = std::min(plain, threadCpuMs() - before);
                }
                decode.append(plain);
                scale.append(spent.decodeMs - plain);
                encode.append(spent.encodeMs);
                hash.append(spent.hashMs);
                thumb.append(spent.previewMs + previewWait);
                const QString blob = dir.filePath(QStringLiteral("scratch/blobs/") + result->hash +
                                                  QStringLiteral(".png"));
                QFile::remove(blob);
                clock.start();
                scratch.saveBlob(result->png, QStringLiteral("png"), result->hash);
                write.append(clock.nsecsElapsed() / 1e6);
                QFile::remove(blob);
                clock.start();
                scratch.record({.hash = result->hash, .kind = ClipKind::image});
                rec.append(clock.nsecsElapsed() / 1e6);
                thumbnails.waitForDone(10000);
                // What the timing alone allocated is given back, so the next
                // copy starts from the heap the monitor left.
                malloc_trim(0);
            }
            std::printf("%-10s %5.1f %8.0f %5.0f %8.0f %6.0f %6.0f %6.0f %5.0f %5.0f %5.0f %5.1f "
                        "%5.0f %5.0f %5.0f %5.0f %6.1f %dx%d\n",
                        isNoise ? "noise" : "screenshot", offered, median(recorded), median(cpu),
                        median(transfer), median(decode), median(scale), median(encode),
                        median(hash), median(write), median(thumb), median(rec), median(stall),
                        median(rssBefore), firstPeak, peakRss, stored, size.width(), size.height());
            std::fflush(stdout);
        }
    }
}
} // namespace

int main(int argc, char** argv) {
    // As the application sets it (src/app/main.cpp): large blocks are given
    // back when freed, so one picture's memory is not there at the next.
    mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    JsonDefaultsStore defaults(dir.filePath(QStringLiteral("defaults.json")));
    XdgAutostartLoginItem login(dir.filePath(QStringLiteral("cfg")), {}, QStringLiteral("quillet"));
    Prefs prefs(defaults, login);
    prefs.setMaxItems(100000); // keep every row of the burst
    ClipStore store(dir.filePath(QStringLiteral("Quillet")), prefs);
    const Platform platform = PlatformLoader::load(defaults);
    onWayland = platform.name == QLatin1String("wayland");
    std::printf("platform: %s\n", qPrintable(platform.name));
    const QString otherApp = onWayland ? QStringLiteral("wl-copy") : QStringLiteral("xclip");
    const QString ownerProgram =
        onWayland ? QStringLiteral(QUILLET_WLOWNER) : QStringLiteral(QUILLET_CLIPOWNER);
    Pasteboard& pasteboard = *platform.pasteboard;
    FrontmostApp& front = *platform.frontmostApp;
    ThumbnailCache thumbnails(dir.filePath(QStringLiteral("Quillet/thumbs")));
    ClipboardMonitor monitor(pasteboard, front, store, thumbnails, prefs);
    monitor.start();
    if (qEnvironmentVariableIsSet("QUILLET_BENCH_IMAGES_ONLY")) {
        pictureStages(store, pasteboard, thumbnails, prefs, dir);
        return 0;
    }

    // 1. Idle: nothing changes; the poll keeps ticking.
    {
        // A plain event loop: QTest::qWait would wake every few milliseconds itself.
        const int idleMs = qEnvironmentVariableIntValue("QUILLET_BENCH_IDLE_MS") > 0
                               ? qEnvironmentVariableIntValue("QUILLET_BENCH_IDLE_MS")
                               : 20000;
        QEventLoop loop;
        QTimer::singleShot(1500, &loop, &QEventLoop::quit);
        loop.exec();
        const double before = cpuSeconds();
        QTimer::singleShot(idleMs, &loop, &QEventLoop::quit);
        loop.exec();
        const double spent = cpuSeconds() - before;
        std::printf("idle CPU over %d s: %.1f ms (scaled to 60 s: %.1f ms), whole process\n",
                    idleMs / 1000, spent * 1000, spent * 1000 * 60000.0 / idleMs);
    }

    // 2. Latency, from starting xclip or wl-copy (an upper bound: it includes its own
    // start-up) and from the owner-change notification, to the row.
    QList<double> fromSpawn;
    QList<double> fromNotify;
    QElapsedTimer clock;
    double notifiedAt = 0;
    // The latest notification before the row, not the first after the start:
    // the previous copy's owner, ended just before, is reported gone only
    // once the loop turns again, and timing from that would add xclip's own
    // start-up.
    QObject::connect(&pasteboard, &Pasteboard::changed, &app,
                     [&] { notifiedAt = clock.nsecsElapsed() / 1e6; });
    // How long the main thread spends on one change, from notification to done.
    QElapsedTimer captureClock;
    captureClock.start();
    double captureStart = -1;
    QList<double> captureTimes;
    QObject::connect(&pasteboard, &Pasteboard::changed, &app, [&] {
        if (captureStart < 0)
            captureStart = captureClock.nsecsElapsed() / 1e6;
    });
    QObject::connect(&monitor, &ClipboardMonitor::changeHandled, &app, [&] {
        if (captureStart >= 0)
            captureTimes.append(captureClock.nsecsElapsed() / 1e6 - captureStart);
        captureStart = -1;
    });
    const QString textFile = dir.filePath(QStringLiteral("t.txt"));
    for (int i = 0; i < 60; ++i) {
        const QString text = QStringLiteral("latency %1").arg(i);
        QFile f(textFile);
        f.open(QIODevice::WriteOnly);
        f.write(text.toUtf8());
        f.close();
        Xclip x;
        notifiedAt = -1;
        clock.start();
        x.start(onWayland ? PasteboardType::string : QStringLiteral("UTF8_STRING"), textFile);
        if (!waitUntil([&] { return hasText(store, text); }, 5000)) {
            std::printf("latency copy %d not recorded\n", i);
            continue;
        }
        const double done = clock.nsecsElapsed() / 1e6;
        fromSpawn.append(done);
        fromNotify.append(done - notifiedAt);
    }
    auto pct = [](QList<double> v, double p) {
        if (v.isEmpty())
            return -1.0;
        std::sort(v.begin(), v.end());
        return v[std::min<qsizetype>(v.size() - 1, qsizetype(p * v.size()))];
    };
    std::printf("latency over %lld copies: from %s start p50 %.1f ms p95 %.1f ms; "
                "from owner-change notification p50 %.1f ms p95 %.1f ms\n",
                qlonglong(fromSpawn.size()), qPrintable(otherApp), pct(fromSpawn, 0.5),
                pct(fromSpawn, 0.95), pct(fromNotify, 0.5), pct(fromNotify, 0.95));

    // 3. A burst: 1,000 distinct texts, one every 20 ms, from one other process.
    {
        captureTimes.clear();
        QProcess owner;
        owner.start(ownerProgram, {QStringLiteral("--sequence"), QStringLiteral("1000"),
                                   QStringLiteral("20"), QStringLiteral("burst-")});
        const bool finished = waitUntil(
            [&] {
                return owner.readAllStandardOutput().contains("done") ||
                       owner.state() == QProcess::NotRunning;
            },
            60000);
        if (!finished)
            std::printf("burst: the copying process did not finish\n");
        waitUntil([] { return false; }, 1500); // let the last capture land
        QSet<QString> seen;
        for (const ClipItem& item : store.items()) {
            if (item.text && item.text->startsWith(QLatin1String("burst-")))
                seen.insert(*item.text);
        }
        std::printf("burst: %lld of 1000 texts copied 20 ms apart recorded; main thread per "
                    "change p50 %.1f ms p95 %.1f ms\n",
                    qlonglong(seen.size()), pct(captureTimes, 0.5), pct(captureTimes, 0.95));
        owner.kill();
        owner.waitForFinished();
    }

    // 4. Pictures, stage by stage.
    pictureStages(store, pasteboard, thumbnails, prefs, dir);

    // 4b. A slow owner (an editor that encodes on request, a remote
    // connection): noise PNGs of about 5 MB and 25 MB, served in small pieces
    // spread over about 3 s.
    // Also the longest the main thread went without turning meanwhile.
    for (const QSize size : {QSize(1250, 1000), QSize(2900, 2200)}) {
        const QString path = dir.filePath(QStringLiteral("slow-%1.png").arg(size.width()));
        {
            QImage image(size, QImage::Format_ARGB32);
            auto* rng = QRandomGenerator::global();
            for (int y = 0; y < image.height(); ++y)
                rng->fillRange(reinterpret_cast<quint32*>(image.scanLine(y)), image.width());
            image.save(path, "PNG", 0);
        }
        const qint64 bytes = QFileInfo(path).size();
        const int paceMs = 3000;
        const qsizetype rowsBefore = store.items().size();
        StallProbe probe;
        QProcess owner;
        clock.start();
        owner.start(ownerProgram,
                    {QStringLiteral("--pace"), QString::number(paceMs), "image/png=@" + path});
        const bool recorded = waitUntil(
            [&] {
                return store.items().size() > rowsBefore &&
                       store.items().first().kind == ClipKind::image;
            },
            60000);
        const double ms = clock.nsecsElapsed() / 1e6;
        std::printf("%.1f MB PNG from a slow owner (paced over %d ms): %s in %.0f ms; main thread "
                    "longest stall %lld ms\n",
                    bytes / 1e6, paceMs, recorded ? "recorded" : "NOT recorded", ms,
                    qlonglong(probe.worstMs()));
        clock.start();
        const auto transferred = pasteboard.data(PasteboardType::png);
        std::printf("  of which the paced transfer alone: %.0f ms (%lld bytes)\n",
                    clock.nsecsElapsed() / 1e6, qlonglong(transferred ? transferred->size() : 0));
        owner.kill();
        owner.waitForFinished();
    }

    // 5. Where a text capture's time goes: the store's record alone, on the
    // history as the runs above left it.
    {
        QList<double> times;
        for (int i = 0; i < 200; ++i) {
            const QString text = QStringLiteral("direct %1").arg(i);
            clock.start();
            store.record({.hash = sha256Hex(text.toUtf8()), .text = text});
            times.append(clock.nsecsElapsed() / 1e6);
        }
        std::printf("ClipStore::record alone with %lld rows: p50 %.1f ms p95 %.1f ms\n",
                    qlonglong(store.items().size()), pct(times, 0.5), pct(times, 0.95));
    }
    return 0;
}
