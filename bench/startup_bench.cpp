// Start-up benchmark: a real Quillet start on a history of 2,000 clips and a
// screenshot folder of 100 captures, from main() to a tray item that is up and
// answering, then resident memory and CPU use while idle. Prints figures;
// never fails.
#include "SeedHistory.h"
#include "app/AppDelegate.h"
#include "app/AppServices.h"
#include "app/TrayIcon.h"
#include "history/ClipStore.h"
#include "history/SqliteDatabase.h"
#include "history/SqliteStatement.h"
#include "screenshots/ScreenshotWatcher.h"
#include "settings/Prefs.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTimer>

#include <cstdio>

#include <sys/resource.h>

namespace {
double rssMiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

double cpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

void seedScreenshots(const QString& folder, int count) {
    QDir().mkpath(folder);
    QImage image(640, 400, QImage::Format_RGB32);
    image.fill(QColor(40, 80, 160));
    const QDateTime base = QDateTime::currentDateTime().addDays(-1);
    for (int i = 0; i < count; ++i) {
        const QString name =
            QStringLiteral("Screenshot from %1.png")
                .arg(base.addSecs(i * 60).toString(QStringLiteral("yyyy-MM-dd hh-mm-ss")));
        image.save(folder + u'/' + name, "PNG");
    }
}
} // namespace

int main(int argc, char* argv[]) {
    // The seed is written into the harness's temp HOME before the clock starts;
    // the store, the watcher and everything else then start cold in the measured part.
    QElapsedTimer clock;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillet"));
    {
        // An earlier session: its settings, its history (written on a separate
        // connection) and the captures in the screenshot folder.
        AppServices earlier;
        earlier.prefs().setMaxItems(5000);
        earlier.prefs().setMaxDays(3650);
        seedTextHistory(earlier.store().databasePath(), 2000);
        seedScreenshots(earlier.watcher().dir().toLocalFile(), 100);
    }

    clock.start();
    AppServices services;
    AppDelegate delegate(services);
    double launchedMs = -1;
    double trayMs = -1;
    double listedMs = -1;
    QObject::connect(&delegate, &AppDelegate::launched, [&] {
        launchedMs = clock.nsecsElapsed() / 1e6;
        // The first turn of the event loop after launch: the tray answers clicks.
        QTimer::singleShot(0, [&] { trayMs = clock.nsecsElapsed() / 1e6; });
        QObject::connect(&services.watcher(), &ScreenshotWatcher::screenshotsChanged, [&] {
            if (listedMs < 0 && services.watcher().screenshots().size() >= 100)
                listedMs = clock.nsecsElapsed() / 1e6;
        });
    });
    QTimer::singleShot(0, &delegate, &AppDelegate::applicationDidFinishLaunching);

    double rssStart = 0;
    double cpuBeforeIdle = 0;
    const int idleSeconds = qEnvironmentVariableIntValue("QUILLET_BENCH_IDLE_S") > 0
                                ? qEnvironmentVariableIntValue("QUILLET_BENCH_IDLE_S")
                                : 60;
    QTimer::singleShot(2000, [&] {
        rssStart = rssMiB();
        cpuBeforeIdle = cpuMs();
        QTimer::singleShot(idleSeconds * 1000, [&] {
            const double idleCpu = cpuMs() - cpuBeforeIdle;
            std::printf("history: %lld clips, screenshots listed: %lld\n",
                        qint64(services.store().items().size()),
                        qint64(services.watcher().screenshots().size()));
            std::printf("start-up to launched          %8.1f ms\n", launchedMs);
            std::printf("start-up to ready tray        %8.1f ms (tray shown: %s)\n", trayMs,
                        delegate.statusItem() && delegate.statusItem()->isVisible() ? "yes" : "no");
            std::printf("start-up to 100 screenshots   %8.1f ms\n", listedMs);
            std::printf("resident memory after start   %8.1f MiB\n", rssStart);
            std::printf("resident memory after %2d s    %8.1f MiB\n", idleSeconds, rssMiB());
            std::printf("CPU used in %d s idle         %8.1f ms\n", idleSeconds, idleCpu);
            QCoreApplication::quit();
        });
    });
    return QApplication::exec();
}
