#pragma once

#include "corelib/Result.h"

#include <QStringView>

#include <vector>

// Parses a field list such as "1-39" or "1,2,4,14": comma-separated field numbers 1..39 and
// ascending ranges "a-b", in the order given. Spaces around items are allowed. Empty items,
// numbers outside 1..39, descending ranges and a field given twice are errors whose message
// names the offending item.
tessera::Result<std::vector<int>> ParseFieldList(QStringView text);

// Error code of ParseFieldList.
inline constexpr int kFieldListError = 1;
