#include "view/table/HeaderModel.h"

#include "view/table/ColumnTable.h"

#include <algorithm>
#include <atomic>

namespace {

HeaderModel::Column defaultColumn(int field)
{
    const ColumnDef &def = ColumnDefOf(field);
    return { field, def.width, def.align };
}

int entryOr(const std::vector<int> &list, size_t i, int fallback)
{
    return i < list.size() ? list[i] : fallback;
}

} // namespace

HeaderModel::HeaderModel()
{
    applyLayout(DefaultColumnLayout(), true);
}

bool HeaderModel::applyLayout(const ColumnLayout &layout, bool takeSort)
{
    constexpr int kMissing = -1;
    const std::vector<int> order = ParseListText(layout.orderList, kMissing);
    if (order.size() < 2)
        return false;
    const std::vector<int> index = ParseListText(layout.indexList, 0);
    const std::vector<int> align = ParseListText(layout.alignList, kMissing);
    const std::vector<int> width = ParseListText(layout.widthList, kMissing);

    // Build the columns, remembering where each column of the layout ended up.
    std::vector<Column> columns;
    std::vector<int> newIndexOf(order.size(), -1);
    std::vector<bool> shown(kColumnCount, false);
    for (size_t i = 0; i < order.size(); ++i) {
        const int field = i == 0 ? 0 : entryOr(index, i, static_cast<int>(i));
        if (i > 0 && (field <= 0 || field >= kColumnCount || shown[static_cast<size_t>(field)]))
            continue;
        shown[static_cast<size_t>(field)] = true;
        Column c = defaultColumn(field);
        const int a = entryOr(align, i, kMissing);
        if (a >= AlignLeft && a <= AlignCenter)
            c.align = a;
        const int w = entryOr(width, i, kMissing);
        if (i > 0 && w >= 0)
            c.width = w;
        newIndexOf[i] = static_cast<int>(columns.size());
        columns.push_back(c);
    }
    if (columns.size() < 2)
        return false;

    // The display order: valid entries in their order, then columns nobody placed.
    std::vector<int> newOrder { 0 };
    std::vector<bool> placed(columns.size(), false);
    placed[0] = true;
    for (int entry : order) {
        if (entry < 0 || static_cast<size_t>(entry) >= newIndexOf.size())
            continue;
        const int c = newIndexOf[static_cast<size_t>(entry)];
        if (c < 0 || placed[static_cast<size_t>(c)])
            continue;
        placed[static_cast<size_t>(c)] = true;
        newOrder.push_back(c);
    }
    for (size_t c = 0; c < columns.size(); ++c) {
        if (!placed[c])
            newOrder.push_back(static_cast<int>(c));
    }

    setColumns(std::move(columns), std::move(newOrder));
    m_widthsGiven = !layout.widthList.isEmpty();
    if (takeSort) {
        const int sorted = SortColumnOf(layout.packedSort);
        const int mapped
            = static_cast<size_t>(sorted) < newIndexOf.size() ? newIndexOf[static_cast<size_t>(sorted)] : 0;
        setSortState(std::max(mapped, 0), SortAscendingOf(layout.packedSort));
    }
    clampSortColumn();
    return true;
}

ColumnLayout HeaderModel::saveLayout() const
{
    std::vector<int> index, align, width;
    for (const Column &c : m_columns) {
        index.push_back(c.field);
        align.push_back(c.align & 3);
        width.push_back(c.width);
    }
    ColumnLayout layout;
    layout.orderList = FormatListText(m_order);
    layout.alignList = FormatListText(align);
    layout.widthList = FormatListText(width);
    layout.indexList = FormatListText(index);
    layout.packedSort = packedSort();
    return layout;
}

const HeaderModel::Column &HeaderModel::column(int listColumn) const
{
    static const Column kNone;
    if (listColumn < 0 || listColumn >= columnCount())
        return kNone;
    return m_columns[static_cast<size_t>(listColumn)];
}

int HeaderModel::fieldOf(int listColumn) const
{
    return column(listColumn).field;
}

int HeaderModel::columnOfField(int field) const
{
    if (field <= 0)
        return -1;
    for (int c = 1; c < columnCount(); ++c) {
        if (m_columns[static_cast<size_t>(c)].field == field)
            return c;
    }
    return -1;
}

std::vector<int> HeaderModel::columnFields() const
{
    std::vector<int> fields;
    fields.reserve(m_columns.size());
    for (const Column &c : m_columns)
        fields.push_back(c.field);
    return fields;
}

std::vector<int> HeaderModel::visibleColumns() const
{
    std::vector<int> out;
    for (int c : m_order) {
        if (c != 0)
            out.push_back(c);
    }
    return out;
}

std::vector<int> HeaderModel::visibleFields() const
{
    std::vector<int> out;
    for (int c : visibleColumns())
        out.push_back(fieldOf(c));
    return out;
}

bool HeaderModel::showField(int field, int afterListColumn)
{
    if (field <= 0 || field >= kColumnCount || columnOfField(field) >= 0)
        return false;
    const int added = columnCount();
    m_columns.push_back(defaultColumn(field));
    m_order.push_back(added);
    renewFieldsStamp();
    if (afterListColumn >= 0) {
        const auto it = std::find(m_order.begin(), m_order.end() - 1, afterListColumn);
        int position
            = it != m_order.end() - 1 ? static_cast<int>(it - m_order.begin()) + 1 : afterListColumn + 1;
        position = std::clamp(position, 1, added);
        m_order.pop_back();
        m_order.insert(m_order.begin() + position, added);
    }
    return true;
}

bool HeaderModel::hideField(int field)
{
    const int c = columnOfField(field);
    if (c <= 0 || columnCount() <= 2)
        return false;
    m_columns.erase(m_columns.begin() + c);
    renewFieldsStamp();
    std::erase(m_order, c);
    for (int &entry : m_order) {
        if (entry > c)
            --entry;
    }
    if (m_sortColumn == c)
        m_sortColumn = 0;
    else if (m_sortColumn > c)
        --m_sortColumn;
    return true;
}

bool HeaderModel::toggleField(int field, int afterListColumn)
{
    return columnOfField(field) >= 0 ? hideField(field) : showField(field, afterListColumn);
}

void HeaderModel::resetColumns()
{
    // Unlike a first start, a reset also drops the widths the user dragged.
    ColumnLayout layout = DefaultColumnLayout();
    std::vector<int> widths;
    widths.reserve(kDefaultShownColumns);
    for (int f = 0; f < kDefaultShownColumns; ++f)
        widths.push_back(ColumnDefOf(f).width);
    layout.widthList = FormatListText(widths);
    applyLayout(layout, false);
}

std::vector<HeaderModel::MenuItem> HeaderModel::columnMenuItems() const
{
    std::vector<MenuItem> items;
    for (int field : visibleFields()) {
        if (!ColumnCaption(field).isEmpty())
            items.push_back({ field, true });
    }
    for (int field = 1; field < kColumnCount; ++field) {
        if (columnOfField(field) < 0 && !ColumnCaption(field).isEmpty())
            items.push_back({ field, false });
    }
    return items;
}

bool HeaderModel::moveColumn(int from, int to)
{
    const int n = static_cast<int>(m_order.size());
    if (from < 1 || to < 1 || from >= n || to >= n)
        return false;
    const int c = m_order[static_cast<size_t>(from)];
    m_order.erase(m_order.begin() + from);
    m_order.insert(m_order.begin() + to, c);
    return true;
}

void HeaderModel::setWidth(int listColumn, int width)
{
    if (listColumn > 0 && listColumn < columnCount())
        m_columns[static_cast<size_t>(listColumn)].width = std::max(width, 0);
}

void HeaderModel::setAlignment(int listColumn, int align)
{
    if (listColumn >= 0 && listColumn < columnCount() && align >= AlignLeft && align <= AlignCenter)
        m_columns[static_cast<size_t>(listColumn)].align = align;
}

void HeaderModel::setSortState(int listColumn, bool ascending)
{
    m_sortColumn = listColumn;
    m_ascending = ascending;
    clampSortColumn();
}

void HeaderModel::setPackedSort(quint32 packed)
{
    setSortState(SortColumnOf(packed), SortAscendingOf(packed));
}

void HeaderModel::setOffscreenSortKey(int field)
{
    m_offscreenKey = field > 0 && field < kColumnCount ? field : 0;
}

int HeaderModel::sortField() const
{
    if (m_sortColumn == 0)
        return m_offscreenKey;
    return fieldOf(m_sortColumn);
}

void HeaderModel::setColumns(std::vector<Column> columns, std::vector<int> order)
{
    const bool sameFields = std::equal(m_columns.begin(), m_columns.end(), columns.begin(), columns.end(),
        [](const Column &a, const Column &b) { return a.field == b.field; });
    m_columns = std::move(columns);
    m_order = std::move(order);
    if (!sameFields || m_fieldsStamp == 0)
        renewFieldsStamp();
}

void HeaderModel::renewFieldsStamp()
{
    static std::atomic<quint32> last { 0 };
    m_fieldsStamp = ++last;
}

void HeaderModel::clampSortColumn()
{
    if (m_sortColumn < 0 || m_sortColumn >= columnCount())
        m_sortColumn = 0;
}
