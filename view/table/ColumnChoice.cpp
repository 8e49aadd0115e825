#include "view/table/ColumnChoice.h"

#include "quotes/QuoteRecord.h" // kFieldCount
#include "view/table/ColumnTable.h"

#include <algorithm>
#include <array>

namespace {

// Entry i of a parsed list, or `missing` when the list is shorter.
int entryOr(const std::vector<int> &list, int i, int missing)
{
    return i >= 0 && i < static_cast<int>(list.size()) ? list[static_cast<size_t>(i)] : missing;
}

bool isKnownAlign(int align)
{
    return align == AlignLeft || align == AlignRight || align == AlignCenter;
}

} // namespace

std::optional<ColumnChoice> ColumnChoiceFromLayout(const ColumnLayout &layout)
{
    const qsizetype entries = layout.orderList.count(u',');
    if (entries > kMaxLayoutEntries)
        return std::nullopt;
    constexpr int kMissing = -1;
    const std::vector<int> order = ParseListText(layout.orderList, kMissing);
    const std::vector<int> aligns = ParseListText(layout.alignList, kMissing);
    const std::vector<int> widths = ParseListText(layout.widthList, kMissing);
    const std::vector<int> index = ParseListText(layout.indexList, kMissing);

    ColumnChoice items;
    std::array<bool, kFieldCount + 1> listed {};
    for (int p = 1; p < static_cast<int>(entries); ++p) {
        int column = entryOr(order, p, kMissing);
        if (column == kMissing)
            column = p;
        const int field = entryOr(index, column, kMissing);
        if (field < 1 || field > kFieldCount || listed[static_cast<size_t>(field)])
            continue;
        listed[static_cast<size_t>(field)] = true;
        const ColumnDef &def = ColumnDefOf(field);
        const int width = entryOr(widths, column, kMissing);
        const int align = entryOr(aligns, column, kMissing);
        items.push_back(
            { field, true, width < 0 ? def.width : width, isKnownAlign(align) ? align : def.align });
    }
    for (int field = 1; field <= kFieldCount; ++field) {
        if (listed[static_cast<size_t>(field)])
            continue;
        const ColumnDef &def = ColumnDefOf(field);
        items.push_back({ field, false, def.width, def.align });
    }
    return items;
}

std::optional<ColumnLayout> LayoutFromColumnChoice(const ColumnChoice &items, const ColumnLayout &current)
{
    const int sortColumn = SortColumnOf(current.packedSort);
    const bool ascending = SortAscendingOf(current.packedSort);
    const std::vector<int> index = ParseListText(current.indexList, 0);
    // Column 0 is the anchor: the rows in list order, whatever the columns are.
    const bool onAnchor = sortColumn == 0;
    int sortedField = entryOr(index, sortColumn, 0);
    if (sortedField == 0)
        sortedField = 1;

    ColumnLayout layout;
    layout.orderList = QStringLiteral("0,");
    layout.alignList = QStringLiteral("0,");
    layout.widthList = QStringLiteral("0,");
    layout.indexList = QStringLiteral("0,");
    int position = 1;
    bool sortPlaced = false;
    for (const ColumnChoiceItem &item : items) {
        if (!item.checked || item.field < 1 || item.field > kFieldCount)
            continue;
        layout.orderList += QString::number(position) + u',';
        layout.alignList += QString::number(item.align) + u',';
        layout.widthList += QString::number(item.width) + u',';
        layout.indexList += QString::number(item.field) + u',';
        if (!onAnchor && item.field == sortedField) {
            layout.packedSort = PackSort(position, ascending);
            sortPlaced = true;
        }
        ++position;
    }
    if (position == 1)
        return std::nullopt;
    if (onAnchor)
        layout.packedSort = PackSort(0, ascending);
    else if (!sortPlaced)
        layout.packedSort = PackSort(position - 1, ascending);
    return layout;
}

std::vector<int> MoveColumnChoice(ColumnChoice &items, std::vector<int> selected, bool up)
{
    const int n = static_cast<int>(items.size());
    selected.erase(std::remove_if(selected.begin(), selected.end(), [n](int i) { return i < 0 || i >= n; }),
        selected.end());
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    if (selected.empty())
        return selected;
    if (up && selected.front() == 0)
        return selected;
    if (!up && selected.back() == n - 1)
        return selected;
    // Going up in ascending order (down in descending) each item swaps with a neighbour that
    // is not selected or has already moved, so a run moves as one block.
    if (up) {
        for (int &i : selected) {
            std::swap(items[static_cast<size_t>(i)], items[static_cast<size_t>(i - 1)]);
            --i;
        }
    } else {
        for (size_t k = selected.size(); k-- > 0;) {
            int &i = selected[k];
            std::swap(items[static_cast<size_t>(i)], items[static_cast<size_t>(i) + 1]);
            ++i;
        }
    }
    return selected;
}
