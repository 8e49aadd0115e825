#pragma once

#include <QString>

namespace tessera {

// Grouped number: v with two decimals, a comma between groups of three integer digits, the
// decimals dropped when they are "00" and trimmed of trailing zeros otherwise (all kept with
// `keepDecimals`), and "-" in front of a negative value or, with `showPlus`, "+" in front of a
// positive one. The sign follows the value as shown, so -0.001 gives "0".
// 1234567 -> "1,234,567", 1234.5 -> "1,234.5", 0.25 -> "0.25", -1234 -> "-1,234",
// 1500 with showPlus -> "+1,500".
QString GroupedNumber(double v, bool keepDecimals = false, bool showPlus = false);

// Seconds since 1970 in local time as "yyyy/MM/dd HH:mm", or "yyyy/MM/dd" without the time.
QString FormatLocalTime(qint64 secs, bool withTime);

} // namespace tessera
