#pragma once

#include "view/table/ListTable.h"

#include <QAbstractTableModel>
#include <QHash>

#include <functional>

// The item model of the list: one model row per row of the table, one model column per list
// column (the header's display order is the view's affair, from header().order()).
// DisplayRole gives the cell text, RawValueRole the value the text was made from,
// TextAlignmentRole the column's alignment, and the colour roles the cell's colours as
// 0x00BBGGRR. ForegroundRole and BackgroundRole answer through a converter the window
// installs (QColor lives outside QtCore); without one they are empty.
class ListTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role {
        RawValueRole = Qt::UserRole + 1, // slot text, seconds, or the holding number
        FieldRole, // field number of the column (also in headerData)
        TextColorRole, // ColorRef of the cell's text
        BackColorRole, // ColorRef of the cell's background
        CodeRole, // the row's code
    };
    using ColorConverter = std::function<QVariant(ColorRef)>;

    explicit ListTableModel(QObject *parent = nullptr);

    const ListTable &table() const { return m_table; }
    QuoteRecord *record(int row) const { return m_table.record(row); }
    int rowOfCode(const QString &code) const; // -1 when not shown

    void setPalette(const CellPalette &palette);
    void setColorConverter(ColorConverter converter);

    // Rebuilds the rows from the document (and applies a file layout); a model reset.
    void refresh(const RecordMap &records, const ColumnLayout *fileLayout = nullptr);
    // Drops every row reference before the document frees records; refresh() ends it.
    void beginRebuild();
    bool isRebuilding() const { return m_rebuilding; }

    // Columns. Each is a model reset or a column insert/remove.
    bool applyLayout(const ColumnLayout &layout);
    ColumnLayout saveLayout() const { return m_table.header().saveLayout(); }
    bool toggleField(int field, int afterListColumn = -1);
    void resetColumns();
    bool moveColumn(int from, int to); // display positions, the anchor frozen
    void setColumnWidth(int listColumn, int width);
    void setColumnAlignment(int listColumn, int align);

    // Sorting keeps persistent indexes (and so the selection) on their records.
    void setSort(int listColumn, bool ascending, bool skipIfUnchanged);
    void headerClick(int listColumn, bool shift = false, bool ctrl = false);
    void setSortByField(int field, bool ascending); // takes effect at the next refresh
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // A record was updated in place: its row is redrawn.
    void rowUpdated(const QString &code);
    void allRowsUpdated();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    template<typename Sorter> void sortKeepingPersistentIndexes(Sorter sorter);
    void rebuildRowIndex();
    QVariant rawValue(const QuoteRecord &record, int field) const;

    ListTable m_table;
    CellPalette m_palette;
    ColorConverter m_converter;
    QHash<QString, int> m_rowOfCode;
    bool m_rebuilding = false;
};
