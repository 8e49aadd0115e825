#include "cli/TextTable.h"

#include <unicode/uchar.h>

#include <algorithm>

int TextTable::displayWidth(QStringView text)
{
    int width = 0;
    for (const char32_t c : text.toUcs4()) {
        const auto eaw = static_cast<UEastAsianWidth>(
            u_getIntPropertyValue(static_cast<UChar32>(c), UCHAR_EAST_ASIAN_WIDTH));
        if (u_charType(static_cast<UChar32>(c)) == U_NON_SPACING_MARK)
            continue;
        width += (eaw == U_EA_WIDE || eaw == U_EA_FULLWIDTH) ? 2 : 1;
    }
    return width;
}

QString TextTable::render() const
{
    std::vector<int> widths;
    for (const QStringList &row : m_rows) {
        if (widths.size() < static_cast<size_t>(row.size()))
            widths.resize(static_cast<size_t>(row.size()), 0);
        for (qsizetype i = 0; i < row.size(); ++i)
            widths[static_cast<size_t>(i)]
                = std::max(widths[static_cast<size_t>(i)], displayWidth(row.at(i)));
    }
    QString out;
    const auto line = [&](const QStringList &row) {
        QString text;
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (i > 0)
                text += QLatin1String("  ");
            text += row.at(i);
            if (i + 1 < row.size())
                text += QString(widths[static_cast<size_t>(i)] - displayWidth(row.at(i)), QLatin1Char(' '));
        }
        out += text + QLatin1Char('\n');
    };
    for (size_t r = 0; r < m_rows.size(); ++r) {
        line(m_rows[r]);
        if (r == 0) {
            QStringList rule;
            for (int w : widths)
                rule << QString(w, QLatin1Char('-'));
            line(rule);
        }
    }
    return out;
}
