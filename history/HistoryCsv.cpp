#include "history/HistoryCsv.h"

#include <QLocale>
#include <QStringList>

using namespace Qt::StringLiterals;

QString HistoryValueText(const std::optional<double> &value)
{
    return value ? QString::number(*value, 'g', QLocale::FloatingPointShortest) : QString();
}

QString HistoryPointsCsv(std::span<const HistoryPoint> points)
{
    QStringList header { u"code"_s, u"time"_s };
    for (const HistoryColumn &c : kHistoryColumns)
        header << QString::fromLatin1(c.name);
    QString out = header.join(u',') + u'\n';
    for (const HistoryPoint &p : points) {
        // Codes are letters, digits, "." and "^": nothing in them needs quoting.
        QStringList cells { p.code, QString::number(p.time) };
        for (const std::optional<double> &v : p.values)
            cells << HistoryValueText(v);
        out += cells.join(u',') + u'\n';
    }
    return out;
}
