#pragma once

#include "document/RecordMap.h"

#include <QSet>
#include <QString>
#include <QStringList>

// The rules of the periodic update and of the code box, shared by the window and the tests.

// The codes among `codes` (kept in their order) whose row was last updated more than
// `periodSeconds` before `now`: last update + period strictly before now.
QStringList DueRows(const RecordMap &rows, const QStringList &codes, qint64 now, qint64 periodSeconds);

// The codes among `codes` (kept in their order) whose row never had a successful update:
// every quote value empty. The name does not count, as a text list brings it from its file,
// nor does the status, which holds the failure text of a fetch that failed.
QStringList NeverFetchedRows(const RecordMap &rows, const QStringList &codes);

// What the periodic update remembers from one tick to the next, so that it keeps its period.
// A run started at a tick updates its rows one after the other, so at the next tick, one
// period later, those rows are a little younger than the period. They are due all the same:
// at a tick a row is due when the run of the previous tick updated it, or when its last update
// is older than the period. A row updated by hand between ticks waits for its period.
class PeriodicUpdate {
public:
    // The codes among `codes` (kept in their order) that are due at a tick at `now`.
    QStringList Due(const RecordMap &rows, const QStringList &codes, qint64 now, qint64 periodSeconds) const;

    // A tick at `now` handed `batch` to a run.
    void RunStarted(const QStringList &batch, qint64 now);

    // Another list was opened or a new one made: nothing of the last run carries over.
    void Forget();

private:
    QSet<QString> m_lastBatch;
    qint64 m_lastStart = 0;
};

// What the code box keeps of a typed text: upper-cased, cut at the first character outside
// the code alphabet "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.^" ("7203.t" keeps "7203.T",
// "72 03" keeps "72").
QString CodeBoxText(const QString &typed);
