#include "document/ColumnLayout.h"

#include <QStringList>

std::vector<int> ParseListText(QStringView text, int emptyValue)
{
    std::vector<int> out;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype comma = text.indexOf(QLatin1Char(','), start);
        if (comma < 0)
            comma = text.size();
        const QStringView item = text.mid(start, comma - start).trimmed();
        bool ok = false;
        const int v = item.toInt(&ok);
        out.push_back(ok ? v : emptyValue);
        start = comma + 1;
    }
    return out;
}

QString FormatListText(const std::vector<int> &values)
{
    QString out;
    out.reserve(static_cast<qsizetype>(values.size()) * 4);
    for (int v : values) {
        out += QString::number(v);
        out += QLatin1Char(',');
    }
    return out;
}
