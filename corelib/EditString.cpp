#include "corelib/EditString.h"

namespace tessera {

QString EditString(qint64 n)
{
    // Work on the unsigned magnitude so that the smallest 64-bit value has a magnitude too.
    const bool negative = n < 0;
    const quint64 magnitude = negative ? quint64(0) - quint64(n) : quint64(n);
    const QString digits = QString::number(magnitude);
    QString out;
    out.reserve(digits.size() + digits.size() / 3 + 1);
    if (negative)
        out += QLatin1Char('-');
    const qsizetype count = digits.size();
    for (qsizetype i = 0; i < count; ++i) {
        if (i > 0 && (count - i) % 3 == 0)
            out += QLatin1Char(',');
        out += digits[i];
    }
    return out;
}

} // namespace tessera
