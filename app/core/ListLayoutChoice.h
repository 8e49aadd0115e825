#pragma once

#include "app/core/AppSettings.h"
#include "document/ColumnLayout.h"

#include <optional>

// Which column layout a list is shown with, shared by the window and the command line.

// The layout held in the settings ("Order Info", "Column Align", "Column Index", "SortColumn").
ColumnLayout SettingsLayout(const AppSettings &settings);

// The layout after opening a list: the one the file carried when the header takes it,
// else `current` (what the window showed before, or the settings' layout).
ColumnLayout ChooseListLayout(const ColumnLayout &current, const std::optional<ColumnLayout> &fileLayout);

// `layout` as the list's header saves it (every list written, the sort packed), falling
// back to the default layout when the header refuses it: what a list file stores.
ColumnLayout StoredFormOfLayout(const ColumnLayout &layout);
