#pragma once

#include <QString>

namespace tessera {

// The decimal digits of n with a comma before every group of three digits counted from the
// right: 1234567 gives "1,234,567", 999 stays "999". A negative number keeps its minus sign in
// front of the grouped digits: -1234 gives "-1,234" (the grouping applies to the magnitude,
// so the sign never becomes a group of its own).
QString EditString(qint64 n);

// Appends a run of decimal digits (Latin-1, no sign) to `out` with a comma before every group
// of three counted from the right. EditString and the table's grouped numbers share it.
void AppendGroupedDigits(QString &out, QLatin1StringView digits);

} // namespace tessera
