// Store benchmark: record cost and throughput at several history sizes, and
// clear + orphan sweep with 2,000 blobs. Prints a table; never fails.
#include "SeedHistory.h"
#include "helpers/TempPrefs.h"
#include "history/ClipStore.h"
#include "history/SqliteDatabase.h"
#include "history/SqliteStatement.h"
#include "platform/freedesktop/XdgAutostartLoginItem.h"
#include "settings/JsonDefaultsStore.h"
#include "settings/Prefs.h"
#include "thumbnails/Sha256.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
using World = TempPrefs;

void recordText(ClipStore& store, const QString& s) {
    store.record({.hash = sha256Hex(("text:" + s).toUtf8()),
                  .text = s,
                  .sourceApp = QStringLiteral("org.example.Editor"),
                  .sourceName = QStringLiteral("Editor")});
}

// atLimit: the history is full, so every record also prunes one row.
void benchRecord(int rows, bool atLimit) {
    World w;
    w.prefs.setMaxItems(atLimit ? rows : rows * 2);
    w.prefs.setMaxDays(3650);
    ClipStore store(w.dir.filePath(QStringLiteral("Quillet")), w.prefs);
    seedTextHistory(store.databasePath(), rows);
    store.reload();
    std::vector<double> ms;
    const int n = rows >= 20000 ? 50 : 200;
    QElapsedTimer total;
    total.start();
    for (int i = 0; i < n; ++i) {
        QElapsedTimer t;
        t.start();
        recordText(store, QStringLiteral("new copy %1").arg(i));
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    const double secs = total.nsecsElapsed() / 1e9;
    std::sort(ms.begin(), ms.end());
    std::printf("record @ %6d rows %-12s p50 %7.3f ms   p95 %7.3f ms   %8.0f records/s\n", rows,
                atLimit ? "(full)" : "(room left)", ms[n / 2], ms[n * 95 / 100], n / secs);
}

void benchClear() {
    World w;
    w.prefs.setMaxItems(5000);
    ClipStore store(w.dir.filePath(QStringLiteral("Quillet")), w.prefs);
    for (int i = 0; i < 2000; ++i) {
        // Recorded one by one: each record reloads, so this part is not timed.
        const QByteArray png = "png payload " + QByteArray::number(i);
        const QString blob = store.saveBlob(png, QStringLiteral("png"));
        store.record({.hash = sha256Hex(png), .kind = ClipKind::image, .blobPath = blob});
    }
    QElapsedTimer t;
    t.start();
    store.clear();
    std::printf("clear + sweep of 2000 blobs          %7.1f ms\n", t.nsecsElapsed() / 1e6);
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    for (int rows : {100, 2000, 20000}) {
        benchRecord(rows, false);
        benchRecord(rows, true);
    }
    benchClear();
    return 0;
}
