#pragma once

#include <QString>
#include <QStringView>

// What a spreadsheet shows for a number cell, as far as the import needs it: whether the
// format shows a percentage, and the text of the cell for a column that keeps texts.

// The code of a built-in number format by its id ("0.00%" for 10, "yyyy/m/d" for 14, the
// Japanese forms for the dates); empty for the general format and for ids without one.
QString BuiltinNumberFormat(int id);

// Whether the first section of a format code shows its number as a percentage (a "%"
// outside quotes, brackets and escapes).
bool IsPercentFormat(QStringView code);

// The text a cell with the number `value` and the format `code` shows, in the forms this
// program writes itself: a date format gives "yyyy/m/d" (with " h:mm" when the format has
// hours, and ":ss" when it has seconds), a time-only format "h:mm" or "h:mm:ss"; a percentage
// the hundredfold value with the format's decimals and "%"; other formats the value with the
// decimals of the format's first section, grouped by threes when it groups, and "-" before
// a negative value ("1.20E+03" for an exponent format); the general format up to 15
// significant digits, as short as it goes.
// Colours, literal texts and the other sections of a format are not shown. A date outside
// the calendar is shown as a number.
QString ShownNumberText(double value, QStringView code, bool date1904);
