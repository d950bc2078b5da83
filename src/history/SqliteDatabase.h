#pragma once

#include <QString>

#include <memory>

struct sqlite3;
class SqliteStatement;

// Owns one SQLite connection. Statements that fail are not reported: callers
// look at the table again instead.
class SqliteDatabase {
public:
    SqliteDatabase() = default;
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // Opens read-write, creating the file when missing.
    bool open(const QString& path);
    // Opens an existing file for reading only, as one nobody writes to while
    // it is open: on a folder that refuses writes, where the journal of a
    // write-ahead-logged file cannot be created, it is the only way to read it.
    bool openUnchanging(const QString& path);
    bool isOpen() const { return m_db != nullptr; }
    void close();
    // Closes without carrying the write-ahead log into the file (as the last
    // connection to close otherwise does): for a file that is to be kept as
    // it was found.
    void abandon();
    // The primary result code of the most recent failed call (SQLITE_OK when none).
    int errorCode() const;
    // That code says the file is not a database or is corrupt, as opposed
    // to busy, locked or unreadable for now.
    bool lastErrorIsDamage() const;
    // That code says the file or its folder takes no writes (read-only, full,
    // failing); a busy or locked database is not one.
    bool lastErrorIsWriteFailure() const;
    QString errorMessage() const;

    // One-shot execution; the result is not read. False when it failed.
    bool exec(const QString& sql);
    // Rows changed by the most recent INSERT, UPDATE or DELETE.
    int changes() const;
    // A prepared statement, or one that reports !isValid() when preparing failed.
    SqliteStatement prepare(const QString& sql);

private:
    bool openWith(const QByteArray& name, int flags);

    sqlite3* m_db = nullptr;
};
