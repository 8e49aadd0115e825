#include "quotes/parsers/CutProgram.h"
#include "quotes/parsers/PageParsers.h"

#include "quotes/QuoteRecord.h"

using namespace CutProgram;

namespace {

// Escaped JSON; the fund's name may be written with \u escapes.
constexpr QStringView kQ = uR"(\")";

// clang-format off
constexpr Step kSteps[] = {
    { .text = Text::Page, .into = Into::Section, .start = u"\"publicRelations", .end = u"currentTabNavigationKey" },
    { .text = Text::Section, .slot = SlotName, .start = uR"("name\":\")", .end = kQ, .flags = Unescape },
    { .text = Text::Section, .slot = SlotMarket, .start = uR"("marketName\":\")", .end = kQ, .fallback = u"投資信託" },
    { .text = Text::Section, .slot = SlotPrice, .start = uR"("price\":\")", .end = kQ },
    { .text = Text::Section, .slot = SlotDifference, .start = uR"("changePrice\":\")", .end = kQ, .flags = PlusSign },
    { .text = Text::Section, .slot = SlotRatio, .start = uR"("changePriceRate\":\")", .end = kQ, .flags = PlusSign },
};
// clang-format on
static_assert(IsValidProgram(kSteps));

} // namespace

void ParseFundPage(QStringView page, QuoteRecord &result)
{
    Run(kSteps, page, result);
}
