#include "document/workbook/WorkbookImport.h"

#include "corelib/NumberText.h"
#include "document/ErrorCodes.h"
#include "document/workbook/ShownNumber.h"
#include "document/workbook/TypedInput.h"
#include "document/workbook/WorkbookCells.h"
#include "quotes/QuoteRecord.h"

#include <QDateTime>

#include <cmath>
#include <vector>

namespace {

constexpr int kSlotCode = -1;
constexpr int kSlotDatetime = -2;
constexpr int kSlotBuyday = 31;
constexpr int kSlotAmount = 32;
constexpr int kSlotShares = 33;
constexpr int kSlotLoss = 34;
constexpr int kSlotMemo = 35;

bool showsPlus(int field)
{
    return field == FieldDifference || field == FieldRatio || field == FieldMarginBuyChange
        || field == FieldMarginSellChange || field == FieldStatus;
}

bool keepsDecimals(int field)
{
    switch (field) {
    case FieldRatio:
    case FieldDividend:
    case FieldYield:
    case FieldPer:
    case FieldPbr:
    case FieldEps:
    case FieldBps:
    case FieldRoe:
    case FieldCar:
        return true;
    default:
        return false;
    }
}

// A date number as seconds since 1970, year to minute in local time.
tessera::Result<qint64> localTimeOf(double serial, bool date1904, int row, int column)
{
    const auto bad = [&](const QString &why) {
        return tessera::Error { WorkbookErrorBadDate,
            QStringLiteral("cell %1: %2").arg(CellAddress(column, row + 1), why) };
    };
    std::optional<QDate> day = DateOfSerial(serial, date1904);
    if (!day)
        return bad(QStringLiteral("the date %1 is outside the calendar").arg(serial));
    // The time as a spreadsheet shows it, rounded to the second; the list keeps minutes, so
    // the seconds are then dropped (08:05:59 stays 08:05 rather than becoming 08:06).
    qint64 seconds = std::llround((serial - std::floor(serial)) * 86400.0);
    if (seconds >= 86400) {
        day = day->addDays(1);
        seconds -= 86400;
    }
    const qint64 minutes = seconds / 60;
    if (day->year() < 1970)
        return bad(QStringLiteral("the date %1 lies before 1970").arg(day->toString(Qt::ISODate)));
    const QDateTime time(*day, QTime(static_cast<int>(minutes / 60), static_cast<int>(minutes % 60)));
    if (!time.isValid())
        return bad(QStringLiteral("the time cannot be read"));
    return time.toSecsSinceEpoch();
}

// A number under a value column: a percentage (a rate written from "-0.78%") as the
// percent text with two decimals, anything else as a grouped number, both with the sign
// rule of the column.
QString slotNumberText(const WorkbookGrid &grid, const WorkbookValue &v, int field)
{
    if (IsPercentFormat(grid.formatOf(v)))
        return tessera::GroupedNumber(v.number * 100, true, showsPlus(field)) + u'%';
    return tessera::GroupedNumber(v.number, keepsDecimals(field), showsPlus(field));
}

struct Mapped {
    int column; // sheet column
    int field;
};

} // namespace

tessera::Result<LoadedList> ImportWorkbookGrid(const WorkbookGrid &grid, const WorkbookImportOptions &options)
{
    if (!options.columns)
        return tessera::Error { WorkbookErrorColumnsMissing,
            QStringLiteral("no column table for workbooks") };
    const WorkbookColumnTable &table = *options.columns;
    if (grid.columns <= 0 || grid.columns > 40)
        return tessera::Error { WorkbookErrorNoValues, QStringLiteral("the sheet has no usable columns") };

    // The current layout's width and alignment of each shown field.
    std::array<int, 40> width {};
    std::array<int, 40> align {};
    for (int f = 1; f < 40; ++f) {
        width[static_cast<size_t>(f)] = table[static_cast<size_t>(f)].width;
        align[static_cast<size_t>(f)] = table[static_cast<size_t>(f)].align;
    }
    if (options.currentLayout) {
        const std::vector<int> index = ParseListText(options.currentLayout->indexList);
        const std::vector<int> widths = ParseListText(options.currentLayout->widthList, -1);
        const std::vector<int> aligns = ParseListText(options.currentLayout->alignList, -1);
        for (size_t i = 1; i < index.size(); ++i) {
            const int f = index[i];
            if (f <= 0 || f >= 40)
                continue;
            if (i < widths.size() && widths[i] >= 0)
                width[static_cast<size_t>(f)] = widths[i];
            if (i < aligns.size() && aligns[i] >= 0 && aligns[i] <= 2)
                align[static_cast<size_t>(f)] = aligns[i];
        }
    }

    int header = -1;
    std::vector<Mapped> mapped;
    for (int r = 0; r < grid.rows && header < 0; ++r) {
        for (int c = 0; c < grid.columns; ++c) {
            const WorkbookValue &v = grid.at(r, c);
            if (v.kind != WorkbookValue::Text)
                continue;
            for (int f = 1; f < 40; ++f) {
                const QString &title = table[static_cast<size_t>(f)].title;
                if (!title.isEmpty() && v.text == title) {
                    mapped.push_back({ c, f });
                    break;
                }
            }
        }
        if (!mapped.empty())
            header = r;
    }
    bool codeColumn = false;
    for (const Mapped &m : mapped)
        codeColumn = codeColumn || table[static_cast<size_t>(m.field)].importSlot == kSlotCode;
    if (!codeColumn)
        return tessera::Error { WorkbookErrorNoCodeColumn,
            QStringLiteral("no header cell names the code column") };

    LoadedList list;
    ColumnLayout layout;
    std::vector<int> order { 0 }, indexList { 0 }, widthList { 0 }, alignList { 0 };
    for (size_t i = 0; i < mapped.size(); ++i) {
        const int f = mapped[i].field;
        order.push_back(static_cast<int>(i) + 1);
        indexList.push_back(f);
        widthList.push_back(width[static_cast<size_t>(f)]);
        alignList.push_back(align[static_cast<size_t>(f)]);
    }
    layout.orderList = FormatListText(order);
    layout.indexList = FormatListText(indexList);
    layout.widthList = FormatListText(widthList);
    layout.alignList = FormatListText(alignList);

    for (int r = header + 1; r < grid.rows; ++r) {
        auto record = std::make_unique<QuoteRecord>();
        for (const Mapped &m : mapped) {
            const WorkbookValue &v = grid.at(r, m.column);
            if (v.kind == WorkbookValue::Empty)
                continue;
            const bool number = v.kind == WorkbookValue::Number;
            const int slot = table[static_cast<size_t>(m.field)].importSlot;
            switch (slot) {
            case kSlotCode:
                record->code = number ? QString::number(v.number, 'f', 0) : v.text;
                break;
            case kSlotDatetime:
                if (number && v.number != 0) {
                    tessera::Result<qint64> time = localTimeOf(v.number, grid.date1904, r, m.column);
                    if (!time)
                        return time.error();
                    record->datetime = *time;
                }
                break;
            case kSlotBuyday:
            case kSlotAmount:
            case kSlotShares:
            case kSlotLoss:
            case kSlotMemo:
                record->has_holdings = true;
                if (slot == kSlotBuyday && number && v.number != 0) {
                    tessera::Result<qint64> time = localTimeOf(v.number, grid.date1904, r, m.column);
                    if (!time)
                        return time.error();
                    record->buyday = *time;
                } else if (slot == kSlotAmount && number) {
                    record->amount = v.number;
                } else if (slot == kSlotShares && number) {
                    record->shares = v.number;
                } else if (slot == kSlotLoss && number) {
                    record->loss = v.number;
                } else if (slot == kSlotMemo) {
                    // A memo is a text; a number or date someone typed into the cell is
                    // taken as the cell shows it.
                    record->memo
                        = number ? ShownNumberText(v.number, grid.formatOf(v), grid.date1904) : v.text;
                }
                break;
            default:
                if (slot >= 0 && slot <= 30)
                    record->values.set(slot, number ? slotNumberText(grid, v, m.field) : v.text);
                break;
            }
        }
        // A row without a code (a blank line inside the range) names no security.
        if (record->code.isEmpty() || list.rows.count(record->code) != 0)
            continue;
        QString code = record->code;
        list.rows.emplace(std::move(code), std::move(record));
    }
    if (list.rows.empty())
        return tessera::Error { WorkbookErrorNoValues,
            QStringLiteral("the sheet has no rows below its header") };
    list.layout = std::move(layout);
    return list;
}
