#include "document/workbook/CompareWorkbook.h"

#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "document/ErrorCodes.h"
#include "document/SafeSave.h"
#include "document/workbook/WorkbookCells.h"
#include "document/workbook/XlsxBook.h"
#include "quotes/QuoteRecord.h"
#include "quotes/SecurityCode.h"

#include <QSet>

#include <algorithm>
#include <array>

namespace {

constexpr int kMinColumns = 2;

// Fields that name the security or the holding rather than a value that changes between
// the lists, so a comparison leaves them out; the update time has a place of its own.
constexpr std::array<int, 7> kLeftOut
    = { FieldCode, FieldName, FieldMarket, FieldStatus, FieldBuyday, FieldMemo, FieldDatetime };

bool isLeftOut(int field)
{
    return std::find(kLeftOut.begin(), kLeftOut.end(), field) != kLeftOut.end();
}

QString nameOf(const QuoteRecord &record)
{
    return record.values[SlotName].toString();
}

struct SheetColumn {
    int field;
    QString caption;
    int align;
    lxw_format *titleFormat = nullptr;
    lxw_format *valueFormat = nullptr;
};

class ComparisonWriter {
public:
    ComparisonWriter(const QString &file, const CompareOptions &options)
        : m_book(file, options.arrangement == CompareArrangement::Across) // rows come in order then
        , m_down(options.arrangement == CompareArrangement::Down)
    {
        const bool across = !m_down;
        m_dateTitle = options.datetimeTitle;
        int dateAlign = -1;
        for (const CompareColumn &c : options.columns) {
            if (c.field == FieldDatetime) {
                m_dateTitle = c.caption;
                dateAlign = across ? c.align : -1;
            } else if (!isLeftOut(c.field)) {
                const int align = across ? c.align : -1;
                m_columns.push_back({ c.field, c.caption, c.align, m_book.format(align, {}),
                    m_book.format(-1, LocalNumberFormat(c.field)) });
            }
        }
        m_dateTitleFormat = m_book.format(dateAlign, {});
        m_dateFormat = m_book.format(-1, LocalNumberFormat(FieldDatetime));
    }

    void writeSheet(const std::vector<const QuoteRecord *> &records)
    {
        const QuoteRecord &first = *records.front();
        const QuoteRecord &last = *records.back();
        QString title = nameOf(first);
        if (title.trimmed().isEmpty())
            title = first.code;
        const QString sheetName = UniqueSheetName(title, m_taken);
        m_taken.push_back(sheetName);
        lxw_worksheet *sheet = m_book.addSheet(sheetName);

        // The name cell shows the latest name, as a list renamed over time ends up.
        QString name = nameOf(last);
        if (name.trimmed().isEmpty())
            name = last.code; // an empty link text would show the bare address
        m_book.writeLink(sheet, 1, 0, BrowserAddress(last), name, 0, {}, true);
        m_book.writeText(sheet, 2, 0, m_dateTitle, m_dateTitleFormat);

        const int count = static_cast<int>(records.size());
        const int titles = static_cast<int>(m_columns.size());
        if (m_down) {
            int widestTitle = std::max(DisplayWidth(name), DisplayWidth(m_dateTitle));
            for (int t = 0; t < titles; ++t) {
                const SheetColumn &col = m_columns[static_cast<size_t>(t)];
                m_book.writeText(sheet, 3 + t, 0, col.caption, col.titleFormat);
                widestTitle = std::max(widestTitle, DisplayWidth(col.caption));
            }
            m_book.setColumn(sheet, 0, FittedColumnWidth(widestTitle), nullptr);
            for (int r = 0; r < count; ++r) {
                const QuoteRecord &record = *records[static_cast<size_t>(r)];
                const QString when = WorkbookCellText(record, FieldDatetime);
                int widest = DisplayWidth(when);
                m_book.writeTyped(sheet, 2, 1 + r, when, m_dateFormat, -1, LocalNumberFormat(FieldDatetime));
                for (int t = 0; t < titles; ++t) {
                    const SheetColumn &col = m_columns[static_cast<size_t>(t)];
                    const QString text = WorkbookCellText(record, col.field);
                    widest = std::max(widest, DisplayWidth(text));
                    m_book.writeTyped(
                        sheet, 3 + t, 1 + r, text, col.valueFormat, -1, LocalNumberFormat(col.field));
                }
                m_book.setColumn(sheet, 1 + r, FittedColumnWidth(widest), nullptr);
            }
            return;
        }

        std::vector<int> widest(static_cast<size_t>(titles) + 1, 0);
        widest[0] = std::max(DisplayWidth(name), DisplayWidth(m_dateTitle));
        for (int t = 0; t < titles; ++t) {
            const SheetColumn &col = m_columns[static_cast<size_t>(t)];
            m_book.writeText(sheet, 2, 1 + t, col.caption, col.titleFormat);
            widest[static_cast<size_t>(t) + 1] = DisplayWidth(col.caption);
        }
        for (int r = 0; r < count; ++r) {
            const QuoteRecord &record = *records[static_cast<size_t>(r)];
            const QString when = WorkbookCellText(record, FieldDatetime);
            widest[0] = std::max(widest[0], DisplayWidth(when));
            m_book.writeTyped(sheet, 3 + r, 0, when, m_dateFormat, -1, LocalNumberFormat(FieldDatetime));
            for (int t = 0; t < titles; ++t) {
                const SheetColumn &col = m_columns[static_cast<size_t>(t)];
                const QString text = WorkbookCellText(record, col.field);
                int &w = widest[static_cast<size_t>(t) + 1];
                w = std::max(w, DisplayWidth(text));
                m_book.writeTyped(
                    sheet, 3 + r, 1 + t, text, col.valueFormat, -1, LocalNumberFormat(col.field));
            }
        }
        for (int c = 0; c <= titles; ++c)
            m_book.setColumn(sheet, c, FittedColumnWidth(widest[static_cast<size_t>(c)]), nullptr);
    }

    tessera::Status close() { return m_book.close(); }

private:
    XlsxBook m_book;
    bool m_down;
    QString m_dateTitle;
    lxw_format *m_dateTitleFormat = nullptr;
    lxw_format *m_dateFormat = nullptr;
    std::vector<SheetColumn> m_columns;
    QStringList m_taken;
};

} // namespace

tessera::Status WriteComparisonWorkbook(
    const QString &path, const CodeMap &map, const CompareOptions &options)
{
    if (static_cast<int>(options.columns.size()) < kMinColumns)
        return tessera::Error { WorkbookErrorTooFewColumns, tessera::ResourceString(Ids::MsgTooFewColumns) };

    const QSet<QString> chosen(options.selectedCodes.begin(), options.selectedCodes.end());
    std::vector<const std::vector<const QuoteRecord *> *> sheets;
    for (const auto &[code, records] : map.byCode) {
        if (records.empty() || (!chosen.isEmpty() && !chosen.contains(code)))
            continue;
        if (options.arrangement == CompareArrangement::Down
            && static_cast<int>(records.size()) > kCompareMaxRecordsDown)
            return tessera::Error { WorkbookErrorTooManyValues,
                tessera::ResourceString(Ids::MsgTooManyValues) };
        sheets.push_back(&records);
    }
    if (sheets.empty())
        return tessera::Error { WorkbookErrorNoValues,
            QStringLiteral("none of the chosen codes is in the lists") };

    return SaveNamedFileSafely(path, [&](const QString &temp) -> tessera::Status {
        ComparisonWriter writer(temp, options);
        const int total = static_cast<int>(sheets.size());
        for (int i = 0; i < total; ++i) {
            writer.writeSheet(*sheets[static_cast<size_t>(i)]);
            if (options.progress && !options.progress(i + 1, total)) {
                (void)writer.close();
                return tessera::Error { WorkbookErrorStopped,
                    tessera::ResourceString(Ids::MsgStopOperation) };
            }
        }
        return writer.close();
    });
}
