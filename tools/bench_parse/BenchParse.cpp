// Parsing speed of the domestic stock page, the richest page kind, on a page of about 1 MB
// built here: the escaped JSON data sits among HTML and JSON filler, late in the page as on
// the site, so the page-level section cuts scan most of it. The baseline cuts 40 markers in
// sequence through the same page with QString::indexOf, one pass over the whole page.

#include "quotes/QuoteRecord.h"
#include "quotes/parsers/PageParsers.h"

#include <QString>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kBaselineMarkers = 40;

QString escaped(QString json)
{
    json.replace(u'"', u"\\\""_s);
    return json;
}

// Filler chunk number i: HTML with attributes, Japanese text and an escaped JSON fragment,
// with a numbered marker pair for the baseline every so often.
QString fillerChunk(int i)
{
    return u"<div class=\"_Card__item_1x2y3_%1\" data-index=\"%1\"><a href=\"/news/detail/%1\">"
           "市場ニュース見出し%1：日経平均は続伸、半導体株が上昇</a><span class=\"time\">12/04 15:%2</span>"
           "</div><script>self.__next_f.push([1,\"{\\\"id\\\":%1,\\\"title\\\":\\\"t%1\\\","
           "\\\"url\\\":\\\"/u/%1\\\",\\\"tags\\\":[\\\"a\\\",\\\"b\\\"]}\"])</script>\n"_s.arg(i)
               .arg(i % 60, 2, 10, QLatin1Char('0'));
}

QString stockJson()
{
    QString j
        = u"{\"stocksContents\":{\"itemType\":\"stock\",\"code\":\"7203\",\"name\":\"トヨタ自動車(株)\","
          "\"label\":\"東証PRM\",\"price\":{\"value\":\"2,981.5\"},\"priceChange\":{\"value\":\"12.5\"},"
          "\"priceChangeRate\":{\"value\":\"0.42\"},\"statusLabel\":\"リアルタイム株価\"},"_s;
    // Chart points and news between the two blocks, as the site has them.
    for (int i = 0; i < 200; ++i)
        j += u"{\"t\":\"2024-12-04T09:%1\",\"o\":\"2,9%2\",\"c\":\"2,9%2\"},"_s.arg(i % 60).arg(i % 90 + 10);
    j += u"\"detail\":[{\"head\":\"信用取引情報\",\"items\":["
         "{\"title\":\"信用買残\",\"primary\":{\"value\":\"1,234,500\"},\"secondary\":{\"title\":\"前週比\","
         "\"primary\":{\"value\":\"-12,300\"}}},"
         "{\"title\":\"信用売残\",\"primary\":{\"value\":\"456,700\"},\"secondary\":{\"title\":\"前週比\","
         "\"primary\":{\"value\":\"+4,500\"}}},"
         "{\"title\":\"信用倍率\",\"primary\":{\"value\":\"2.70\"}}]},{\"items\":["_s;
    const char16_t *values[][2] = {
        { u"前日終値", u"2,969" },
        { u"始値", u"2,975" },
        { u"出来高", u"21,546,900" },
        { u"売買代金", u"64,170,312" },
        { u"値幅制限", u"2,469～3,469" },
        { u"時価総額", u"48,632,134" },
        { u"発行済株式数", u"16,314,987,460" },
        { u"単元株数", u"100" },
        { u"最低購入代金", u"298,150" },
        { u"年初来高値", u"3,891" },
        { u"年初来安値", u"2,226.5" },
    };
    for (const auto &v : values)
        j += u"{\"title\":\"%1\",\"value\":\"%2\",\"date\":\"12/04\"},"_s.arg(
            QStringView(v[0]), QStringView(v[1]));
    j += u"{\"title\":\"高値\",\"value\":\"2,990\",\"limit\":\"$undefined\"},"
         "{\"title\":\"安値\",\"value\":\"2,960.5\",\"limit\":\"$undefined\"},"_s;
    const char16_t *indicators[][2] = {
        { u"1株配当", u"90.00" },
        { u"配当利回り", u"3.02" },
        { u"PER", u"9.62" },
        { u"PBR", u"1.05" },
        { u"EPS", u"309.93" },
        { u"BPS", u"2,842.53" },
        { u"ROE", u"11.52" },
        { u"自己資本比率", u"38.3" },
    };
    for (const auto &v : indicators)
        j += u"{\"title\":\"%1\",\"subText\":\"(連)\",\"value\":\"%2\"},"_s.arg(
            QStringView(v[0]), QStringView(v[1]));
    j += u"]}],\"crossStatus\":\"none\"}"_s;
    return j;
}

// About 1 MB of UTF-8 (the page as the site sends it), the data at about 85 % of the way,
// and the baseline's 40 marker pairs spread evenly over the whole page.
const QString &page()
{
    static const QString text = [] {
        const qsizetype target = 1'000'000;
        const qsizetype chunkBytes = fillerChunk(1000).toUtf8().size();
        const int chunks = int(target / chunkBytes);
        const int dataAt = chunks * 85 / 100;
        const int markerEvery = chunks / kBaselineMarkers;
        QString p
            = u"<!DOCTYPE html><html lang=\"ja\"><head><title>トヨタ自動車(株)【7203】：株価</title></head><body>"_s;
        for (int chunk = 0; chunk < chunks; ++chunk) {
            if (chunk % markerEvery == 0 && chunk / markerEvery < kBaselineMarkers)
                p += u"<!--m%1-->v%1<!--/m-->"_s.arg(chunk / markerEvery, 2, 10, QLatin1Char('0'));
            if (chunk == dataAt)
                p += u"<script>self.__next_f.push([1,\""_s + escaped(stockJson()) + u"\"])</script>"_s;
            p += fillerChunk(chunk);
        }
        p += u"</body></html>"_s;
        return p;
    }();
    return text;
}

void BM_ParseDomesticStockPage(benchmark::State &state)
{
    const QString &text = page();
    for (auto _ : state) {
        QuoteRecord result;
        ParseDomesticStockPage(text, result);
        benchmark::DoNotOptimize(result.values[SlotMarginRatio].constData());
    }
    QuoteRecord check;
    ParseDomesticStockPage(text, check);
    if (check.values[SlotMarginRatio] != u"2.70"_s || check.values[SlotName].isEmpty())
        state.SkipWithError("the page does not parse");
    state.SetBytesProcessed(state.iterations() * text.toUtf8().size());
    state.counters["page_chars"] = double(text.size());
}
BENCHMARK(BM_ParseDomesticStockPage)->Unit(benchmark::kMicrosecond);

// 40 markers cut one after another, each search starting behind the previous value.
void BM_Baseline40SequentialIndexOf(benchmark::State &state)
{
    const QString &text = page();
    QString starts[kBaselineMarkers];
    for (int i = 0; i < kBaselineMarkers; ++i)
        starts[i] = u"<!--m%1-->"_s.arg(i, 2, 10, QLatin1Char('0'));
    const QString end = u"<!--/m-->"_s;
    int found = 0;
    for (auto _ : state) {
        found = 0;
        qsizetype pos = 0;
        QString value;
        for (const QString &start : starts) {
            const qsizetype s = text.indexOf(start, pos);
            if (s < 0)
                break;
            const qsizetype e = text.indexOf(end, s + start.size());
            if (e < 0)
                break;
            value = text.mid(s + start.size(), e - s - start.size());
            pos = e + end.size();
            ++found;
        }
        benchmark::DoNotOptimize(value.constData());
    }
    if (found != kBaselineMarkers)
        state.SkipWithError("markers missing from the page");
    state.SetBytesProcessed(state.iterations() * text.toUtf8().size());
}
BENCHMARK(BM_Baseline40SequentialIndexOf)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
