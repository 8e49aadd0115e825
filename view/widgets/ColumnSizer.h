#pragma once

#include <QList>

struct ColumnLayout;
class CQuotraView;
class CellDelegate;
class ListTableModel;
class MyHeaderCtrl;

// The widths and places of the list view's columns: the header widget kept in step with the
// model's header (order, widths, sort arrow), the user's moves and resizes passed back to
// it, the zoom between stored and shown widths, and the fits of the columns to their texts.
class ColumnSizer {
public:
    ColumnSizer(CQuotraView &view, MyHeaderCtrl &header, ListTableModel &model, CellDelegate &delegate);

    // The layout the window starts with (the default layout when it is unusable), with the
    // widths of the last session for a layout that carries none, and its sort state.
    void applyStartLayout(const ColumnLayout &layout, const QList<int> &savedWidths);
    // See CQuotraView::applyColumnLayout.
    bool applyColumnLayout(const ColumnLayout &layout);
    // The default columns, fitted.
    void resetColumns();
    // The stored width of every list column.
    QList<int> storedWidths() const;

    // Moves and resizes the header's sections to the model's order and widths and sets the
    // sort arrow.
    void syncHeader();

    // See CQuotraView::widthScale.
    double widthScale() const;
    int shownWidth(int storedWidth) const;
    int storedWidth(int shownWidth) const;

    // Every column but the anchor fitted to its caption and a sample of its texts.
    void fitAll();
    // While the widths are the column table's defaults, the code column widens to the
    // longest code shown (with room for the row marks).
    void fitCodeColumnToCodes();
    // True while the widths are the column table's, neither stored nor fitted.
    bool defaultWidths() const { return m_defaultWidths; }
    void setDefaultWidths(bool defaults) { m_defaultWidths = defaults; }

private:
    void onSectionMoved(int logical, int oldVisual, int newVisual);
    void onSectionResized(int logical, int newSize);
    int fittedWidth(int listColumn) const;
    void syncHeaderLater();

    CQuotraView &m_view;
    MyHeaderCtrl &m_header;
    ListTableModel &m_model;
    CellDelegate &m_delegate;
    bool m_syncing = false;
    bool m_defaultWidths = true;
};
