#include "tools/common/SiteShapedRows.h"

#include <random>

using namespace Qt::StringLiterals;

namespace {

QString grouped(qint64 v)
{
    QString digits = QString::number(v < 0 ? -v : v);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u',');
    return v < 0 ? u'-' + digits : digits;
}

} // namespace

RecordMap MakeSiteShapedRows(int count)
{
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> price(100, 5000000);
    std::uniform_int_distribution<int> change(-50000, 50000);
    std::uniform_int_distribution<qint64> volume(0, 300000000);
    std::uniform_int_distribution<int> kana(0x30A2, 0x30F3);
    std::uniform_int_distribution<int> length(3, 12);
    RecordMap map;
    for (int i = 0; map.size() < static_cast<size_t>(count); ++i) {
        QString code;
        switch (i % 10) {
        case 7:
            code = QString::number(1000 + i % 9000) + u".T"_s;
            break;
        case 8:
            code = QString::number(1000 + i) + u'A';
            break;
        case 9:
            code = u"^X"_s + QString::number(i);
            break;
        default:
            code = QString::number(1000 + i);
            break;
        }
        auto r = std::make_unique<QuoteRecord>(code);
        QString name;
        for (int n = length(rng); n > 0; --n)
            name += QChar(kana(rng));
        r->values.set(SlotName, name + u"ホールディングス"_s);
        r->values.set(SlotMarket, u"東証プライム"_s);
        for (int slot : { SlotPrice, SlotOpen, SlotHigh, SlotLow, SlotPrevClose, SlotYearHigh, SlotYearLow,
                 SlotBps, SlotEps }) {
            const int p = price(rng);
            r->values.set(static_cast<size_t>(slot),
                grouped(p / 100) + u'.' + QString::number(p % 100).rightJustified(2, u'0'));
        }
        const int c = change(rng);
        r->values.set(SlotDifference, (c > 0 ? u"+"_s : QString()) + QString::number(c / 100.0, 'f', 2));
        r->values.set(SlotRatio, (c > 0 ? u"+"_s : QString()) + QString::number(c / 1000.0, 'f', 2) + u'%');
        for (int slot : { SlotVolume, SlotTradingValue, SlotMarketCap, SlotSharesIssued, SlotMarginBuy,
                 SlotMarginSell, SlotMinPurchase })
            r->values.set(static_cast<size_t>(slot), grouped(volume(rng)));
        r->values.set(SlotPriceLimit, u"1,500～2,500"_s);
        for (int slot : { SlotDividend, SlotYield, SlotPer, SlotPbr, SlotRoe, SlotCar, SlotMarginRatio,
                 SlotMarginBuyChange, SlotMarginSellChange, SlotUnit })
            r->values.set(static_cast<size_t>(slot), QString::number(change(rng) / 100.0, 'f', 2));
        r->has_holdings = i % 3 == 0;
        r->amount = price(rng);
        r->shares = 100;
        r->loss = change(rng);
        r->memo = u"メモ"_s;
        map[code] = std::move(r);
    }
    return map;
}
