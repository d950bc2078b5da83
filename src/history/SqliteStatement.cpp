#include "history/SqliteStatement.h"

#include <sqlite3.h>

#include <utility>

SqliteStatement::SqliteStatement(sqlite3* db, const QString& sql) {
    if (!db)
        return;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
}

SqliteStatement::~SqliteStatement() {
    if (m_stmt)
        sqlite3_finalize(m_stmt);
}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : m_stmt(std::exchange(other.m_stmt, nullptr))
    , m_failed(other.m_failed) {}

void SqliteStatement::bindText(int position, const std::optional<QString>& value) {
    if (!m_stmt)
        return;
    if (!value) {
        sqlite3_bind_null(m_stmt, position);
        return;
    }
    const QByteArray utf8 = value->toUtf8();
    sqlite3_bind_text(m_stmt, position, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void SqliteStatement::bindDouble(int position, double value) {
    if (m_stmt)
        sqlite3_bind_double(m_stmt, position, value);
}

void SqliteStatement::bindInt(int position, int value) {
    if (m_stmt)
        sqlite3_bind_int(m_stmt, position, value);
}

bool SqliteStatement::step() {
    if (!m_stmt)
        return false;
    const int rc = sqlite3_step(m_stmt);
    m_failed = rc != SQLITE_ROW && rc != SQLITE_DONE;
    return rc == SQLITE_ROW;
}

qint64 SqliteStatement::columnInt64(int column) const {
    return m_stmt ? sqlite3_column_int64(m_stmt, column) : 0;
}

double SqliteStatement::columnDouble(int column) const {
    return m_stmt ? sqlite3_column_double(m_stmt, column) : 0.0;
}

bool SqliteStatement::columnIsNull(int column) const {
    return !m_stmt || sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

std::optional<QString> SqliteStatement::columnText(int column) const {
    if (columnIsNull(column))
        return std::nullopt;
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    const int size = sqlite3_column_bytes(m_stmt, column);
    return QString::fromUtf8(bytes, size);
}
