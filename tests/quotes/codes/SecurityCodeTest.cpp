#include "quotes/SecurityCode.h"
#include "quotes/QuoteRecord.h"
#include "quotes/SiteRoot.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

struct ClassifyCase {
    const char16_t *code;
    CodeKind kind;
};

// Control characters and lone surrogates are printed as escapes, so every case has a
// readable name of its own.
void PrintTo(const ClassifyCase &c, std::ostream *os)
{
    *os << '"';
    for (const QChar ch : QStringView(c.code)) {
        if (ch.isPrint() && !ch.isSurrogate())
            *os << QString(ch).toStdString();
        else
            *os << "\\u" << QString::number(ch.unicode(), 16).rightJustified(4, u'0').toStdString();
    }
    *os << '"';
}

class ClassifyTable : public ::testing::TestWithParam<ClassifyCase> { };

TEST_P(ClassifyTable, Classifies)
{
    EXPECT_EQ(ClassifyCode(QStringView(GetParam().code)), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(SecurityCode, ClassifyTable,
    ::testing::Values(ClassifyCase { u"", CodeKind::Invalid }, ClassifyCase { u"7203", CodeKind::Domestic },
        ClassifyCase { u"998407", CodeKind::Domestic }, ClassifyCase { u"1", CodeKind::Domestic },
        ClassifyCase { u"123456789", CodeKind::Domestic },
        // Four characters, digits at 0 and 2, an allowed letter at 1 or 3.
        ClassifyCase { u"130A", CodeKind::Domestic }, ClassifyCase { u"1A30", CodeKind::Domestic },
        ClassifyCase { u"130a", CodeKind::Domestic }, ClassifyCase { u"130b", CodeKind::Domestic },
        ClassifyCase { u"130B", CodeKind::Invalid }, ClassifyCase { u"130E", CodeKind::Invalid },
        ClassifyCase { u"130I", CodeKind::Invalid }, ClassifyCase { u"130O", CodeKind::Invalid },
        ClassifyCase { u"130Q", CodeKind::Invalid }, ClassifyCase { u"130V", CodeKind::Invalid },
        ClassifyCase { u"130Z", CodeKind::Invalid }, ClassifyCase { u"13A0", CodeKind::Invalid },
        ClassifyCase { u"1B3A", CodeKind::Domestic }, ClassifyCase { u"A30A", CodeKind::Invalid },
        ClassifyCase { u"130Ａ", CodeKind::Invalid }, ClassifyCase { u"130AA", CodeKind::Invalid },
        // One character after a dot that is not in first place.
        ClassifyCase { u"7203.T", CodeKind::DomesticWithSuffix },
        ClassifyCase { u"7203.TK", CodeKind::Invalid }, ClassifyCase { u".T", CodeKind::Invalid },
        ClassifyCase { u"7203.", CodeKind::Invalid }, ClassifyCase { u"BRK.B", CodeKind::DomesticWithSuffix },
        ClassifyCase { u"1.2.3", CodeKind::Invalid }, ClassifyCase { u"A.B", CodeKind::DomesticWithSuffix },
        // Only the first four characters decide a foreign stock.
        ClassifyCase { u"AAPL", CodeKind::ForeignStock }, ClassifyCase { u"GOOGL", CodeKind::ForeignStock },
        ClassifyCase { u"F", CodeKind::ForeignStock }, ClassifyCase { u"ABCD123", CodeKind::ForeignStock },
        ClassifyCase { u"aapl", CodeKind::Invalid }, ClassifyCase { u"AAP1", CodeKind::Invalid },
        ClassifyCase { u"ＡＡＰＬ", CodeKind::Invalid },
        // Eight characters come first: a fund without a dot, else nothing.
        ClassifyCase { u"0331418A", CodeKind::Fund }, ClassifyCase { u"12345678", CodeKind::Fund },
        ClassifyCase { u"ABCD.EFG", CodeKind::Invalid }, ClassifyCase { u"^ABCDEFG", CodeKind::Fund },
        ClassifyCase { u"1234567.", CodeKind::Invalid },
        // World indices.
        ClassifyCase { u"^DJI", CodeKind::WorldIndex }, ClassifyCase { u"^N225", CodeKind::WorldIndex },
        ClassifyCase { u"^", CodeKind::WorldIndex }, ClassifyCase { u"PSI", CodeKind::WorldIndex },
        ClassifyCase { u"FTSEMIB.MI", CodeKind::WorldIndex },
        ClassifyCase { u"000001.SS", CodeKind::WorldIndex }, ClassifyCase { u"psi", CodeKind::Invalid },
        ClassifyCase { u"000002.SS", CodeKind::Invalid },
        ClassifyCase { u"FTSEMIB.MX", CodeKind::ForeignStock },
        // Odd characters.
        ClassifyCase { u"72 3", CodeKind::Invalid }, ClassifyCase { u"７２０３", CodeKind::Invalid },
        ClassifyCase { u"\x1f", CodeKind::Invalid }, ClassifyCase { u"\xd800", CodeKind::Invalid }));

TEST(SecurityCode, ClassifyHandlesEmbeddedNul)
{
    const QChar raw[] = { u'7', u'2', QChar(0), u'3' };
    EXPECT_EQ(ClassifyCode(QStringView(raw, 4)), CodeKind::Invalid);
}

struct IndexCase {
    const char16_t *code;
    bool index;
};

void PrintTo(const IndexCase &c, std::ostream *os)
{
    *os << '"' << Utf8(c.code) << '"';
}

class IndexNumberTable : public ::testing::TestWithParam<IndexCase> { };

TEST_P(IndexNumberTable, TellsIndicesFromStocks)
{
    EXPECT_EQ(IsIndexNumber(QStringView(GetParam().code)), GetParam().index)
        << QString::fromUtf16(GetParam().code).toStdString();
}

INSTANTIATE_TEST_SUITE_P(SecurityCode, IndexNumberTable,
    ::testing::Values(IndexCase { u"998407", true }, IndexCase { u"998400", false },
        IndexCase { u"998401", true }, IndexCase { u"23337", true }, IndexCase { u"23336", false },
        IndexCase { u"23338", false }, IndexCase { u"7203", false }, IndexCase { u"130A", false },
        IndexCase { u"", false }, IndexCase { u"A998407", false }, IndexCase { u"998407A", true },
        IndexCase { u"0998407", true }, IndexCase { u"023337", true }, IndexCase { u"9999999", true },
        // A run of digits far beyond any integer type.
        IndexCase { u"99999999999999999999999999", true },
        IndexCase { u"10000000000000000000000000", true }));

// Sets QUOTRA_SITE_ROOT for one test and restores the old value afterwards.
class SiteRootScope {
public:
    explicit SiteRootScope(const QString &root)
    {
        if (qEnvironmentVariableIsSet("QUOTRA_SITE_ROOT"))
            m_old = qgetenv("QUOTRA_SITE_ROOT");
        if (root.isNull())
            qunsetenv("QUOTRA_SITE_ROOT");
        else
            qputenv("QUOTRA_SITE_ROOT", root.toUtf8());
    }
    ~SiteRootScope()
    {
        if (m_old)
            qputenv("QUOTRA_SITE_ROOT", *m_old);
        else
            qunsetenv("QUOTRA_SITE_ROOT");
    }
    SiteRootScope(const SiteRootScope &) = delete;
    SiteRootScope &operator=(const SiteRootScope &) = delete;

private:
    std::optional<QByteArray> m_old;
};

TEST(SiteRoot, DefaultIsThePublicSite)
{
    SiteRootScope scope { QString() };
    EXPECT_EQ(SiteRoot(), u"https://finance.yahoo.co.jp/"_s);
}

TEST(SiteRoot, EnvironmentOverridesAndGetsTrailingSlash)
{
    {
        SiteRootScope scope(u"http://127.0.0.1:8080"_s);
        EXPECT_EQ(SiteRoot(), u"http://127.0.0.1:8080/"_s);
    }
    {
        SiteRootScope scope(u"http://127.0.0.1:8080/base/"_s);
        EXPECT_EQ(SiteRoot(), u"http://127.0.0.1:8080/base/"_s);
    }
    {
        SiteRootScope scope(u""_s);
        EXPECT_EQ(SiteRoot(), u"https://finance.yahoo.co.jp/"_s) << "an empty variable counts as unset";
    }
}

class Addresses : public ::testing::Test {
protected:
    SiteRootScope m_scope { u"http://localhost:9/"_s };
};

TEST_F(Addresses, PageAddressByKind)
{
    EXPECT_EQ(PageAddress(u"7203"_s, CodeKind::Domestic), u"http://localhost:9/quote/7203"_s);
    EXPECT_EQ(PageAddress(u"7203.T"_s, CodeKind::DomesticWithSuffix), u"http://localhost:9/quote/7203.T"_s);
    EXPECT_EQ(PageAddress(u"AAPL"_s, CodeKind::ForeignStock), u"http://localhost:9/quote/AAPL"_s);
    EXPECT_EQ(PageAddress(u"0331418A"_s, CodeKind::Fund), u"http://localhost:9/quote/0331418A"_s);
    EXPECT_EQ(PageAddress(u"^DJI"_s, CodeKind::WorldIndex), u"http://localhost:9/quote/%5EDJI"_s);
    EXPECT_EQ(PageAddress(u"000001.SS"_s, CodeKind::WorldIndex), u"http://localhost:9/quote/000001.SS"_s);
    EXPECT_EQ(PageAddress(u"^A^B"_s, CodeKind::WorldIndex), u"http://localhost:9/quote/%5EA^B"_s)
        << "only a leading caret is written %5E";
    EXPECT_TRUE(PageAddress(u"7203.TK"_s, CodeKind::Invalid).isEmpty());
}

TEST_F(Addresses, BrowserAddressAddsStoredSuffix)
{
    QuoteRecord r(u"7203"_s);
    EXPECT_EQ(BrowserAddress(r), u"http://localhost:9/quote/7203"_s);
    r.exchange_suffix = u'T';
    EXPECT_EQ(BrowserAddress(r), u"http://localhost:9/quote/7203.T"_s);

    QuoteRecord withSuffix(u"7203.T"_s);
    EXPECT_EQ(BrowserAddress(withSuffix), u"http://localhost:9/quote/7203.T"_s);
    withSuffix.exchange_suffix = u'N';
    EXPECT_EQ(BrowserAddress(withSuffix), u"http://localhost:9/quote/7203.T"_s);

    QuoteRecord world(u"^DJI"_s);
    EXPECT_EQ(BrowserAddress(world), u"http://localhost:9/quote/^DJI"_s);
    // A dot in first place counts as no dot.
    QuoteRecord leadingDot(u".T"_s);
    leadingDot.exchange_suffix = u'S';
    EXPECT_EQ(BrowserAddress(leadingDot), u"http://localhost:9/quote/.T.S"_s);
}

TEST_F(Addresses, ChartAddress)
{
    EXPECT_EQ(ChartAddress(QuoteRecord(u"^DJI"_s)), u"http://localhost:9/quote/%5EDJI/chart"_s);
    EXPECT_EQ(ChartAddress(QuoteRecord(u"7203"_s)), u"http://localhost:9/quote/7203/chart"_s);
    QuoteRecord withSuffix(u"7203"_s);
    withSuffix.exchange_suffix = u'T';
    EXPECT_EQ(ChartAddress(withSuffix), u"http://localhost:9/quote/7203/chart"_s);
}

struct SuffixCase {
    const char16_t *name;
    const char16_t *page;
    char16_t before;
    char16_t after;
};

void PrintTo(const SuffixCase &c, std::ostream *os)
{
    *os << Utf8(c.name);
}

class SuffixTable : public ::testing::TestWithParam<SuffixCase> { };

TEST_P(SuffixTable, DetectsSuffixOf7203)
{
    QuoteRecord r(u"7203"_s);
    r.exchange_suffix = GetParam().before;
    DetectExchangeSuffix(r, u"7203", QStringView(GetParam().page));
    EXPECT_EQ(r.exchange_suffix, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(SecurityCode, SuffixTable,
    ::testing::Values(SuffixCase { u"Found", uR"(<title>トヨタ【7203.T】</title>)", 0, u'T' },
        SuffixCase { u"FirstMatchWins", u"7203.N 7203.T", 0, u'N' },
        SuffixCase { u"NotFoundKeepsOld", u"code 7203 only", u'S', u'S' },
        SuffixCase { u"NotFoundKeepsZero", u"", 0, 0 },
        SuffixCase { u"DotAtEndGivesZero", u"x 7203.", u'T', 0 },
        SuffixCase { u"CodeInsideLongerNumber", u"17203.F", 0, u'F' },
        SuffixCase { u"Surrogate", u"7203.\U0001F600", 0, u'\xd83d' }),
    [](const auto &info) { return QString::fromUtf16(info.param.name).toStdString(); });

TEST(SecurityCode, DetectSuffixUsesTheDotBehindTheCode)
{
    QuoteRecord r(u"BRK.B"_s);
    DetectExchangeSuffix(r, u"BRK.B", u"see BRK.B.N");
    EXPECT_EQ(r.exchange_suffix, u'N');
}

TEST(SecurityCode, DetectSuffixIgnoresAnEmptyCode)
{
    QuoteRecord r;
    DetectExchangeSuffix(r, u"", u"a.b");
    EXPECT_EQ(r.exchange_suffix, 0);
}

TEST(SecurityCode, ResolveKindFromStockPage)
{
    const QString page
        = uR"(x 7203.T {\"stocksContents\":{\"itemType\":\"etf\",\"statusLabel\":1} \"itemType\":\"no\")"_s;
    QuoteRecord r(u"7203"_s);
    r.kind = u"old"_s;
    ResolveKindFromPage(r, page);
    EXPECT_EQ(r.kind, u"etf"_s);
    EXPECT_EQ(r.exchange_suffix, u'T');
}

TEST(SecurityCode, ResolveKindEmptyWithoutStockSection)
{
    // The item type outside the stock section does not count; the suffix is still found.
    const QString page = uR"(\"itemType\":\"stock\" 7203.T)"_s;
    QuoteRecord r(u"7203"_s);
    r.kind = u"old"_s;
    ResolveKindFromPage(r, page);
    EXPECT_TRUE(r.kind.isEmpty());
    EXPECT_EQ(r.exchange_suffix, u'T');
}

TEST(SecurityCode, ResolveKindOfIndexNumber)
{
    QuoteRecord r(u"998407"_s);
    ResolveKindFromPage(r, uR"({\"stocksContents\":{\"itemType\":\"stock\",\"statusLabel\" 998407.O)");
    EXPECT_EQ(r.kind, u"Index"_s);
    EXPECT_EQ(r.exchange_suffix, u'O');
}

TEST(SecurityCode, ResolveWithoutFetch)
{
    QuoteRecord suffixed(u"7203.T"_s);
    suffixed.kind = u"stock"_s;
    EXPECT_TRUE(ResolveSuffixWithoutFetch(suffixed));
    EXPECT_EQ(suffixed.exchange_suffix, u'T');
    EXPECT_EQ(suffixed.kind, u"stock"_s) << "kind is left alone";

    QuoteRecord domestic(u"7203"_s);
    EXPECT_FALSE(ResolveSuffixWithoutFetch(domestic));
    EXPECT_EQ(domestic.exchange_suffix, 0);

    for (const QString &code : { u"AAPL"_s, u"0331418A"_s, u"^DJI"_s, u""_s, u"7203.TK"_s }) {
        QuoteRecord other(code);
        EXPECT_TRUE(ResolveSuffixWithoutFetch(other)) << code.toStdString();
        EXPECT_EQ(other.exchange_suffix, 0);
        EXPECT_TRUE(other.kind.isEmpty());
    }
}

} // namespace
