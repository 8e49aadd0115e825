#include "view/table/WorkbookColumns.h"

#include "view/table/ColumnTable.h"

const WorkbookColumnTable &WorkbookColumns()
{
    static const WorkbookColumnTable table = [] {
        WorkbookColumnTable t;
        for (int f = 1; f < kColumnCount; ++f) {
            const ColumnDef &def = ColumnDefOf(f);
            WorkbookColumn &c = t[static_cast<size_t>(f)];
            c.title = ColumnCaption(f);
            c.importSlot = def.importSlot;
            c.width = def.width;
            c.align = def.align;
        }
        return t;
    }();
    return table;
}
