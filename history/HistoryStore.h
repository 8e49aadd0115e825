#pragma once

#include "corelib/Result.h"
#include "history/HistoryPoint.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>
#include <span>
#include <vector>

struct sqlite3;

// What went wrong with the history file, from the database's result codes.
enum HistoryError : int {
    HistoryErrorCannotOpen = 900, // the file or its folder cannot be created or opened
    HistoryErrorReadOnly = 901, // the file, its folder or the medium refuses writes
    HistoryErrorBusy = 902, // another process holds the file locked
    HistoryErrorDamaged = 903, // not a database, or a damaged one
    HistoryErrorFull = 904, // the disk is full
    HistoryErrorMissing = 905, // no history file exists yet (opening an existing one)
    HistoryErrorOther = 906, // any other failure of the database
};

// One value of one code at one time, for charts.
struct HistorySample {
    qint64 time = 0;
    double value = 0;

    friend bool operator==(const HistorySample &, const HistorySample &) = default;
};

struct HistoryStats {
    qint64 codes = 0;
    qint64 points = 0;
    qint64 bytes = 0; // the file and its write-ahead log
};

// The price history: one SQLite file of points keyed by code and time (see HistorySchema.h).
// Every call returns its failure instead of throwing; none waits more than a moment for a
// lock another process holds, so that a busy file never slows an update.
//
// Threads: an object is used by one thread at a time.
class HistoryStore {
public:
    enum class OpenMode {
        Create, // create the file and its folder when missing; a damaged file is moved aside
        Existing, // the file must exist; nothing is moved or created
    };

    // Opens the file at `path` and brings it to the current version. A file of a newer
    // version is opened read-only. In Create mode a file that is not a database, or whose
    // first page is damaged, is renamed "<name>.damaged-yyyyMMdd-hhmmss" (local time of
    // `now`) and a new one started. What happened is in notices().
    static tessera::Result<std::unique_ptr<HistoryStore>> Open(
        const QString &path, OpenMode mode, const QDateTime &now = QDateTime::currentDateTime());
    ~HistoryStore();
    HistoryStore(const HistoryStore &) = delete;
    HistoryStore &operator=(const HistoryStore &) = delete;

    QString path() const { return m_path; }
    // The open database, for the other tables the same file keeps (the alerts).
    sqlite3 *connection() const { return m_db; }
    // True when the file was written by a newer version: nothing is written into it.
    bool readOnly() const { return m_readOnly; }
    // The user's messages of the open (texts of the program's message table).
    const QStringList &notices() const { return m_notices; }
    // The version the file had before this open upgraded it.
    int openedVersion() const { return m_openedVersion; }

    // Stores `points` in one transaction: all of them or, on failure, none. A code and a
    // time already stored keep their values. Returns how many points were new.
    tessera::Result<qint64> store(std::span<const HistoryPoint> points);
    // The points of `code` from `from` to `to` (UTC seconds, both included), oldest first.
    tessera::Result<std::vector<HistoryPoint>> points(const QString &code, qint64 from, qint64 to) const;
    // One value of `code` over the same range, points without that value left out.
    tessera::Result<std::vector<HistorySample>> samples(
        const QString &code, HistoryValue value, qint64 from, qint64 to) const;
    // Every stored code in code-unit order.
    tessera::Result<QStringList> codes() const;
    tessera::Result<HistoryStats> stats() const;
    // Deletes the points older than `before` (UTC seconds), in one transaction. Returns how
    // many went.
    tessera::Result<qint64> prune(qint64 before);

private:
    HistoryStore() = default;

    sqlite3 *m_db = nullptr;
    QString m_path;
    bool m_readOnly = false;
    int m_openedVersion = 0;
    QStringList m_notices;
};

// The name a damaged history file is moved to: "<path>.damaged-yyyyMMdd-hhmmss".
QString DamagedHistoryName(const QString &path, const QDateTime &now);
