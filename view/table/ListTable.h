#pragma once

#include "document/TableSource.h"
#include "view/table/CellColors.h"
#include "view/table/HeaderModel.h"
#include "view/table/Rows.h"
#include "view/table/Sorting.h"

#include <optional>

// The list as the window shows it, without a widget: the header model (columns, display
// order, sort state) and the row vector in display order. The window's item model, the
// command-line front end and the exports all read the table through it. As a TableSource
// it exports every list column but the anchor, in display order.
class ListTable : public TableSource {
public:
    ListTable() = default;

    HeaderModel &header() { return m_header; }
    const HeaderModel &header() const { return m_header; }
    const RowVector &rows() const { return m_rows; }
    QuoteRecord *record(int row) const; // nullptr when out of range

    // The system colours the colour sort puts in for a row's default colours.
    void setDefaultColors(ColorRef windowText, ColorRef window);

    // Rebuilds the row vector from the document in key order, applies `fileLayout` (taking
    // its sort state) when given, and sorts by the current sort state.
    void refresh(const RecordMap &records, const ColumnLayout *fileLayout = nullptr);

    // Appends records (new rows of the document) after the last row, unsorted.
    void appendRecords(const std::vector<QuoteRecord *> &records);
    // Puts the rows in the order a refresh would give them: sorted by the current state, or
    // in the document's key order when the sort keeps the order (the anchor column).
    void sortLikeRefresh();
    // Removes the given rows (indices ascending, each once).
    void eraseRows(const std::vector<int> &rowsAscending);
    // Removes every row; the columns and the sort state stay.
    void clearRows() { m_rows.clear(); }

    // Sorts by the current state; Shift and Ctrl select the row colours as the key (Ctrl wins).
    // `selected` are row indices before the sort; returns them after it, followed by code.
    std::vector<int> sort(const std::vector<int> &selected = {}, bool shift = false, bool ctrl = false);
    // Sets column and direction (a column that does not exist becomes 0) and sorts, unless
    // `skipIfUnchanged` and the state is the same. Returns the selection after it.
    std::vector<int> setSort(
        int listColumn, bool ascending, bool skipIfUnchanged, const std::vector<int> &selected = {});
    // A click on header column c: the same column reverses, another one sorts ascending; the
    // off-screen sort key is cleared.
    std::vector<int> headerClick(
        int listColumn, const std::vector<int> &selected = {}, bool shift = false, bool ctrl = false);
    // Sorts by a field: through its list column when shown, else through the off-screen
    // sort key with the arrow on the anchor column. The caller refreshes afterwards.
    void setSortByField(int field, bool ascending);
    // The SortOrder the current state sorts by.
    SortOrder sortSpec(bool shift = false, bool ctrl = false) const;

    // The display texts of a row's list columns 1.. (in list-column order, the anchor left
    // out), kept with the row's record: made on first use, and again only after the record
    // or the columns' fields changed. The row must exist. Views into them stay valid until
    // then.
    const ShownTexts &shownTexts(int row) const;
    // Display text and colours of a cell by list column (not display position); the texts
    // are the kept ones.
    QStringView cellViewAt(int row, int listColumn) const;
    QString cellTextAt(int row, int listColumn) const { return cellViewAt(row, listColumn).toString(); }
    CellColors cellColorsAt(
        int row, int listColumn, bool selected, bool disabled, const CellPalette &palette) const;

    // TableSource: the exported columns are the visible ones in display order.
    int columnCount() const override;
    int columnField(int column) const override;
    QString columnCaption(int column) const override;
    int columnAlign(int column) const override;
    int rowCount() const override;
    const QuoteRecord &rowRecord(int row) const override;
    QString cellText(int row, int column) const override;
    QStringView cellView(int row, int column, QString &scratch) const override;

private:
    HeaderModel m_header;
    RowVector m_rows;
    ColorRef m_defaultText = 0x000000;
    ColorRef m_defaultBack = 0xFFFFFF;
};

// The table an export or `quotra-cli show` writes: `records` laid out by `layout` (its
// columns and sort state) and sorted. With `fields`, those fields replace the visible
// columns in that order, the sort keeps the layout's sorted field and direction, and when
// that field is not among them it sorts through the off-screen sort key. The table points
// into `records`, which must outlive it.
ListTable BuildExportTable(const RecordMap &records, const ColumnLayout &layout,
    const std::optional<std::vector<int>> &fields = std::nullopt);
