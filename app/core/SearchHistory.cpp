#include "app/core/SearchHistory.h"

#include "corelib/TextCodec.h"

#include <QtEndian>

#include <utility>

namespace {
// Applies the counting rule to strings as they are found; false once no more are taken.
bool take(QStringList &out, qsizetype &count, QString s)
{
    if (s.isEmpty())
        return true;
    count += s.size() + 1;
    out << std::move(s);
    return count <= kSearchStrsLimit;
}
} // namespace

QByteArray EncodeSearchStrs(const QStringList &history)
{
    QByteArray out;
    qsizetype count = 0;
    for (const QString &s : history) {
        // A zero inside a string would split it on reading; the history never needs one.
        const QString clean = QString(s).remove(QChar(0));
        if (clean.isEmpty())
            continue;
        for (QChar c : clean) {
            char unit[2];
            qToLittleEndian<quint16>(c.unicode(), unit);
            out.append(unit, 2);
        }
        out.append(2, '\0');
        count += clean.size() + 1;
        if (count > kSearchStrsLimit)
            break;
    }
    return out;
}

QStringList DecodeSearchStrs(const QByteArray &value)
{
    QStringList out;
    qsizetype count = 0;
    QString current;
    const qsizetype units = value.size() / 2;
    for (qsizetype i = 0; i < units; ++i) {
        const char16_t u = qFromLittleEndian<quint16>(value.constData() + 2 * i);
        if (u != 0) {
            current += QChar(u);
            continue;
        }
        if (!take(out, count, std::exchange(current, QString())))
            return out;
    }
    take(out, count, current);
    return out;
}

QStringList DecodeAnsiSearchStrs(const QByteArray &value)
{
    QStringList out;
    qsizetype count = 0;
    for (const QByteArray &piece : value.split('\0')) {
        if (!take(out, count, tessera::DecodeAnsi(piece)))
            break;
    }
    return out;
}
