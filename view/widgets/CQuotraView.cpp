#include "view/widgets/CQuotraView.h"

#include "corelib/Messages.h"
#include "corelib/ProgressRun.h"
#include "corelib/StringIds.h"
#include "document/CQuotraDoc.h"
#include "quotes/SecurityCode.h"
#include "quotes/fetch/FetchQuote.h"
#include "quotes/fetch/HttpRequest.h"
#include "view/table/ColumnTable.h"
#include "view/table/RowMarks.h"
#include "view/table/RowTextBlock.h"
#include "view/widgets/BackgroundWork.h"
#include "view/widgets/CellDelegate.h"
#include "view/widgets/DigitFont.h"
#include "view/widgets/MyHeaderCtrl.h"
#include "view/widgets/OpenAddress.h"
#include "view/widgets/PaletteColors.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
#include <QFontInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// The sort and alignment items of the header menu.
constexpr int kTextSortAscending = Ids::CaptionSortAscending;
constexpr int kTextSortDescending = Ids::CaptionSortDescending;
constexpr int kTextAlignLeft = Ids::CaptionAlignLeft;
constexpr int kTextAlignCenter = Ids::CaptionAlignCenter;
constexpr int kTextAlignRight = Ids::CaptionAlignRight;

// Rows a column fit measures: what is on screen plus a spread of the rest, so fitting a
// 100,000-row list costs a few hundred text measurements.
constexpr int kFitSampleRows = 200;

} // namespace

CQuotraView::CQuotraView(CQuotraDoc &doc, QWidget *parent)
    : QTableView(parent)
    , m_doc(doc)
    , m_model(new ListTableModel(this))
    , m_header(new MyHeaderCtrl(this))
    , m_delegate(new CellDelegate(*m_model, this))
{
    setObjectName(QStringLiteral("CQuotraView"));
    setHorizontalHeader(m_header);
    setModel(m_model);
    setItemDelegate(m_delegate);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setShowGrid(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setSortingEnabled(false); // sorting goes through the table rules (header clicks below)
    // Switching the table's own sorting off hides the header's arrow too; the arrow shows the
    // table rules' sort state (syncHeaderFromModel).
    m_header->setSortIndicatorShown(true);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
    setDropIndicatorShown(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    setAccessibleName(tessera::ResourceString(Ids::CaptionContextMenu));
    applyRowHeight();
    applyPalette();
    m_delegate->setNumberFont(EqualDigitFont(font()));

    m_model->setStatusTipProvider([this](const QString &code) { return m_doc.fetchError(code); });
    m_model->setDropHandler([this](const QString &text) {
        if (QWidget *w = window()) {
            w->raise();
            w->activateWindow();
        }
        const CQuotraDoc::AddCodesOutcome added = m_doc.AddCodesFromText(text);
        tessera::ShowResourceMessage(added.message);
        return added.ok();
    });

    connect(m_header, &QHeaderView::sectionMoved, this, &CQuotraView::onSectionMoved);
    connect(m_header, &QHeaderView::sectionResized, this, &CQuotraView::onSectionResized);
    connect(m_header, &QHeaderView::sectionClicked, this,
        [this](int logical) { sortByHeaderClick(logical, QGuiApplication::keyboardModifiers()); });
    connect(m_header, &MyHeaderCtrl::sectionMenuRequested, this, &CQuotraView::onHeaderMenu);
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        syncHeaderFromModel();
        emitSelectionCount();
    });
    connect(m_model, &QAbstractItemModel::columnsInserted, this, &CQuotraView::syncHeaderFromModel);
    connect(m_model, &QAbstractItemModel::columnsRemoved, this, &CQuotraView::syncHeaderFromModel);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &CQuotraView::emitSelectionCount);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &CQuotraView::emitSelectionCount);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &CQuotraView::emitSelectionCount);
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &) { openQuotePage(); });

    // The document's rows: records leave the model before they are freed.
    connect(&m_doc, &CQuotraDoc::rowsAboutToBeReset, this, [this] { m_model->beginRebuild(); });
    connect(&m_doc, &CQuotraDoc::rowsReset, this, [this] {
        if (m_rowRefreshHeld)
            m_rowRefreshPending = true;
        else
            refresh();
    });
    connect(&m_doc, &CQuotraDoc::rowsAboutToBeRemoved, this,
        [this](const QStringList &codes) { m_model->removeCodes(codes); });
    connect(&m_doc, &CQuotraDoc::rowsInserted, this, [this](const QStringList &codes) {
        std::vector<QuoteRecord *> records;
        records.reserve(static_cast<size_t>(codes.size()));
        for (const QString &code : codes) {
            if (QuoteRecord *r = m_doc.record(code))
                records.push_back(r);
        }
        m_model->insertRecords(records);
        fitCodeColumnToCodes();
    });
    connect(
        &m_doc, &CQuotraDoc::selectCodeRequested, this, [this](const QString &code) { selectCode(code); });
    connect(&m_doc, &CQuotraDoc::updateStarted, this, [this] {
        m_updating = true;
        Q_EMIT updatingChanged(true);
    });
    connect(&m_doc, &CQuotraDoc::updateProgress, this,
        [this](quint64, int, const QString &code) { m_model->rowUpdated(code); });
    connect(&m_doc, &CQuotraDoc::updateFinished, this, &CQuotraView::onUpdateFinished);
}

CQuotraView::~CQuotraView()
{
    // The model must not outlive its rows' owner in a paint; drop every reference first.
    disconnect(&m_doc, nullptr, this, nullptr);
}

// ---- Layout

void CQuotraView::applyStartLayout(const ColumnLayout &layout, const QList<int> &savedWidths)
{
    m_savedWidths = savedWidths;
    if (!m_model->applyLayout(layout))
        m_model->applyLayout(DefaultColumnLayout());
    // Widths the layout does not carry come from the last session, as long as the columns
    // still match.
    const HeaderModel &header = m_model->table().header();
    m_defaultWidths = !header.widthsGiven();
    if (m_defaultWidths && savedWidths.size() == header.columnCount()) {
        for (int c = 1; c < header.columnCount(); ++c) {
            if (savedWidths[c] > 0)
                m_model->setColumnWidth(c, savedWidths[c]);
        }
        m_defaultWidths = false;
    }
    // The sort state comes with the layout: the sorted list column in the high 16 bits, the
    // ascending flag in the low ones.
    const quint32 packed = layout.packedSort;
    m_model->setSort(static_cast<int>(packed >> 16), (packed & 0xFFFF) != 0, false);
    syncHeaderFromModel();
}

ColumnLayout CQuotraView::saveLayout() const
{
    return m_model->saveLayout();
}

bool CQuotraView::applyColumnLayout(const ColumnLayout &layout)
{
    setUpdatesEnabled(false);
    const bool applied = m_model->applyLayout(layout);
    syncHeaderFromModel();
    setUpdatesEnabled(true);
    if (!applied)
        return false;
    setSort(SortColumnOf(layout.packedSort), SortAscendingOf(layout.packedSort), false);
    m_header->setStretchLastSection(true);
    fitAllColumns();
    return true;
}

QList<int> CQuotraView::columnWidths() const
{
    QList<int> widths;
    const HeaderModel &header = m_model->table().header();
    for (int c = 0; c < header.columnCount(); ++c)
        widths << header.column(c).width;
    return widths;
}

void CQuotraView::holdRowRefresh()
{
    m_rowRefreshHeld = true;
    m_rowRefreshPending = false;
}

void CQuotraView::releaseRowRefresh(const ColumnLayout *fileLayout)
{
    m_rowRefreshHeld = false;
    const bool pending = std::exchange(m_rowRefreshPending, false);
    // A rebuilding model shows no rows; only a refresh ends that.
    if (fileLayout || pending || m_model->isRebuilding())
        refresh(fileLayout);
}

void CQuotraView::refresh(const ColumnLayout *fileLayout)
{
    tessera::ProgressRun run(m_progress, Ids::ProgressUpdating);
    const bool keepSelection = !fileLayout;
    const QStringList before = keepSelection ? selectedCodes() : QStringList();
    setUpdatesEnabled(false);
    m_model->refresh(m_doc.rows(), fileLayout);
    if (fileLayout)
        m_defaultWidths = !m_model->table().header().widthsGiven();
    run.percent(60);
    syncHeaderFromModel();
    if (!before.isEmpty()) {
        std::vector<int> rows;
        for (const QString &code : before) {
            const int row = m_model->rowOfCode(code);
            if (row >= 0)
                rows.push_back(row);
        }
        std::sort(rows.begin(), rows.end());
        selectRows(rows);
    }
    setUpdatesEnabled(true);
    if (fileLayout)
        fitAllColumns();
    else
        fitCodeColumnToCodes();
    run.finish();
}

void CQuotraView::syncHeaderFromModel()
{
    const HeaderModel &h = m_model->table().header();
    if (m_header->count() != h.columnCount())
        return; // the header catches up with the model's columns on its next signal
    m_syncing = true;
    const std::vector<int> &order = h.order();
    for (int position = 0; position < static_cast<int>(order.size()); ++position) {
        const int logical = order[static_cast<size_t>(position)];
        const int visual = m_header->visualIndex(logical);
        if (visual != position && visual >= 0)
            m_header->moveSection(visual, position);
    }
    for (int c = 0; c < h.columnCount(); ++c) {
        const int width = c == 0 ? 0 : shownWidth(h.column(c).width);
        if (m_header->sectionSize(c) != width)
            m_header->resizeSection(c, width);
    }
    if (h.columnCount() > 0)
        m_header->setSectionResizeMode(0, QHeaderView::Fixed);
    m_header->setSortIndicator(h.sortColumn(), h.ascending() ? Qt::AscendingOrder : Qt::DescendingOrder);
    m_syncing = false;
}

void CQuotraView::onSectionMoved(int logical, int oldVisual, int newVisual)
{
    if (m_syncing)
        return;
    // The header model owns the order: tell it, and undo what it refuses (the anchor).
    if (logical == 0 || newVisual == 0 || !m_model->moveColumn(oldVisual, newVisual))
        QMetaObject::invokeMethod(this, &CQuotraView::syncHeaderFromModel, Qt::QueuedConnection);
}

void CQuotraView::onSectionResized(int logical, int oldSize, int newSize)
{
    Q_UNUSED(oldSize);
    if (m_syncing)
        return;
    if (logical == 0) {
        if (newSize != 0)
            QMetaObject::invokeMethod(this, &CQuotraView::syncHeaderFromModel, Qt::QueuedConnection);
        return;
    }
    // The section that fills the rest of the width is stretched by the header, not by the
    // user: its stretched width is not a width the user chose.
    if (m_header->stretchLastSection() && m_header->visualIndex(logical) == m_header->count() - 1)
        return;
    m_defaultWidths = false;
    m_model->setColumnWidth(logical, storedWidth(newSize));
}

int CQuotraView::fittedWidth(int listColumn) const
{
    const QFontMetrics metrics(font());
    const QFontMetrics headerMetrics(m_header->font());
    const int field = m_model->table().header().fieldOf(listColumn);
    const QFontMetrics textMetrics(m_delegate->fontFor(field, font()));
    const int extra = CellDelegate::horizontalPadding(metrics) + 2
        + (field == FieldCode ? CellDelegate::rowMarksWidth(metrics, static_cast<int>(RowMarkTable().size()))
                              : 0);
    int widest
        = headerMetrics.horizontalAdvance(ColumnCaption(field)) + headerMetrics.averageCharWidth() * 2 + 16;
    const int rows = m_model->rowCount();
    std::vector<int> sample;
    const int top = std::max(0, rowAt(0));
    const int perPage = viewport()->height() / std::max(1, verticalHeader()->defaultSectionSize()) + 1;
    for (int r = top; r < std::min(rows, top + perPage); ++r)
        sample.push_back(r);
    const int step = std::max(1, rows / kFitSampleRows);
    for (int r = 0; r < rows; r += step)
        sample.push_back(r);
    const ListTable &table = m_model->table();
    for (const int r : sample) {
        QString text = table.cellTextAt(r, listColumn);
        const qsizetype lineEnd = text.indexOf(u'\n');
        if (lineEnd >= 0)
            text.truncate(lineEnd);
        widest = std::max(widest, CellDelegate::textAdvance(text, field, textMetrics) + extra);
    }
    return std::min(widest, shownWidth(600)); // the cap is a stored width too
}

double CQuotraView::widthScale() const
{
    const int reference = QFontInfo(QApplication::font(this)).pixelSize();
    const int current = QFontInfo(font()).pixelSize();
    if (reference <= 0 || current <= 0)
        return 1.0;
    return static_cast<double>(current) / reference;
}

int CQuotraView::shownWidth(int storedWidth) const
{
    return static_cast<int>(std::lround(storedWidth * widthScale()));
}

int CQuotraView::storedWidth(int shownWidth) const
{
    return static_cast<int>(std::lround(shownWidth / widthScale()));
}

void CQuotraView::fitCodeColumnToCodes()
{
    if (!m_defaultWidths)
        return;
    const HeaderModel &header = m_model->table().header();
    const int column = header.columnOfField(FieldCode);
    if (column < 1)
        return;
    // Only the longest codes can be the widest: a code is at most eight characters.
    const RowVector &rows = m_model->table().rows();
    qsizetype longest = 0;
    for (const QuoteRecord *r : rows)
        longest = std::max(longest, r->code.size());
    const QFontMetrics metrics(font());
    int widest = 0;
    for (const QuoteRecord *r : rows) {
        if (r->code.size() + 2 >= longest)
            widest = std::max(widest, metrics.horizontalAdvance(r->code));
    }
    if (widest == 0)
        return;
    const int needed = widest + CellDelegate::horizontalPadding(metrics) + 2
        + CellDelegate::rowMarksWidth(metrics, static_cast<int>(RowMarkTable().size()));
    const int stored = static_cast<int>(std::ceil(needed / widthScale()));
    if (stored <= header.column(column).width)
        return;
    m_model->setColumnWidth(column, stored);
    syncHeaderFromModel();
}

void CQuotraView::fitAllColumns()
{
    setUpdatesEnabled(false);
    const int columns = m_model->columnCount();
    for (int c = 1; c < columns; ++c)
        m_model->setColumnWidth(c, storedWidth(fittedWidth(c)));
    m_defaultWidths = false;
    syncHeaderFromModel();
    setUpdatesEnabled(true);
}

bool CQuotraView::resetColumns()
{
    const int answer
        = tessera::ShowResourceMessage(Ids::MsgResetColumns, {}, tessera::MbYesNo | tessera::MbIconQuestion);
    if (answer == tessera::IdNo)
        return false;
    resetColumnsWithoutAsking();
    return true;
}

void CQuotraView::resetColumnsWithoutAsking()
{
    setUpdatesEnabled(false);
    m_model->resetColumns();
    syncHeaderFromModel();
    fitAllColumns();
    setUpdatesEnabled(true);
}

bool CQuotraView::toggleField(int field)
{
    const bool toggled = m_model->toggleField(field, m_rightClickedColumn);
    syncHeaderFromModel();
    return toggled;
}

// ---- Sorting

void CQuotraView::sortByHeaderClick(int column, Qt::KeyboardModifiers modifiers)
{
    tessera::ProgressRun run(m_progress, Ids::ProgressSorting);
    run.percent(20);
    m_model->headerClick(
        column, modifiers.testFlag(Qt::ShiftModifier), modifiers.testFlag(Qt::ControlModifier));
    run.percent(90);
    syncHeaderFromModel();
    const std::vector<int> rows = selectedRows();
    if (!rows.empty())
        scrollRowIntoView(rows.front());
}

void CQuotraView::setSort(int column, bool ascending, bool skipIfUnchanged)
{
    tessera::ProgressRun run(m_progress, Ids::ProgressSorting);
    run.percent(20);
    m_model->setSort(column, ascending, skipIfUnchanged);
    run.percent(90);
    syncHeaderFromModel();
    const std::vector<int> rows = selectedRows();
    if (!rows.empty())
        scrollRowIntoView(rows.front());
}

void CQuotraView::onUpdateFinished(quint64 generation, bool changed)
{
    Q_UNUSED(generation);
    if (changed) {
        const HeaderModel &h = m_model->table().header();
        setSort(h.sortColumn(), h.ascending(), false);
    }
    m_updating = false;
    Q_EMIT updatingChanged(false);
}

// ---- Rows and selection

int CQuotraView::rowCount() const
{
    return m_model->rowCount();
}

std::vector<int> CQuotraView::selectedRows() const
{
    const int rows = m_model->rowCount();
    std::vector<char> marked(static_cast<size_t>(rows), 0);
    const QItemSelection selection = selectionModel()->selection();
    for (const QItemSelectionRange &range : selection) {
        for (int r = std::max(0, range.top()); r <= std::min(rows - 1, range.bottom()); ++r)
            marked[static_cast<size_t>(r)] = 1;
    }
    std::vector<int> result;
    for (int r = 0; r < rows; ++r) {
        if (marked[static_cast<size_t>(r)])
            result.push_back(r);
    }
    return result;
}

int CQuotraView::selectedCount() const
{
    return static_cast<int>(selectedRows().size());
}

QStringList CQuotraView::selectedCodes() const
{
    QStringList codes;
    for (const int row : selectedRows()) {
        if (const QuoteRecord *r = m_model->record(row))
            codes << r->code;
    }
    return codes;
}

void CQuotraView::selectRows(const std::vector<int> &rows)
{
    QItemSelection selection;
    const int lastColumn = std::max(0, m_model->columnCount() - 1);
    size_t k = 0;
    while (k < rows.size()) {
        size_t end = k;
        while (end + 1 < rows.size() && rows[end + 1] == rows[end] + 1)
            ++end;
        selection.select(m_model->index(rows[k], 0), m_model->index(rows[end], lastColumn));
        k = end + 1;
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!rows.empty())
        selectionModel()->setCurrentIndex(
            m_model->index(rows.front(), currentIndex().isValid() ? currentIndex().column() : 1),
            QItemSelectionModel::NoUpdate);
}

bool CQuotraView::selectCode(const QString &code)
{
    const int row = m_model->rowOfCode(code);
    if (row < 0)
        return false;
    selectRows({ row });
    scrollRowIntoView(row);
    return true;
}

void CQuotraView::scrollRowIntoView(int row)
{
    const QModelIndex index = m_model->index(row, std::min(1, m_model->columnCount() - 1));
    if (!index.isValid())
        return;
    // A partly visible row counts as visible; scrolling horizontally is not wanted.
    const QRect rect = visualRect(index);
    if (rect.isValid() && rect.bottom() >= 0 && rect.top() < viewport()->height())
        return;
    const int x = horizontalScrollBar()->value();
    scrollTo(index, QAbstractItemView::EnsureVisible);
    horizontalScrollBar()->setValue(x);
}

void CQuotraView::scrollRowFullyIntoView(int row)
{
    const QModelIndex index = m_model->index(row, std::min(1, m_model->columnCount() - 1));
    if (!index.isValid())
        return;
    const int x = horizontalScrollBar()->value();
    scrollTo(index, QAbstractItemView::EnsureVisible);
    horizontalScrollBar()->setValue(x);
}

void CQuotraView::emitSelectionCount()
{
    Q_EMIT selectionCountChanged(selectedCount(), m_model->rowCount());
}

// ---- Commands

void CQuotraView::deleteSelectedRows()
{
    const std::vector<int> rows = selectedRows();
    if (rows.empty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    tessera::ProgressRun run(m_progress, Ids::ProgressUpdating);
    const int lastSelected = rows.back();
    QStringList codes;
    codes.reserve(static_cast<qsizetype>(rows.size()));
    for (const int row : rows) {
        if (const QuoteRecord *r = m_model->record(row))
            codes << r->code;
    }
    clearSelection();
    m_doc.removeRows(codes);
    m_doc.MarkModified();
    const int select = std::min(lastSelected, m_model->rowCount() - 1);
    if (select >= 0) {
        selectRows({ select });
        scrollRowIntoView(select);
    }
    run.finish();
    QApplication::restoreOverrideCursor();
}

bool CQuotraView::copySelection()
{
    const RowTextBlock block = BuildRowTextBlock(m_model->table(), selectedRows(), true);
    if (block.status == RowTextBlock::NothingSelected)
        return false;
    if (block.status == RowTextBlock::TooLarge) {
        tessera::ShowResourceMessage(
            Ids::MsgSelectionTooLargeToCopy, {}, tessera::MbOk | tessera::MbIconWarning);
        return false;
    }
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard) {
        tessera::ShowResourceMessage(Ids::MsgCopyFailed, {}, tessera::MbOk | tessera::MbIconError);
        return false;
    }
    clipboard->setText(block.text);
    return true;
}

QuoteRecord *CQuotraView::firstSelectedResolved()
{
    const std::vector<int> rows = selectedRows();
    QuoteRecord *r = rows.empty() ? nullptr : m_model->record(rows.front());
    if (!r || (r->exchange_suffix != 0 && !r->kind.isEmpty()))
        return r;
    // The page address needs the code's kind and exchange: one look-up on the site, made in
    // the background on a copy of the row (the list may change while it waits).
    QuoteRecord probe(r->code);
    probe.kind = r->kind;
    probe.exchange_suffix = r->exchange_suffix;
    bool resolved = false;
    const bool finished = RunInBackground([&probe, &resolved](const std::atomic<bool> &stop) {
        HttpRequest request;
        request.setStopFlag(&stop);
        resolved = ResolveKindAndSuffix(probe, request);
    });
    if (!finished)
        return nullptr; // stopped with Escape: nothing opens
    r = m_doc.record(probe.code);
    if (r && resolved) {
        r->kind = probe.kind;
        r->exchange_suffix = probe.exchange_suffix;
    }
    return r;
}

void CQuotraView::openQuotePage()
{
    if (const QuoteRecord *r = firstSelectedResolved())
        OpenAddress(QUrl(BrowserAddress(*r)));
}

void CQuotraView::openChartPage()
{
    if (const QuoteRecord *r = firstSelectedResolved())
        OpenAddress(QUrl(ChartAddress(*r)));
}

bool CQuotraView::updateSelectedRows()
{
    if (m_doc.isUpdating()) {
        // The run holds between two codes while the question is open, so it cannot race
        // the answer; the box's own event loop still applies what arrives meanwhile.
        m_doc.HoldUpdate();
        const int answer = tessera::ShowResourceMessage(Ids::MsgStopRunningUpdate, {},
            tessera::MbYesNo | tessera::MbIconQuestion | tessera::MbDefButton2);
        m_doc.ReleaseUpdate();
        if (answer == tessera::IdYes)
            m_doc.StopUpdate();
        return false;
    }
    return m_doc.UpdateSelected(selectedCodes());
}

// ---- Menus

QMenu *CQuotraView::buildHeaderMenu(int column, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("HeaderMenu"));
    const HeaderModel &h = m_model->table().header();
    if (column > 0) {
        QAction *up = menu->addAction(tessera::ResourceString(kTextSortAscending));
        QAction *down = menu->addAction(tessera::ResourceString(kTextSortDescending));
        up->setCheckable(true);
        down->setCheckable(true);
        if (column == h.sortColumn()) {
            up->setChecked(h.ascending());
            down->setChecked(!h.ascending());
        }
        connect(up, &QAction::triggered, this, [this, column] { setSort(column, true, false); });
        connect(down, &QAction::triggered, this, [this, column] { setSort(column, false, false); });
        menu->addSeparator();
        const int align = h.column(column).align;
        const std::pair<int, int> aligns[] = { { kTextAlignLeft, AlignLeft },
            { kTextAlignCenter, AlignCenter }, { kTextAlignRight, AlignRight } };
        for (const auto &[text, value] : aligns) {
            QAction *a = menu->addAction(tessera::ResourceString(text));
            a->setCheckable(true);
            a->setChecked(align == value);
            connect(a, &QAction::triggered, this,
                [this, column, v = value] { m_model->setColumnAlignment(column, v); });
        }
        menu->addSeparator();
    }
    QMenu *columns = menu->addMenu(tessera::ResourceString(Ids::CaptionShowColumns));
    columns->setObjectName(QStringLiteral("ColumnsMenu"));
    for (const HeaderModel::MenuItem &item : h.columnMenuItems()) {
        QAction *a = columns->addAction(ColumnCaption(item.field));
        a->setCheckable(true);
        a->setChecked(item.checked);
        a->setData(1000 + item.field);
        connect(a, &QAction::triggered, this, [this, f = item.field] { toggleField(f); });
    }
    return menu;
}

void CQuotraView::onHeaderMenu(int logical, const QPoint &globalPos)
{
    if (logical < 0)
        return;
    m_rightClickedColumn = logical;
    QMenu *menu = buildHeaderMenu(logical, this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}

void CQuotraView::contextMenuEvent(QContextMenuEvent *event)
{
    QPoint global = event->globalPos();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        // The menu key opens the menu at the current row rather than at the mouse.
        const QModelIndex current = currentIndex();
        const QRect rect = current.isValid() ? visualRect(current) : QRect();
        global = viewport()->mapToGlobal(rect.isValid() ? rect.center() : QPoint(8, 8));
    }
    m_lastRightClick = global;
    Q_EMIT rowMenuRequested(global);
    event->accept();
}

bool CQuotraView::applyRowColour(int parts, bool reset, ColorRef text, ColorRef back)
{
    const std::vector<int> rows = selectedRows();
    if (rows.empty())
        return false;
    tessera::ProgressRun run(m_progress, Ids::ProgressColouring);
    bool changed = false;
    qint64 done = 0;
    for (const int row : rows) {
        if (QuoteRecord *record = m_model->record(row))
            changed = ApplyRowColor({ record }, parts, reset, text, back) || changed;
        run.progress(++done, static_cast<qint64>(rows.size()));
    }
    run.finish();
    clearSelection();
    viewport()->update();
    if (changed)
        m_doc.SetModifiedFlag(true);
    return true;
}

void CQuotraView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        // The keyboard's other way to the context menu, as in most desktop programs.
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(), QPoint());
        contextMenuEvent(&menu);
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && event->modifiers() == Qt::NoModifier) {
        openQuotePage();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

// ---- Drag and drop

void CQuotraView::startDrag(Qt::DropActions supportedActions)
{
    Q_UNUSED(supportedActions);
    const std::vector<int> rows = selectedRows();
    if (rows.empty())
        return;
    QModelIndexList indexes;
    for (const int r : rows)
        indexes << m_model->index(r, 0);
    QMimeData *data = m_model->mimeData(indexes);
    if (!data) {
        tessera::ShowResourceMessage(
            Ids::MsgSelectionTooLargeToCopy, {}, tessera::MbOk | tessera::MbIconWarning);
        return;
    }
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    m_dragging = true;
    const Qt::DropAction result = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    m_dragging = false;
    if (result == Qt::MoveAction)
        deleteSelectedRows();
}

bool CQuotraView::acceptsDrag(QDropEvent *event) const
{
    if (m_dragging)
        return false; // rows of this very list
    return m_model->canDropMimeData(event->mimeData(), Qt::CopyAction, -1, -1, {});
}

void CQuotraView::offerDrop(QDropEvent *event) const
{
    if (!acceptsDrag(event)) {
        event->ignore();
        return;
    }
    // Copy with Ctrl held, move otherwise.
    event->setDropAction(event->modifiers().testFlag(Qt::ControlModifier) ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
}

void CQuotraView::dragEnterEvent(QDragEnterEvent *event)
{
    offerDrop(event);
}

void CQuotraView::dragMoveEvent(QDragMoveEvent *event)
{
    offerDrop(event);
}

void CQuotraView::dropEvent(QDropEvent *event)
{
    if (!acceptsDrag(event)) {
        event->ignore();
        return;
    }
    const Qt::DropAction action
        = event->modifiers().testFlag(Qt::ControlModifier) ? Qt::CopyAction : Qt::MoveAction;
    if (m_model->dropMimeData(event->mimeData(), action, -1, -1, {})) {
        event->setDropAction(action);
        event->accept();
    } else {
        event->ignore();
    }
}

// ---- Appearance

void CQuotraView::applyRowHeight()
{
    const QFontMetrics metrics(font());
    verticalHeader()->setDefaultSectionSize(metrics.height() + 6);
}

void CQuotraView::applyPalette()
{
    const CellPalette palette = CellPaletteFrom(this->palette());
    m_delegate->setPalette(palette);
    m_model->setPalette(palette);
}

QFont CQuotraView::numberFont() const
{
    return m_delegate->fontFor(FieldPrice, font());
}

QString CQuotraView::emptyListHint()
{
    return tessera::ResourceString(Ids::CaptionEmptyListHint);
}

void CQuotraView::applyFontToColumns()
{
    m_delegate->setNumberFont(EqualDigitFont(font()));
    syncHeaderFromModel();
}

void CQuotraView::paintEvent(QPaintEvent *event)
{
    QTableView::paintEvent(event);
    if (m_model->rowCount() > 0 || m_model->isRebuilding())
        return;
    // An empty list says how to begin, in the middle of the list.
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    const QRect area = viewport()->rect().adjusted(24, 0, -24, 0);
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, emptyListHint());
}

void CQuotraView::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        applyRowHeight();
        applyFontToColumns();
    } else if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        applyPalette();
}
