#pragma once

// Builders of small quote pages that follow the site's data contract: the data a parser
// looks for, embedded among HTML and JSON that a parser must skip. Every field can be
// changed or dropped, so tests can build pages with missing sections and entries.

#include <QList>
#include <QPair>
#include <QString>

namespace testpages {

using namespace Qt::StringLiterals;

// (title, value) entries in page order; an entry whose value is null is left out.
using Entries = QList<QPair<QString, QString>>;

// Plain JSON written as the escaped form of the pages that embed it in a script string:
// every quote preceded by a backslash.
inline QString escaped(const QString &json)
{
    QString out = json;
    out.replace(u'"', u"\\\""_s);
    return out;
}

// HTML and JSON that contain none of the parsers' markers, about `size` characters long.
inline QString filler(qsizetype size)
{
    static const QString chunk = u"<div class=\"row\"><span data-x=\"1\">x</span>"
                                 "<a href=\"/news/12345\">ニュース見出し</a></div>"
                                 "{\"id\":1,\"items\":[{\"title\":\"t\",\"url\":\"/u\"}]}\n"_s;
    QString out;
    out.reserve(size + chunk.size());
    while (out.size() < size)
        out += chunk;
    out.truncate(size);
    return out;
}

inline void setEntry(Entries &entries, const QString &title, const QString &value)
{
    for (auto &e : entries) {
        if (e.first == title) {
            e.second = value;
            return;
        }
    }
    entries.append({ title, value });
}

inline void dropEntry(Entries &entries, const QString &title)
{
    setEntry(entries, title, QString());
}

// Japanese stock page: stock section with the headline figures, and the detail block that
// starts at the margin-trading heading. Escaped JSON.
struct DomesticStockPage {
    bool stockSection = true;
    QString itemType = u"stock"_s;
    QString name = u"トヨタ自動車(株)"_s;
    QString label = u"東証PRM"_s;
    QString price = u"2,981.5"_s;
    QString change = u"12.5"_s;
    QString changeRate = u"0.42"_s;

    bool detailBlock = true;
    // Margin balances, each followed by its week-on-week change.
    QString marginBuy = u"1,234,500"_s;
    QString marginBuyChange = u"-12,300"_s;
    QString marginSell = u"456,700"_s;
    QString marginSellChange = u"+4,500"_s;
    QString marginRatio = u"2.70"_s;
    // Plain "value" entries by their title.
    Entries values = {
        { u"前日終値"_s, u"2,969"_s },
        { u"始値"_s, u"2,975"_s },
        { u"高値"_s, u"2,990"_s },
        { u"安値"_s, u"2,960.5"_s },
        { u"出来高"_s, u"21,546,900"_s },
        { u"売買代金"_s, u"64,170,312"_s },
        { u"値幅制限"_s, u"2,469～3,469"_s },
        { u"時価総額"_s, u"48,632,134"_s },
        { u"発行済株式数"_s, u"16,314,987,460"_s },
        { u"単元株数"_s, u"100"_s },
        { u"最低購入代金"_s, u"298,150"_s },
        { u"年初来高値"_s, u"3,891"_s },
        { u"年初来安値"_s, u"2,226.5"_s },
    };
    // Indicator entries ("subText" before the value) by their title.
    Entries indicators = {
        { u"1株配当"_s, u"90.00"_s },
        { u"配当利回り"_s, u"3.02"_s },
        { u"PER"_s, u"9.62"_s },
        { u"PBR"_s, u"1.05"_s },
        { u"EPS"_s, u"309.93"_s },
        { u"BPS"_s, u"2,842.53"_s },
        { u"ROE"_s, u"11.52"_s },
        { u"自己資本比率"_s, u"38.3"_s },
    };
    // A day at the price limit: the high or low entry lacks the "$undefined" marker.
    bool highAtLimit = false;
    bool lowAtLimit = false;
    qsizetype fillerSize = 2000;

    QString valueEntry(const QString &title, const QString &value) const
    {
        if (title == u"高値"_s || title == u"安値"_s) {
            const bool limit = title == u"高値"_s ? highAtLimit : lowAtLimit;
            return u"{\"title\":\""_s + title + u"\",\"value\":\""_s + value
                + u"\",\"time\":\"10:15\",\"limit\":\""_s + (limit ? u"stopHigh"_s : u"$undefined"_s)
                + u"\"},"_s;
        }
        return u"{\"title\":\""_s + title + u"\",\"value\":\""_s + value + u"\",\"date\":\"12/04\"},"_s;
    }

    QString json() const
    {
        QString j = u"{\"props\":{\"pageType\":\"stock\",\"x\":["_s + u"{\"title\":\"t\"}],"_s;
        if (stockSection) {
            j += u"\"stocksContents\":{\"itemType\":\""_s + itemType + u"\",\"code\":\"7203\",\"name\":\""_s
                + name + u"\",\"label\":\""_s + label + u"\",\"price\":{\"value\":\""_s + price
                + u"\",\"suffix\":\"円\"},\"priceChange\":{\"value\":\""_s + change
                + u"\"},\"priceChangeRate\":{\"value\":\""_s + changeRate
                + u"\"},\"statusLabel\":\"リアルタイム株価\",\"updateTime\":\"15:00\"},"_s;
        }
        j += u"\"news\":[{\"title\":\"決算\"}],"_s;
        if (detailBlock) {
            j += u"\"detail\":[{\"head\":\"信用取引情報\",\"items\":["_s;
            if (!marginBuy.isNull()) {
                j += u"{\"title\":\"信用買残\",\"primary\":{\"value\":\""_s + marginBuy
                    + u"\",\"suffix\":\"株\"}"_s;
                if (!marginBuyChange.isNull())
                    j += u",\"secondary\":{\"title\":\"前週比\",\"primary\":{\"value\":\""_s + marginBuyChange
                        + u"\",\"suffix\":\"株\"}}"_s;
                j += u"},"_s;
            }
            if (!marginSell.isNull()) {
                j += u"{\"title\":\"信用売残\",\"primary\":{\"value\":\""_s + marginSell
                    + u"\",\"suffix\":\"株\"}"_s;
                if (!marginSellChange.isNull())
                    j += u",\"secondary\":{\"title\":\"前週比\",\"primary\":{\"value\":\""_s
                        + marginSellChange + u"\",\"suffix\":\"株\"}}"_s;
                j += u"},"_s;
            }
            if (!marginRatio.isNull())
                j += u"{\"title\":\"信用倍率\",\"primary\":{\"value\":\""_s + marginRatio
                    + u"\",\"suffix\":\"倍\"}},"_s;
            j += u"]},{\"head\":\"参考指標\",\"items\":["_s;
            for (const auto &[title, value] : values) {
                if (!value.isNull())
                    j += valueEntry(title, value);
            }
            for (const auto &[title, value] : indicators) {
                if (!value.isNull())
                    j += u"{\"title\":\""_s + title + u"\",\"subText\":\"(連)\",\"value\":\""_s + value
                        + u"\",\"suffix\":\"倍\"},"_s;
            }
            j += u"]}],\"crossStatus\":\"none\","_s;
        }
        j += u"\"end\":true}}"_s;
        return j;
    }

    QString build() const
    {
        return u"<!DOCTYPE html><html lang=\"ja\"><head><title>株価</title></head><body>"_s
            + filler(fillerSize) + u"<script>self.__next_f.push([1,\""_s + escaped(json())
            + u"\"])</script>"_s + filler(fillerSize) + u"</body></html>"_s;
    }
};

// Plain JSON of the script after "__PRELOADED_STATE__" (domestic index and foreign pages).
inline QString preloadedPage(const QString &json, qsizetype fillerSize)
{
    return u"<html><head><script src=\"/a.js\"></script></head><body>"_s + filler(fillerSize)
        + u"<script>window.__PRELOADED_STATE__ = "_s + json + u"</script>"_s + filler(fillerSize)
        + u"</body></html>"_s;
}

inline QString jsonMembers(const Entries &entries)
{
    QString j;
    for (const auto &[key, value] : entries) {
        if (!value.isNull())
            j += u"\""_s + key + u"\":\""_s + value + u"\","_s;
    }
    return j;
}

struct DomesticIndexPage {
    bool script = true;
    bool priceBoard = true;
    bool detail = true;
    Entries board = {
        { u"name"_s, u"日経平均株価"_s },
        { u"marketName"_s, u"東証"_s },
        { u"price"_s, u"38,142.37"_s },
        { u"changePrice"_s, u"120.45"_s },
        { u"changePriceRate"_s, u"0.32"_s },
    };
    Entries details = {
        { u"previousPrice"_s, u"38,021.92"_s },
        { u"openPrice"_s, u"38,050.11"_s },
        { u"highPrice"_s, u"38,200.00"_s },
        { u"lowPrice"_s, u"37,990.54"_s },
        { u"highPrice52"_s, u"41,087.75"_s },
        { u"lowPrice52"_s, u"31,156.12"_s },
    };
    qsizetype fillerSize = 1000;

    QString json() const
    {
        QString j = u"{\"pageInfo\":{\"title\":\"指数\"},"_s;
        if (priceBoard)
            j += u"\"mainDomesticIndexPriceBoard\":{"_s + jsonMembers(board)
                + u"\"updateTime\":\"15:15\"},"_s;
        j += u"\"currentTabNavigationKey\":\"summary\","_s;
        if (detail)
            j += u"\"mainDomesticIndexDetail\":{"_s + jsonMembers(details) + u"\"x\":\"y\"},"_s;
        j += u"\"footer\":{}}"_s;
        return j;
    }

    QString build() const
    {
        if (!script)
            return filler(fillerSize) + escaped(json());
        return preloadedPage(json(), fillerSize);
    }
};

// Foreign stock: each figure of the two detail blocks is an object with a "value" member.
struct ForeignStockPage {
    QString industryName = u"電気機器"_s;
    bool priceBoard = true;
    bool dataList = true;
    bool referenceIndex = true;
    Entries board = {
        { u"name"_s, u"アップル"_s },
        { u"label"_s, u"NASDAQ"_s },
        { u"price"_s, u"190.12"_s },
        { u"priceChange"_s, u"1.50"_s },
        { u"priceChangeRate"_s, u"0.79"_s },
    };
    Entries data = {
        { u"previousPrice"_s, u"188.62"_s },
        { u"openPrice"_s, u"189.00"_s },
        { u"highPrice"_s, u"191.05"_s },
        { u"lowPrice"_s, u"188.10"_s },
        { u"volume"_s, u"52,164,521"_s },
        { u"tradingValue"_s, u"9,912,345"_s },
    };
    Entries reference = {
        { u"totalPrice"_s, u"2,946,123"_s },
        { u"sharesIssued"_s, u"15,460,223"_s },
        { u"per"_s, u"29.51"_s },
        { u"pbr"_s, u"47.10"_s },
        { u"eps"_s, u"6.44"_s },
        { u"bps"_s, u"4.04"_s },
        { u"highPrice52"_s, u"199.62"_s },
        { u"lowPrice52"_s, u"164.08"_s },
    };
    qsizetype fillerSize = 1000;

    static QString figures(const Entries &entries)
    {
        QString j;
        for (const auto &[key, value] : entries) {
            if (!value.isNull())
                j += u"\""_s + key + u"\":{\"title\":\"t\",\"value\":\""_s + value + u"\",\"unit\":\"\"},"_s;
        }
        return j;
    }

    QString json() const
    {
        QString j = u"{\"pageInfo\":{\"title\":\"米国株\"},"_s;
        if (!industryName.isNull())
            j += u"\"mainStocksDetail\":{\"industryName\":\""_s + industryName + u"\"},"_s;
        if (priceBoard)
            j += u"\"mainUsStocksPriceBoard\":{"_s + jsonMembers(board) + u"\"x\":\"y\"},"_s;
        j += u"\"currentTabNavigationKey\":\"summary\","_s;
        if (dataList)
            j += u"\"mainUsStocksDataList\":{"_s + figures(data) + u"\"x\":{}},"_s;
        if (referenceIndex)
            j += u"\"mainUsStocksReferenceIndex\":{"_s + figures(reference) + u"\"x\":{}},"_s;
        j += u"\"mainDetailChartSetting\":{}}"_s;
        return j;
    }

    QString build() const { return preloadedPage(json(), fillerSize); }
};

// Investment trust: escaped JSON; the name may be given as \u escapes.
struct FundPage {
    bool block = true;
    Entries board = {
        { u"name"_s, u"eMAXIS Slim \\u5168\\u4e16\\u754c"_s },
        { u"marketName"_s, u"追加型投信"_s },
        { u"price"_s, u"25,432"_s },
        { u"changePrice"_s, u"123"_s },
        { u"changePriceRate"_s, u"0.49"_s },
    };
    qsizetype fillerSize = 1000;

    QString json() const
    {
        QString j = u"{\"header\":{},"_s;
        if (block)
            j += u"\"publicRelations\":{\"items\":[]},\"mainFundPriceBoard\":{"_s + jsonMembers(board)
                + u"\"x\":\"y\"},"_s;
        j += u"\"currentTabNavigationKey\":\"summary\",\"footer\":{}}"_s;
        return j;
    }

    QString build() const
    {
        return filler(fillerSize) + u"<script>self.__next_f.push([1,\""_s + escaped(json())
            + u"\"])</script>"_s + filler(fillerSize);
    }
};

// World index: the market label in the HTML, then escaped JSON with the price board and,
// later, the detail object, both introduced by the code.
struct WorldIndexPage {
    QString code = u"^DJI"_s;
    QString label = u"NY市場"_s; // null: no label element
    QString name = u"NYダウ"_s; // null: no name entry
    QString price = u"39,131.53"_s;
    QString changePrice = u"62.42"_s;
    QString changePriceRate = u"0.16"_s; // null: no change-rate entry
    bool detail = true;
    Entries details = {
        { u"previousPrice"_s, u"39,069.11"_s },
        { u"openPrice"_s, u"39,100.00"_s },
        { u"highPrice"_s, u"39,250.72"_s },
        { u"lowPrice"_s, u"38,990.01"_s },
        { u"volume"_s, u"312,456,789"_s },
        { u"highPrice52"_s, u"39,282.28"_s },
        { u"lowPrice52"_s, u"32,327.20"_s },
    };
    qsizetype fillerSize = 1000;

    QString json() const
    {
        QString j = u"{\"items\":["_s;
        if (!name.isNull())
            j += u"{\"code\":\""_s + code + u"\",\"name\":\""_s + name + u"\",\"price\":{\"value\":\""_s
                + price + u"\"},\"change\":{\"changePrice\":\""_s + changePrice + u"\""_s
                + (changePriceRate.isNull() ? QString()
                                            : u",\"changePriceRate\":\""_s + changePriceRate + u"\""_s)
                + u"}},"_s;
        j += u"{\"news\":[]}],"_s;
        if (detail)
            j += u"\"detail\":{\"code\":\""_s + code + u"\",\"crossStatus\":\"none\","_s
                + jsonMembers(details) + u"\"x\":\"y\"},"_s;
        j += u"\"end\":true}"_s;
        return j;
    }

    QString build() const
    {
        QString page = u"<html><body><header>"_s + filler(fillerSize / 2);
        if (!label.isNull())
            page += u"<span class=\"_PriceBoardMenu__label_92n65_18\">"_s + label + u"</span>"_s;
        page += filler(fillerSize / 2) + u"<script>self.__next_f.push([1,\""_s + escaped(json())
            + u"\"])</script>"_s + filler(fillerSize);
        return page;
    }
};

} // namespace testpages
