#include "tests/support/EventWait.h"
#include "tests/support/SampleSite.h"

#include "corelib/LanguageModule.h"
#include "corelib/Messages.h"
#include "document/CQuotraDoc.h"
#include "quotes/fetch/FetchQuote.h"
#include "quotes/parsers/PageParsers.h"

#include "SamplePages.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QThread>

#include "tests/support/QtTestEnvironment.h"

#include <gtest/gtest.h>

#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Failed fetches write a diagnostic; keep message boxes quiet too.
class QuietEnvironment : public QtTestEnvironment {
public:
    void SetUp() override
    {
        QtTestEnvironment::SetUp();
        tessera::SetMessageHandler(
            [](const QString &, unsigned style) { return tessera::DefaultMessageResult(style); });
    }
};
const auto *const kEnvironment = ::testing::AddGlobalTestEnvironment(new QuietEnvironment);

struct Progress {
    int index;
    QString code;
};

// A document whose runs fetch from the sample site with short time-outs.
class UpdateE2E : public ::testing::Test {
protected:
    void startSite(const QStringList &options = {})
    {
        ASSERT_TRUE(site.start(options)) << "quotra-sample-site did not start";
        HttpOptions http;
        http.connectTimeoutMs = 5000;
        http.totalTimeoutMs = 5000;
        doc.setFetchFactory(NetworkFetchFactory(http));
        QObject::connect(&doc, &CQuotraDoc::updateProgress, &doc, [this](quint64, int i, const QString &c) {
            progress.push_back({ i, c });
        });
        QObject::connect(&doc, &CQuotraDoc::updateFinished, &doc,
            [this](quint64, bool changed) { finished.push_back(changed); });
    }
    void addRows(const QStringList &codes)
    {
        RecordMap rows;
        for (const QString &c : codes)
            rows.emplace(c, std::make_unique<QuoteRecord>(c));
        doc.replaceRows(std::move(rows));
    }
    bool waitFinished()
    {
        return ProcessEventsUntil([this] { return !finished.empty(); });
    }
    QString status(const QString &code) const { return doc.record(code)->values[SlotStatus].toString(); }
    QString price(const QString &code) const { return doc.record(code)->values[SlotPrice].toString(); }

    SampleSite site;
    CQuotraDoc doc;
    std::vector<Progress> progress;
    std::vector<bool> finished;
};

const QString kError = QString::fromUtf16(kFetchErrorText);

} // namespace

TEST_F(UpdateE2E, FailuresAreRowErrorsAndTheRunGoesOn)
{
    startSite({ u"--fail-404"_s, u"6758"_s, u"--fail-500"_s, u"9432"_s });
    const QStringList batch { u"7203"_s, u"abc"_s, u"6758"_s, u"9432"_s, u"AAPL"_s };
    addRows(batch);
    doc.StartUpdate(batch);
    ASSERT_TRUE(waitFinished());
    ASSERT_EQ(progress.size(), 5u);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(progress[i].index, i);
    EXPECT_TRUE(status(u"7203"_s).isEmpty());
    EXPECT_FALSE(price(u"7203"_s).isEmpty());
    EXPECT_EQ(doc.record(u"7203"_s)->exchange_suffix, u'T');
    for (const QString &failed : { u"abc"_s, u"6758"_s, u"9432"_s }) {
        EXPECT_EQ(status(failed), kError) << failed.toStdString();
        EXPECT_TRUE(price(failed).isEmpty());
    }
    EXPECT_EQ(doc.record(u"AAPL"_s)->kind, samplesite::QuoteValues(u"AAPL"_s, 0)->industryName);
    EXPECT_TRUE(finished[0]);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(UpdateE2E, ARunOfManyCodesWithOneInFlightUsesOneConnection)
{
    startSite();
    HttpOptions http;
    FetchPolicy one;
    one.parallel = 1;
    doc.setFetchFactory(NetworkFetchFactory(http, one));
    const QStringList codes = samplesite::SampleCodes();
    addRows(codes);
    const SampleSite::Stats before = site.stats();
    doc.StartUpdate(codes + codes + codes);
    ASSERT_TRUE(waitFinished());
    EXPECT_EQ(progress.size(), static_cast<size_t>(codes.size() * 3));
    const SampleSite::Stats after = site.stats();
    EXPECT_EQ(after.requests - before.requests, codes.size() * 3);
    // The stats requests each open a connection of their own.
    EXPECT_EQ(after.connections - before.connections, 2) << "one for the run, one for this stats request";
}

TEST_F(UpdateE2E, HangingCodeTimesOutAndTheNextCodeIsFetched)
{
    startSite({ u"--hang"_s, u"7974"_s });
    HttpOptions http;
    http.connectTimeoutMs = 2000;
    http.totalTimeoutMs = 1500;
    doc.setFetchFactory(NetworkFetchFactory(http));
    addRows({ u"7974"_s, u"7203"_s });
    doc.record(u"7974"_s)->values.set(SlotPrice, u"last good"_s);
    doc.StartUpdate({ u"7974"_s, u"7203"_s });
    ASSERT_TRUE(waitFinished());
    ASSERT_EQ(progress.size(), 2u);
    EXPECT_EQ(status(u"7974"_s), kError);
    EXPECT_EQ(price(u"7974"_s), u"last good"_s) << "a failed row keeps its last values";
    EXPECT_TRUE(status(u"7203"_s).isEmpty());
}

TEST_F(UpdateE2E, StopAbortsAHangingRequestAtOnce)
{
    startSite({ u"--hang"_s, u"7203"_s });
    HttpOptions http; // the real 30 s time-out: only the stop can end this request early
    doc.setFetchFactory(NetworkFetchFactory(http));
    addRows({ u"7203"_s });
    doc.record(u"7203"_s)->values.set(SlotPrice, u"before"_s);
    doc.StartUpdate({ u"7203"_s });
    ASSERT_TRUE(ProcessEventsUntil([this] { return site.stats().requests >= 1; }));
    QElapsedTimer timer;
    timer.start();
    doc.StopUpdate();
    EXPECT_LT(timer.elapsed(), 10000) << "the stop waited for the transfer";
    ASSERT_EQ(finished.size(), 1u);
    EXPECT_FALSE(finished[0]);
    EXPECT_TRUE(progress.empty());
    EXPECT_TRUE(status(u"7203"_s).isEmpty()) << "the interrupted row is left as it was";
    EXPECT_EQ(price(u"7203"_s), u"before"_s);
}

TEST_F(UpdateE2E, StopAfterTheFirstCode)
{
    // A second each page: the stop, asked when the first code's progress arrives, must come
    // before the second page even when a loaded machine keeps this thread waiting a while.
    startSite({ u"--delay-ms"_s, u"1000"_s });
    // One request in flight: with more, the second page may have arrived (and is then
    // applied) by the time the stop is asked for; ParallelUpdateTest covers that case.
    FetchPolicy one;
    one.parallel = 1;
    doc.setFetchFactory(NetworkFetchFactory(HttpOptions {}, one));
    const QStringList batch { u"7203"_s, u"6758"_s, u"9432"_s, u"7974"_s, u"8306"_s };
    addRows(batch);
    QObject::connect(&doc, &CQuotraDoc::updateProgress, &doc, [this](quint64, int index, const QString &) {
        if (index == 0)
            doc.StopUpdate();
    });
    doc.StartUpdate(batch);
    ASSERT_TRUE(waitFinished());
    ASSERT_EQ(progress.size(), 1u);
    EXPECT_EQ(progress[0].code, u"7203"_s);
    EXPECT_FALSE(finished[0]) << "a stopped run reports no change";
    EXPECT_FALSE(price(u"7203"_s).isEmpty());
    for (const QString &c : batch.mid(1))
        EXPECT_TRUE(price(c).isEmpty() && status(c).isEmpty()) << c.toStdString();
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(UpdateE2E, RunWithoutChangesLeavesTheDocumentUnmodified)
{
    startSite();
    addRows({ u"7203"_s });
    // The site's values move with its request counter; fill the row with exactly what the
    // next request will answer.
    const qint64 next = site.stats().requests + 1;
    QuoteRecord *row = doc.record(u"7203"_s);
    ParseDomesticStockPage(samplesite::QuotePage(u"7203"_s, static_cast<quint64>(next)), *row);
    row->datetime = 0;
    doc.StartUpdate({ u"7203"_s });
    ASSERT_TRUE(waitFinished());
    ASSERT_EQ(progress.size(), 1u);
    EXPECT_FALSE(finished[0]);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_GT(row->datetime, 0) << "the update time moves on";
}

TEST_F(UpdateE2E, RowDeletedDuringTheRunIsSkipped)
{
    startSite({ u"--delay-ms"_s, u"150"_s });
    const QStringList batch { u"7203"_s, u"6758"_s, u"9432"_s };
    addRows(batch);
    QObject::connect(&doc, &CQuotraDoc::updateProgress, &doc, [this](quint64, int index, const QString &) {
        if (index == 0)
            doc.removeRows({ u"6758"_s });
    });
    doc.StartUpdate(batch);
    ASSERT_TRUE(waitFinished());
    ASSERT_EQ(progress.size(), 2u);
    EXPECT_EQ(progress[1].index, 2);
    EXPECT_EQ(progress[1].code, u"9432"_s);
    EXPECT_FALSE(doc.contains(u"6758"_s));
}

TEST_F(UpdateE2E, PastedCodesAreAddedAndFetched)
{
    startSite();
    EXPECT_TRUE(doc.AddCodesFromText(u"7203 トヨタ\n^DJI\n0331418A,fund\n7203"_s).ok());
    ASSERT_TRUE(waitFinished());
    EXPECT_EQ(progress.size(), 3u);
    for (const QString &c : { u"7203"_s, u"^DJI"_s, u"0331418A"_s })
        EXPECT_FALSE(price(c).isEmpty()) << c.toStdString();
}

TEST(ResolveE2E, KindAndSuffixFromTheSite)
{
    SampleSite site;
    ASSERT_TRUE(site.start());
    QuoteRecord etf(u"1321"_s);
    ASSERT_TRUE(ResolveKindAndSuffix(etf));
    EXPECT_EQ(etf.kind, u"etf"_s);
    EXPECT_EQ(etf.exchange_suffix, u'T');
    QuoteRecord unknown(u"1111"_s);
    EXPECT_FALSE(ResolveKindAndSuffix(unknown)) << "the site answers 404 for a code it does not know";
}
