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

QString CodeBoxText(const QString &typed)
{
    static const QString kAlphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.^");
    const QString upper = typed.toUpper();
    qsizetype end = 0;
    while (end < upper.size() && kAlphabet.contains(upper.at(end)))
        ++end;
    return upper.left(end);
}
