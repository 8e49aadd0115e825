#pragma once

// The pieces of SQLite's C interface that the history's tables share: a statement finalised
// with its scope, the error of a result code, and plain execution. Only the history's own
// sources include this.

#include "corelib/Result.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <sqlite3.h>

namespace historydb {

// The HistoryError of a result code (its primary part).
int errorKind(int rc);

// "<file>: <the database's own message>".
tessera::Error errorOf(sqlite3 *db, int rc, const QString &path);

// A prepared statement that is finalised with its scope.
class Statement {
public:
    Statement(sqlite3 *db, const QByteArray &sql)
    {
        m_rc = sqlite3_prepare_v2(db, sql.constData(), static_cast<int>(sql.size()), &m_stmt, nullptr);
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    int prepared() const { return m_rc; }
    sqlite3_stmt *get() const { return m_stmt; }
    void bindText(int i, const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(m_stmt, i, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    }
    void bindInt(int i, qint64 value) { sqlite3_bind_int64(m_stmt, i, value); }
    void bindReal(int i, const std::optional<double> &value)
    {
        if (value)
            sqlite3_bind_double(m_stmt, i, *value);
        else
            sqlite3_bind_null(m_stmt, i);
    }
    int step() { return sqlite3_step(m_stmt); }
    void reset() { sqlite3_reset(m_stmt); }
    QString text(int column) const
    {
        const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
        return QString::fromUtf8(data, sqlite3_column_bytes(m_stmt, column));
    }
    qint64 integer(int column) const { return sqlite3_column_int64(m_stmt, column); }
    std::optional<double> real(int column) const
    {
        if (sqlite3_column_type(m_stmt, column) == SQLITE_NULL)
            return std::nullopt;
        return sqlite3_column_double(m_stmt, column);
    }

private:
    sqlite3_stmt *m_stmt = nullptr;
    int m_rc = SQLITE_OK;
};

inline int exec(sqlite3 *db, const char *sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

} // namespace historydb
