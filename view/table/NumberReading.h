#pragma once

#include <QStringView>

// Leading-number readings of quote texts, as the sort and the colour rules take them. Both
// skip leading white space and stop at the first character that does not continue the
// number; no digits read as 0. With `ignoreCommas` every ',' is passed over as if removed
// first, so "1,234.5" reads 1234.5 (without, it reads 1).

// Optional sign, digits, a point and digits, an exponent ("e", sign, digits). Never NaN or
// infinite except on overflow of the exponent, which gives +-infinity.
double ReadLeadingReal(QStringView text, bool ignoreCommas);
// Optional sign and decimal digits; saturates at the limits of 64 bits.
qint64 ReadLeadingInteger(QStringView text, bool ignoreCommas);
