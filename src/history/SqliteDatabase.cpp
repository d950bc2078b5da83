#include "history/SqliteDatabase.h"

#include "history/SqliteStatement.h"

#include <QUrl>

#include <sqlite3.h>

SqliteDatabase::~SqliteDatabase() {
    close();
}

void SqliteDatabase::close() {
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
}

void SqliteDatabase::abandon() {
    if (m_db)
        sqlite3_db_config(m_db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    close();
}

int SqliteDatabase::errorCode() const {
    return m_db ? sqlite3_errcode(m_db) & 0xff : SQLITE_CANTOPEN;
}

bool SqliteDatabase::lastErrorIsDamage() const {
    const int code = errorCode();
    // SQLITE_ERROR on reading the history table means it lacks the columns
    // Quillet stores: not a table Quillet can use either.
    return code == SQLITE_NOTADB || code == SQLITE_CORRUPT || code == SQLITE_ERROR;
}

bool SqliteDatabase::lastErrorIsWriteFailure() const {
    const int code = errorCode();
    return code == SQLITE_READONLY || code == SQLITE_FULL || code == SQLITE_IOERR ||
           code == SQLITE_CANTOPEN || code == SQLITE_PERM;
}

QString SqliteDatabase::errorMessage() const {
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("not open");
}

bool SqliteDatabase::open(const QString& path) {
    // Read-write, created when missing. The connection is only ever used from
    // the main thread, so SQLite's per-call mutex is dropped.
    return openWith(path.toUtf8(),
                    SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX);
}

bool SqliteDatabase::openUnchanging(const QString& path) {
    const QByteArray uri = QUrl::fromLocalFile(path).toEncoded() + "?immutable=1";
    return openWith(uri, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX);
}

bool SqliteDatabase::openWith(const QByteArray& name, int flags) {
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(name.constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    close();
    // A locked database (another process mid-write) waits a little instead of failing at once.
    sqlite3_busy_timeout(db, 2000);
    m_db = db;
    return true;
}

bool SqliteDatabase::exec(const QString& sql) {
    return m_db &&
           sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

int SqliteDatabase::changes() const {
    return m_db ? sqlite3_changes(m_db) : 0;
}

SqliteStatement SqliteDatabase::prepare(const QString& sql) {
    return SqliteStatement(m_db, sql);
}
