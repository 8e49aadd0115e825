#pragma once

#include "view/table/ListTable.h"
#include "view/table/RowMarks.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QPointer>

#include <functional>

class CQuotraDoc;
namespace tessera {
class ProgressDisplay;
}

// The item model of the list: one model row per row of the table, one model column per list
// column (the header's display order is the view's affair, from header().order()).
// DisplayRole gives the cell text, RawValueRole the value the text was made from,
// TextAlignmentRole the column's alignment, and the colour roles the cell's colours as
// 0x00BBGGRR. ForegroundRole and BackgroundRole answer through a converter the window
// installs (QColor lives outside QtCore); without one they are empty.
//
// Made with a document, the model follows that document's rows itself: its row references
// go when the document is about to replace its rows (and come back, rebuilt and sorted,
// when it has), rows added are sorted into place, rows about to be deleted leave first, and
// a row an update run has reached is redrawn. Without a document it shows what refresh()
// is given.
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
    explicit ListTableModel(CQuotraDoc &doc, QObject *parent = nullptr);
    ~ListTableModel() override;

    // The rebuild after the document's row reset reports here; may be null.
    void setProgressDisplay(tessera::ProgressDisplay *display) { m_progress = display; }
    // Opening a list applies the file's own layout after its rows are read: holding the
    // rebuild the document's row reset asks for until then sorts the rows once, not twice.
    // True at the release when a rebuild is due (a reset came meanwhile, or the rows were
    // dropped and only a refresh brings them back); the caller then refreshes.
    void holdRefresh();
    bool releaseRefresh();

    const ListTable &table() const { return m_table; }
    QuoteRecord *record(int row) const { return m_table.record(row); }
    int rowOfCode(const QString &code) const; // -1 when not shown

    void setPalette(const CellPalette &palette);
    const CellPalette &palette() const { return m_palette; }
    void setColorConverter(ColorConverter converter);

    // Rows the document added: inserted after the last row, then sorted into place with
    // every persistent index (and so the selection) kept on its record.
    void insertRecords(const std::vector<QuoteRecord *> &records);
    // Rows the document is about to delete: removed before their records are freed. A few
    // runs of rows are removed as such; many are removed in one reset.
    void removeCodes(const QStringList &codes);

    // Rebuilds the rows from `records` (and applies a file layout); a model reset.
    void refresh(const RecordMap &records, const ColumnLayout *fileLayout = nullptr);
    // The same from the rows of the document followed (none without one).
    void refreshFromDocument(const ColumnLayout *fileLayout = nullptr);
    // Drops every row reference before the document frees records: until refresh() ends the
    // rebuild the model has no rows at all.
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

    // The tooltip of a row's status cell: why its last update failed (from the document).
    using StatusTipProvider = std::function<QString(const QString &code)>;
    void setStatusTipProvider(StatusTipProvider provider) { m_statusTip = std::move(provider); }

    // The codes whose price alert has fired and still holds, each with the words of its
    // conditions: their code cells carry the bell and name the conditions in the tooltip.
    void setFiredAlerts(QHash<QString, QString> conditionsByCode);
    // What the marks of a row look at besides its record.
    RowMarkContext markContextOf(const QuoteRecord &record) const;

    // Dragging rows out and dropping text in. The rows leave as their text block without
    // the caption line; text dropped in goes to the drop handler (the document's add-codes),
    // unless it is rows of this very model.
    using DropHandler = std::function<bool(const QString &text)>;
    void setDropHandler(DropHandler handler) { m_dropHandler = std::move(handler); }
    // The format that marks rows dragged out of this model.
    static QString rowsMimeType();
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
        const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
        const QModelIndex &parent) override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction | Qt::MoveAction; }
    Qt::DropActions supportedDropActions() const override { return Qt::CopyAction | Qt::MoveAction; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    // Rows came from the document on their own (its row reset or new rows): the widget may
    // widen its code column.
    void rowsArrived();

private:
    void followDocument();
    void onDocumentRowsReset();
    void onDocumentRowsInserted(const QStringList &codes);
    template<typename Sorter> void sortKeepingPersistentIndexes(Sorter sorter);
    void rebuildRowIndex();
    QVariant rawValue(const QuoteRecord &record, int field) const;
    QByteArray dragOrigin() const;

    QPointer<CQuotraDoc> m_doc; // null when none, or once the document is gone
    tessera::ProgressDisplay *m_progress = nullptr;
    ListTable m_table;
    CellPalette m_palette;
    ColorConverter m_converter;
    QHash<QString, int> m_rowOfCode;
    bool m_rebuilding = false;
    bool m_refreshHeld = false;
    bool m_refreshPending = false;
    DropHandler m_dropHandler;
    StatusTipProvider m_statusTip;
    QHash<QString, QString> m_firedAlerts;
};
