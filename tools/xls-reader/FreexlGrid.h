#pragma once

#include "corelib/Result.h"
#include "document/workbook/WorkbookGrid.h"

#include <QString>

// The first sheet of an .xls file read with libfreexl in this process. Only the reader
// program calls it: a damaged file can make the library read past its own buffers.
tessera::Result<WorkbookGrid> ReadXlsGridWithFreexl(const QString &path, const WorkbookLimits &limits);
