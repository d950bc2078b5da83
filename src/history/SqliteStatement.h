#pragma once

#include <QString>

#include <optional>

struct sqlite3;
struct sqlite3_stmt;

// A prepared statement, finalized when it goes out of scope.
class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, const QString& sql);
    ~SqliteStatement();
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&&) = delete;
    SqliteStatement(const SqliteStatement&) = delete;

    bool isValid() const { return m_stmt != nullptr; }

    // Positions count from 1. Text is copied at bind time; nothing binds NULL.
    void bindText(int position, const std::optional<QString>& value);
    void bindDouble(int position, double value);
    void bindInt(int position, int value);

    // True when a row is available.
    bool step();
    // The last step ended in an error rather than with a row or the end.
    bool failed() const { return m_failed; }

    qint64 columnInt64(int column) const;
    double columnDouble(int column) const;
    bool columnIsNull(int column) const;
    std::optional<QString> columnText(int column) const;

private:
    sqlite3_stmt* m_stmt = nullptr;
    bool m_failed = false;
};
