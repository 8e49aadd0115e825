#include "quotes/parsers/CutProgram.h"
#include "quotes/parsers/PageParsers.h"

#include "quotes/QuoteRecord.h"

using namespace CutProgram;

namespace {

// The page carries its data as escaped JSON (every quote behind a backslash). Markers that
// start with a bare quote match the quote behind the page's backslash, which keeps "高値"
// from matching inside "年初来高値". The stock section holds the headline figures, the
// detail block (starting at the margin-trading heading) everything else; when the detail
// block is missing the detail figures are looked for in the stock section.
constexpr QStringView kQ = uR"(\")"; // end of a string value

// clang-format off
constexpr Step kSteps[] = {
    { .text = Text::Page, .into = Into::Section, .start = uR"(\"stocksContents\")", .end = uR"(\"statusLabel\")" },
    { .text = Text::Section, .into = Into::Kind, .start = uR"(\"itemType\":\")", .end = kQ },
    { .text = Text::Section, .slot = SlotName, .start = uR"(\"name\":\")", .end = kQ },
    { .text = Text::Section, .slot = SlotMarket, .start = uR"(\"label\":\")", .end = kQ, .fallback = u"---" },
    { .text = Text::Section, .slot = SlotPrice, .start = uR"(\"price\":{\"value\":\")", .end = kQ },
    { .text = Text::Section, .slot = SlotDifference, .start = uR"(\"priceChange\":{\"value\":\")", .end = kQ, .flags = PlusSign },
    { .text = Text::Section, .slot = SlotRatio, .start = uR"(\"priceChangeRate\":{\"value\":\")", .end = kQ, .flags = PlusSign },

    { .text = Text::Page, .into = Into::Section, .start = uR"({\"head\":\"信用取引情報\")", .end = uR"(\"crossStatus\")" },
    { .text = Text::Section, .slot = SlotPrevClose, .start = uR"("前日終値\",\"value\":\")", .end = kQ },
    { .text = Text::Section, .slot = SlotOpen, .start = uR"("始値\",\"value\":\")", .end = kQ },
    // High and low: the entry up to its "}" decides between the value and "STOP value".
    { .text = Text::Section, .into = Into::Sub, .slot = SlotHigh, .start = uR"("高値\",\"value\":\")", .end = u"}", .flags = LimitRule },
    { .text = Text::Section, .into = Into::Sub, .slot = SlotLow, .start = uR"("安値\",\"value\":\")", .end = u"}", .flags = LimitRule },
    { .text = Text::Section, .slot = SlotVolume, .start = uR"("出来高\",\"value\":\")", .end = kQ },
    { .text = Text::Section, .slot = SlotTradingValue, .start = uR"("売買代金\",\"value\":\")", .end = kQ },
    { .text = Text::Section, .slot = SlotPriceLimit, .start = uR"("値幅制限\",\"value\":\")", .end = kQ },
    { .text = Text::Section, .slot = SlotMarketCap, .start = uR"("時価総額\",\"value\":\")", .end = kQ, .startEtf = uR"("純資産\",\"value\":\")" },
    { .text = Text::Section, .slot = SlotUnit, .start = uR"("単元株数\",\"value\":\")", .end = kQ, .startEtf = uR"("売買単位\",\"value\":\")" },
    { .text = Text::Section, .slot = SlotSharesIssued, .start = uR"("発行済株式数\",\"value\":\")", .end = kQ, .startReit = uR"("発行済投資口数\",\"value\":\")" },

    // Indicators: the entry up to its "}" first, then its value. A missing entry leaves the
    // previous entry in Sub.
    { .text = Text::Section, .into = Into::Sub, .start = uR"("1株配当\",\"subText\":\")", .end = u"}", .startReit = uR"("予想分配金\",\"subText\":\")" },
    { .text = Text::Sub, .slot = SlotDividend, .start = uR"(value\":\")", .end = kQ },
    { .text = Text::Section, .into = Into::Sub, .start = uR"("配当利回り\",\"subText\":\")", .end = u"}", .startReit = uR"("分配金利回り\",\"subText\":\")" },
    { .text = Text::Sub, .slot = SlotYield, .start = uR"(value\":\")", .end = kQ },
    { .text = Text::Section, .into = Into::Sub, .start = uR"("PER\",\"subText\":\")", .end = u"}" },
    { .text = Text::Sub, .slot = SlotPer, .start = uR"(value\":\")", .end = kQ },
    { .text = Text::Section, .into = Into::Sub, .start = uR"("PBR\",\"subText\":\")", .end = u"}" },
    { .text = Text::Sub, .slot = SlotPbr, .start = uR"(value\":\")", .end = kQ },
    { .text = Text::Section, .into = Into::Sub, .start = uR"("EPS\",\"subText\":\")", .end = u"}" },
    { .text = Text::Sub, .slot = SlotEps, .start = uR"(value\":\")", .end = kQ },
    { .text = Text::Section, .into = Into::Sub, .start = uR"("BPS\",\"subText\":\")", .end = u"}" },
    { .text = Text::Sub, .slot = SlotBps, .start = uR"(value\":\")", .end = kQ },
    { .text = Text::Section, .into = Into::Sub, .start = uR"("ROE\",\"subText\":\")", .end = u"}" },
    { .text = Text::Sub, .slot = SlotRoe, .start = uR"(value\":\")", .end = kQ },
    { .text = Text::Section, .into = Into::Sub, .start = uR"("自己資本比率\",\"subText\":\")", .end = u"}" },
    { .text = Text::Sub, .slot = SlotCar, .start = uR"(value\":\")", .end = kQ },

    { .text = Text::Section, .slot = SlotMinPurchase, .start = uR"("最低購入代金\",\"value\":\")", .end = kQ },
    { .text = Text::Section, .slot = SlotYearHigh, .start = uR"("年初来高値\",\"value\":\")", .end = kQ },
    { .text = Text::Section, .slot = SlotYearLow, .start = uR"("年初来安値\",\"value\":\")", .end = kQ },
    // Each week-on-week change is the one that follows its balance.
    { .text = Text::Section, .slot = SlotMarginBuy, .start = uR"("信用買残\",\"primary\":{\"value\":\")", .end = kQ, .save = 1 },
    { .text = Text::Section, .slot = SlotMarginBuyChange, .start = uR"("前週比\",\"primary\":{\"value\":\")", .end = kQ, .from = 1 },
    { .text = Text::Section, .slot = SlotMarginSell, .start = uR"("信用売残\",\"primary\":{\"value\":\")", .end = kQ, .save = 1 },
    { .text = Text::Section, .slot = SlotMarginSellChange, .start = uR"("前週比\",\"primary\":{\"value\":\")", .end = kQ, .from = 1 },
    { .text = Text::Section, .slot = SlotMarginRatio, .start = uR"("信用倍率\",\"primary\":{\"value\":\")", .end = kQ },
};
// clang-format on
static_assert(IsValidProgram(kSteps));

} // namespace

void ParseDomesticStockPage(QStringView page, QuoteRecord &result)
{
    Run(kSteps, page, result);
}
