#include "app/core/UpdateSchedule.h"

#include "quotes/QuoteRecord.h"

QStringList DueRows(const RecordMap &rows, const QStringList &codes, qint64 now, qint64 periodSeconds)
{
    QStringList due;
    for (const QString &code : codes) {
        const auto it = rows.find(code);
        if (it != rows.end() && it->second->datetime + periodSeconds < now)
            due << code;
    }
    return due;
}

QStringList NeverFetchedRows(const RecordMap &rows, const QStringList &codes)
{
    QStringList never;
    for (const QString &code : codes) {
        const auto it = rows.find(code);
        if (it == rows.end())
            continue;
        const QuoteValues &values = it->second->values;
        bool empty = true;
        for (qsizetype slot = 0; slot < QuoteValues::size() && empty; ++slot)
            empty = slot == SlotName || slot == SlotStatus || values.isEmpty(slot);
        if (empty)
            never << code;
    }
    return never;
}

QStringList PeriodicUpdate::Due(
    const RecordMap &rows, const QStringList &codes, qint64 now, qint64 periodSeconds) const
{
    QStringList due;
    for (const QString &code : codes) {
        const auto it = rows.find(code);
        if (it == rows.end())
            continue;
        const qint64 updated = it->second->datetime;
        // A fetch stamps the row at the time it ran, so a row of the last batch stamped at or
        // after that run's start was updated by it.
        const bool byLastRun = m_lastBatch.contains(code) && updated >= m_lastStart;
        if (byLastRun || updated + periodSeconds < now)
            due << code;
    }
    return due;
}

void PeriodicUpdate::RunStarted(const QStringList &batch, qint64 now)
{
    m_lastBatch = QSet<QString>(batch.begin(), batch.end());
    m_lastStart = now;
}

void PeriodicUpdate::Forget()
{
    m_lastBatch.clear();
    m_lastStart = 0;
}

QString CodeBoxText(const QString &typed)
{
    static const QString kAlphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.^");
    const QString upper = typed.toUpper();
    qsizetype end = 0;
    while (end < upper.size() && kAlphabet.contains(upper.at(end)))
        ++end;
    return upper.left(end);
}
