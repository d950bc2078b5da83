#pragma once

#include "history/ClipItem.h"
#include "history/NewClip.h"
#include "history/SqliteDatabase.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class Prefs;
class WriteFailures;

// The clip history: one SQLite table and two folders of side files ("blobs"
// for image and rich-text payloads, "thumbs" for thumbnails). Publishes the
// whole history, pinned first, then newest first, replacing the list at every
// reload. A database that is not one (or whose table cannot be read, or whose
// write-ahead log is another database's) is moved aside and a fresh one started; side files are
// removed only when a successful read showed that no row uses them (at opening, the data files an
// abrupt end left without their row). A history in a folder that refuses
// writes is still read (and nothing recorded); every failed write goes to
// the WriteFailures given. Main thread only.
class ClipStore : public QObject {
    Q_OBJECT
    Q_PROPERTY(ClipItemList items READ items NOTIFY itemsChanged)

public:
    // Opens (or creates) the store in baseDir; the limits come from prefs.
    ClipStore(const QString& baseDir, Prefs& prefs, WriteFailures* failures = nullptr,
              QObject* parent = nullptr);

    const ClipItemList& items() const { return m_items; }
    bool isOpen() const { return m_db.isOpen(); }
    QString blobsDir() const { return m_blobsDir; }
    QString thumbsDir() const { return m_thumbsDir; }
    QString databasePath() const { return m_databasePath; }
    // Where a damaged database was moved at opening; empty when it was sound.
    QString damagedCopy() const { return m_damagedCopy; }

    void reload();
    // Adds the clip, or moves the entry with the same hash to the top.
    void record(const NewClip& clip);
    void setPinned(qint64 id, bool pinned);
    void deleteItem(const ClipItem& item);
    void clear();
    void prune();
    void sweepOrphans();
    int referenceCount(const QString& column, const QString& path);
    // The content-addressed file of bytes (hash: their SHA-256 when the caller
    // has it already); empty when it cannot be written.
    QString saveBlob(const QByteArray& bytes, const QString& ext, QString hash = {});

    // The prune cut-off as written into the statement: the shortest decimal
    // that reads back as the same double, always with a fractional part.
    static QString formatCutoff(double seconds);

Q_SIGNALS:
    void itemsChanged();

private:
    void openDatabase();
    bool openAndRead();
    // False when the write-ahead log just read over the file came from
    // another database: the file's own stamp (a random number in its header,
    // read from the file itself) differs from the one SQLite now reads. A
    // file without a stamp gets one.
    bool journalIsOwn(std::optional<qint32> stampInFile);
    void moveDamagedAside();
    bool mayRemoveUnusedFiles() const;
    std::optional<int> countReferences(const QString& column, const QString& path);
    void pruneWith(bool itemsAreFresh);
    // Only after a successful read (mayRemoveUnusedFiles).
    void removeUnusedFiles(const QStringList& dirs);
    void removeSideFileIfUnused(const QString& path);
    void removeSideFilesOfPruned(const ClipItemList& before);
    void tightenPermissions(const QString& baseDir);
    // After a statement that changes the table: reports it when it failed for want of a disk.
    void checkWritten(bool ok);

    ClipItemList m_items;
    SqliteDatabase m_db;
    QString m_blobsDir;
    QString m_thumbsDir;
    QString m_databasePath;
    QString m_damagedCopy;
    // The last reload read the whole table.
    bool m_listRead = false;
    bool m_foreignJournal = false;
    Prefs& m_prefs;
    WriteFailures* m_failures;
};
