#include "SamplePages.h"

#include "quotes/QuoteRecord.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace samplesite {

namespace {

// One security of the sample site. Prices move around basePrice with the request counter.
struct Security {
    const char16_t *code;
    PageKind kind;
    const char16_t *name;
    const char16_t *market; // market label; investment trusts: the fund category
    char16_t suffix; // exchange letter of domestic codes
    const char16_t *type; // domestic stocks: item type; foreign stocks: industry
    double basePrice;
    int decimals;
    double baseVolume;
    double dividend; // per share (REIT: per unit); 0 = none
    double sharesIssued;
    double unit; // trading unit
    bool limitHigh; // trades at its daily limit high
};

// Fund names are held on their page as \u escapes, as the site does for that page kind.
const Security kSecurities[] = {
    { u"7203", PageKind::DomesticStock, u"トヨタ自動車(株)", u"東証PRM", u'T', u"stock", 2845.5, 1, 24.0e6,
        90, 15794987460, 100, false },
    { u"6758", PageKind::DomesticStock, u"ソニーグループ(株)", u"東証PRM", u'T', u"stock", 3456, 0, 8.5e6, 20,
        6149810645, 100, false },
    { u"3350", PageKind::DomesticStock, u"(株)メタプラネット", u"東証STD", u'T', u"stock", 1234, 0, 60.0e6, 0,
        681000000, 100, true },
    { u"8306", PageKind::DomesticStock, u"(株)三菱UFJフィナンシャル・グループ", u"東証PRM", u'T', u"stock",
        1987.5, 1, 40.0e6, 64, 12067000000, 100, false },
    { u"9432", PageKind::DomesticStock, u"日本電信電話(株)", u"東証PRM", u'T', u"stock", 152.3, 1, 120.0e6,
        5.2, 90551000000, 100, false },
    { u"7974", PageKind::DomesticStock, u"任天堂(株)", u"東証PRM", u'T', u"stock", 11250, 0, 6.0e6, 120,
        1298690000, 100, false },
    { u"1321", PageKind::DomesticStock, u"NEXT FUNDS 日経225連動型上場投信", u"東証ETF", u'T', u"etf", 41250,
        0, 0.3e6, 650, 280000000, 1, false },
    { u"8951", PageKind::DomesticStock, u"日本ビルファンド投資法人", u"東証", u'T', u"reit", 132900, 0, 15000,
        3100, 8396000, 1, false },
    { u"998407", PageKind::DomesticIndex, u"日経平均株価", u"大証", u'O', u"", 38123.45, 2, 0, 0, 0, 0,
        false },
    { u"998405", PageKind::DomesticIndex, u"TOPIX", u"東証", u'T', u"", 2712.34, 2, 0, 0, 0, 0, false },
    { u"AAPL", PageKind::ForeignStock, u"アップル", u"NASDAQ", 0, u"テクノロジー", 189.84, 2, 52.0e6, 0.96,
        15334000000, 1, false },
    { u"MSFT", PageKind::ForeignStock, u"マイクロソフト", u"NASDAQ", 0, u"テクノロジー", 421.56, 2, 20.0e6,
        3.0, 7433000000, 1, false },
    { u"0331418A", PageKind::Fund, u"eMAXIS Slim 米国株式(S&P500)", u"追加型投信／海外／株式", 0, u"", 33123,
        0, 0, 0, 0, 0, false },
    { u"03311187", PageKind::Fund, u"eMAXIS Slim 全世界株式(オール・カントリー)", u"", 0, u"", 27456, 0, 0, 0,
        0, 0, false },
    { u"^DJI", PageKind::WorldIndex, u"NYダウ", u"米国", 0, u"", 44123.45, 2, 350.0e6, 0, 0, 0, false },
    { u"^N225", PageKind::WorldIndex, u"日経平均株価", u"日本", 0, u"", 38123.45, 2, 1.2e9, 0, 0, 0, false },
};

// Rankings list the domestic securities (not the indices) ordered by one figure.
struct Ranking {
    const char16_t *name;
    const char16_t *title;
    int slot; // the figure the ranking orders by
    bool ascending;
};

const Ranking kRankings[] = {
    { u"tradingValueHigh", u"売買代金上位", SlotTradingValue, false },
    { u"tradingValueLow", u"売買代金下位", SlotTradingValue, true },
    { u"up", u"値上がり率", SlotRatio, false },
    { u"down", u"値下がり率", SlotRatio, true },
    { u"volume", u"出来高", SlotVolume, false },
    { u"dividendYield", u"配当利回り", SlotYield, false },
};

QString grouped(double value, int decimals)
{
    static const QLocale english(QLocale::English, QLocale::UnitedStates);
    return english.toString(value, 'f', decimals);
}

double roundTo(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

// Reads a number back from its grouped text ("2,845.5"); "---" reads as 0.
double numberOf(const QString &text)
{
    QString plain = text;
    plain.remove(u',');
    bool ok = false;
    const double value = plain.toDouble(&ok);
    return ok ? value : 0.0;
}

const Security *findSecurity(const QString &code)
{
    for (const Security &s : kSecurities) {
        if (code == QStringView(s.code))
            return &s;
    }
    // A domestic code may carry its exchange suffix: 7203.T is the page of 7203.
    const qsizetype dot = code.indexOf(u'.');
    if (dot > 0 && dot == code.size() - 2) {
        for (const Security &s : kSecurities) {
            if (s.suffix && code.left(dot) == QStringView(s.code) && code.at(dot + 1) == QChar(s.suffix))
                return &s;
        }
    }
    return nullptr;
}

SampleQuote valuesOf(const Security &s, quint64 counter)
{
    SampleQuote q;
    q.code = QString::fromUtf16(s.code);
    q.kind = s.kind;
    if (s.kind == PageKind::DomesticStock)
        q.itemType = QString::fromUtf16(s.type);
    if (s.kind == PageKind::ForeignStock)
        q.industryName = QString::fromUtf16(s.type);
    if (s.suffix)
        q.exchangeSuffix = QChar(s.suffix);
    q.highAtLimit = s.limitHigh;

    int seed = 0;
    for (const char16_t *c = s.code; *c; ++c)
        seed += *c;
    const double t = static_cast<double>(counter % 100000);
    const int d = s.decimals;
    const double previous = s.basePrice;
    const double limitRange = roundTo(previous * 0.2, 0);
    const double price = s.limitHigh ? previous + limitRange
                                     : roundTo(previous * (1.0 + 0.02 * std::sin(0.9 * t + seed)), d);
    const double change = roundTo(price - previous, d);
    const double rate = change / previous * 100.0;
    const double open = roundTo(previous * (1.0 + 0.006 * std::sin(seed)), d);
    const double spread = 0.002 + 0.002 * (1.0 + std::sin(1.3 * t + seed));
    const double high = s.limitHigh ? price : roundTo(std::max(open, price) * (1.0 + spread), d);
    const double low = roundTo(std::min(open, price) * (1.0 - spread), d);
    const double volume = std::round(s.baseVolume + t * 1300.0 + (seed % 7) * 1000.0);

    auto &v = q.values;
    v[SlotName] = QString::fromUtf16(s.name);
    v[SlotMarket] = QString::fromUtf16(s.market);
    v[SlotPrice] = grouped(price, d);
    v[SlotDifference] = grouped(change, d);
    v[SlotRatio] = grouped(rate, 2);
    if (s.kind == PageKind::Fund)
        return q;

    v[SlotPrevClose] = grouped(previous, d);
    v[SlotOpen] = grouped(open, d);
    v[SlotHigh] = grouped(high, d);
    v[SlotLow] = grouped(low, d);
    v[SlotYearHigh] = grouped(roundTo(previous * 1.25, d), d);
    v[SlotYearLow] = grouped(roundTo(previous * 0.78, d), d);
    if (s.kind == PageKind::DomesticIndex)
        return q;
    v[SlotVolume] = grouped(volume, 0);
    if (s.kind == PageKind::WorldIndex)
        return q;

    const double earnings = previous / (12.0 + seed % 8);
    const double book = previous / (1.0 + (seed % 5) * 0.3);
    v[SlotTradingValue] = grouped(std::round(volume * price / 1000.0), 0);
    v[SlotMarketCap] = grouped(std::round(price * s.sharesIssued / 1.0e6), 0);
    v[SlotSharesIssued] = grouped(s.sharesIssued, 0);
    v[SlotPer] = grouped(price / earnings, 2);
    v[SlotPbr] = grouped(price / book, 2);
    v[SlotEps] = grouped(earnings, 2);
    v[SlotBps] = grouped(book, 2);
    if (s.kind == PageKind::ForeignStock)
        return q;

    const bool etf = q.itemType == u"etf";
    v[SlotDividend] = s.dividend > 0 ? grouped(s.dividend, 2) : u"---"_s;
    v[SlotYield] = s.dividend > 0 ? grouped(s.dividend / price * 100.0, 2) : u"---"_s;
    v[SlotPriceLimit] = grouped(previous - limitRange, 0) + u"～"_s + grouped(previous + limitRange, 0);
    if (etf) {
        v[SlotPer] = v[SlotPbr] = v[SlotEps] = v[SlotBps] = u"---"_s;
        v[SlotRoe] = v[SlotCar] = u"---"_s;
    } else {
        v[SlotRoe] = grouped(earnings / book * 100.0, 2);
        v[SlotCar] = grouped(20.0 + seed % 50, 1);
    }
    v[SlotMinPurchase] = grouped(price * s.unit, 0);
    v[SlotUnit] = grouped(s.unit, 0);
    const double buy = 1.0e6 + seed * 1000.0 + t * 100.0;
    const double sell = 2.0e5 + seed * 300.0 + t * 40.0;
    v[SlotMarginBuy] = grouped(buy, 0);
    v[SlotMarginBuyChange] = (t > 0 ? u"+"_s : QString()) + grouped(t * 100.0, 0);
    v[SlotMarginSell] = grouped(sell, 0);
    v[SlotMarginSellChange] = grouped(-t * 40.0, 0);
    v[SlotMarginRatio] = grouped(buy / sell, 2);
    return q;
}

// Quotes of JSON become backslash-quote: the form in which the site embeds data inside a
// script string.
QString escapedJson(QString json)
{
    return json.replace(u'"', u"\\\""_s);
}

QString member(const QString &key, const QString &value)
{
    return u"\""_s + key + u"\":\""_s + value + u"\""_s;
}

// A figure of the domestic detail lists: {"name":"<title>",...fields}.
QString entry(const QString &title, const QString &fields)
{
    return u"{\"name\":\""_s + title + u"\","_s + fields + u"}"_s;
}

QString valueEntry(const QString &title, const QString &value, const QString &more = {})
{
    return entry(title, member(u"value"_s, value) + more);
}

QString subTextEntry(const QString &title, const QString &subText, const QString &value)
{
    return entry(title, member(u"subText"_s, subText) + u","_s + member(u"value"_s, value));
}

QString primaryEntry(const QString &title, const QString &value)
{
    return u"{\"name\":\""_s + title + u"\",\"primary\":{"_s + member(u"value"_s, value)
        + u",\"suffix\":\"株\"}}"_s;
}

QString limitEntry(const QString &title, const QString &value, bool atLimit)
{
    return valueEntry(title, value,
        u",\"time\":\"10:12\","_s + member(u"priceLimitType"_s, atLimit ? u"stopHigh"_s : u"$undefined"_s));
}

QString domesticStockJson(const SampleQuote &q)
{
    const auto &v = q.values;
    const bool etf = q.itemType == u"etf";
    const bool reit = q.itemType == u"reit";
    QString board = u"{\"mainStocksPriceBoard\":{\"stocksContents\":{"_s
        + member(u"code"_s, q.code + u'.' + q.exchangeSuffix) + u","_s + member(u"itemType"_s, q.itemType)
        + u","_s + member(u"name"_s, v[SlotName]) + u",\"market\":{"_s + member(u"label"_s, v[SlotMarket])
        + u",\"code\":\"tokyo\"},\"price\":{"_s + member(u"value"_s, v[SlotPrice])
        + u",\"unit\":\"円\"},\"priceChange\":{"_s + member(u"value"_s, v[SlotDifference])
        + u"},\"priceChangeRate\":{"_s + member(u"value"_s, v[SlotRatio])
        + u"},\"priceDateTime\":\"15:30\",\"statusLabel\":\"リアルタイム株価\"}},"_s;

    QString margin = u"{\"head\":\"信用取引情報\",\"items\":["_s
        + primaryEntry(u"信用買残"_s, v[SlotMarginBuy]) + u","_s
        + primaryEntry(u"前週比"_s, v[SlotMarginBuyChange]) + u","_s
        + primaryEntry(u"信用売残"_s, v[SlotMarginSell]) + u","_s
        + primaryEntry(u"前週比"_s, v[SlotMarginSellChange]) + u","_s
        + entry(u"信用倍率"_s,
            u"\"primary\":{"_s + member(u"value"_s, v[SlotMarginRatio]) + u",\"suffix\":\"倍\"}"_s)
        + u"]}"_s;
    QString reference = u"\"referenceIndex\":["_s + valueEntry(u"前日終値"_s, v[SlotPrevClose]) + u","_s
        + valueEntry(u"始値"_s, v[SlotOpen], u",\"time\":\"09:00\""_s) + u","_s
        + limitEntry(u"高値"_s, v[SlotHigh], q.highAtLimit) + u","_s
        + limitEntry(u"安値"_s, v[SlotLow], false) + u","_s
        + valueEntry(u"出来高"_s, v[SlotVolume], u",\"suffix\":\"株\""_s) + u","_s
        + valueEntry(u"売買代金"_s, v[SlotTradingValue], u",\"suffix\":\"千円\""_s) + u","_s
        + valueEntry(u"値幅制限"_s, v[SlotPriceLimit]) + u","_s
        + valueEntry(etf ? u"純資産"_s : u"時価総額"_s, v[SlotMarketCap], u",\"suffix\":\"百万円\""_s)
        + u","_s + valueEntry(reit ? u"発行済投資口数"_s : u"発行済株式数"_s, v[SlotSharesIssued]) + u","_s
        + subTextEntry(reit ? u"予想分配金"_s : u"1株配当"_s, u"(2026/03)"_s, v[SlotDividend]) + u","_s
        + subTextEntry(reit ? u"分配金利回り"_s : u"配当利回り"_s, u"(2026/03)"_s, v[SlotYield]) + u","_s
        + subTextEntry(u"PER"_s, u"(連) "_s, v[SlotPer]) + u","_s
        + subTextEntry(u"PBR"_s, u"(連) "_s, v[SlotPbr]) + u","_s
        + subTextEntry(u"EPS"_s, u"(連) "_s, v[SlotEps]) + u","_s
        + subTextEntry(u"BPS"_s, u"(連) "_s, v[SlotBps]) + u","_s
        + subTextEntry(u"ROE"_s, u"(連) "_s, v[SlotRoe]) + u","_s
        + subTextEntry(u"自己資本比率"_s, u"(連) "_s, v[SlotCar]) + u","_s
        + valueEntry(u"最低購入代金"_s, v[SlotMinPurchase]) + u","_s
        + valueEntry(etf ? u"売買単位"_s : u"単元株数"_s, v[SlotUnit]) + u","_s
        + valueEntry(u"年初来高値"_s, v[SlotYearHigh]) + u","_s + valueEntry(u"年初来安値"_s, v[SlotYearLow])
        + u"]"_s;
    return board + u"\"mainStocksDetail\":{\"margin\":"_s + margin + u","_s + reference
        + u",\"crossStatus\":\"none\"}}"_s;
}

QString domesticIndexJson(const SampleQuote &q)
{
    const auto &v = q.values;
    return u"{\"mainDomesticIndexPriceBoard\":{\"indexInfo\":{"_s + member(u"code"_s, q.code) + u","_s
        + member(u"name"_s, v[SlotName]) + u","_s + member(u"marketName"_s, v[SlotMarket]) + u","_s
        + member(u"price"_s, v[SlotPrice]) + u","_s + member(u"changePrice"_s, v[SlotDifference]) + u","_s
        + member(u"changePriceRate"_s, v[SlotRatio])
        + u",\"updateDateTime\":\"15:15\"}},\"pageInfo\":{\"currentTabNavigationKey\":\"top\"},"_s
        + u"\"mainDomesticIndexDetail\":{"_s + member(u"previousPrice"_s, v[SlotPrevClose]) + u","_s
        + member(u"openPrice"_s, v[SlotOpen]) + u","_s + member(u"highPrice"_s, v[SlotHigh]) + u","_s
        + member(u"lowPrice"_s, v[SlotLow]) + u","_s + member(u"highPrice52"_s, v[SlotYearHigh]) + u","_s
        + member(u"lowPrice52"_s, v[SlotYearLow]) + u"},\"mainDomesticIndexNews\":{\"articles\":[]}}"_s;
}

// A figure of the foreign detail blocks: "key":{"label":...,"value":"..."}.
QString figure(const QString &key, const QString &label, const QString &value)
{
    return u"\""_s + key + u"\":{"_s + member(u"label"_s, label) + u","_s + member(u"value"_s, value)
        + u"}"_s;
}

QString foreignStockJson(const SampleQuote &q)
{
    const auto &v = q.values;
    return u"{\"mainUsStocksProfile\":{"_s + member(u"industryName"_s, q.industryName)
        + u"},\"mainUsStocksPriceBoard\":{"_s + member(u"code"_s, q.code) + u","_s
        + member(u"name"_s, v[SlotName]) + u","_s + member(u"label"_s, v[SlotMarket]) + u","_s
        + member(u"price"_s, v[SlotPrice]) + u","_s + member(u"priceChange"_s, v[SlotDifference]) + u","_s
        + member(u"priceChangeRate"_s, v[SlotRatio])
        + u"},\"pageInfo\":{\"currentTabNavigationKey\":\"top\"},\"mainUsStocksDataList\":{"_s
        + figure(u"previousPrice"_s, u"前日終値"_s, v[SlotPrevClose]) + u","_s
        + figure(u"openPrice"_s, u"始値"_s, v[SlotOpen]) + u","_s
        + figure(u"highPrice"_s, u"高値"_s, v[SlotHigh]) + u","_s
        + figure(u"lowPrice"_s, u"安値"_s, v[SlotLow]) + u","_s
        + figure(u"volume"_s, u"出来高"_s, v[SlotVolume]) + u","_s
        + figure(u"tradingValue"_s, u"売買代金"_s, v[SlotTradingValue])
        + u"},\"mainUsStocksReferenceIndex\":{"_s + figure(u"totalPrice"_s, u"時価総額"_s, v[SlotMarketCap])
        + u","_s + figure(u"sharesIssued"_s, u"発行済株式数"_s, v[SlotSharesIssued]) + u","_s
        + figure(u"per"_s, u"PER"_s, v[SlotPer]) + u","_s + figure(u"pbr"_s, u"PBR"_s, v[SlotPbr]) + u","_s
        + figure(u"eps"_s, u"EPS"_s, v[SlotEps]) + u","_s + figure(u"bps"_s, u"BPS"_s, v[SlotBps]) + u","_s
        + figure(u"highPrice52"_s, u"52週高値"_s, v[SlotYearHigh]) + u","_s
        + figure(u"lowPrice52"_s, u"52週安値"_s, v[SlotYearLow])
        + u"},\"mainDetailChartSetting\":{\"term\":\"1d\"}}"_s;
}

// Non-ASCII characters as \u escapes: the fund page holds its names this way.
QString unicodeEscaped(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            out += c;
        else
            out += u"\\u"_s + QString::number(c.unicode(), 16).rightJustified(4, u'0');
    }
    return out;
}

QString fundJson(const SampleQuote &q)
{
    const auto &v = q.values;
    return u"{\"publicRelations\":{\"banners\":[]},\"mainFundPriceBoard\":{\"fundPrices\":{"_s
        + member(u"code"_s, q.code) + u","_s + member(u"name"_s, unicodeEscaped(v[SlotName])) + u","_s
        + member(u"marketName"_s, v[SlotMarket]) + u","_s + member(u"price"_s, v[SlotPrice]) + u","_s
        + member(u"changePrice"_s, v[SlotDifference]) + u","_s + member(u"changePriceRate"_s, v[SlotRatio])
        + u",\"updateDate\":\"12/05\"}},\"pageInfo\":{\"currentTabNavigationKey\":\"top\"}}"_s;
}

QString worldIndexJson(const SampleQuote &q)
{
    const auto &v = q.values;
    return u"{\"mainWorldIndexPriceBoard\":{\"priceBoard\":{"_s + member(u"code"_s, q.code) + u","_s
        + member(u"name"_s, v[SlotName]) + u",\"price\":{"_s + member(u"value"_s, v[SlotPrice])
        + u",\"unit\":\"\"},\"change\":{"_s + member(u"changePrice"_s, v[SlotDifference]) + u","_s
        + member(u"changePriceRate"_s, v[SlotRatio]) + u"},\"updateDateTime\":\"06:00\"}},"_s
        + u"\"mainWorldIndexDetail\":{"_s + member(u"code"_s, q.code)
        + u",\"crossStatus\":\"none\",\"detail\":{"_s + member(u"previousPrice"_s, v[SlotPrevClose]) + u","_s
        + member(u"openPrice"_s, v[SlotOpen]) + u","_s + member(u"highPrice"_s, v[SlotHigh]) + u","_s
        + member(u"lowPrice"_s, v[SlotLow]) + u","_s + member(u"volume"_s, v[SlotVolume]) + u","_s
        + member(u"highPrice52"_s, v[SlotYearHigh]) + u","_s + member(u"lowPrice52"_s, v[SlotYearLow])
        + u"}}}"_s;
}

// Markup that fills a page to a realistic size. It holds no "." and no quotes, so it can
// never complete a marker or a "<code>." that the program searches for.
const QString &paddingUnit()
{
    static const QString unit = u"<li class=_NewsItem__item_k7x2p_1><a href=/news/detail/sample "
                                u"class=_NewsItem__link_k7x2p_5><span class=_NewsItem__title_k7x2p_9>"
                                u"マーケット概況 きょうの株式市場の動き</span></a></li>\n"_s;
    return unit;
}

QString padding(qint64 bytes)
{
    if (bytes <= 0)
        return {};
    static const qint64 unitBytes = paddingUnit().toUtf8().size();
    const qint64 units = bytes / unitBytes;
    QString out;
    out.reserve(static_cast<qsizetype>(units * paddingUnit().size() + unitBytes));
    for (qint64 i = 0; i < units; ++i)
        out += paddingUnit();
    out += QString(static_cast<qsizetype>(bytes - units * unitBytes), u' ');
    return out;
}

qint64 defaultSize(PageKind kind)
{
    switch (kind) {
    case PageKind::DomesticStock:
        return 650 * 1024;
    case PageKind::DomesticIndex:
        return 400 * 1024;
    case PageKind::ForeignStock:
        return 500 * 1024;
    case PageKind::Fund:
        return 350 * 1024;
    case PageKind::WorldIndex:
        return 450 * 1024;
    }
    return 300 * 1024;
}

// Puts the page together: head, the first half of the padding, the visible part, the data
// script, the second half of the padding.
QString assemble(const QString &title, const QString &headExtra, const QString &visible,
    const QString &script, qint64 targetBytes, const PageOptions &options)
{
    const QString head = u"<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\""_s + options.charset
        + u"\"><title>"_s + title + u"</title>\n"_s + headExtra + u"</head>\n<body><div id=\"root\">\n"_s;
    const QString tail = u"</div></body></html>\n"_s;
    qint64 missing = 0;
    if (targetBytes > 0) {
        const qint64 size = head.toUtf8().size() + visible.toUtf8().size() + script.toUtf8().size()
            + static_cast<qint64>(tail.size());
        missing = std::max<qint64>(0, targetBytes - size);
    }
    return head + padding(missing / 2) + visible + script + padding(missing - missing / 2) + tail;
}

qint64 targetSize(PageKind kind, const PageOptions &options)
{
    return options.padBytes < 0 ? defaultSize(kind) : options.padBytes;
}

QString visibleBoard(const SampleQuote &q)
{
    return u"<main><section class=\"_PriceBoard__main\"><h2 class=\"_PriceBoard__name\">"_s
        + q.values[SlotName] + u"</h2><span class=\"_PriceBoard__price\">"_s + q.values[SlotPrice]
        + u"</span></section></main>\n"_s;
}

QString nextScript(const QString &json)
{
    return u"<script>self.__next_f.push([1,\""_s + escapedJson(json) + u"\"])</script>\n"_s;
}

QString preloadedScript(const QString &json)
{
    return u"<script>window.__PRELOADED_STATE__ = "_s + json + u"</script>\n"_s;
}

} // namespace

QStringList SampleCodes()
{
    QStringList codes;
    for (const Security &s : kSecurities)
        codes << QString::fromUtf16(s.code);
    return codes;
}

std::optional<SampleQuote> QuoteValues(const QString &code, quint64 counter)
{
    const Security *s = findSecurity(code);
    if (!s)
        return std::nullopt;
    return valuesOf(*s, counter);
}

QString QuotePage(const QString &code, quint64 counter, const PageOptions &options)
{
    const std::optional<SampleQuote> quote = QuoteValues(code, counter);
    if (!quote)
        return {};
    const SampleQuote &q = *quote;
    const QString title = q.values[SlotName] + u"【"_s + q.code + u"】：株価・株式情報 - サンプル株価"_s;
    const qint64 target = targetSize(q.kind, options);
    // Domestic pages name the code with its exchange suffix before anything else does.
    const QString canonical = q.exchangeSuffix.isNull()
        ? QString()
        : u"<link rel=\"canonical\" href=\"/quote/"_s + q.code + u'.' + q.exchangeSuffix + u"\">\n"_s;
    switch (q.kind) {
    case PageKind::DomesticStock:
        return assemble(title, canonical, visibleBoard(q), nextScript(domesticStockJson(q)), target, options);
    case PageKind::DomesticIndex:
        return assemble(
            title, canonical, visibleBoard(q), preloadedScript(domesticIndexJson(q)), target, options);
    case PageKind::ForeignStock:
        return assemble(
            title, QString(), visibleBoard(q), preloadedScript(foreignStockJson(q)), target, options);
    case PageKind::Fund:
        return assemble(title, QString(), visibleBoard(q), nextScript(fundJson(q)), target, options);
    case PageKind::WorldIndex: {
        // The market label is read from the page's markup, by the class name of its element.
        const QString menu
            = u"<div class=\"_PriceBoardMenu__menu_92n65_1\"><span class=\"_PriceBoardMenu__label_92n65_18\">"_s
            + q.values[SlotMarket] + u"</span></div>\n"_s;
        return assemble(
            title, QString(), menu + visibleBoard(q), nextScript(worldIndexJson(q)), target, options);
    }
    }
    return {};
}

QStringList RankingNames()
{
    QStringList names;
    for (const Ranking &r : kRankings)
        names << QString::fromUtf16(r.name);
    return names;
}

QStringList RankingCodes(const QString &name, quint64 counter)
{
    const Ranking *ranking = nullptr;
    for (const Ranking &r : kRankings) {
        if (name == QStringView(r.name))
            ranking = &r;
    }
    if (!ranking)
        return {};
    struct Ranked {
        QString code;
        double figure;
        int order;
    };
    std::vector<Ranked> ranked;
    int order = 0;
    for (const Security &s : kSecurities) {
        if (s.kind != PageKind::DomesticStock)
            continue;
        const SampleQuote q = valuesOf(s, counter);
        const QString &text = q.values[static_cast<size_t>(ranking->slot)];
        if (ranking->slot == SlotYield && text == u"---")
            continue; // no dividend, no place in the yield ranking
        ranked.push_back({ q.code, numberOf(text), order++ });
    }
    std::stable_sort(ranked.begin(), ranked.end(), [ranking](const Ranked &a, const Ranked &b) {
        return ranking->ascending ? a.figure < b.figure : a.figure > b.figure;
    });
    QStringList codes;
    for (const Ranked &r : ranked)
        codes << r.code;
    return codes;
}

QString RankingPage(const QString &name, quint64 counter, const PageOptions &options)
{
    const QStringList codes = RankingCodes(name, counter);
    if (codes.isEmpty())
        return {};
    QString title;
    for (const Ranking &r : kRankings) {
        if (name == QStringView(r.name))
            title = QString::fromUtf16(r.title);
    }
    QString list;
    int rank = 0;
    for (const QString &code : codes) {
        const SampleQuote q = *QuoteValues(code, counter);
        if (rank > 0)
            list += u","_s;
        ++rank;
        list += u"{"_s + member(u"rank"_s, QString::number(rank)) + u","_s + member(u"stockCode"_s, code)
            + u","_s + member(u"stockName"_s, q.values[SlotName]) + u","_s
            + member(u"marketName"_s, q.values[SlotMarket]) + u","_s
            + member(u"savePrice"_s, q.values[SlotPrice]) + u",\"rankingResult\":{"_s
            + member(u"figure"_s, q.values[SlotTradingValue]) + u"}}"_s;
    }
    const QString json = u"{\"mainRankingList\":{\"results\":["_s + list
        + u"]},\"pageInfo\":{\"currentTabNavigationKey\":\"ranking\",\"totalCount\":\""_s
        + QString::number(rank) + u"\"}}"_s;
    const qint64 target = options.padBytes < 0 ? 300 * 1024 : options.padBytes;
    const QString visible = u"<main><h1>"_s + title + u"ランキング</h1></main>\n"_s;
    return assemble(title + u" - ランキング - サンプル株価"_s, QString(), visible, preloadedScript(json),
        target, options);
}

QString IndexPage()
{
    QString items;
    for (const Security &s : kSecurities) {
        const QString code = QString::fromUtf16(s.code);
        QString path = code;
        path.replace(u'^', u"%5E"_s);
        items += u"<li><a href=\"quote/"_s + path + u"\">"_s + code + u" "_s + QString::fromUtf16(s.name)
            + u"</a></li>\n"_s;
    }
    for (const Ranking &r : kRankings) {
        items += u"<li><a href=\"stocks/ranking/"_s + QString::fromUtf16(r.name)
            + u"?market=all&amp;term=daily\">"_s + QString::fromUtf16(r.title) + u"</a></li>\n"_s;
    }
    return u"<!DOCTYPE html>\n<html lang=\"ja\"><head><meta "
           u"charset=\"UTF-8\"><title>サンプル株価</title></head>"
           u"<body><h1>サンプル株価</h1><ul>\n"_s
        + items + u"</ul></body></html>\n"_s;
}

} // namespace samplesite
