#include "corelib/TextCodec.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <cstring>
#include <memory>

namespace tessera {

namespace {
constexpr char kAnsi[] = "windows-31j";

struct ConverterCloser {
    void operator()(UConverter *c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// Malformed or unmapped input becomes U+FFFD. ICU's CP932 tables would write U+001A, which
// is a real control character and would hide the damage.
void substituteReplacementCharacter(const void *, UConverterToUnicodeArgs *args, const char *, int32_t,
    UConverterCallbackReason reason, UErrorCode *err)
{
    if (reason > UCNV_IRREGULAR)
        return;
    *err = U_ZERO_ERROR;
    static const UChar replacement = 0xFFFD;
    ucnv_cbToUWriteUChars(args, &replacement, 1, 0, err);
}

// ICU's CP932 converter is IBM's table, which rotates the controls 0x1A, 0x1C and 0x7F.
// Windows maps them to themselves; so do the lists and pages we read.
bool rotatesControls(UConverter *conv)
{
    UErrorCode err = U_ZERO_ERROR;
    const char *name = ucnv_getName(conv, &err);
    return U_SUCCESS(err) && name && std::strstr(name, "ibm-943") != nullptr;
}

void unrotateControls(QString &text)
{
    for (QChar &c : text) {
        switch (c.unicode()) {
        case 0x001C:
            c = QChar(0x001A);
            break;
        case 0x007F:
            c = QChar(0x001C);
            break;
        case 0x001A:
            c = QChar(0x007F);
            break;
        default:
            break;
        }
    }
}

// The inverse of unrotateControls, applied before encoding through the IBM table.
void rotateControls(QString &text)
{
    for (QChar &c : text) {
        switch (c.unicode()) {
        case 0x001A:
            c = QChar(0x001C);
            break;
        case 0x001C:
            c = QChar(0x007F);
            break;
        case 0x007F:
            c = QChar(0x001A);
            break;
        default:
            break;
        }
    }
}

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

bool isUtf8Name(const char *charset)
{
    return !charset || !*charset || qstricmp(charset, "UTF-8") == 0 || qstricmp(charset, "UTF8") == 0;
}

QString decodeWith(UConverter *conv, const QByteArray &bytes)
{
    // Every byte yields at most two UTF-16 units in the sets we meet.
    QString out(bytes.size() * 2 + 2, Qt::Uninitialized);
    UErrorCode err = U_ZERO_ERROR;
    ucnv_setToUCallBack(conv, substituteReplacementCharacter, nullptr, nullptr, nullptr, &err);
    err = U_ZERO_ERROR;
    const int32_t n = ucnv_toUChars(conv, reinterpret_cast<UChar *>(out.data()),
        static_cast<int32_t>(out.size()), bytes.constData(), static_cast<int32_t>(bytes.size()), &err);
    if (U_FAILURE(err) && err != U_STRING_NOT_TERMINATED_WARNING)
        return QString::fromUtf8(bytes);
    out.truncate(n);
    if (rotatesControls(conv))
        unrotateControls(out);
    return out;
}

// Qt's UTF-8 decoder is several times faster than ICU's converter on pages (SIMD over ASCII
// runs) and agrees with it on well-formed input, except that it drops a leading byte order
// mark. On broken sequences it writes one U+FFFD per byte where ICU writes one per maximal
// subpart, as browsers do; such input, rare in practice, goes to ICU so that the result never
// depends on the path.
QString decodeUtf8(const QByteArray &bytes)
{
    if (!bytes.startsWith("\xEF\xBB\xBF")) {
        QString text = QString::fromUtf8(bytes);
        if (!QStringView(text).contains(QChar::ReplacementCharacter))
            return text;
    }
    Converter conv = openConverter("UTF-8");
    return conv ? decodeWith(conv.get(), bytes) : QString::fromUtf8(bytes);
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
    if (isUtf8Name(charset))
        return decodeUtf8(bytes);
    UErrorCode err = U_ZERO_ERROR;
    Converter conv(ucnv_open(charset, &err));
    if (U_FAILURE(err) || !conv)
        return decodeUtf8(bytes); // unknown names read as UTF-8
    return decodeWith(conv.get(), bytes);
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
    QString source = text;
    if (rotatesControls(conv.get()))
        rotateControls(source);
    UErrorCode err = U_ZERO_ERROR;
    const int32_t n = ucnv_fromUChars(conv.get(), out.data(), cap,
        reinterpret_cast<const UChar *>(source.utf16()), static_cast<int32_t>(text.size()), &err);
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
