// Feeds arbitrary text to UnescapeUnicode, AddPlusSign and Cut, as UTF-16 taken from the
// raw bytes and as decoded UTF-8, and checks what must hold for any input.

#include "quotes/PageScan.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void run(QStringView text)
{
    const QString out = UnescapeUnicode(text);
    check(out.size() <= text.size());
    if (!text.contains(u"\\u"))
        check(out == text);

    QString signedText = text.toString();
    AddPlusSign(signedText);
    check(signedText == text
        || (signedText.size() == text.size() + 1 && signedText.startsWith(u'+')
            && QStringView(signedText).sliced(1) == text));

    if (text.size() >= 4) {
        // Markers from the text itself, so that they are sometimes found.
        const QStringView start = text.first(1 + text[0].unicode() % 3);
        const QStringView end = text.sliced(1, 1 + text[1].unicode() % 2);
        QString value;
        qsizetype pos = 0;
        for (int round = 0; round < 8 && pos != kNoPos; ++round) {
            const qsizetype next = Cut(value, text, pos, start, end);
            check(next == kNoPos || (next > pos && next <= text.size()));
            pos = next;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString utf16(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(utf16.data(), data, (size / 2) * 2);
    run(utf16);
    run(QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}
