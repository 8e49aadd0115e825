#pragma once

#include "document/ColumnLayout.h"
#include "view/table/ListTableModel.h"

#include <QPoint>
#include <QPointer>
#include <QStringList>
#include <QTableView>

#include <functional>
#include <memory>
#include <vector>

class CQuotraDoc;
class CellDelegate;
class ColumnSizer;
class ListCommands;
class MyHeaderCtrl;
class RowDragDrop;

namespace tessera {
class ProgressDisplay;
}

// The list view: a table over the list model (one model column per list column, the
// header's order being the display order), full-row and extended selection, grid lines,
// movable header sections with the anchor column frozen, label tips, rows dragged out as
// text and text dropped in as codes.
//
// The view owns only its display order and column layout (both in the model's table); the
// rows belong to the document, whose row signals the model follows itself. The view adds the
// widget's own concerns: the header and the column widths (ColumnSizer), the commands on the
// selection (ListCommands), rows dragged and dropped (RowDragDrop), menus and the palette.
class CQuotraView : public QTableView {
    Q_OBJECT
public:
    explicit CQuotraView(CQuotraDoc &doc, QWidget *parent = nullptr);
    ~CQuotraView() override;

    CQuotraDoc &document() const { return m_doc; }
    ListTableModel &listModel() { return *m_model; }
    const ListTableModel &listModel() const { return *m_model; }
    MyHeaderCtrl &headerCtrl() const { return *m_header; }
    // Long operations (refresh, sort, delete) report here; may be null.
    void setProgressDisplay(tessera::ProgressDisplay *display);
    tessera::ProgressDisplay *progressDisplay() const { return m_progress; }

    // ---- Layout
    // Creation: the layout the window starts with, and the widths of its list columns that
    // the window kept from the last session (used when the layout carries none).
    void applyStartLayout(const ColumnLayout &layout, const QList<int> &savedWidths = {});
    ColumnLayout saveLayout() const;
    QList<int> columnWidths() const; // per list column
    // Widths follow the list font: a section is shown at its stored width times the ratio
    // of the list font's pixel size to the application font's (the zoom), and what the user
    // sets or a fit finds is stored divided by it, so a save after zooming writes the widths
    // it would write at 100 %.
    double widthScale() const;
    int shownWidth(int storedWidth) const;
    int storedWidth(int shownWidth) const;
    // The font numeric cells are drawn in: the list font, or one of its size whose digits
    // have equal widths when the list font's do not.
    QFont numberFont() const;
    // The text the empty list shows in its middle: how to begin.
    static QString emptyListHint();
    // The column dialog's result: the layout applied with redraw off, sorted by its packed
    // sort value without skipping, the last column filling the rest, all columns fitted.
    // False, changing nothing, when the layout is unusable.
    bool applyColumnLayout(const ColumnLayout &layout);
    // Rebuilds the rows from the document and sorts; with a file layout, that layout (and
    // its sort) is applied first and the columns are fitted afterwards.
    void refresh(const ColumnLayout *fileLayout = nullptr);
    // Opening a list applies the file's own layout after its rows are read. Holding the
    // refresh that the document's row reset asks for until then sorts the rows once, not
    // twice; until the release the view shows no rows. The release refreshes with
    // `fileLayout` when given, else as the reset would have.
    void holdRowRefresh();
    void releaseRowRefresh(const ColumnLayout *fileLayout);

    // ---- Rows and selection
    std::vector<int> selectedRows() const; // ascending
    QStringList selectedCodes() const; // in display order
    int selectedCount() const;
    int rowCount() const;
    void selectRows(const std::vector<int> &rows); // replaces the selection, first row current
    // Selects the row of `code` and scrolls it into view; false when it is not listed.
    bool selectCode(const QString &code);
    void scrollRowIntoView(int row);
    // Scrolls vertically until the whole row is in view (find).
    void scrollRowFullyIntoView(int row);
    bool isUpdating() const { return m_updating; }
    // Where the list was last right-clicked (global), and the header column (list column)
    // last right-clicked, -1 for none.
    QPoint lastRightClick() const { return m_lastRightClick; }
    int rightClickedColumn() const { return m_rightClickedColumn; }
    void clearLastRightClick() { m_lastRightClick = QPoint(); }

    // ---- Commands
    void deleteSelectedRows(); // 4015
    bool copySelection(); // 57634
    void fitAllColumns(); // 32779
    bool resetColumns(); // 5012: asks 2029 first
    void resetColumnsWithoutAsking();
    bool toggleField(int field); // 1001..1039
    void openQuotePage(); // 32775, double click
    void openChartPage(); // 32780
    bool updateSelectedRows(); // 32772
    // A header click on list column `column`: Shift sorts by text colour, Ctrl by background.
    void sortByHeaderClick(int column, Qt::KeyboardModifiers modifiers);
    void setSort(int column, bool ascending, bool skipIfUnchanged);
    // Apply row colour (32791-32796, 5020): the colours in `parts` (RowColorPart) of every
    // selected row become the given current colours, or the system colours with `reset`,
    // under a progress run; then the selection is cleared so the colours show. The
    // document is marked modified when a colour actually changed. False when no row was
    // selected.
    bool applyRowColour(int parts, bool reset, ColorRef text, ColorRef back);

    // The header's column menu (sort, alignment, the columns sub-menu) for list column
    // `column`; the caller shows it. Exposed for tests.
    QMenu *buildHeaderMenu(int column, QWidget *parent);

Q_SIGNALS:
    void selectionCountChanged(int selected, int rows);
    // A right-click (or the menu key) in the list: the frame shows its row menu.
    void rowMenuRequested(const QPoint &globalPos);
    void updatingChanged(bool updating);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // Sorts under a progress run, then shows the sort arrow and the first selected row.
    void sortRows(const std::function<void()> &sort);
    void onHeaderMenu(int logical, const QPoint &globalPos);
    void onUpdateFinished(quint64 generation, bool changed);
    void emitSelectionCount();
    void applyRowHeight();
    void applyPalette();
    void applyFontToColumns();

    CQuotraDoc &m_doc;
    // Whether the document still lives when the view goes: a window may destroy its
    // document before its child widgets.
    QPointer<CQuotraDoc> m_docAlive;
    ListTableModel *m_model;
    MyHeaderCtrl *m_header;
    CellDelegate *m_delegate;
    std::unique_ptr<ColumnSizer> m_columns;
    std::unique_ptr<ListCommands> m_commands;
    std::unique_ptr<RowDragDrop> m_dragDrop;
    tessera::ProgressDisplay *m_progress = nullptr;
    QPoint m_lastRightClick;
    int m_rightClickedColumn = -1;
    bool m_updating = false;
};
