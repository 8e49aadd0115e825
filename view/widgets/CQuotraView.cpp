#include "view/widgets/CQuotraView.h"

#include "corelib/Messages.h"
#include "corelib/ProgressRun.h"
#include "corelib/StringIds.h"
#include "document/CQuotraDoc.h"
#include "view/table/ColumnTable.h"
#include "view/widgets/CellDelegate.h"
#include "view/widgets/ColumnSizer.h"
#include "view/widgets/DigitFont.h"
#include "view/widgets/HeaderMenu.h"
#include "view/widgets/ListCommands.h"
#include "view/widgets/MyHeaderCtrl.h"
#include "view/widgets/PaletteColors.h"
#include "view/widgets/RowDragDrop.h"
#include "view/widgets/RowSelection.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>

#include <algorithm>

CQuotraView::CQuotraView(CQuotraDoc &doc, QWidget *parent)
    : QTableView(parent)
    , m_doc(doc)
    , m_docAlive(&doc)
    , m_model(new ListTableModel(doc, this))
    , m_header(new MyHeaderCtrl(this))
    , m_delegate(new CellDelegate(*m_model, this))
    , m_columns(std::make_unique<ColumnSizer>(*this, *m_header, *m_model, *m_delegate))
    , m_commands(std::make_unique<ListCommands>(*this))
    , m_dragDrop(std::make_unique<RowDragDrop>(*this))
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
    // table rules' sort state (ColumnSizer::syncHeader).
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

    viewport()->installEventFilter(m_dragDrop.get());
    m_model->setStatusTipProvider([this](const QString &code) { return m_doc.fetchError(code); });

    connect(m_header, &QHeaderView::sectionClicked, this,
        [this](int logical) { sortByHeaderClick(logical, QGuiApplication::keyboardModifiers()); });
    connect(m_header, &MyHeaderCtrl::sectionMenuRequested, this, &CQuotraView::onHeaderMenu);
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        m_columns->syncHeader();
        emitSelectionCount();
    });
    const auto syncHeader = [this] { m_columns->syncHeader(); };
    connect(m_model, &QAbstractItemModel::columnsInserted, this, syncHeader);
    connect(m_model, &QAbstractItemModel::columnsRemoved, this, syncHeader);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &CQuotraView::emitSelectionCount);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &CQuotraView::emitSelectionCount);
    connect(m_model, &ListTableModel::rowsArrived, this, [this] { m_columns->fitCodeColumnToCodes(); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &CQuotraView::emitSelectionCount);
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &) { openQuotePage(); });

    connect(
        &m_doc, &CQuotraDoc::selectCodeRequested, this, [this](const QString &code) { selectCode(code); });
    connect(&m_doc, &CQuotraDoc::updateStarted, this, [this] {
        m_updating = true;
        Q_EMIT updatingChanged(true);
    });
    connect(&m_doc, &CQuotraDoc::updateFinished, this, &CQuotraView::onUpdateFinished);
}

CQuotraView::~CQuotraView()
{
    // The model must not outlive its rows' owner in a paint; drop every reference first.
    if (m_docAlive) {
        disconnect(&m_doc, nullptr, this, nullptr);
        disconnect(&m_doc, nullptr, m_model, nullptr);
    }
    // The helpers go before the widget's children: nothing may call them from here on.
    disconnect(m_header, nullptr, this, nullptr);
    disconnect(m_model, nullptr, this, nullptr);
}

void CQuotraView::setProgressDisplay(tessera::ProgressDisplay *display)
{
    m_progress = display;
    m_model->setProgressDisplay(display);
}

// ---- Layout

void CQuotraView::applyStartLayout(const ColumnLayout &layout, const QList<int> &savedWidths)
{
    m_columns->applyStartLayout(layout, savedWidths);
}

ColumnLayout CQuotraView::saveLayout() const
{
    return m_model->saveLayout();
}

bool CQuotraView::applyColumnLayout(const ColumnLayout &layout)
{
    return m_columns->applyColumnLayout(layout);
}

QList<int> CQuotraView::columnWidths() const
{
    return m_columns->storedWidths();
}

void CQuotraView::holdRowRefresh()
{
    m_model->holdRefresh();
}

void CQuotraView::releaseRowRefresh(const ColumnLayout *fileLayout)
{
    if (m_model->releaseRefresh() || fileLayout)
        refresh(fileLayout);
}

void CQuotraView::refresh(const ColumnLayout *fileLayout)
{
    tessera::ProgressRun run(m_progress, Ids::ProgressUpdating);
    const bool keepSelection = !fileLayout;
    const QStringList before = keepSelection ? selectedCodes() : QStringList();
    setUpdatesEnabled(false);
    m_model->refreshFromDocument(fileLayout);
    if (fileLayout)
        m_columns->setDefaultWidths(!m_model->table().header().widthsGiven());
    run.percent(60);
    m_columns->syncHeader();
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
        m_columns->fitCodeColumnToCodes();
    run.finish();
}

double CQuotraView::widthScale() const
{
    return m_columns->widthScale();
}

int CQuotraView::shownWidth(int storedWidth) const
{
    return m_columns->shownWidth(storedWidth);
}

int CQuotraView::storedWidth(int shownWidth) const
{
    return m_columns->storedWidth(shownWidth);
}

void CQuotraView::fitAllColumns()
{
    m_columns->fitAll();
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
    m_columns->resetColumns();
}

bool CQuotraView::toggleField(int field)
{
    const bool toggled = m_model->toggleField(field, m_rightClickedColumn);
    m_columns->syncHeader();
    return toggled;
}

// ---- Sorting

void CQuotraView::sortByHeaderClick(int column, Qt::KeyboardModifiers modifiers)
{
    sortRows([&] {
        m_model->headerClick(
            column, modifiers.testFlag(Qt::ShiftModifier), modifiers.testFlag(Qt::ControlModifier));
    });
}

void CQuotraView::setSort(int column, bool ascending, bool skipIfUnchanged)
{
    sortRows([&] { m_model->setSort(column, ascending, skipIfUnchanged); });
}

void CQuotraView::sortRows(const std::function<void()> &sort)
{
    tessera::ProgressRun run(m_progress, Ids::ProgressSorting);
    run.percent(20);
    sort();
    run.percent(90);
    m_columns->syncHeader();
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
    return SelectedRowsOf(*selectionModel(), m_model->rowCount());
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
    SelectWholeRows(*selectionModel(), rows);
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
    ScrollRowIntoView(*this, row, false);
}

void CQuotraView::scrollRowFullyIntoView(int row)
{
    ScrollRowIntoView(*this, row, true);
}

void CQuotraView::emitSelectionCount()
{
    Q_EMIT selectionCountChanged(selectedCount(), m_model->rowCount());
}

// ---- Commands

void CQuotraView::deleteSelectedRows()
{
    m_commands->deleteSelected();
}

bool CQuotraView::copySelection()
{
    return m_commands->copySelection();
}

void CQuotraView::openQuotePage()
{
    m_commands->openQuotePage();
}

void CQuotraView::openChartPage()
{
    m_commands->openChartPage();
}

bool CQuotraView::updateSelectedRows()
{
    return m_commands->updateSelected();
}

bool CQuotraView::applyRowColour(int parts, bool reset, ColorRef text, ColorRef back)
{
    return m_commands->applyRowColour(parts, reset, text, back);
}

// ---- Menus

QMenu *CQuotraView::buildHeaderMenu(int column, QWidget *parent)
{
    return BuildHeaderMenu(*this, column, parent);
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

void CQuotraView::startDrag(Qt::DropActions supportedActions)
{
    Q_UNUSED(supportedActions);
    m_dragDrop->startDrag();
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
    m_columns->syncHeader();
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
