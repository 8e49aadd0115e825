#include "corelib/EditString.h"

namespace tessera {

QString EditString(qint64 n)
{
    // Work on the unsigned magnitude so that the smallest 64-bit value has a magnitude too.
    const bool negative = n < 0;
    const quint64 magnitude = negative ? quint64(0) - quint64(n) : quint64(n);
    const QByteArray digits = QByteArray::number(magnitude);
    QString out;
    if (negative)
        out += QLatin1Char('-');
    AppendGroupedDigits(out, QLatin1StringView(digits));
    return out;
}

void AppendGroupedDigits(QString &out, QLatin1StringView digits)
{
    const qsizetype count = digits.size();
    out.reserve(out.size() + count + count / 3);
    for (qsizetype i = 0; i < count; ++i) {
        if (i > 0 && (count - i) % 3 == 0)
            out += QLatin1Char(',');
        out += digits[i];
    }
}

} // namespace tessera
