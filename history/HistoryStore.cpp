#include "history/HistoryStore.h"

#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "history/HistorySchema.h"
#include "history/SqliteStatement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

using namespace Qt::StringLiterals;
using tessera::Error;
using namespace historydb;

namespace {

// How long a call waits for a lock another process holds before it gives up: a store of a
// whole run takes a few milliseconds, so this only bridges another writer's transaction.
constexpr int kBusyTimeoutMs = 100;

// The value columns, in kHistoryColumns order: "price, change, ...".
QByteArray valueColumns()
{
    QByteArray list;
    for (const HistoryColumn &c : kHistoryColumns) {
        if (!list.isEmpty())
            list += ", ";
        list += c.name;
    }
    return list;
}

QByteArray insertSql()
{
    QByteArray sql
        = "INSERT OR IGNORE INTO points (code, time, kind, " + valueColumns() + ") VALUES (?, ?, ?";
    for (int i = 0; i < kHistoryValueCount; ++i)
        sql += ", ?";
    return sql + ')';
}

tessera::Result<sqlite3 *> connect(const QString &path, bool readOnly)
{
    sqlite3 *db = nullptr;
    const int flags = readOnly ? SQLITE_OPEN_READONLY : (SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    const int rc
        = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        Error error = errorOf(db, rc, path);
        sqlite3_close(db);
        return error;
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    return db;
}

// The file's version; reading it is the first read of the file's header and schema, where a
// file that is no database or is damaged shows.
tessera::Result<int> readVersion(sqlite3 *db, const QString &path)
{
    Statement version(db, "PRAGMA user_version");
    if (version.prepared() != SQLITE_OK)
        return errorOf(db, version.prepared(), path);
    const int rc = version.step();
    if (rc != SQLITE_ROW)
        return errorOf(db, rc, path);
    // The schema is read at the first statement that names a table: a damaged schema shows
    // there, so it is read here, before anything is written.
    Statement schema(db, "SELECT count(*) FROM sqlite_schema");
    if (schema.prepared() != SQLITE_OK)
        return errorOf(db, schema.prepared(), path);
    const int schemaRc = schema.step();
    if (schemaRc != SQLITE_ROW)
        return errorOf(db, schemaRc, path);
    return static_cast<int>(version.integer(0));
}

// Runs each schema step the file has not had, each in a transaction of its own that reads the
// version again under the write lock (another process may have upgraded the file meanwhile).
tessera::Status upgrade(sqlite3 *db, const QString &path)
{
    for (const HistorySchemaStep &step : HistorySchemaSteps()) {
        int rc = exec(db, "BEGIN IMMEDIATE");
        if (rc != SQLITE_OK)
            return errorOf(db, rc, path);
        const tessera::Result<int> now = readVersion(db, path);
        if (!now) {
            exec(db, "ROLLBACK");
            return now.error();
        }
        if (*now >= step.version) {
            exec(db, "COMMIT");
            continue;
        }
        rc = exec(db, step.sql);
        if (rc == SQLITE_OK)
            rc = exec(
                db, QByteArray("PRAGMA user_version = " + QByteArray::number(step.version)).constData());
        if (rc == SQLITE_OK)
            rc = exec(db, "COMMIT");
        if (rc != SQLITE_OK) {
            Error error = errorOf(db, rc, path);
            exec(db, "ROLLBACK");
            return error;
        }
    }
    return tessera::Ok {};
}

bool isDamaged(const Error &error)
{
    return error.code == HistoryErrorDamaged;
}

} // namespace

QString DamagedHistoryName(const QString &path, const QDateTime &now)
{
    return path + u".damaged-"_s + now.toString(u"yyyyMMdd-HHmmss"_s);
}

tessera::Result<std::unique_ptr<HistoryStore>> HistoryStore::Open(
    const QString &path, OpenMode mode, const QDateTime &now)
{
    const QFileInfo info(path);
    if (mode == OpenMode::Existing && !info.exists())
        return Error { HistoryErrorMissing, u"%1: no history has been kept yet"_s.arg(path) };
    if (info.exists() && !info.isFile())
        return Error { HistoryErrorCannotOpen, u"%1: not a regular file"_s.arg(path) };
    if (mode == OpenMode::Create && !QDir().mkpath(info.absolutePath()))
        return Error { HistoryErrorCannotOpen, u"%1: its folder cannot be created"_s.arg(path) };

    std::unique_ptr<HistoryStore> store(new HistoryStore);
    store->m_path = path;
    tessera::Result<sqlite3 *> db = connect(path, false);
    if (!db)
        return db.error();
    store->m_db = *db;
    tessera::Result<int> version = readVersion(store->m_db, path);
    if (!version && isDamaged(version.error()) && mode == OpenMode::Create) {
        sqlite3_close(store->m_db);
        store->m_db = nullptr;
        QString aside = DamagedHistoryName(path, now);
        for (int n = 2; QFileInfo::exists(aside); ++n)
            aside = DamagedHistoryName(path, now) + u'-' + QString::number(n);
        if (!QFile::rename(path, aside))
            return Error { HistoryErrorCannotOpen,
                u"%1: the file is damaged and cannot be moved aside"_s.arg(path) };
        // The log and the shared-memory index belong to the damaged file, never to a new one.
        if (QFileInfo::exists(path + u"-wal"_s))
            QFile::rename(path + u"-wal"_s, aside + u"-wal"_s);
        QFile::remove(path + u"-shm"_s);
        store->m_notices << tessera::FormatResourceString(Ids::MsgHistoryDamaged, { path, aside });
        db = connect(path, false);
        if (!db)
            return db.error();
        store->m_db = *db;
        version = readVersion(store->m_db, path);
    }
    if (!version)
        return version.error();
    store->m_openedVersion = *version;

    if (*version > kHistorySchemaVersion) {
        sqlite3_close(store->m_db);
        store->m_db = nullptr;
        db = connect(path, true);
        if (!db)
            return db.error();
        store->m_db = *db;
        store->m_readOnly = true;
        store->m_notices << tessera::FormatResourceString(
            Ids::MsgHistoryNewerVersion, { path, QString::number(*version) });
        return store;
    }

    // Write-ahead logging: readers never wait for the writer, and a transaction cut short
    // by a crash is simply not in the file. A normal sync is safe with it against crashes of
    // the program (a power cut may lose the last transaction, never the file).
    int rc = SQLITE_OK;
    {
        Statement wal(store->m_db, "PRAGMA journal_mode = WAL");
        rc = wal.prepared() == SQLITE_OK ? wal.step() : wal.prepared();
    }
    if (rc != SQLITE_ROW)
        return errorOf(store->m_db, rc, path);
    rc = exec(store->m_db, "PRAGMA synchronous = NORMAL; PRAGMA wal_autocheckpoint = 8000");
    if (rc != SQLITE_OK)
        return errorOf(store->m_db, rc, path);
    const tessera::Status upgraded = upgrade(store->m_db, path);
    if (!upgraded)
        return upgraded.error();
    return store;
}

HistoryStore::~HistoryStore()
{
    sqlite3_close(m_db);
}

tessera::Result<qint64> HistoryStore::store(std::span<const HistoryPoint> points)
{
    if (m_readOnly)
        return Error { HistoryErrorReadOnly,
            u"%1: written by a newer version of the program, not changed"_s.arg(m_path) };
    if (points.empty())
        return qint64(0);
    static const QByteArray sql = insertSql();
    Statement insert(m_db, sql);
    if (insert.prepared() != SQLITE_OK)
        return errorOf(m_db, insert.prepared(), m_path);
    int rc = exec(m_db, "BEGIN IMMEDIATE");
    if (rc != SQLITE_OK)
        return errorOf(m_db, rc, m_path);
    qint64 added = 0;
    for (const HistoryPoint &p : points) {
        insert.bindText(1, p.code);
        insert.bindInt(2, p.time);
        insert.bindInt(3, p.pageKind);
        for (int i = 0; i < kHistoryValueCount; ++i)
            insert.bindReal(4 + i, p.values[static_cast<size_t>(i)]);
        rc = insert.step();
        insert.reset();
        if (rc != SQLITE_DONE)
            break;
        added += sqlite3_changes(m_db);
    }
    if (rc == SQLITE_DONE)
        rc = exec(m_db, "COMMIT");
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        Error error = errorOf(m_db, rc, m_path);
        exec(m_db, "ROLLBACK");
        return error;
    }
    return added;
}

tessera::Result<std::vector<HistoryPoint>> HistoryStore::points(
    const QString &code, qint64 from, qint64 to) const
{
    static const QByteArray sql = "SELECT time, kind, " + valueColumns()
        + " FROM points WHERE code = ?1 AND time BETWEEN ?2 AND ?3 ORDER BY time";
    Statement select(m_db, sql);
    if (select.prepared() != SQLITE_OK)
        return errorOf(m_db, select.prepared(), m_path);
    select.bindText(1, code);
    select.bindInt(2, from);
    select.bindInt(3, to);
    std::vector<HistoryPoint> result;
    int rc;
    while ((rc = select.step()) == SQLITE_ROW) {
        HistoryPoint &p = result.emplace_back();
        p.code = code;
        p.time = select.integer(0);
        p.pageKind = static_cast<int>(select.integer(1));
        for (int i = 0; i < kHistoryValueCount; ++i)
            p.values[static_cast<size_t>(i)] = select.real(2 + i);
    }
    if (rc != SQLITE_DONE)
        return errorOf(m_db, rc, m_path);
    return result;
}

tessera::Result<std::vector<HistorySample>> HistoryStore::samples(
    const QString &code, HistoryValue value, qint64 from, qint64 to) const
{
    const QByteArray column(kHistoryColumns[value].name);
    Statement select(m_db,
        "SELECT time, " + column + " FROM points WHERE code = ?1 AND time BETWEEN ?2 AND ?3 AND " + column
            + " IS NOT NULL ORDER BY time");
    if (select.prepared() != SQLITE_OK)
        return errorOf(m_db, select.prepared(), m_path);
    select.bindText(1, code);
    select.bindInt(2, from);
    select.bindInt(3, to);
    std::vector<HistorySample> result;
    int rc;
    while ((rc = select.step()) == SQLITE_ROW)
        result.push_back({ select.integer(0), sqlite3_column_double(select.get(), 1) });
    if (rc != SQLITE_DONE)
        return errorOf(m_db, rc, m_path);
    return result;
}

tessera::Result<QStringList> HistoryStore::codes() const
{
    // One look-up in the key per code instead of a scan of every point.
    Statement next(m_db, "SELECT code FROM points WHERE code > ?1 ORDER BY code LIMIT 1");
    if (next.prepared() != SQLITE_OK)
        return errorOf(m_db, next.prepared(), m_path);
    QStringList result;
    QString after;
    for (;;) {
        next.bindText(1, after);
        const int rc = next.step();
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            return errorOf(m_db, rc, m_path);
        after = next.text(0);
        result << after;
        next.reset();
    }
    return result;
}

tessera::Result<HistoryStats> HistoryStore::stats() const
{
    const tessera::Result<QStringList> all = codes();
    if (!all)
        return all.error();
    Statement count(m_db, "SELECT count(*) FROM points");
    if (count.prepared() != SQLITE_OK)
        return errorOf(m_db, count.prepared(), m_path);
    const int rc = count.step();
    if (rc != SQLITE_ROW)
        return errorOf(m_db, rc, m_path);
    HistoryStats stats;
    stats.codes = all->size();
    stats.points = count.integer(0);
    stats.bytes = QFileInfo(m_path).size() + QFileInfo(m_path + u"-wal"_s).size();
    return stats;
}

tessera::Result<qint64> HistoryStore::prune(qint64 before)
{
    if (m_readOnly)
        return qint64(0);
    const tessera::Result<QStringList> all = codes();
    if (!all)
        return all.error();
    // Per code, so that each delete is a range of the key rather than a scan of the table.
    Statement remove(m_db, "DELETE FROM points WHERE code = ?1 AND time < ?2");
    if (remove.prepared() != SQLITE_OK)
        return errorOf(m_db, remove.prepared(), m_path);
    int rc = exec(m_db, "BEGIN IMMEDIATE");
    if (rc != SQLITE_OK)
        return errorOf(m_db, rc, m_path);
    qint64 removed = 0;
    for (const QString &code : *all) {
        remove.bindText(1, code);
        remove.bindInt(2, before);
        rc = remove.step();
        remove.reset();
        if (rc != SQLITE_DONE)
            break;
        removed += sqlite3_changes(m_db);
    }
    if (rc == SQLITE_DONE || all->isEmpty())
        rc = exec(m_db, "COMMIT");
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        Error error = errorOf(m_db, rc, m_path);
        exec(m_db, "ROLLBACK");
        return error;
    }
    return removed;
}
