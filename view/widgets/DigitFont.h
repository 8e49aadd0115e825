#pragma once

#include <QFont>

// Numbers line up in a column only when the digits 0-9 have one width. Most list fonts have
// such digits; where the chosen one does not (and Qt cannot switch a font's tabular-figure
// feature on), the numbers are drawn in another installed font of the same size that has.

// True when the digits 0-9 of `font` all have the same advance.
bool HasEqualDigits(const QFont &font);

// `font` when its digits have equal advances; else `font` with the first installed family
// whose digits do, families whose name begins with the font's own family first (its mono or
// condensed sibling), then the others. `font` unchanged when no installed family has them.
QFont EqualDigitFont(const QFont &font);
