#include "corelib/TextCodec.h"

#include <unicode/ucnv.h>

#include <memory>

namespace tessera {

namespace {
constexpr char kAnsi[] = "windows-31j";

struct ConverterCloser {
    void operator()(UConverter *c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter openConverter(const char *charset)
{
    UErrorCode err = U_ZERO_ERROR;
    UConverter *c = ucnv_open(charset && *charset ? charset : "UTF-8", &err);
    if (U_FAILURE(err) || !c) {
        err = U_ZERO_ERROR;
        c = ucnv_open("UTF-8", &err);
    }
    return Converter(c);
}
} // namespace

bool IsKnownCharset(const char *charset)
{
    if (!charset || !*charset)
        return false;
    UErrorCode err = U_ZERO_ERROR;
    UConverter *c = ucnv_open(charset, &err);
    if (c)
        ucnv_close(c);
    return U_SUCCESS(err) && c;
}

QString DecodeText(const QByteArray &bytes, const char *charset)
{
    if (bytes.isEmpty())
        return {};
    Converter conv = openConverter(charset);
    if (!conv)
        return QString::fromUtf8(bytes);
    // Every byte yields at most two UTF-16 units in the sets we meet.
    QString out(bytes.size() * 2 + 2, Qt::Uninitialized);
    UErrorCode err = U_ZERO_ERROR;
    const int32_t n = ucnv_toUChars(conv.get(), reinterpret_cast<UChar *>(out.data()),
                                    static_cast<int32_t>(out.size()), bytes.constData(),
                                    static_cast<int32_t>(bytes.size()), &err);
    if (U_FAILURE(err) && err != U_STRING_NOT_TERMINATED_WARNING)
        return QString::fromUtf8(bytes);
    out.truncate(n);
    return out;
}

QString DecodeAnsi(const QByteArray &bytes)
{
    return DecodeText(bytes, kAnsi);
}

QByteArray EncodeText(const QString &text, const char *charset)
{
    if (text.isEmpty())
        return {};
    Converter conv = openConverter(charset);
    if (!conv)
        return text.toUtf8();
    const int32_t cap = UCNV_GET_MAX_BYTES_FOR_STRING(text.size(), ucnv_getMaxCharSize(conv.get()));
    QByteArray out(cap, Qt::Uninitialized);
    UErrorCode err = U_ZERO_ERROR;
    const int32_t n = ucnv_fromUChars(conv.get(), out.data(), cap,
                                      reinterpret_cast<const UChar *>(text.utf16()),
                                      static_cast<int32_t>(text.size()), &err);
    if (U_FAILURE(err) && err != U_STRING_NOT_TERMINATED_WARNING)
        return text.toUtf8();
    out.truncate(n);
    return out;
}

QByteArray EncodeAnsi(const QString &text)
{
    return EncodeText(text, kAnsi);
}

} // namespace tessera
