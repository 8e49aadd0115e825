#include "app/core/ListLayoutChoice.h"

#include "view/table/ColumnTable.h"
#include "view/table/HeaderModel.h"

ColumnLayout SettingsLayout(const AppSettings &settings)
{
    ColumnLayout layout;
    layout.orderList = settings.orderInfo;
    layout.alignList = settings.columnAlign;
    layout.indexList = settings.columnIndex;
    layout.packedSort = static_cast<quint32>(settings.sortColumn);
    return layout;
}

ColumnLayout ChooseListLayout(const ColumnLayout &current, const std::optional<ColumnLayout> &fileLayout)
{
    // The window keeps the layout it has when the header refuses the file's.
    if (fileLayout && HeaderModel().applyLayout(*fileLayout))
        return *fileLayout;
    return current;
}

ColumnLayout StoredFormOfLayout(const ColumnLayout &layout)
{
    HeaderModel header;
    if (!header.applyLayout(layout, true))
        header.applyLayout(DefaultColumnLayout(), true);
    return header.saveLayout();
}
