#pragma once

#include <QStringView>

#include <optional>

namespace tessera {

// Leading-number readings of quote texts and file values: the profit, the sort, the colour
// rules and every import read numbers through these, never through strtod, sscanf or
// QLocale, because the site and the files always write "." as the decimal point while the
// process locale (which QCoreApplication takes from the environment) may say ",". Both skip
// leading white space and stop at the first character that does not continue the number;
// no digits read as 0. With `ignoreCommas` every ',' is passed over as if removed first, so
// "1,234.5" reads 1234.5 (without, it reads 1).

// Optional sign, digits, a point and digits, an exponent ("e", sign, digits). Never NaN or
// infinite except on overflow of the exponent, which gives +-infinity.
double ReadLeadingReal(QStringView text, bool ignoreCommas);
// The same, but nothing when the text holds no digits where the number should start ("",
// "---", "STOP"), so that a missing value can be told from a zero.
std::optional<double> TryReadLeadingReal(QStringView text, bool ignoreCommas);
// Optional sign and decimal digits; saturates at the limits of 64 bits.
qint64 ReadLeadingInteger(QStringView text, bool ignoreCommas);

} // namespace tessera
