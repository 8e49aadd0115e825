#pragma once

#include "document/RecordMap.h"

#include <QSet>
#include <QString>

#include <vector>

// The display order: the document's records, which the table never owns.
using RowVector = std::vector<QuoteRecord *>;

// Every record of the map, in the map's key order.
RowVector BuildRows(const RecordMap &records);

// The codes of the given rows (out-of-range rows are passed over).
QSet<QString> CodesOfRows(const RowVector &rows, const std::vector<int> &selected);
// The rows, ascending, whose record's code is in `codes`.
std::vector<int> RowsWithCodes(const RowVector &rows, const QSet<QString> &codes);
