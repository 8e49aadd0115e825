#include "history/SqliteStatement.h"

#include "history/HistoryStore.h"

using namespace Qt::StringLiterals;

namespace historydb {

int errorKind(int rc)
{
    switch (rc & 0xff) {
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_NOTFOUND:
        return HistoryErrorCannotOpen;
    case SQLITE_READONLY:
        return HistoryErrorReadOnly;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return HistoryErrorBusy;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return HistoryErrorDamaged;
    case SQLITE_FULL:
        return HistoryErrorFull;
    default:
        return HistoryErrorOther;
    }
}

tessera::Error errorOf(sqlite3 *db, int rc, const QString &path)
{
    const char *text = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    return tessera::Error { errorKind(rc), u"%1: %2"_s.arg(path, QString::fromUtf8(text)) };
}

} // namespace historydb
