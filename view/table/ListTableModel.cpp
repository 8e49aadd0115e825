#include "view/table/ListTableModel.h"

#include "corelib/ProgressRun.h"
#include "corelib/StringIds.h"
#include "document/CQuotraDoc.h"
#include "view/table/CellText.h"
#include "view/table/ColumnTable.h"
#include "view/table/RowMarks.h"
#include "view/table/RowTextBlock.h"

#include <QCoreApplication>
#include <QMimeData>
#include <QSet>

#include <algorithm>
#include <utility>

namespace {

QVariant alignmentOf(int align)
{
    const Qt::Alignment h = align == AlignRight ? Qt::AlignRight
        : align == AlignCenter                  ? Qt::AlignHCenter
                                                : Qt::AlignLeft;
    return QVariant::fromValue(h | Qt::AlignVCenter);
}

} // namespace

ListTableModel::ListTableModel(QObject *parent)
    : QAbstractTableModel(parent)
{ }

ListTableModel::ListTableModel(CQuotraDoc &doc, QObject *parent)
    : QAbstractTableModel(parent)
    , m_doc(&doc)
{
    followDocument();
}

ListTableModel::~ListTableModel()
{
    if (m_doc)
        disconnect(m_doc, nullptr, this, nullptr);
}

void ListTableModel::followDocument()
{
    // Records leave the model before the document frees them.
    connect(m_doc, &CQuotraDoc::rowsAboutToBeReset, this, &ListTableModel::beginRebuild);
    connect(m_doc, &CQuotraDoc::rowsReset, this, &ListTableModel::onDocumentRowsReset);
    connect(m_doc, &CQuotraDoc::rowsAboutToBeRemoved, this, &ListTableModel::removeCodes);
    connect(m_doc, &CQuotraDoc::rowsInserted, this, &ListTableModel::onDocumentRowsInserted);
    connect(m_doc, &CQuotraDoc::updateProgress, this,
        [this](quint64, int, const QString &code) { rowUpdated(code); });
}

void ListTableModel::onDocumentRowsReset()
{
    if (m_refreshHeld) {
        m_refreshPending = true;
        return;
    }
    tessera::ProgressRun run(m_progress, Ids::ProgressUpdating);
    refreshFromDocument();
    run.finish();
    Q_EMIT rowsArrived();
}

void ListTableModel::onDocumentRowsInserted(const QStringList &codes)
{
    std::vector<QuoteRecord *> records;
    records.reserve(static_cast<size_t>(codes.size()));
    for (const QString &code : codes) {
        if (QuoteRecord *r = m_doc->record(code))
            records.push_back(r);
    }
    insertRecords(records);
    Q_EMIT rowsArrived();
}

void ListTableModel::holdRefresh()
{
    m_refreshHeld = true;
    m_refreshPending = false;
}

bool ListTableModel::releaseRefresh()
{
    m_refreshHeld = false;
    const bool pending = std::exchange(m_refreshPending, false);
    // A rebuilding model shows no rows; only a refresh ends that.
    return pending || m_rebuilding;
}

void ListTableModel::refreshFromDocument(const ColumnLayout *fileLayout)
{
    static const RecordMap kNoRows;
    refresh(m_doc ? m_doc->rows() : kNoRows, fileLayout);
}

int ListTableModel::rowOfCode(const QString &code) const
{
    return m_rowOfCode.value(code, -1);
}

void ListTableModel::setPalette(const CellPalette &palette)
{
    m_palette = palette;
    m_table.setDefaultColors(palette.windowText, palette.window);
    allRowsUpdated();
}

void ListTableModel::setColorConverter(ColorConverter converter)
{
    m_converter = std::move(converter);
    allRowsUpdated();
}

void ListTableModel::refresh(const RecordMap &records, const ColumnLayout *fileLayout)
{
    if (!m_rebuilding)
        beginResetModel();
    m_table.refresh(records, fileLayout);
    rebuildRowIndex();
    m_rebuilding = false;
    endResetModel();
}

void ListTableModel::insertRecords(const std::vector<QuoteRecord *> &records)
{
    if (records.empty())
        return;
    if (m_rebuilding) {
        // A rebuild is pending: the refresh that ends it takes the new rows with it.
        return;
    }
    const int first = m_table.rowCount();
    beginInsertRows({}, first, first + static_cast<int>(records.size()) - 1);
    m_table.appendRecords(records);
    for (int row = first; row < m_table.rowCount(); ++row)
        m_rowOfCode.insert(m_table.record(row)->code, row);
    endInsertRows();
    sortKeepingPersistentIndexes([&] { m_table.sortLikeRefresh(); });
}

void ListTableModel::removeCodes(const QStringList &codes)
{
    if (m_rebuilding || codes.isEmpty())
        return;
    std::vector<int> rows;
    rows.reserve(static_cast<size_t>(codes.size()));
    for (const QString &code : codes) {
        const int row = rowOfCode(code);
        if (row >= 0)
            rows.push_back(row);
    }
    if (rows.empty())
        return;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());

    // Count the runs of consecutive rows: each is one removal for the views.
    int runs = 1;
    for (size_t k = 1; k < rows.size(); ++k)
        runs += rows[k] != rows[k - 1] + 1 ? 1 : 0;
    constexpr int kMostRunsRemovedOneByOne = 32;
    if (runs > kMostRunsRemovedOneByOne) {
        beginResetModel();
        m_table.eraseRows(rows);
        rebuildRowIndex();
        endResetModel();
        return;
    }
    // From the last run back, so the row numbers of the earlier runs stay valid.
    size_t end = rows.size();
    while (end > 0) {
        size_t begin = end - 1;
        while (begin > 0 && rows[begin - 1] + 1 == rows[begin])
            --begin;
        const int firstRow = rows[begin];
        const int lastRow = rows[end - 1];
        beginRemoveRows({}, firstRow, lastRow);
        std::vector<int> run;
        for (int r = firstRow; r <= lastRow; ++r)
            run.push_back(r);
        m_table.eraseRows(run);
        endRemoveRows();
        end = begin;
    }
    rebuildRowIndex();
}

QString ListTableModel::rowsMimeType()
{
    return QStringLiteral("application/x-quotra-rows");
}

Qt::ItemFlags ListTableModel::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags base = QAbstractTableModel::flags(index) | Qt::ItemIsDropEnabled;
    return index.isValid() ? base | Qt::ItemIsDragEnabled : base;
}

QStringList ListTableModel::mimeTypes() const
{
    return { QStringLiteral("text/plain") };
}

QMimeData *ListTableModel::mimeData(const QModelIndexList &indexes) const
{
    std::vector<int> rows;
    for (const QModelIndex &i : indexes) {
        if (i.isValid() && i.model() == this)
            rows.push_back(i.row());
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    const RowTextBlock block = BuildRowTextBlock(m_table, rows, false);
    if (block.status != RowTextBlock::Ok)
        return nullptr;
    auto *data = new QMimeData;
    data->setText(block.text);
    data->setData(rowsMimeType(), dragOrigin());
    return data;
}

QByteArray ListTableModel::dragOrigin() const
{
    // Which model dragged rows come from: this process and this model.
    const QString origin = QString::number(QCoreApplication::applicationPid()) + u':'
        + QString::number(reinterpret_cast<quintptr>(this), 16);
    return origin.toUtf8();
}

bool ListTableModel::canDropMimeData(
    const QMimeData *data, Qt::DropAction action, int row, int column, const QModelIndex &parent) const
{
    Q_UNUSED(action);
    Q_UNUSED(row);
    Q_UNUSED(column);
    Q_UNUSED(parent);
    if (!data || !data->hasText() || !m_dropHandler)
        return false;
    if (data->hasFormat(rowsMimeType())) {
        if (data->data(rowsMimeType()) == dragOrigin())
            return false; // rows of this very list
    }
    return true;
}

bool ListTableModel::dropMimeData(
    const QMimeData *data, Qt::DropAction action, int row, int column, const QModelIndex &parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    return m_dropHandler(data->text());
}

void ListTableModel::beginRebuild()
{
    if (m_rebuilding)
        return;
    beginResetModel();
    // The document frees its records after this; no row may point at them meanwhile, whoever
    // asks (record(), the table, a sort, a redraw of an updated row, a drag).
    m_table.clearRows();
    m_rowOfCode.clear();
    m_rebuilding = true;
}

bool ListTableModel::applyLayout(const ColumnLayout &layout)
{
    beginResetModel();
    const bool applied = m_table.header().applyLayout(layout);
    endResetModel();
    return applied;
}

bool ListTableModel::toggleField(int field, int afterListColumn)
{
    HeaderModel &header = m_table.header();
    const int shown = header.columnOfField(field);
    if (shown > 0) {
        if (header.columnCount() <= 2)
            return false;
        beginRemoveColumns({}, shown, shown);
        header.hideField(field);
        endRemoveColumns();
        return true;
    }
    if (field <= 0 || field >= kColumnCount)
        return false;
    const int added = header.columnCount();
    beginInsertColumns({}, added, added);
    header.showField(field, afterListColumn);
    endInsertColumns();
    return true;
}

void ListTableModel::resetColumns()
{
    beginResetModel();
    m_table.header().resetColumns();
    endResetModel();
}

bool ListTableModel::moveColumn(int from, int to)
{
    // Moving changes the display order only; the model's columns stay put.
    if (!m_table.header().moveColumn(from, to))
        return false;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    return true;
}

void ListTableModel::setColumnWidth(int listColumn, int width)
{
    m_table.header().setWidth(listColumn, width);
}

void ListTableModel::setColumnAlignment(int listColumn, int align)
{
    m_table.header().setAlignment(listColumn, align);
    if (listColumn >= 0 && listColumn < columnCount()) {
        Q_EMIT headerDataChanged(Qt::Horizontal, listColumn, listColumn);
        if (rowCount() > 0)
            Q_EMIT dataChanged(
                index(0, listColumn), index(rowCount() - 1, listColumn), { Qt::TextAlignmentRole });
    }
}

template<typename Sorter> void ListTableModel::sortKeepingPersistentIndexes(Sorter sorter)
{
    if (m_rebuilding) {
        // No rows and a reset in flight: only the sort state changes, for the refresh.
        sorter();
        return;
    }
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<const QuoteRecord *> records;
    records.reserve(static_cast<size_t>(before.size()));
    for (const QModelIndex &i : before)
        records.push_back(m_table.record(i.row()));
    sorter();
    rebuildRowIndex();
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype k = 0; k < before.size(); ++k) {
        const QuoteRecord *r = records[static_cast<size_t>(k)];
        const int row = r ? rowOfCode(r->code) : -1;
        after.push_back(row >= 0 ? index(row, before[k].column()) : QModelIndex());
    }
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void ListTableModel::setSort(int listColumn, bool ascending, bool skipIfUnchanged)
{
    sortKeepingPersistentIndexes([&] { m_table.setSort(listColumn, ascending, skipIfUnchanged); });
}

void ListTableModel::headerClick(int listColumn, bool shift, bool ctrl)
{
    sortKeepingPersistentIndexes([&] { m_table.headerClick(listColumn, {}, shift, ctrl); });
}

void ListTableModel::setSortByField(int field, bool ascending)
{
    m_table.setSortByField(field, ascending);
}

void ListTableModel::sort(int column, Qt::SortOrder order)
{
    setSort(column, order == Qt::AscendingOrder, false);
}

void ListTableModel::rowUpdated(const QString &code)
{
    const int row = rowOfCode(code);
    if (row >= 0 && columnCount() > 0)
        Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void ListTableModel::allRowsUpdated()
{
    if (rowCount() > 0 && columnCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int ListTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || m_rebuilding ? 0 : m_table.rowCount();
}

int ListTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_table.header().columnCount();
}

QVariant ListTableModel::rawValue(const QuoteRecord &record, int field) const
{
    switch (field) {
    case FieldCode:
        return record.code;
    case FieldDatetime:
        return record.datetime;
    case FieldBuyday:
        return record.buyday;
    case FieldAmount:
        return record.amount;
    case FieldShares:
        return record.shares;
    case FieldLoss:
        return record.loss;
    case FieldMemo:
        return record.memo;
    default: {
        const int slot = SlotOfField(field);
        return slot >= 0 ? QVariant(record.values[slot].toString()) : QVariant();
    }
    }
}

QVariant ListTableModel::data(const QModelIndex &index, int role) const
{
    if (m_rebuilding || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const QuoteRecord *r = m_table.record(index.row());
    if (!r)
        return {};
    const HeaderModel &header = m_table.header();
    const int field = header.fieldOf(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return CellText(*r, field);
    case Qt::TextAlignmentRole:
        return alignmentOf(header.column(index.column()).align);
    case RawValueRole:
        return rawValue(*r, field);
    case FieldRole:
        return field;
    case CodeRole:
        return r->code;
    case Qt::ToolTipRole:
        if (field == FieldStatus && m_statusTip) {
            const QString reason = m_statusTip(r->code);
            if (!reason.isEmpty())
                return reason;
        }
        // The code cell carries the failed row's mark, and explains it: the reason when
        // the document knows it, else the status text itself.
        if (field == FieldCode && IsFailedRow(*r)) {
            const QString reason = m_statusTip ? m_statusTip(r->code) : QString();
            return reason.isEmpty() ? r->values[SlotStatus].toString() : reason;
        }
        return {};
    case TextColorRole:
    case BackColorRole:
    case Qt::ForegroundRole:
    case Qt::BackgroundRole: {
        const bool isText = role == TextColorRole || role == Qt::ForegroundRole;
        const bool isOwnRole = role == TextColorRole || role == BackColorRole;
        if (!isOwnRole && !m_converter)
            return {};
        const CellColors colors = m_table.cellColorsAt(index.row(), index.column(), false, false, m_palette);
        const ColorRef c = isText ? colors.text : colors.back;
        return isOwnRole ? QVariant(c) : m_converter(c);
    }
    default:
        return {};
    }
}

QVariant ListTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    const HeaderModel &header = m_table.header();
    switch (role) {
    case Qt::DisplayRole:
        return ColumnCaption(header.fieldOf(section));
    case FieldRole:
        return header.fieldOf(section);
    case Qt::TextAlignmentRole:
        return alignmentOf(header.column(section).align);
    default:
        return {};
    }
}

void ListTableModel::rebuildRowIndex()
{
    m_rowOfCode.clear();
    m_rowOfCode.reserve(m_table.rowCount());
    for (int row = 0; row < m_table.rowCount(); ++row)
        m_rowOfCode.insert(m_table.record(row)->code, row);
}
