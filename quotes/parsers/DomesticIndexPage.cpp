#include "quotes/parsers/CutProgram.h"
#include "quotes/parsers/PageParsers.h"

#include "quotes/QuoteRecord.h"

using namespace CutProgram;

namespace {

// Plain JSON in the script after "__PRELOADED_STATE__": a price board block and a detail
// block. Without the detail block its figures are looked for in the price board.
constexpr QStringView kQ = u"\"";

// clang-format off
constexpr Step kSteps[] = {
    { .text = Text::Page, .into = Into::Outer, .start = u"__PRELOADED_STATE__", .end = u"</script" },
    { .text = Text::Outer, .into = Into::Section, .start = u"\"mainDomesticIndexPriceBoard", .end = u"currentTabNavigationKey" },
    { .text = Text::Section, .slot = SlotName, .start = u"\"name\":\"", .end = kQ },
    { .text = Text::Section, .slot = SlotMarket, .start = u"\"marketName\":\"", .end = kQ, .fallback = u"---" },
    { .text = Text::Section, .slot = SlotPrice, .start = u"\"price\":\"", .end = kQ },
    { .text = Text::Section, .slot = SlotDifference, .start = u"\"changePrice\":\"", .end = kQ, .flags = PlusSign },
    { .text = Text::Section, .slot = SlotRatio, .start = u"\"changePriceRate\":\"", .end = kQ, .flags = PlusSign },

    { .text = Text::Outer, .into = Into::Section, .start = u"\"mainDomesticIndexDetail", .end = u"}," },
    { .text = Text::Section, .slot = SlotPrevClose, .start = u"\"previousPrice\":\"", .end = kQ },
    { .text = Text::Section, .slot = SlotOpen, .start = u"\"openPrice\":\"", .end = kQ },
    { .text = Text::Section, .slot = SlotHigh, .start = u"\"highPrice\":\"", .end = kQ },
    { .text = Text::Section, .slot = SlotLow, .start = u"\"lowPrice\":\"", .end = kQ },
    { .text = Text::Section, .slot = SlotYearHigh, .start = u"\"highPrice52\":\"", .end = kQ },
    { .text = Text::Section, .slot = SlotYearLow, .start = u"\"lowPrice52\":\"", .end = kQ },
};
// clang-format on
static_assert(IsValidProgram(kSteps));

} // namespace

void ParseDomesticIndexPage(QStringView page, QuoteRecord &result)
{
    Run(kSteps, page, result);
}
