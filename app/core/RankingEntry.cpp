#include "app/core/RankingEntry.h"

#include "quotes/PageScan.h"
#include "quotes/SiteRoot.h"
#include "quotes/fetch/HttpRequest.h"

using namespace Qt::StringLiterals;

namespace {

constexpr RankingEntry kRankings[] = {
    { u"tradingValueHigh?market=all&term=daily", u"売買代金上位", FieldTradingValue, false },
    { u"tradingValueLow?market=all&term=daily", u"売買代金下位", FieldTradingValue, true },
    { u"up?market=all&term=daily", u"値上がり率", FieldRatio, false },
    { u"down?market=all&term=daily", u"値下がり率", FieldRatio, true },
    { u"volume?market=all&term=daily", u"出来高", FieldVolume, false },
    { u"dividendYield?market=all&term=daily", u"配当利回り", FieldYield, false },
};
static_assert(std::size(kRankings) == 6, "RankingNo indexes six rankings");

constexpr QStringView kListMarker = uR"("mainRankingList":)";
constexpr QStringView kRankMarker = uR"("rank":")";
constexpr QStringView kCodeMarker = uR"("stockCode":")";
constexpr QStringView kNameMarker = uR"("stockName":")";
constexpr QStringView kQuote = u"\"";

} // namespace

std::span<const RankingEntry> RankingEntries()
{
    return kRankings;
}

bool IsRankingIndex(int index)
{
    return index >= 0 && index < static_cast<int>(std::size(kRankings));
}

const RankingEntry &RankingEntryAt(int index)
{
    return kRankings[IsRankingIndex(index) ? index : 0];
}

QString RankingPageAddress(const RankingEntry &entry)
{
    return SiteRoot() + u"stocks/ranking/"_s + QString::fromUtf16(entry.pagePath);
}

QString RankingTitle(const RankingEntry &entry, int count)
{
    return QString::fromUtf16(entry.title) + u' ' + QString::number(count) + u" *"_s;
}

std::optional<RankingRows> ReadRankingPage(QStringView page)
{
    qsizetype pos = Find(page, 0, kListMarker);
    if (pos == kNoPos)
        return std::nullopt;
    pos += kListMarker.size();
    RankingRows rows;
    // Each cut starts behind the previous one, so a triple is three markers in page order.
    for (;;) {
        QString rank;
        QString code;
        QString name;
        pos = Cut(rank, page, pos, kRankMarker, kQuote);
        pos = Cut(code, page, pos, kCodeMarker, kQuote);
        pos = Cut(name, page, pos, kNameMarker, kQuote);
        if (pos == kNoPos)
            break;
        auto row = std::make_unique<QuoteRecord>(code);
        row->values.set(SlotName, UnescapeUnicode(name));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::optional<RankingRows> ReadRanking(const RankingEntry &entry, HttpRequest &request, QString *error)
{
    const QString address = RankingPageAddress(entry);
    QString page;
    if (!request.Get(address, page)) {
        if (error)
            *error = address + u": "_s + request.lastError();
        return std::nullopt;
    }
    std::optional<RankingRows> rows = ReadRankingPage(page);
    if (!rows && error)
        *error = address + u": the page holds no ranking list"_s;
    return rows;
}
