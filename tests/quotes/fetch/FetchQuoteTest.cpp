#include "quotes/fetch/FetchQuote.h"
#include "quotes/SiteRoot.h"

#include "SamplePages.h"
#include "tests/support/QtPrinters.h"

#include <QDateTime>
#include <QSet>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString kRoot = u"http://quotes.test/"_s;

// Serves the sample site's pages from memory and records every address asked for.
class PageServer : public HttpRequest {
public:
    bool Get(const QString &address, QString &text) override
    {
        addresses << address;
        if (!address.startsWith(kRoot + u"quote/"_s))
            return false;
        QString code = address.mid(kRoot.size() + 6);
        code.replace(u"%5E"_s, u"^"_s);
        if (failing.contains(code))
            return false;
        if (const auto it = overrides.constFind(code); it != overrides.constEnd()) {
            text = *it;
            return true;
        }
        samplesite::PageOptions options;
        options.padBytes = 0;
        text = samplesite::QuotePage(code, 0, options);
        return !text.isNull();
    }

    QStringList addresses;
    QSet<QString> failing;
    QHash<QString, QString> overrides;
};

class FetchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("QUOTRA_SITE_ROOT", kRoot.toUtf8());
        auto server = std::make_unique<PageServer>();
        pages = server.get();
        fetcher = std::make_unique<QuoteFetcher>(std::move(server));
    }
    void TearDown() override { qunsetenv("QUOTRA_SITE_ROOT"); }

    PageServer *pages = nullptr;
    std::unique_ptr<QuoteFetcher> fetcher;
};

} // namespace

TEST_F(FetchTest, InvalidCodeFailsWithoutARequest)
{
    EXPECT_FALSE(fetcher->FetchQuote(u"aapl"_s, CodeKind::Invalid));
    EXPECT_TRUE(pages->addresses.isEmpty());
    EXPECT_EQ(fetcher->result().code, u"aapl"_s);
    for (QStringView v : fetcher->result().values)
        EXPECT_TRUE(v.isEmpty());
}

class SampleCodeTest : public FetchTest, public ::testing::WithParamInterface<QString> { };

TEST_P(SampleCodeTest, FetchesAndParsesEveryPageKind)
{
    const QString code = GetParam();
    const std::optional<samplesite::SampleQuote> expected = samplesite::QuoteValues(code, 0);
    ASSERT_TRUE(expected);
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    ASSERT_TRUE(fetcher->FetchQuote(code, ClassifyCode(code)));
    ASSERT_EQ(pages->addresses.size(), 1) << "one request per code";
    QString path = code;
    path.replace(u"^"_s, u"%5E"_s);
    EXPECT_EQ(pages->addresses[0], kRoot + u"quote/"_s + path);
    const QuoteRecord &r = fetcher->result();
    EXPECT_EQ(r.code, code);
    EXPECT_EQ(r.values[SlotName], expected->values[SlotName]);
    EXPECT_EQ(r.values[SlotPrice], expected->values[SlotPrice]);
    EXPECT_TRUE(r.values[SlotStatus].isEmpty());
    EXPECT_GE(r.datetime, before);
    if (expected->kind == samplesite::PageKind::DomesticStock) {
        EXPECT_EQ(r.kind, expected->itemType);
    } else if (expected->kind == samplesite::PageKind::ForeignStock) {
        EXPECT_EQ(r.kind, expected->industryName);
    }
    if (expected->kind == samplesite::PageKind::DomesticStock
        || expected->kind == samplesite::PageKind::DomesticIndex) {
        EXPECT_EQ(QChar(r.exchange_suffix), expected->exchangeSuffix);
    } else {
        EXPECT_EQ(r.exchange_suffix, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sample, SampleCodeTest, ::testing::ValuesIn(samplesite::SampleCodes()), [](const auto &info) {
        QString name = info.param;
        name.replace(u'^', u'_');
        return name.toStdString();
    });

TEST_F(FetchTest, CodeWithSuffixIsFetchedAsADomesticStock)
{
    ASSERT_TRUE(fetcher->FetchQuote(u"7203.T"_s, CodeKind::DomesticWithSuffix));
    EXPECT_EQ(pages->addresses.value(0), kRoot + u"quote/7203.T"_s);
    EXPECT_EQ(fetcher->result().values[SlotName], samplesite::QuoteValues(u"7203"_s, 0)->values[SlotName]);
}

TEST_F(FetchTest, FailedRequestFails)
{
    pages->failing.insert(u"7203"_s);
    EXPECT_FALSE(fetcher->FetchQuote(u"7203"_s, CodeKind::Domestic));
    EXPECT_EQ(fetcher->error().toStdString(), "the request failed") << "a request that gives no reason";
}

// Each failure says why, and a success clears the reason of the one before.
TEST_F(FetchTest, FailuresSayWhy)
{
    EXPECT_FALSE(fetcher->FetchQuote(u"abc"_s, CodeKind::Invalid));
    EXPECT_EQ(fetcher->error().toStdString(), "not a security code");
    pages->overrides.insert(u"7203"_s, u"<html><body>メンテナンス中</body></html>"_s);
    EXPECT_FALSE(fetcher->FetchQuote(u"7203"_s, CodeKind::Domestic));
    EXPECT_EQ(fetcher->error().toStdString(), "the page shows no current price");
    ASSERT_TRUE(fetcher->FetchQuote(u"6758"_s, CodeKind::Domestic));
    EXPECT_TRUE(fetcher->error().isEmpty());
}

TEST_F(FetchTest, PageWithoutAPriceIsAFailure)
{
    pages->overrides.insert(u"7203"_s, u"<html><body>メンテナンス中</body></html>"_s);
    pages->overrides.insert(u"AAPL"_s, QString());
    EXPECT_FALSE(fetcher->FetchQuote(u"7203"_s, CodeKind::Domestic));
    EXPECT_EQ(fetcher->result().values[SlotMarket], u"---"_s)
        << "the parser itself still ran as it always did";
    EXPECT_FALSE(fetcher->FetchQuote(u"AAPL"_s, CodeKind::ForeignStock));
}

TEST_F(FetchTest, DashesAreAPrice)
{
    samplesite::PageOptions options;
    options.padBytes = 0;
    QString page = samplesite::QuotePage(u"7203"_s, 0, options);
    const QString price = samplesite::QuoteValues(u"7203"_s, 0)->values[SlotPrice];
    const QString marker = uR"(\"price\":{\"value\":\")"_s;
    ASSERT_TRUE(page.contains(marker + price));
    page.replace(marker + price, marker + u"---"_s);
    pages->overrides.insert(u"7203"_s, page);
    ASSERT_TRUE(fetcher->FetchQuote(u"7203"_s, CodeKind::Domestic));
    EXPECT_EQ(fetcher->result().values[SlotPrice], u"---"_s);
}

TEST_F(FetchTest, EachFetchStartsFromAnEmptyResult)
{
    ASSERT_TRUE(fetcher->FetchQuote(u"7203"_s, CodeKind::Domestic));
    EXPECT_NE(fetcher->result().exchange_suffix, 0);
    EXPECT_FALSE(fetcher->result().values[SlotDividend].isEmpty());
    ASSERT_TRUE(fetcher->FetchQuote(u"0331418A"_s, CodeKind::Fund));
    const QuoteRecord &r = fetcher->result();
    EXPECT_EQ(r.code, u"0331418A"_s);
    EXPECT_EQ(r.exchange_suffix, 0);
    EXPECT_TRUE(r.kind.isEmpty());
    EXPECT_TRUE(r.values[SlotDividend].isEmpty()) << "nothing of the stock page survives";
}

TEST_F(FetchTest, NetworkFactoryCopiesOnlyASuccessfulResult)
{
    // The factory builds its own network request; an unreachable root makes it fail fast.
    qputenv("QUOTRA_SITE_ROOT", "http://127.0.0.1:9/");
    HttpOptions options;
    options.connectTimeoutMs = 2000;
    options.totalTimeoutMs = 2000;
    std::atomic<bool> stop { false };
    FetchRun run;
    run.stop = &stop;
    run.batch = { u"7203"_s, u"abc"_s };
    const FetchFunction fetch = NetworkFetchFactory(options)(run);
    QuoteRecord result(u"7203"_s);
    result.values.set(SlotPrice, u"untouched"_s);
    const FetchStatus refused = fetch(u"7203"_s, result);
    EXPECT_FALSE(refused);
    EXPECT_THAT(refused.error.toStdString(), testing::StartsWith("connection refused ("))
        << "the reason comes along";
    EXPECT_EQ(result.values[SlotPrice], u"untouched"_s);
    const FetchStatus invalid = fetch(u"abc"_s, result);
    EXPECT_FALSE(invalid);
    EXPECT_EQ(invalid.error.toStdString(), "not a security code");
}

// ---- Kind and suffix

TEST_F(FetchTest, ResolveTakesKindAndSuffixFromTheStockPage)
{
    QuoteRecord r(u"1321"_s);
    ASSERT_TRUE(ResolveKindAndSuffix(r, *pages));
    EXPECT_EQ(r.kind, samplesite::QuoteValues(u"1321"_s, 0)->itemType);
    EXPECT_EQ(QChar(r.exchange_suffix), samplesite::QuoteValues(u"1321"_s, 0)->exchangeSuffix);
    EXPECT_EQ(pages->addresses, QStringList { kRoot + u"quote/1321"_s });
}

TEST_F(FetchTest, ResolveMarksIndexNumbers)
{
    QuoteRecord r(u"998407"_s);
    ASSERT_TRUE(ResolveKindAndSuffix(r, *pages));
    EXPECT_EQ(r.kind, u"Index"_s);
}

TEST_F(FetchTest, ResolveNeedsNoPageForOtherKinds)
{
    QuoteRecord withSuffix(u"7203.T"_s);
    EXPECT_TRUE(ResolveKindAndSuffix(withSuffix, *pages));
    EXPECT_EQ(withSuffix.exchange_suffix, u'T');
    QuoteRecord foreign(u"AAPL"_s);
    EXPECT_TRUE(ResolveKindAndSuffix(foreign, *pages));
    EXPECT_EQ(foreign.exchange_suffix, 0);
    EXPECT_TRUE(pages->addresses.isEmpty());
}

TEST_F(FetchTest, FailedResolveChangesNothing)
{
    pages->failing.insert(u"7203"_s);
    QuoteRecord r(u"7203"_s);
    r.kind = u"stock"_s;
    EXPECT_FALSE(ResolveKindAndSuffix(r, *pages));
    EXPECT_EQ(r.kind, u"stock"_s);
    EXPECT_EQ(r.exchange_suffix, 0);
}
