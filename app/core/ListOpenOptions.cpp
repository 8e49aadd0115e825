#include "app/core/ListOpenOptions.h"

#include "app/core/AppSettings.h"
#include "view/table/WorkbookColumns.h"

ListLoadOptions ListOpenOptions(const AppSettings &settings, const ColumnLayout &currentLayout)
{
    ListLoadOptions options;
    options.updatePeriodSeconds = static_cast<qint64>(settings.updateSpan);
    options.workbook.columns = &WorkbookColumns();
    options.workbook.currentLayout = currentLayout;
    return options;
}
