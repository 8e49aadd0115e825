// Feeds arbitrary input to the five page parsers and the exchange-suffix detection, as
// UTF-16 taken from the raw bytes and as decoded UTF-8, and checks the marker search
// against Qt's own.

#include "quotes/PageScan.h"
#include "quotes/QuoteRecord.h"
#include "quotes/SecurityCode.h"
#include "quotes/parsers/PageParsers.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void parseAll(QStringView page)
{
    // A code taken from the page itself, so that the world index markers built from the code
    // can match.
    const qsizetype lineEnd = page.indexOf(u'\n');
    const QString ownCode
        = page.first(std::min<qsizetype>(lineEnd < 0 ? page.size() : lineEnd, 12)).toString();
    using Parser = void (*)(QStringView, QuoteRecord &);
    const Parser parsers[] = { ParseDomesticStockPage, ParseDomesticIndexPage, ParseForeignStockPage,
        ParseFundPage, ParseWorldIndexPage };
    for (const QString &code : { u"^DJI"_s, ownCode }) {
        for (Parser parse : parsers) {
            QuoteRecord r(code);
            parse(page, r);
            check(r.values[SlotStatus].isEmpty());
        }
        QuoteRecord r(code);
        DetectExchangeSuffix(r, code, page);
        ResolveKindFromPage(r, page);
    }

    // The marker search agrees with QStringView::indexOf for a marker cut from the page.
    if (page.size() >= 2) {
        const qsizetype at = page[0].unicode() % page.size();
        const qsizetype length = std::min<qsizetype>(1 + page[1].unicode() % 32, page.size() - at);
        const QStringView marker = page.sliced(at, length);
        const qsizetype from = page.size() > 2 ? page[2].unicode() % page.size() : 0;
        const qsizetype expected = page.indexOf(marker, from);
        check(Find(page, from, marker) == (expected < 0 ? kNoPos : expected));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString utf16(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(utf16.data(), data, (size / 2) * 2);
    parseAll(utf16);
    parseAll(QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}
