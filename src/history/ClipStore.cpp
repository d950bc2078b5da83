#include "history/ClipStore.h"

#include "history/HistoryLog.h"
#include "history/SqliteStatement.h"
#include "settings/Prefs.h"
#include "thumbnails/Sha256.h"
#include "thumbnails/ThumbnailCache.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryFile>

#include <charconv>
#include <chrono>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString kCreateTable =
    QStringLiteral("CREATE TABLE IF NOT EXISTS items(\n"
                   "  id INTEGER PRIMARY KEY AUTOINCREMENT,\n"
                   "  hash TEXT UNIQUE NOT NULL,\n"
                   "  kind TEXT NOT NULL,\n"
                   "  text TEXT, rtf_path TEXT, blob_path TEXT, file_path TEXT, thumb_path TEXT,\n"
                   "  source_app TEXT, source_name TEXT,\n"
                   "  created_at REAL NOT NULL,\n"
                   "  pinned INTEGER NOT NULL DEFAULT 0,\n"
                   "  downscaled INTEGER NOT NULL DEFAULT 0)");

const QString kSelectAll = QStringLiteral(
    "SELECT id,kind,text,rtf_path,blob_path,file_path,thumb_path,source_app,source_name,"
    "created_at,pinned,downscaled FROM items ORDER BY pinned DESC, created_at DESC");

const QString kInsert = QStringLiteral(
    "INSERT OR IGNORE INTO items(hash,kind,text,rtf_path,blob_path,file_path,thumb_path,"
    "source_app,source_name,created_at,pinned,downscaled) VALUES(?,?,?,?,?,?,?,?,?,?,0,?)");

constexpr mode_t kPrivateFile = S_IRUSR | S_IWUSR;
constexpr mode_t kPrivateDir = S_IRWXU;

// Microsecond resolution, so that copies in quick succession keep their order.
double now() {
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

// Narrows a path's mode to owner-only when it grants anything to others.
void restrictMode(const QString& path, mode_t wanted) {
    struct stat st {};
    const QByteArray native = QFile::encodeName(path);
    if (::lstat(native.constData(), &st) != 0 || S_ISLNK(st.st_mode))
        return;
    if ((st.st_mode & 07777 & ~wanted) != 0)
        ::chmod(native.constData(), st.st_mode & wanted);
}
} // namespace

ClipStore::ClipStore(const QString& baseDir, Prefs& prefs, QObject* parent)
    : QObject(parent)
    , m_prefs(prefs) {
    QDir base(baseDir);
    m_blobsDir = base.filePath(QStringLiteral("blobs"));
    m_thumbsDir = base.filePath(QStringLiteral("thumbs"));
    m_databasePath = base.filePath(QStringLiteral("quillet.sqlite"));
    QDir().mkpath(m_blobsDir);
    QDir().mkpath(m_thumbsDir);
    tightenPermissions(baseDir);

    openDatabase();
}

void ClipStore::openDatabase() {
    if (openAndRead()) {
        // A run that ended abruptly (killed, crashed, power lost) can leave a
        // data file whose row never committed, or a half-written temporary
        // one; nothing else ever removes them, so every such end would leave
        // its files behind for good.
        if (mayRemoveUnusedFiles())
            removeUnusedFiles({m_blobsDir});
        return;
    }
    if (!m_db.isOpen() || !m_db.lastErrorIsDamage())
        return;
    // The history cannot be read: an empty list would be taken for the truth
    // (and a clear would then sweep the side files of every unread row). Keep
    // the file for recovery and start afresh.
    qCWarning(historyLog) << "clip history database damaged:" << m_db.errorCode();
    m_db.close();
    moveDamagedAside();
    openAndRead();
}

bool ClipStore::openAndRead() {
    // Create the file owner-only before SQLite does, so the WAL and SHM files,
    // which SQLite creates with the database's mode, are private as well.
    const QByteArray native = QFile::encodeName(m_databasePath);
    const int fd =
        ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, kPrivateFile);
    if (fd >= 0)
        ::close(fd);

    if (m_db.open(m_databasePath)) {
        m_db.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        m_db.exec(kCreateTable);
    } else {
        qCWarning(historyLog) << "cannot open the clip history database" << m_databasePath;
    }
    reload();
    return m_listRead;
}

void ClipStore::moveDamagedAside() {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = m_databasePath + QStringLiteral(".damaged-") + stamp;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = m_databasePath + QStringLiteral(".damaged-") + stamp + u'-' + QString::number(n);
    if (!QFile::rename(m_databasePath, target)) {
        qCWarning(historyLog) << "cannot move the damaged database aside to" << target;
        return;
    }
    for (const QString& suffix : {QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        if (QFileInfo::exists(m_databasePath + suffix))
            QFile::rename(m_databasePath + suffix, target + suffix);
    }
    m_damagedCopy = target;
    qCWarning(historyLog) << "damaged clip history kept as" << target;
}

bool ClipStore::mayRemoveUnusedFiles() const {
    if (!m_listRead)
        return false;
    // The side files of a damaged database's rows are unread, not unused:
    // they stay for as long as the damaged copy is kept for recovery.
    const QFileInfo db(m_databasePath);
    return db.dir()
        .entryList({db.fileName() + QStringLiteral(".damaged-*")}, QDir::Files | QDir::Hidden)
        .isEmpty();
}

void ClipStore::tightenPermissions(const QString& baseDir) {
    restrictMode(baseDir, kPrivateDir);
    restrictMode(m_blobsDir, kPrivateDir);
    restrictMode(m_thumbsDir, kPrivateDir);
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        restrictMode(m_databasePath + suffix, kPrivateFile);
    for (const QString& dir : {m_blobsDir, m_thumbsDir}) {
        QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System);
        while (it.hasNext())
            restrictMode(it.next(), kPrivateFile);
    }
}

void ClipStore::reload() {
    ClipItemList list;
    SqliteStatement q = m_db.prepare(kSelectAll);
    const bool read = q.isValid();
    while (q.step()) {
        ClipItem item;
        item.id = q.columnInt64(0);
        item.kind = clipKindFromText(q.columnText(1).value_or(QStringLiteral("text")))
                        .value_or(ClipKind::text);
        item.text = q.columnText(2);
        item.rtfPath = q.columnText(3);
        item.blobPath = q.columnText(4);
        item.filePath = q.columnText(5);
        item.thumbPath = q.columnText(6);
        item.sourceApp = q.columnText(7);
        item.sourceName = q.columnText(8);
        item.createdAt = q.columnDouble(9);
        item.pinned = q.columnInt64(10) == 1;
        item.downscaled = q.columnInt64(11) == 1;
        list.append(std::move(item));
    }
    m_listRead = read && !q.failed();
    m_items = std::move(list);
    Q_EMIT itemsChanged();
}

void ClipStore::record(const NewClip& clip) {
    {
        SqliteStatement update =
            m_db.prepare(QStringLiteral("UPDATE items SET created_at=? WHERE hash=?"));
        if (update.isValid()) {
            update.bindDouble(1, now());
            update.bindText(2, clip.hash);
            update.step();
        }
    }
    if (m_db.changes() == 0) {
        SqliteStatement insert = m_db.prepare(kInsert);
        if (insert.isValid()) {
            insert.bindText(1, clip.hash);
            insert.bindText(2, clipKindText(clip.kind));
            insert.bindText(3, clip.text);
            insert.bindText(4, clip.rtfPath);
            insert.bindText(5, clip.blobPath);
            insert.bindText(6, clip.filePath);
            insert.bindText(7, clip.thumbPath);
            insert.bindText(8, clip.sourceApp);
            insert.bindText(9, clip.sourceName);
            insert.bindDouble(10, now());
            insert.bindInt(11, clip.downscaled ? 1 : 0);
            insert.step();
        }
    } else if (clip.rtfPath && countReferences(QStringLiteral("rtf_path"), *clip.rtfPath) == 0) {
        // The same text again with other formatting: the row keeps its own
        // rich text, and the file written for this copy alone would stay
        // behind until the next start.
        QFile::remove(*clip.rtfPath);
    }
    reload();
    pruneWith(true);
}

void ClipStore::setPinned(qint64 id, bool pinned) {
    m_db.exec(QStringLiteral("UPDATE items SET pinned=") + (pinned ? u'1' : u'0') +
              QStringLiteral(" WHERE id=") + QString::number(id));
    reload();
}

void ClipStore::removeSideFileIfUnused(const QString& path) {
    QString column;
    if (path.endsWith(QLatin1String(".rtf")))
        column = QStringLiteral("rtf_path");
    else if (path.contains(QLatin1String("/thumbs/")))
        column = QStringLiteral("thumb_path");
    else
        column = QStringLiteral("blob_path");
    // A count that could not be taken keeps the file.
    if (countReferences(column, path).value_or(2) < 2)
        QFile::remove(path);
}

void ClipStore::deleteItem(const ClipItem& item) {
    for (const auto* path : {&item.rtfPath, &item.blobPath, &item.thumbPath}) {
        if (*path)
            removeSideFileIfUnused(**path);
    }
    // The item's filePath is the user's own file and is never touched.
    m_db.exec(QStringLiteral("DELETE FROM items WHERE id=") + QString::number(item.id));
    reload();
}

void ClipStore::clear() {
    m_db.exec(QStringLiteral("DELETE FROM items WHERE pinned=0"));
    reload();
    sweepOrphans();
}

QString ClipStore::formatCutoff(double seconds) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, seconds, std::chars_format::fixed);
    QString s = QString::fromLatin1(buf, res.ptr - buf);
    if (!s.contains(u'.'))
        s += QStringLiteral(".0");
    return s;
}

void ClipStore::prune() {
    pruneWith(false);
}

void ClipStore::pruneWith(bool itemsAreFresh) {
    const ClipItemList before = m_items;
    const double days = double(std::max<qint64>(m_prefs.maxDays(), 1));
    const double cutoff = now() - days * 86400.0;
    const qint64 limit = std::max<qint64>(m_prefs.maxItems(), 10);

    // Right after a reload the list is the table, so a limit that the list
    // already keeps needs no statement: a DELETE that would match no row is
    // skipped, and so is the second full read of an unchanged table.
    bool anyTooOld = !itemsAreFresh;
    qint64 unpinned = 0;
    for (const ClipItem& item : before) {
        if (!item.pinned) {
            ++unpinned;
            anyTooOld = anyTooOld || item.createdAt < cutoff;
        }
    }
    const bool overLimit = !itemsAreFresh || unpinned > limit;

    bool removed = false;
    if (anyTooOld) {
        m_db.exec(QStringLiteral("DELETE FROM items WHERE pinned=0 AND created_at < ") +
                  formatCutoff(cutoff));
        removed = m_db.changes() > 0;
    }
    if (overLimit) {
        m_db.exec(QStringLiteral("DELETE FROM items WHERE pinned=0 AND id NOT IN\n"
                                 "  (SELECT id FROM items WHERE pinned=0 ORDER BY created_at DESC "
                                 "LIMIT ") +
                  QString::number(limit) + u')');
        removed = removed || m_db.changes() > 0;
    }
    // Right after a reload the list is already published: a prune that
    // removed nothing publishes it once only.
    if (!itemsAreFresh || removed)
        reload();
    // Pruned rows would otherwise leave their image blobs on disk until the
    // user happens to clear the history, filling the disk for those who never do.
    if (removed && m_listRead)
        removeSideFilesOfPruned(before);
}

void ClipStore::removeSideFilesOfPruned(const ClipItemList& before) {
    QSet<qint64> remaining;
    for (const ClipItem& item : m_items)
        remaining.insert(item.id);
    QSet<QString> keep;
    for (const ClipItem& item : m_items) {
        for (const auto* path : {&item.rtfPath, &item.blobPath, &item.thumbPath}) {
            if (*path)
                keep.insert(**path);
        }
    }
    for (const ClipItem& item : before) {
        if (remaining.contains(item.id))
            continue;
        for (const auto* path : {&item.rtfPath, &item.blobPath, &item.thumbPath}) {
            if (*path && !keep.contains(**path))
                QFile::remove(**path);
        }
    }
}

void ClipStore::sweepOrphans() {
    if (!mayRemoveUnusedFiles()) {
        qCWarning(historyLog)
            << "side files not swept: a history that could not be read may still use them";
        return;
    }
    removeUnusedFiles({m_blobsDir, m_thumbsDir});
}

void ClipStore::removeUnusedFiles(const QStringList& dirs) {
    QSet<QString> keep;
    for (const ClipItem& item : m_items) {
        for (const auto* path : {&item.rtfPath, &item.blobPath, &item.thumbPath}) {
            if (*path)
                keep.insert(**path);
        }
    }
    for (const QString& dir : dirs) {
        QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        while (it.hasNext()) {
            const QString path = it.next();
            if (keep.contains(path))
                continue;
            // An unused picture's preview goes with it (named after the
            // picture's path and time, so found only while it is there): a
            // kill between a prune and its removals leaves both behind.
            const QString preview = ThumbnailCache::thumbnailPath(m_thumbsDir, path);
            if (dir == m_blobsDir && !keep.contains(preview))
                QFile::remove(preview);
            QFile::remove(path);
        }
    }
}

int ClipStore::referenceCount(const QString& column, const QString& path) {
    return countReferences(column, path).value_or(0);
}

std::optional<int> ClipStore::countReferences(const QString& column, const QString& path) {
    SqliteStatement q = m_db.prepare(QStringLiteral("SELECT COUNT(*) FROM items WHERE ") + column +
                                     QStringLiteral("=?"));
    if (!q.isValid())
        return std::nullopt;
    q.bindText(1, path);
    if (!q.step())
        return std::nullopt;
    return int(q.columnInt64(0));
}

QString ClipStore::saveBlob(const QByteArray& bytes, const QString& ext, QString hash) {
    if (hash.isEmpty())
        hash = sha256Hex(bytes);
    const QString path = QDir(m_blobsDir).filePath(hash + u'.' + ext);
    if (QFileInfo::exists(path))
        return path;
    // Written under a temporary name (created 0600) and renamed, so a reader
    // never sees half a blob and a full disk leaves no broken file behind.
    QTemporaryFile tmp(QDir(m_blobsDir).filePath(QStringLiteral(".blob-XXXXXX")));
    tmp.setAutoRemove(true);
    if (!tmp.open() || tmp.write(bytes) != bytes.size() || !tmp.flush() || !tmp.rename(path)) {
        qCWarning(historyLog) << "cannot write a clip's data file in" << m_blobsDir << ":"
                              << tmp.errorString();
        return {};
    }
    tmp.setAutoRemove(false);
    return path;
}
