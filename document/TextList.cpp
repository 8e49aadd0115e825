#include "document/TextList.h"

#include "corelib/Messages.h"
#include "corelib/TextCodec.h"
#include "document/ErrorCodes.h"
#include "document/ValidCode.h"

#include <QDateTime>

#include <algorithm>
#include <cstring>

namespace {

enum class Encoding { Ansi, Utf8, Utf16 };

tessera::Error unreadable(int code, const QString &path)
{
    return tessera::Error { code, tessera::FormatResourceString(2205) + u'\n' + path };
}

// Index of the first CR or LF in the window, or -1. In UTF-16 only whole code units count.
qsizetype findTerminator(const char *p, qsizetype n, Encoding enc)
{
    if (enc != Encoding::Utf16) {
        for (qsizetype i = 0; i < n; ++i) {
            if (p[i] == '\r' || p[i] == '\n')
                return i;
        }
        return -1;
    }
    for (qsizetype i = 0; i + 1 < n; i += 2) {
        if (p[i + 1] == 0 && (p[i] == '\r' || p[i] == '\n'))
            return i;
    }
    return -1;
}

QString decodeLine(const char *p, qsizetype n, Encoding enc)
{
    switch (enc) {
    case Encoding::Utf8:
        return QString::fromUtf8(p, n);
    case Encoding::Utf16: {
        QString s(n / 2, Qt::Uninitialized);
        for (qsizetype i = 0; i < s.size(); ++i) {
            s[i] = QChar(static_cast<char16_t>(
                static_cast<quint8>(p[2 * i]) | (static_cast<quint8>(p[2 * i + 1]) << 8)));
        }
        return s;
    }
    case Encoding::Ansi:
        break;
    }
    // CP932 keeps ASCII as it is; most lines are codes and ASCII names, which need no converter.
    if (std::all_of(p, p + n, [](char c) { return static_cast<quint8>(c) < 0x80; }))
        return QString::fromLatin1(p, n);
    return tessera::DecodeAnsi(QByteArray(p, n));
}

// Removes every leading and trailing double quote.
QStringView stripQuotes(QStringView s)
{
    while (!s.isEmpty() && s.front() == u'"')
        s = s.sliced(1);
    while (!s.isEmpty() && s.back() == u'"')
        s.chop(1);
    return s;
}

} // namespace

tessera::Result<RecordMap> ReadTextList(QByteArrayView data, const TextListOptions &options)
{
    Encoding enc = Encoding::Ansi;
    qsizetype pos = 0;
    if (data.size() >= 3 && std::memcmp(data.data(), "\xEF\xBB\xBF", 3) == 0) {
        enc = Encoding::Utf8;
        pos = 3;
    } else if (data.size() >= 2 && std::memcmp(data.data(), "\xFF\xFE", 2) == 0) {
        enc = Encoding::Utf16;
        pos = 2;
    }
    const qint64 now = options.now >= 0 ? options.now : QDateTime::currentSecsSinceEpoch();
    const qint64 due = now - options.updatePeriodSeconds;

    RecordMap rows;
    while (pos < data.size()) {
        const qsizetype window = std::min(kTextListWindow, data.size() - pos);
        const char *p = data.data() + pos;
        qsizetype lineBytes = findTerminator(p, window, enc);
        qsizetype next;
        if (lineBytes >= 0) {
            next = pos + lineBytes + (enc == Encoding::Utf16 ? 2 : 1);
        } else if (pos + window < data.size()) {
            // The line runs past the window. Taking the window as the last line would drop
            // the rest of the file without a word, so the list is refused instead.
            return unreadable(TextListErrorLineTooLong, options.path);
        } else {
            lineBytes = window;
            next = data.size();
        }
        pos = next;

        const QString line = decodeLine(p, lineBytes, enc);
        const QStringView text = QStringView(line).trimmed();
        if (text.isEmpty() || text.front() == u'/' || text.front() == u'#' || text.front() == u';')
            continue;

        QStringView code = text;
        QStringView name;
        const qsizetype comma = text.indexOf(u',');
        if (comma >= 0) {
            code = stripQuotes(text.first(comma));
            const QStringView rest = text.sliced(comma + 1);
            const qsizetype nameEnd = rest.indexOf(u',');
            name = stripQuotes(nameEnd < 0 ? rest : rest.first(nameEnd));
        }
        if (!IsValidCode(code))
            return unreadable(TextListErrorInvalidCode, options.path);
        const QString key = code.toString();
        if (rows.find(key) != rows.end())
            continue;
        if (static_cast<qint64>(rows.size()) >= options.maxRows) {
            return tessera::Error { ListErrorTooManyRows,
                QStringLiteral("more than %1 rows").arg(options.maxRows) };
        }
        auto record = std::make_unique<QuoteRecord>(key);
        record->values.set(SlotName, name.toString());
        record->datetime = due;
        rows.emplace(key, std::move(record));
    }
    return rows;
}
