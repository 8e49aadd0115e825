#include "document/workbook/WorkbookCells.h"

#include "corelib/NumberText.h"
#include "document/Holdings.h"
#include "quotes/QuoteRecord.h"

#include <QStringList>

#include <unicode/uchar.h>

#include <array>

namespace {

struct FieldFormat {
    int field;
    const char16_t *local;
};

constexpr char16_t kPrice[] = u"#,##0.?? ;[赤]-#,##0.?? ;0.?? ";
constexpr char16_t kSignedPrice[] = u"+#,##0.?? ;[赤]-#,##0.?? ;0.?? ";
constexpr char16_t kRatio[] = u"+0.00 ;[赤]-0.00 ;0.00 ";
constexpr char16_t kTwoDecimals[] = u"#,##0.00 ";
constexpr char16_t kYield[] = u"0.00 ";
constexpr char16_t kDateTime[] = u"yyyy/mm/dd hh:mm ";
constexpr char16_t kSignedCount[] = u"+#,##0 ;[赤]-#,##0 ;0 ";
constexpr char16_t kDate[] = u"yyyy/mm/dd ";
constexpr char16_t kCount[] = u"#,##0 ";

constexpr std::array<FieldFormat, 22> kFormats = { {
    { FieldPrice, kPrice },
    { FieldOpen, kPrice },
    { FieldHigh, kPrice },
    { FieldLow, kPrice },
    { FieldDifference, kSignedPrice },
    { FieldLoss, kSignedPrice },
    { FieldRatio, kRatio },
    { FieldDividend, kTwoDecimals },
    { FieldPer, kTwoDecimals },
    { FieldPbr, kTwoDecimals },
    { FieldEps, kTwoDecimals },
    { FieldBps, kTwoDecimals },
    { FieldRoe, kTwoDecimals },
    { FieldCar, kTwoDecimals },
    { FieldMarginRatio, kTwoDecimals },
    { FieldYield, kYield },
    { FieldDatetime, kDateTime },
    { FieldMarginBuyChange, kSignedCount },
    { FieldMarginSellChange, kSignedCount },
    { FieldBuyday, kDate },
    { FieldAmount, kCount },
    { FieldShares, kCount },
} };

// The colour names of the Japanese number-format language and their invariant names.
struct ColourName {
    const char16_t *local;
    const char16_t *invariant;
};
constexpr std::array<ColourName, 8> kColourNames = { {
    { u"[赤]", u"[Red]" },
    { u"[黒]", u"[Black]" },
    { u"[青]", u"[Blue]" },
    { u"[緑]", u"[Green]" },
    { u"[白]", u"[White]" },
    { u"[黄]", u"[Yellow]" },
    { u"[紫]", u"[Magenta]" },
    { u"[水]", u"[Cyan]" },
} };

constexpr int kMaxSheetName = 31;

QString slotText(const QuoteRecord &record, int field)
{
    const int slot = SlotOfField(field);
    return slot >= 0 ? record.values[slot].toString() : QString();
}

bool isInvalidSheetChar(QChar c)
{
    return c == u'[' || c == u']' || c == u':' || c == u'*' || c == u'?' || c == u'/' || c == u'\\';
}

// The first `units` code units of `text`, never ending inside a surrogate pair.
QString cutAt(const QString &text, qsizetype units)
{
    if (text.size() <= units)
        return text;
    if (units > 0 && text[units - 1].isHighSurrogate())
        --units;
    return text.left(units);
}

} // namespace

QStringView WorkbookCellView(const QuoteRecord &record, int field, QString &scratch)
{
    if (field >= FieldName && field < FieldBuyday && field != FieldCode && field != FieldDatetime) {
        const int slot = SlotOfField(field);
        if (slot >= 0) {
            const QStringView text = record.values[slot];
            if ((field == FieldDividend || field == FieldYield) && text == u"---")
                return {};
            return text;
        }
    }
    scratch = WorkbookCellText(record, field);
    return scratch;
}

QString WorkbookCellText(const QuoteRecord &record, int field)
{
    switch (field) {
    case FieldCode:
        return record.code;
    case FieldDividend:
    case FieldYield: {
        QString text = slotText(record, field);
        return text == u"---" ? QString() : text;
    }
    case FieldDatetime:
        return tessera::FormatLocalTime(record.datetime, true);
    case FieldBuyday:
    case FieldAmount:
    case FieldShares:
    case FieldLoss:
    case FieldMemo:
        return HoldingCellText(record, field);
    default:
        if (field >= FieldName && field < FieldBuyday)
            return slotText(record, field);
        return {};
    }
}

bool IsTextField(int field)
{
    return field == FieldCode || field == FieldName || field == FieldMarket || field == FieldStatus
        || field == FieldMemo;
}

QStringView PercentNumberFormat(QStringView columnFormat)
{
    const bool plus = columnFormat.startsWith(u'+');
    const bool red = columnFormat.contains(u"[赤]");
    if (plus && red)
        return u"+0.00% ;[赤]-0.00% ;0.00% ";
    if (plus)
        return u"+0.00% ;-0.00% ;0.00% ";
    if (red)
        return u"0.00% ;[赤]-0.00% ;0.00% ";
    return u"0.00% ";
}

QStringView LocalNumberFormat(int field)
{
    for (const FieldFormat &f : kFormats) {
        if (f.field == field)
            return f.local;
    }
    return {};
}

QString InvariantNumberFormat(QStringView localFormat)
{
    QString out = localFormat.toString();
    for (const ColourName &name : kColourNames)
        out.replace(QStringView(name.local).toString(), QStringView(name.invariant).toString());
    return out;
}

QString ColumnLetters(int column)
{
    if (column < 0)
        return {};
    QString letters;
    // Bijective base 26: there is no zero digit, so each step takes one off before dividing.
    for (qint64 n = static_cast<qint64>(column) + 1; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + static_cast<char16_t>((n - 1) % 26)));
    return letters;
}

QString CellAddress(int column, int row)
{
    return ColumnLetters(column) + QString::number(row);
}

QString ColumnRange(int column)
{
    const QString letters = ColumnLetters(column);
    return letters + u':' + letters;
}

QString ValidSheetName(QStringView title)
{
    while (!title.isEmpty() && title.back() == u'*')
        title.chop(1);
    title = title.trimmed();
    QString name;
    name.reserve(title.size());
    for (QChar c : title) {
        if (isInvalidSheetChar(c))
            name += u'_';
        else if (c.unicode() < 0x20)
            name += u' ';
        else
            name += c;
    }
    name = cutAt(name, kMaxSheetName);
    while (name.startsWith(u'\''))
        name.remove(0, 1);
    while (name.endsWith(u'\''))
        name.chop(1);
    name = name.trimmed();
    if (name.isEmpty())
        return QStringLiteral("Sheet1");
    return name;
}

QString UniqueSheetName(QStringView title, const QStringList &taken)
{
    const QString base = ValidSheetName(title);
    QString name = base;
    for (int n = 2; taken.contains(name, Qt::CaseInsensitive); ++n) {
        const QString suffix = QStringLiteral(" (%1)").arg(n);
        name = cutAt(base, kMaxSheetName - suffix.size()) + suffix;
    }
    return name;
}

int DisplayWidth(QStringView text)
{
    int width = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (c < 0x1100) {
            ++width;
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
            ++i;
        }
        const int eaw = u_getIntPropertyValue(static_cast<UChar32>(c), UCHAR_EAST_ASIAN_WIDTH);
        width += (eaw == U_EA_WIDE || eaw == U_EA_FULLWIDTH) ? 2 : 1;
    }
    return width;
}

double FittedColumnWidth(int widestText)
{
    const int width = widestText + 2;
    return width < 6 ? 6 : (width > 80 ? 80 : width);
}
