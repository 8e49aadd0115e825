#include "quotes/parsers/CutProgram.h"
#include "quotes/parsers/PageParsers.h"

#include "quotes/QuoteRecord.h"

using namespace CutProgram;

namespace {

// Plain JSON in the script after "__PRELOADED_STATE__". The two detail blocks hold each
// figure as an object named by a bare key with a "value" member somewhere before its "},".
// Keys are plain substrings ("per" is the first "per" in the block), and all figures share
// one entry text, so a figure whose key is missing repeats the previous figure's value.
constexpr QStringView kQ = u"\"";
constexpr QStringView kValue = u"\"value\":\"";
constexpr QStringView kEntryEnd = u"},";

// The two steps of one figure: its entry from the key to "},", then the value in it.
constexpr Step entry(QStringView key)
{
    return { .text = Text::Section, .into = Into::Sub, .start = key, .end = kEntryEnd };
}

constexpr Step entryValue(QuoteSlot slot)
{
    return { .text = Text::Sub, .slot = static_cast<qint8>(slot), .start = kValue, .end = kQ };
}

// clang-format off
constexpr Step kSteps[] = {
    { .text = Text::Page, .into = Into::Outer, .start = u"__PRELOADED_STATE__", .end = u"</script" },
    { .text = Text::Outer, .into = Into::Kind, .start = u"\"industryName\":\"", .end = kQ },
    { .text = Text::Outer, .into = Into::Section, .start = u"\"mainUsStocksPriceBoard", .end = u"currentTabNavigationKey" },
    { .text = Text::Section, .slot = SlotName, .start = u"\"name\":\"", .end = kQ },
    { .text = Text::Section, .slot = SlotMarket, .start = u"\"label\":\"", .end = kQ, .fallback = u"---" },
    { .text = Text::Section, .slot = SlotPrice, .start = u"\"price\":\"", .end = kQ },
    { .text = Text::Section, .slot = SlotDifference, .start = u"\"priceChange\":\"", .end = kQ, .flags = PlusSign },
    { .text = Text::Section, .slot = SlotRatio, .start = u"\"priceChangeRate\":\"", .end = kQ, .flags = PlusSign },

    { .text = Text::Outer, .into = Into::Section, .start = u"\"mainUsStocksDataList", .end = u"mainUsStocksReferenceIndex" },
    entry(u"previousPrice"),
    entryValue(SlotPrevClose),
    entry(u"openPrice"),
    entryValue(SlotOpen),
    entry(u"highPrice"),
    entryValue(SlotHigh),
    entry(u"lowPrice"),
    entryValue(SlotLow),
    entry(u"volume"),
    entryValue(SlotVolume),
    entry(u"tradingValue"),
    entryValue(SlotTradingValue),

    { .text = Text::Outer, .into = Into::Section, .start = u"\"mainUsStocksReferenceIndex", .end = u"mainDetailChartSetting" },
    entry(u"totalPrice"),
    entryValue(SlotMarketCap),
    entry(u"sharesIssued"),
    entryValue(SlotSharesIssued),
    entry(u"per"),
    entryValue(SlotPer),
    entry(u"pbr"),
    entryValue(SlotPbr),
    entry(u"eps"),
    entryValue(SlotEps),
    entry(u"bps"),
    entryValue(SlotBps),
    entry(u"highPrice52"),
    entryValue(SlotYearHigh),
    entry(u"lowPrice52"),
    entryValue(SlotYearLow),
};
// clang-format on
static_assert(IsValidProgram(kSteps));

} // namespace

void ParseForeignStockPage(QStringView page, QuoteRecord &result)
{
    Run(kSteps, page, result);
}
