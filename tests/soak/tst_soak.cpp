// Crash and soak: the built quillet, killed with SIGKILL at random moments
// while another process (this program again, with --copier) copies texts, rich
// text, PNG images and files as fast as Quillet takes them. After every kill
// and every restart the history is read here, read-only, as a recovery tool
// would: the database must be sound, hold every row committed before the kill
// (or one the history limit pushed out since), name no data file that is gone,
// and the files a kill left without their row must be gone after the restart.
//   tst_soak           18 kills (the suite's run)
//   tst_soak --long    200 kills, then 10,000 copies into one Quillet, measuring
//                      its memory, descriptors and threads (`make soak`)
// QUILLET_SOAK_SEED=N repeats a run's kill moments and copies.
#include "helpers/TestImages.h"

#include <QClipboard>
#include <QCryptographicHash>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <sqlite3.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <optional>
#include <random>

namespace {
bool g_long = false;

// ---- The other application: offers the next clip once Quillet has fetched
// the current one (no request for kQuietMs), or after kIdleMs unasked.
constexpr int kQuietMs = 5;
constexpr int kIdleMs = 40;
const QString kLastCopy = QStringLiteral("soak done");

class CopierMime : public QMimeData {
public:
    std::function<void()> served;

protected:
    QVariant retrieveData(const QString& mime, QMetaType type) const override {
        served();
        return QMimeData::retrieveData(mime, type);
    }
};

// Copies `count` clips (0: without end), printing "copied N" every 1,000, then
// "soak done" as text and "done" on standard output.
int runCopier(const QString& dir, quint32 seed, int count) {
    QRandomGenerator random(seed);
    QTimer next;
    next.setSingleShot(true);
    int copied = 0;
    QObject::connect(&next, &QTimer::timeout, [&] {
        auto* mime = new CopierMime;
        mime->served = [&next] {
            next.start(kQuietMs);
        };
        const QString id = QStringLiteral("%1-%2").arg(seed).arg(copied);
        switch (count > 0 && copied == count ? -1 : copied % 4) {
        case -1:
            mime->served = [] {
            };
            mime->setText(kLastCopy);
            std::puts("done");
            break;
        case 0:
            mime->setText(QStringLiteral("soak text ") + id);
            break;
        case 1:
            mime->setText(QStringLiteral("soak rich ") + id);
            mime->setData(QStringLiteral("text/rtf"),
                          "{\\rtf1 soak \\b rich\\b0  " + id.toUtf8() + '}');
            break;
        case 2:
            mime->setData(QStringLiteral("image/png"),
                          TestImages::png(16 + int(random.bounded(400)),
                                          16 + int(random.bounded(300)), true));
            break;
        default: {
            // A text file has no preview. The preview of a picture file stays
            // in the cache for that file after its clip is dropped (copied
            // again, it is used again), so it would count as a leftover here.
            QFile file(dir + QStringLiteral("/file-") + id + u".txt"_qs);
            if (!file.open(QIODevice::WriteOnly) || !file.write(id.toUtf8()))
                return QCoreApplication::exit(3);
            mime->setUrls({QUrl::fromLocalFile(file.fileName())});
        }
        }
        QGuiApplication::clipboard()->setMimeData(mime);
        if (++copied % 1000 == 0)
            std::printf("copied %d\n", copied);
        std::fflush(stdout);
        if (copied <= count || count == 0)
            next.start(kIdleMs);
    });
    next.start(0);
    return QCoreApplication::exec();
}

class Copier {
public:
    Copier(const QString& dir, quint32 seed, int count) {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QCoreApplication::applicationFilePath(),
                        {u"--copier"_qs, dir, QString::number(seed), QString::number(count)});
    }
    ~Copier() {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    bool printed(const QByteArray& line, int timeoutMs) {
        return QTest::qWaitFor(
                   [&] {
                       m_out += m_process.readAllStandardOutput();
                       return m_out.contains(line) || m_process.state() == QProcess::NotRunning;
                   },
                   timeoutMs) &&
               m_out.contains(line);
    }

private:
    QProcess m_process;
    QByteArray m_out;
};

// ---- Quillet itself.
class Quillet {
public:
    Quillet() {
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.start(qEnvironmentVariable("QUILLET_BUILD_DIR") + u"/src/app/quillet"_qs, {});
    }
    ~Quillet() { kill(); }
    qint64 pid() const { return m_process.processId(); }
    // Up once it answers a command: the event loop runs, the history is open.
    static bool answers() {
        const QDBusMessage call =
            QDBusMessage::createMethodCall(u"com.ovo.quillet"_qs, u"/com/ovo/quillet"_qs,
                                           u"com.ovo.quillet.Commands"_qs, u"Hide"_qs);
        return QDBusConnection::sessionBus().call(call, QDBus::Block, 2000).type() ==
               QDBusMessage::ReplyMessage;
    }
    void kill() {
        if (m_process.state() != QProcess::NotRunning)
            ::kill(pid_t(m_process.processId()), SIGKILL);
        m_process.waitForFinished(10000);
    }

private:
    QProcess m_process;
};

// Resident memory, open descriptors and threads of a process.
struct Usage {
    explicit Usage(qint64 pid) {
        const QString proc = QStringLiteral("/proc/%1/").arg(pid);
        QFile status(proc + u"status"_qs);
        const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : "";
        const qsizetype at = text.indexOf("VmRSS:");
        rssKiB = at < 0 ? 0 : text.mid(at + 6).trimmed().split(' ').value(0).toLongLong();
        const auto filter = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System;
        fds = QDir(proc + u"fd"_qs).entryList(filter).size();
        threads = QDir(proc + u"task"_qs).entryList(filter).size();
    }
    qint64 rssKiB = 0;
    qsizetype fds = 0, threads = 0;
};

// ---- The history as another reader sees it.
struct Row {
    QString hash, kind;
    double createdAt = 0;
    bool pinned = false;
    std::optional<QString> thumb;
    QStringList dataFiles = {}; // rich text and image payloads: never to be missing
};

struct Store {
    QString integrity; // "ok", or what is wrong
    QMap<qint64, Row> rows;
    qint64 inserted = 0; // rows ever added (the id sequence)
    QSet<QString> referenced;
};

QString dataDir() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/Quillet"_qs;
}

Store readStore() {
    Store store;
    sqlite3* db = nullptr;
    const QByteArray path = QFile::encodeName(dataDir() + u"/quillet.sqlite"_qs);
    if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        store.integrity = u"cannot open: "_qs + QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        return store;
    }
    sqlite3_busy_timeout(db, 5000);
    const auto text = [](sqlite3_stmt* s, int i) -> std::optional<QString> {
        if (sqlite3_column_type(s, i) == SQLITE_NULL)
            return std::nullopt;
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, i)));
    };
    const auto query = [&](const char* sql, const std::function<void(sqlite3_stmt*)>& row) {
        sqlite3_stmt* s = nullptr;
        int rc = sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
        while (rc == SQLITE_OK || rc == SQLITE_ROW) {
            if ((rc = sqlite3_step(s)) == SQLITE_ROW)
                row(s);
        }
        sqlite3_finalize(s);
        if (rc != SQLITE_DONE)
            store.integrity += QStringLiteral("%1: %2\n").arg(sql, sqlite3_errmsg(db));
    };
    QStringList check;
    query("PRAGMA integrity_check", [&](sqlite3_stmt* s) { check << text(s, 0).value_or(""); });
    store.integrity = check.join(u'\n');
    query("SELECT id,hash,kind,created_at,pinned,rtf_path,blob_path,thumb_path FROM items",
          [&](sqlite3_stmt* s) {
              Row row{*text(s, 1), *text(s, 2), sqlite3_column_double(s, 3),
                      sqlite3_column_int(s, 4) != 0, text(s, 7)};
              for (int i : {5, 6}) {
                  if (const auto file = text(s, i))
                      row.dataFiles << *file;
              }
              store.referenced += QSet<QString>(row.dataFiles.begin(), row.dataFiles.end());
              if (row.thumb)
                  store.referenced += *row.thumb;
              store.rows.insert(sqlite3_column_int64(s, 0), row);
          });
    query("SELECT seq FROM sqlite_sequence WHERE name='items'",
          [&](sqlite3_stmt* s) { store.inserted = sqlite3_column_int64(s, 0); });
    sqlite3_close(db);
    return store;
}

// Everything in the side-file folders.
QSet<QString> sideFiles(const QString& folder) {
    QSet<QString> files;
    const QDir dir(dataDir() + u'/' + folder);
    for (const QString& name :
         dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        files += dir.filePath(name);
    return files;
}

// The rows of `before` that `after` lacks, less those that at least `limit`
// newer unpinned rows have pushed out of the history since.
QStringList lostRows(const Store& before, const Store& after, int limit) {
    QStringList lost;
    for (auto it = before.rows.begin(); it != before.rows.end(); ++it) {
        if (after.rows.value(it.key()).hash == it->hash)
            continue;
        const auto newer = std::count_if(after.rows.begin(), after.rows.end(), [&](const Row& r) {
            return !r.pinned && r.createdAt > it->createdAt;
        });
        if (it->pinned || newer < limit)
            lost << QStringLiteral("%1 (%2)").arg(it.key()).arg(it->kind);
    }
    return lost;
}

void writeLimit(int maxItems) {
    const QString dir =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u"/Quillet"_qs;
    QDir().mkpath(dir);
    QFile file(dir + u"/defaults.json"_qs);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QVERIFY(file.write(QStringLiteral("{\"maxItems\": %1}").arg(maxItems).toUtf8()) > 0);
}

quint32 seed() {
    bool ok = false;
    const quint32 fixed = qEnvironmentVariable("QUILLET_SOAK_SEED").toUInt(&ok);
    return ok ? fixed : QRandomGenerator::system()->generate();
}
} // namespace

class TestSoak : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void killedAtRandomMoments();
    void manyCopiesInOneRun();
};

void TestSoak::killedAtRandomMoments() {
    const int kills = g_long ? 200 : 18;
    const int limit = 40; // small, so kills also land in pruning
    const quint32 s = seed();
    std::printf("soak: seed %u (QUILLET_SOAK_SEED=%u repeats it)\n", s, s);
    std::mt19937 random(s);
    const auto between = [&random](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    writeLimit(limit);
    QTemporaryDir files;
    Copier copier(files.path(), s, 0);

    Store committed;          // what the last kill left
    QSet<QString> leftBehind; // files the last kill left without a row
    int killed = 0, inStartUp = 0, lost = 0, missing = 0, stale = 0;
    qsizetype mostLeftBehind = 0;
    QSet<QString> everCommitted, unmadePreviews, unmade; // previews a kill cut short
    while (killed < kills) {
        Quillet app;
        if (killed > 0 && between(0, 3) == 0) {
            // Killed while it starts: opening the history, sweeping, claiming the clipboard.
            QTest::qWait(between(0, 300));
            app.kill();
            ++killed;
            ++inStartUp;
            continue;
        }
        QTRY_VERIFY_WITH_TIMEOUT(Quillet::answers(), 20000);
        // The previews a kill cut short are made at the restart (unless the
        // limit dropped their pictures meanwhile).
        QTRY_VERIFY_WITH_TIMEOUT(
            std::all_of(unmade.begin(), unmade.end(),
                        [referenced = readStore().referenced](const QString& p) {
                            return QFileInfo::exists(p) || !referenced.contains(p);
                        }),
            20000);
        const Store restarted = readStore();
        QCOMPARE(restarted.integrity, u"ok"_qs);
        for (const QString& row : lostRows(committed, restarted, limit)) {
            qWarning("lost at restart: %s", qPrintable(row));
            ++lost;
        }
        for (const QString& file : std::as_const(leftBehind)) {
            if (QFileInfo::exists(file) && !restarted.referenced.contains(file)) {
                qWarning("not removed at restart: %s", qPrintable(file));
                ++stale;
            }
        }

        QTest::qWait(between(20, 1500)); // the random moment
        const Store seen = readStore();
        app.kill();
        ++killed;

        // The history exactly as the kill left it: nothing runs on it now.
        committed = readStore();
        QCOMPARE(committed.integrity, u"ok"_qs);
        for (const QString& row : lostRows(seen, committed, limit)) {
            qWarning("lost at the kill: %s", qPrintable(row));
            ++lost;
        }
        leftBehind.clear();
        unmade.clear();
        for (auto it = committed.rows.begin(); it != committed.rows.end(); ++it) {
            everCommitted += it->hash;
            for (const QString& file : std::as_const(it->dataFiles)) {
                if (!QFileInfo::exists(file)) {
                    qWarning("row %lld names a missing file %s", it.key(), qPrintable(file));
                    ++missing;
                }
            }
            // A preview is made after its row is added; a kill may come first.
            if (it->kind == u"image"_qs && it->thumb && !QFileInfo::exists(*it->thumb))
                unmade += *it->thumb;
        }
        for (const QString& file : sideFiles(u"blobs"_qs) + sideFiles(u"thumbs"_qs)) {
            if (!committed.referenced.contains(file))
                leftBehind += file;
        }
        mostLeftBehind = std::max(mostLeftBehind, leftBehind.size());
        unmadePreviews += unmade;
    }
    std::printf("soak: %d kills (%d during start-up), %lld items committed, %lld rows inserted, "
                "%d lost, %d missing data files, %d stale leftovers (most left by one kill: "
                "%lld), %lld image previews cut short and made again\n",
                killed, inStartUp, qint64(everCommitted.size()), committed.inserted, lost, missing,
                stale, qint64(mostLeftBehind), qint64(unmadePreviews.size()));
    QVERIFY(everCommitted.size() > kills); // copies did reach the history
    QCOMPARE(lost, 0);
    QCOMPARE(missing, 0);
    QCOMPARE(stale, 0);
}

void TestSoak::manyCopiesInOneRun() {
    const int copies = 10000;
    const int limit = 20;
    QVERIFY(QDir(dataDir()).removeRecursively());
    writeLimit(limit);
    QTemporaryDir files;
    Quillet app;
    QTRY_VERIFY_WITH_TIMEOUT(Quillet::answers(), 20000);
    Copier copier(files.path(), seed(), copies);
    QVERIFY(copier.printed("copied 1000", 600000));
    const Usage first(app.pid());
    QVERIFY(copier.printed("done", 3600000));
    // Settled once the last copy is in and every image row has its preview.
    const QString lastCopy =
        QCryptographicHash::hash((u"text:"_qs + kLastCopy).toUtf8(), QCryptographicHash::Sha256)
            .toHex();
    Store store;
    const auto settled = [&store, &lastCopy] {
        store = readStore();
        const auto newest =
            std::max_element(store.rows.begin(), store.rows.end(),
                             [](const Row& a, const Row& b) { return a.createdAt < b.createdAt; });
        return newest != store.rows.end() && newest->hash == lastCopy &&
               std::all_of(store.rows.begin(), store.rows.end(), [](const Row& r) {
                   return r.kind != u"image"_qs || (r.thumb && QFileInfo::exists(*r.thumb));
               });
    };
    QTRY_VERIFY_WITH_TIMEOUT(settled(), 60000);
    const Usage last(app.pid());
    std::printf("soak: %d copies, %lld recorded; after 1,000: %lld KiB resident, %lld fds, %lld "
                "threads; at the end: %lld KiB, %lld fds, %lld threads\n",
                copies, store.inserted, first.rssKiB, qint64(first.fds), qint64(first.threads),
                last.rssKiB, qint64(last.fds), qint64(last.threads));
    QVERIFY(first.rssKiB > 0);
    QVERIFY(last.rssKiB - first.rssKiB <= 10 * 1024);
    // A preview or a capture under way holds a descriptor and a pool thread
    // for a moment; a leak over 9,000 copies would be far more.
    QVERIFY(last.fds <= first.fds + 2);
    QVERIFY(last.threads <= first.threads + 2);

    // What the limit allows, and not a file more.
    QCOMPARE(store.integrity, u"ok"_qs);
    QCOMPARE(store.rows.size(), limit);
    QSet<QString> data, previews;
    for (const Row& row : std::as_const(store.rows)) {
        data += QSet<QString>(row.dataFiles.begin(), row.dataFiles.end());
        if (row.thumb && QFileInfo::exists(*row.thumb))
            previews += *row.thumb;
    }
    for (const auto& [folder, kept] : {std::pair{u"blobs"_qs, data}, {u"thumbs"_qs, previews}}) {
        const QSet<QString> there = sideFiles(folder);
        const QStringList extra = (there - kept).values(), gone = (kept - there).values();
        QVERIFY2(
            extra.isEmpty() && gone.isEmpty(),
            qPrintable(u"unused: "_qs + extra.join(u' ') + u"; missing: "_qs + gone.join(u' ')));
    }
}

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == u"--copier"_qs)
        return runCopier(args[2], args[3].toUInt(), args[4].toInt());
    g_long = args.removeAll(u"--long"_qs) > 0;
    // The suite's run leaves the 10,000 copies to `make soak`.
    if (!g_long && args.size() == 1)
        args << u"killedAtRandomMoments"_qs;
    TestSoak test;
    return QTest::qExec(&test, args);
}

#include "tst_soak.moc"
