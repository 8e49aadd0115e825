#include "view/widgets/ColumnSizer.h"

#include "view/table/ColumnTable.h"
#include "view/table/ListTableModel.h"
#include "view/table/RowMarks.h"
#include "view/widgets/CQuotraView.h"
#include "view/widgets/CellDelegate.h"
#include "view/widgets/MyHeaderCtrl.h"

#include <QApplication>
#include <QFontInfo>
#include <QHeaderView>

#include <algorithm>
#include <cmath>

namespace {

// Rows a column fit measures: what is on screen plus a spread of the rest, so fitting a
// 100,000-row list costs a few hundred text measurements.
constexpr int kFitSampleRows = 200;

} // namespace

ColumnSizer::ColumnSizer(
    CQuotraView &view, MyHeaderCtrl &header, ListTableModel &model, CellDelegate &delegate)
    : m_view(view)
    , m_header(header)
    , m_model(model)
    , m_delegate(delegate)
{
    QObject::connect(&m_header, &QHeaderView::sectionMoved, &m_view,
        [this](int logical, int from, int to) { onSectionMoved(logical, from, to); });
    QObject::connect(&m_header, &QHeaderView::sectionResized, &m_view,
        [this](int logical, int, int size) { onSectionResized(logical, size); });
}

void ColumnSizer::applyStartLayout(const ColumnLayout &layout, const QList<int> &savedWidths)
{
    if (!m_model.applyLayout(layout))
        m_model.applyLayout(DefaultColumnLayout());
    // Widths the layout does not carry come from the last session, as long as the columns
    // still match.
    const HeaderModel &header = m_model.table().header();
    m_defaultWidths = !header.widthsGiven();
    if (m_defaultWidths && savedWidths.size() == header.columnCount()) {
        for (int c = 1; c < header.columnCount(); ++c) {
            if (savedWidths[c] > 0)
                m_model.setColumnWidth(c, savedWidths[c]);
        }
        m_defaultWidths = false;
    }
    // The sort state comes with the layout: the sorted list column in the high 16 bits, the
    // ascending flag in the low ones.
    const quint32 packed = layout.packedSort;
    m_model.setSort(static_cast<int>(packed >> 16), (packed & 0xFFFF) != 0, false);
    syncHeader();
}

bool ColumnSizer::applyColumnLayout(const ColumnLayout &layout)
{
    m_view.setUpdatesEnabled(false);
    const bool applied = m_model.applyLayout(layout);
    syncHeader();
    m_view.setUpdatesEnabled(true);
    if (!applied)
        return false;
    m_view.setSort(SortColumnOf(layout.packedSort), SortAscendingOf(layout.packedSort), false);
    m_header.setStretchLastSection(true);
    fitAll();
    return true;
}

void ColumnSizer::resetColumns()
{
    m_view.setUpdatesEnabled(false);
    m_model.resetColumns();
    syncHeader();
    fitAll();
    m_view.setUpdatesEnabled(true);
}

QList<int> ColumnSizer::storedWidths() const
{
    QList<int> widths;
    const HeaderModel &header = m_model.table().header();
    for (int c = 0; c < header.columnCount(); ++c)
        widths << header.column(c).width;
    return widths;
}

void ColumnSizer::syncHeader()
{
    const HeaderModel &h = m_model.table().header();
    if (m_header.count() != h.columnCount())
        return; // the header catches up with the model's columns on its next signal
    m_syncing = true;
    const std::vector<int> &order = h.order();
    for (int position = 0; position < static_cast<int>(order.size()); ++position) {
        const int logical = order[static_cast<size_t>(position)];
        const int visual = m_header.visualIndex(logical);
        if (visual != position && visual >= 0)
            m_header.moveSection(visual, position);
    }
    for (int c = 0; c < h.columnCount(); ++c) {
        const int width = c == 0 ? 0 : shownWidth(h.column(c).width);
        if (m_header.sectionSize(c) != width)
            m_header.resizeSection(c, width);
    }
    if (h.columnCount() > 0)
        m_header.setSectionResizeMode(0, QHeaderView::Fixed);
    m_header.setSortIndicator(h.sortColumn(), h.ascending() ? Qt::AscendingOrder : Qt::DescendingOrder);
    m_syncing = false;
}

void ColumnSizer::syncHeaderLater()
{
    QMetaObject::invokeMethod(
        &m_view, [this] { syncHeader(); }, Qt::QueuedConnection);
}

void ColumnSizer::onSectionMoved(int logical, int oldVisual, int newVisual)
{
    if (m_syncing)
        return;
    // The header model owns the order: tell it, and undo what it refuses (the anchor).
    if (logical == 0 || newVisual == 0 || !m_model.moveColumn(oldVisual, newVisual))
        syncHeaderLater();
}

void ColumnSizer::onSectionResized(int logical, int newSize)
{
    if (m_syncing)
        return;
    if (logical == 0) {
        if (newSize != 0)
            syncHeaderLater();
        return;
    }
    // The section that fills the rest of the width is stretched by the header, not by the
    // user: its stretched width is not a width the user chose.
    if (m_header.stretchLastSection() && m_header.visualIndex(logical) == m_header.count() - 1)
        return;
    m_defaultWidths = false;
    m_model.setColumnWidth(logical, storedWidth(newSize));
}

double ColumnSizer::widthScale() const
{
    const int reference = QFontInfo(QApplication::font(&m_view)).pixelSize();
    const int current = QFontInfo(m_view.font()).pixelSize();
    if (reference <= 0 || current <= 0)
        return 1.0;
    return static_cast<double>(current) / reference;
}

int ColumnSizer::shownWidth(int storedWidth) const
{
    return static_cast<int>(std::lround(storedWidth * widthScale()));
}

int ColumnSizer::storedWidth(int shownWidth) const
{
    return static_cast<int>(std::lround(shownWidth / widthScale()));
}

int ColumnSizer::fittedWidth(int listColumn) const
{
    const QFont font = m_view.font();
    const QFontMetrics metrics(font);
    const QFontMetrics headerMetrics(m_header.font());
    const int field = m_model.table().header().fieldOf(listColumn);
    const QFontMetrics textMetrics(m_delegate.fontFor(field, font));
    const int extra = CellDelegate::horizontalPadding(metrics) + 2
        + (field == FieldCode ? CellDelegate::rowMarksWidth(metrics, static_cast<int>(RowMarkTable().size()))
                              : 0);
    int widest
        = headerMetrics.horizontalAdvance(ColumnCaption(field)) + headerMetrics.averageCharWidth() * 2 + 16;
    const int rows = m_model.rowCount();
    std::vector<int> sample;
    const int top = std::max(0, m_view.rowAt(0));
    const int perPage
        = m_view.viewport()->height() / std::max(1, m_view.verticalHeader()->defaultSectionSize()) + 1;
    for (int r = top; r < std::min(rows, top + perPage); ++r)
        sample.push_back(r);
    const int step = std::max(1, rows / kFitSampleRows);
    for (int r = 0; r < rows; r += step)
        sample.push_back(r);
    const ListTable &table = m_model.table();
    for (const int r : sample) {
        QString text = table.cellTextAt(r, listColumn);
        const qsizetype lineEnd = text.indexOf(u'\n');
        if (lineEnd >= 0)
            text.truncate(lineEnd);
        widest = std::max(widest, CellDelegate::textAdvance(text, field, textMetrics) + extra);
    }
    return std::min(widest, shownWidth(600)); // the cap is a stored width too
}

void ColumnSizer::fitCodeColumnToCodes()
{
    if (!m_defaultWidths)
        return;
    const HeaderModel &header = m_model.table().header();
    const int column = header.columnOfField(FieldCode);
    if (column < 1)
        return;
    // Only the longest codes can be the widest: a code is at most eight characters.
    const RowVector &rows = m_model.table().rows();
    qsizetype longest = 0;
    for (const QuoteRecord *r : rows)
        longest = std::max(longest, r->code.size());
    const QFontMetrics metrics(m_view.font());
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
    m_model.setColumnWidth(column, stored);
    syncHeader();
}

void ColumnSizer::fitAll()
{
    m_view.setUpdatesEnabled(false);
    const int columns = m_model.columnCount();
    for (int c = 1; c < columns; ++c)
        m_model.setColumnWidth(c, storedWidth(fittedWidth(c)));
    m_defaultWidths = false;
    syncHeader();
    m_view.setUpdatesEnabled(true);
}
