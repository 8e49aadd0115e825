#include "view/table/ColumnTable.h"

#include "corelib/Messages.h"

#include <array>

namespace {

constexpr ColumnDef kAnchor = { 0, 0, 0, AlignLeft, true };

// Field numbers 16..34 all share width 80, right alignment and the import slot of their value
// slot (slots 12..30).
constexpr std::array<ColumnDef, kColumnCount> kColumnTable = { {
    kAnchor, { 1001, -1, 50, AlignRight, true }, // 1 code
    { 1002, 0, 200, AlignLeft, true }, // 2 name
    { 1003, 1, 80, AlignCenter, true }, // 3 market
    { 1004, 3, 80, AlignRight, true }, // 4 current price
    { 1005, 4, 80, AlignRight, true }, // 5 change
    { 1006, 5, 80, AlignRight, true }, // 6 change rate
    { 1007, 6, 90, AlignRight, true }, // 7 volume
    { 1008, 11, 90, AlignRight, true }, // 8 trading value
    { 1009, 7, 80, AlignRight, true }, // 9 open
    { 1010, 8, 80, AlignRight, true }, // 10 high
    { 1011, 9, 80, AlignRight, true }, // 11 low
    { 1012, 2, 80, AlignRight, true }, // 12 dividend
    { 1013, 10, 80, AlignRight, true }, // 13 yield
    { 1014, -2, 100, AlignLeft, true }, // 14 update time
    { 1015, 29, 100, AlignLeft, true }, // 15 status
    { 1016, 12, 80, AlignRight, false }, // 16 previous close
    { 1017, 13, 80, AlignRight, false }, // 17 daily price range
    { 1018, 14, 80, AlignRight, false }, // 18 market capitalisation
    { 1019, 15, 80, AlignRight, false }, // 19 shares issued
    { 1020, 16, 80, AlignRight, false }, // 20 per
    { 1021, 17, 80, AlignRight, false }, // 21 pbr
    { 1022, 18, 80, AlignRight, false }, // 22 eps
    { 1023, 19, 80, AlignRight, false }, // 23 bps
    { 1024, 20, 80, AlignRight, false }, // 24 roe
    { 1025, 21, 80, AlignRight, false }, // 25 equity ratio
    { 1026, 22, 80, AlignRight, false }, // 26 minimum purchase
    { 1027, 23, 80, AlignRight, false }, // 27 trading unit
    { 1028, 24, 80, AlignRight, false }, // 28 year high
    { 1029, 25, 80, AlignRight, false }, // 29 year low
    { 1030, 26, 80, AlignRight, false }, // 30 margin buying
    { 1031, 27, 80, AlignRight, false }, // 31 its weekly change
    { 1032, 28, 80, AlignRight, false }, // 32 margin selling
    { 1033, 29, 80, AlignRight, false }, // 33 its weekly change
    { 1034, 30, 80, AlignRight, false }, // 34 margin ratio
    { 1035, 31, 80, AlignLeft, false }, // 35 buy day
    { 1036, 32, 80, AlignRight, false }, // 36 amount
    { 1037, 33, 80, AlignRight, false }, // 37 shares
    { 1038, 34, 80, AlignRight, false }, // 38 profit or loss
    { 1039, 35, 80, AlignLeft, false }, // 39 memo
} };

} // namespace

bool IsColumnField(int field)
{
    return field >= 0 && field < kColumnCount;
}

const ColumnDef &ColumnDefOf(int field)
{
    return IsColumnField(field) ? kColumnTable[static_cast<size_t>(field)] : kColumnTable[0];
}

QString ColumnCaption(int field)
{
    if (field <= 0 || field >= kColumnCount)
        return {};
    return tessera::ResourceString(ColumnDefOf(field).titleId);
}

ColumnLayout LayoutForFields(const std::vector<int> &fields, quint32 packedSort)
{
    std::vector<int> index { 0 };
    index.insert(index.end(), fields.begin(), fields.end());
    std::vector<int> order(index.size());
    std::vector<int> align(index.size());
    for (size_t i = 0; i < index.size(); ++i) {
        order[i] = static_cast<int>(i);
        align[i] = ColumnDefOf(index[i]).align;
    }
    ColumnLayout layout;
    layout.orderList = FormatListText(order);
    layout.alignList = FormatListText(align);
    layout.indexList = FormatListText(index);
    layout.packedSort = packedSort;
    return layout;
}

ColumnLayout DefaultColumnLayout()
{
    std::vector<int> fields;
    for (int f = 1; f < kDefaultShownColumns; ++f)
        fields.push_back(f);
    return LayoutForFields(fields, PackSort(0, true));
}
