#include "view/table/ListTable.h"

#include "view/table/CellText.h"
#include "view/table/ColumnTable.h"

#include <algorithm>

QuoteRecord *ListTable::record(int row) const
{
    if (row < 0 || static_cast<size_t>(row) >= m_rows.size())
        return nullptr;
    return m_rows[static_cast<size_t>(row)];
}

void ListTable::setDefaultColors(ColorRef windowText, ColorRef window)
{
    m_defaultText = windowText;
    m_defaultBack = window;
}

void ListTable::refresh(const RecordMap &records, const ColumnLayout *fileLayout)
{
    m_rows = BuildRows(records);
    if (fileLayout)
        m_header.applyLayout(*fileLayout, true);
    m_header.setSortState(m_header.sortColumn(), m_header.ascending());
    sort();
}

void ListTable::appendRecords(const std::vector<QuoteRecord *> &records)
{
    m_rows.insert(m_rows.end(), records.begin(), records.end());
}

void ListTable::sortLikeRefresh()
{
    if (m_header.sortField() != 0) {
        sort();
        return;
    }
    // The document's map orders its keys by plain code-unit comparison.
    std::stable_sort(m_rows.begin(), m_rows.end(),
        [](const QuoteRecord *a, const QuoteRecord *b) { return a->code < b->code; });
}

void ListTable::eraseRows(const std::vector<int> &rowsAscending)
{
    // One pass that keeps every row not listed, in order.
    size_t next = 0;
    size_t out = 0;
    for (size_t row = 0; row < m_rows.size(); ++row) {
        if (next < rowsAscending.size() && static_cast<size_t>(rowsAscending[next]) == row) {
            ++next;
            continue;
        }
        m_rows[out++] = m_rows[row];
    }
    m_rows.resize(out);
}

SortOrder ListTable::sortSpec(bool shift, bool ctrl) const
{
    SortOrder order;
    order.field = m_header.sortField();
    order.ascending = m_header.ascending();
    order.key = ctrl ? SortOrder::BackColor : shift ? SortOrder::TextColor : SortOrder::Field;
    order.defaultTextColor = m_defaultText;
    order.defaultBackColor = m_defaultBack;
    return order;
}

std::vector<int> ListTable::sort(const std::vector<int> &selected, bool shift, bool ctrl)
{
    return SortRowsKeepingSelection(m_rows, sortSpec(shift, ctrl), selected);
}

std::vector<int> ListTable::setSort(
    int listColumn, bool ascending, bool skipIfUnchanged, const std::vector<int> &selected)
{
    if (listColumn < 0 || listColumn >= m_header.columnCount())
        listColumn = 0;
    if (skipIfUnchanged && listColumn == m_header.sortColumn() && ascending == m_header.ascending())
        return selected;
    m_header.setSortState(listColumn, ascending);
    return sort(selected);
}

std::vector<int> ListTable::headerClick(
    int listColumn, const std::vector<int> &selected, bool shift, bool ctrl)
{
    const bool ascending = listColumn == m_header.sortColumn() ? !m_header.ascending() : true;
    std::vector<int> after = selected;
    if (shift || ctrl) {
        if (listColumn < 0 || listColumn >= m_header.columnCount())
            listColumn = 0;
        m_header.setSortState(listColumn, ascending);
        after = sort(selected, shift, ctrl);
    } else {
        after = setSort(listColumn, ascending, true, selected);
    }
    m_header.setOffscreenSortKey(0);
    return after;
}

void ListTable::setSortByField(int field, bool ascending)
{
    const int column = m_header.columnOfField(field);
    if (column > 0) {
        m_header.setSortState(column, ascending);
    } else {
        m_header.setOffscreenSortKey(field);
        m_header.setSortState(0, ascending);
    }
}

const ShownTexts &ListTable::shownTexts(int row) const
{
    Q_ASSERT_X(record(row), "ListTable::shownTexts", "row out of range");
    const QuoteRecord &r = *m_rows[static_cast<size_t>(row)];
    const quint32 stamp = m_header.fieldsStamp();
    if (r.shown_texts.holds(stamp))
        return r.shown_texts;
    // Made end to end in buffers kept between rows, then handed over in one block.
    thread_local QString joined;
    thread_local std::vector<quint32> ends;
    joined.resize(0);
    ends.clear();
    QString scratch;
    const int columns = m_header.columnCount();
    for (int c = 1; c < columns; ++c) {
        joined += CellView(r, m_header.fieldOf(c), scratch);
        ends.push_back(static_cast<quint32>(joined.size()));
    }
    r.shown_texts.assign(stamp, joined, ends.data(), static_cast<int>(ends.size()));
    return r.shown_texts;
}

QStringView ListTable::cellViewAt(int row, int listColumn) const
{
    if (!record(row) || listColumn < 1 || listColumn >= m_header.columnCount())
        return {};
    return shownTexts(row).text(listColumn - 1);
}

CellColors ListTable::cellColorsAt(
    int row, int listColumn, bool selected, bool disabled, const CellPalette &palette) const
{
    const QuoteRecord *r = record(row);
    if (!r)
        return { palette.windowText, palette.window };
    CellState state;
    state.disabled = disabled;
    state.selected = selected;
    state.sortedColumn = listColumn == m_header.sortColumn();
    return CellColorsOf(*r, m_header.fieldOf(listColumn), state, palette);
}

// The anchor column always holds display position 0, so exported column k is the list
// column at display position k + 1.
int ListTable::columnCount() const
{
    return static_cast<int>(m_header.order().size()) - 1;
}

int ListTable::columnField(int column) const
{
    if (column < 0 || column >= columnCount())
        return 0;
    return m_header.fieldOf(m_header.order()[static_cast<size_t>(column) + 1]);
}

QString ListTable::columnCaption(int column) const
{
    return ColumnCaption(columnField(column));
}

int ListTable::columnAlign(int column) const
{
    if (column < 0 || column >= columnCount())
        return 0;
    return m_header.column(m_header.order()[static_cast<size_t>(column) + 1]).align;
}

int ListTable::rowCount() const
{
    return static_cast<int>(m_rows.size());
}

const QuoteRecord &ListTable::rowRecord(int row) const
{
    Q_ASSERT_X(record(row), "ListTable::rowRecord", "row out of range");
    return *m_rows[static_cast<size_t>(row)];
}

QString ListTable::cellText(int row, int column) const
{
    const QuoteRecord *r = record(row);
    if (!r)
        return {};
    return CellText(*r, columnField(column));
}

QStringView ListTable::cellView(int row, int column, QString &scratch) const
{
    const QuoteRecord *r = record(row);
    if (!r)
        return {};
    return CellView(*r, columnField(column), scratch);
}

ListTable BuildExportTable(
    const RecordMap &records, const ColumnLayout &layout, const std::optional<std::vector<int>> &fields)
{
    ListTable table;
    HeaderModel &header = table.header();
    if (!header.applyLayout(layout, true))
        header.applyLayout(DefaultColumnLayout(), true);
    if (fields && !fields->empty()) {
        const int sortField = header.sortField();
        const bool ascending = header.ascending();
        HeaderModel replaced;
        if (replaced.applyLayout(LayoutForFields(*fields))) {
            header = replaced;
            table.setSortByField(sortField, ascending);
        }
    }
    table.refresh(records);
    return table;
}
