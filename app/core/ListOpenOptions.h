#pragma once

#include "document/ColumnLayout.h"
#include "document/ListLoader.h"

struct AppSettings;

// How every list is read, whoever reads it (the window's open, a dropped file, the workbook
// command's lists, quotra-cli): a text list's rows start one update period in the past, and a
// workbook's header is matched against the column table, its columns taking the widths and
// alignments of `currentLayout` (the layout the list is shown with now).
ListLoadOptions ListOpenOptions(const AppSettings &settings, const ColumnLayout &currentLayout);
