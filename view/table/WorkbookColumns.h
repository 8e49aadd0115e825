#pragma once

#include "document/workbook/WorkbookImport.h"

// The column table as the workbook import needs it: captions from the language module,
// import slots, default widths and alignments. Built once.
const WorkbookColumnTable &WorkbookColumns();
