#include "tests/support/SampleSite.h"

#include "quotes/QuoteRecord.h"

#include "SamplePages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Member names of a fetch object, in their order.
QStringList expectedKeys()
{
    QStringList keys { u"code"_s, u"ok"_s, u"error"_s, u"kind"_s, u"suffix"_s };
    for (int f = 2; f <= 34; ++f) {
        if (f != FieldDatetime)
            keys << FieldKey(f).toString();
    }
    return keys;
}

QJsonArray parseArray(const QByteArray &out)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(out, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    EXPECT_TRUE(doc.isArray());
    return doc.array();
}

} // namespace

TEST(FetchCommand, JsonForEveryPageKind)
{
    SampleSite site;
    ASSERT_TRUE(site.start());
    const QStringList codes = samplesite::SampleCodes();
    QByteArray out;
    ASSERT_EQ(RunProgram(u"quotra-cli"_s, QStringList { u"fetch"_s, u"--json"_s } + codes, out), 0);
    const QJsonArray array = parseArray(out);
    ASSERT_EQ(array.size(), codes.size());
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const QJsonObject o = array.at(i).toObject();
        const samplesite::SampleQuote expected = *samplesite::QuoteValues(codes[i], 0);
        SCOPED_TRACE(codes[i].toStdString());
        EXPECT_EQ(o.value(u"code"_s).toString(), codes[i]);
        EXPECT_TRUE(o.value(u"ok"_s).toBool());
        EXPECT_EQ(o.size(), expectedKeys().size());
        EXPECT_EQ(o.value(u"name"_s).toString(), expected.values[SlotName]);
        QString market = expected.values[SlotMarket];
        if (market.isEmpty()) { // the parsers' fallback labels
            market = expected.kind == samplesite::PageKind::Fund    ? u"投資信託"_s
                : expected.kind == samplesite::PageKind::WorldIndex ? u"海外指数"_s
                                                                    : u"---"_s;
        }
        EXPECT_EQ(o.value(u"market"_s).toString(), market);
        EXPECT_FALSE(o.value(u"t_value"_s).toString().isEmpty());
        EXPECT_EQ(o.value(u"status"_s).toString(), QString());
        switch (expected.kind) {
        case samplesite::PageKind::DomesticStock:
            EXPECT_EQ(o.value(u"kind"_s).toString(), expected.itemType);
            EXPECT_EQ(o.value(u"suffix"_s).toString(), QString(expected.exchangeSuffix));
            EXPECT_FALSE(o.value(u"per"_s).toString().isEmpty());
            break;
        case samplesite::PageKind::DomesticIndex:
            EXPECT_EQ(o.value(u"suffix"_s).toString(), QString(expected.exchangeSuffix));
            break;
        case samplesite::PageKind::ForeignStock:
            EXPECT_EQ(o.value(u"kind"_s).toString(), expected.industryName);
            EXPECT_EQ(o.value(u"suffix"_s).toString(), QString());
            break;
        case samplesite::PageKind::Fund:
        case samplesite::PageKind::WorldIndex:
            EXPECT_EQ(o.value(u"kind"_s).toString(), QString());
            EXPECT_EQ(o.value(u"suffix"_s).toString(), QString());
            break;
        }
    }
}

TEST(FetchCommand, JsonMembersInFieldNumberOrder)
{
    SampleSite site;
    ASSERT_TRUE(site.start());
    QByteArray out;
    ASSERT_EQ(RunProgram(u"quotra-cli"_s, { u"fetch"_s, u"7203"_s, u"--json"_s }, out), 0)
        << "an option after the codes";
    const QString text = QString::fromUtf8(out);
    qsizetype at = 0;
    for (const QString &key : expectedKeys()) {
        const qsizetype next = text.indexOf(u'"' + key + u"\":"_s, at);
        ASSERT_GE(next, at) << key.toStdString();
        at = next;
    }
}

TEST(FetchCommand, FailedCodesAreReportedAndTheStatusIsOne)
{
    SampleSite site;
    ASSERT_TRUE(site.start({ u"--fail-404"_s, u"6758"_s }));
    QByteArray out;
    ASSERT_EQ(RunProgram(u"quotra-cli"_s,
                  { u"fetch"_s, u"--json"_s, u"7203"_s, u"6758"_s, u"abc"_s, u"^DJI"_s }, out),
        1);
    const QJsonArray array = parseArray(out);
    ASSERT_EQ(array.size(), 4);
    EXPECT_TRUE(array[0].toObject().value(u"ok"_s).toBool());
    EXPECT_FALSE(array[1].toObject().value(u"ok"_s).toBool());
    EXPECT_FALSE(array[2].toObject().value(u"ok"_s).toBool());
    EXPECT_TRUE(array[3].toObject().value(u"ok"_s).toBool());
    EXPECT_EQ(array[2].toObject().value(u"code"_s).toString(), u"abc"_s);
    EXPECT_EQ(array[0].toObject().value(u"error"_s).toString(), QString());
    EXPECT_EQ(array[1].toObject().value(u"error"_s).toString(), u"HTTP status 404"_s);
    EXPECT_EQ(array[2].toObject().value(u"error"_s).toString(), u"not a security code"_s);
}

TEST(FetchCommand, PlainTableGivesTheReasonOfAFailure)
{
    SampleSite site;
    ASSERT_TRUE(site.start({ u"--fail-404"_s, u"6758"_s }));
    QByteArray out;
    ASSERT_EQ(RunProgram(u"quotra-cli"_s, { u"fetch"_s, u"7203"_s, u"6758"_s }, out), 1);
    const QStringList lines = QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].trimmed().endsWith(u"error"_s)) << lines[0].toStdString();
    EXPECT_TRUE(lines[3].startsWith(u"6758 "_s));
    EXPECT_TRUE(lines[3].contains(u"failed"_s));
    EXPECT_TRUE(lines[3].trimmed().endsWith(u"HTTP status 404"_s)) << lines[3].toStdString();
    EXPECT_FALSE(lines[2].contains(u"HTTP"_s));
}

TEST(FetchCommand, PlainTableListsEachCode)
{
    SampleSite site;
    ASSERT_TRUE(site.start());
    QByteArray out;
    ASSERT_EQ(RunProgram(u"quotra-cli"_s, { u"fetch"_s, u"7203"_s, u"AAPL"_s }, out), 0);
    const QStringList lines = QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4); // header, rule, two rows
    EXPECT_TRUE(lines[2].startsWith(u"7203 "_s));
    EXPECT_TRUE(lines[2].contains(samplesite::QuoteValues(u"7203"_s, 0)->values[SlotName]));
    EXPECT_TRUE(lines[3].startsWith(u"AAPL "_s));
}

struct UsageCase {
    QStringList arguments;
    int status;
};

void PrintTo(const UsageCase &c, std::ostream *os)
{
    *os << (c.arguments.isEmpty() ? std::string("no arguments") : c.arguments.join(u' ').toStdString());
}

class CliUsageTest : public ::testing::TestWithParam<UsageCase> { };

TEST_P(CliUsageTest, ExitStatus)
{
    QByteArray out, err;
    EXPECT_EQ(RunProgram(u"quotra-cli"_s, GetParam().arguments, out, &err), GetParam().status)
        << GetParam().arguments.join(u' ').toStdString();
    if (GetParam().status == 2) {
        EXPECT_TRUE(err.startsWith("quotra-cli: ") || err.startsWith("usage:")) << err.constData();
    }
}

INSTANTIATE_TEST_SUITE_P(Arguments, CliUsageTest,
    ::testing::Values(UsageCase { {}, 2 }, UsageCase { { u"nosuch"_s }, 2 }, UsageCase { { u"fetch"_s }, 2 },
        UsageCase { { u"fetch"_s, u"--json"_s }, 2 },
        UsageCase { { u"fetch"_s, u"--bogus"_s, u"7203"_s }, 2 },
        UsageCase { { u"fetch"_s, u"--json=1"_s, u"7203"_s }, 2 }, UsageCase { { u"fetch"_s, u"-x"_s }, 2 },
        UsageCase { { u"--help"_s }, 0 }));

TEST(FetchCommand, ParallelOptionKeepsTheOrderAndOpensAtMostNConnections)
{
    SampleSite site;
    ASSERT_TRUE(site.start({ u"--latency-ms"_s, u"30"_s, u"--code-delay"_s, u"7203=300"_s }));
    QByteArray out;
    const QStringList codes { u"7203"_s, u"6758"_s, u"8306"_s, u"9432"_s, u"7974"_s };
    ASSERT_EQ(RunProgram(u"quotra-cli"_s,
                  QStringList { u"fetch"_s, u"--json"_s, u"--parallel"_s, u"2"_s } + codes, out),
        0);
    const QJsonArray array = parseArray(out);
    ASSERT_EQ(array.size(), codes.size());
    for (qsizetype i = 0; i < codes.size(); ++i)
        EXPECT_EQ(array[i].toObject().value(u"code"_s).toString(), codes[i]);
    const SampleSite::Stats stats = site.stats();
    EXPECT_EQ(stats.connections, 3) << "two for the run, one for the stats request";
    EXPECT_EQ(stats.peakInFlight, 2);
}

TEST(FetchCommand, ParallelOptionOutOfRangeIsAUsageError)
{
    for (const QString &n : { u"0"_s, u"9"_s, u"two"_s, u""_s }) {
        QByteArray out;
        QByteArray err;
        EXPECT_EQ(RunProgram(u"quotra-cli"_s, { u"fetch"_s, u"--parallel"_s, n, u"7203"_s }, out, &err), 2)
            << n.toStdString();
        EXPECT_TRUE(err.contains("--parallel needs a number from 1 to 8")) << err.toStdString();
    }
}
