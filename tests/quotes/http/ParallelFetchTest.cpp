// The parallel fetch against a scripted peer: the budget for waiting on the site, and a
// failure of the transfer thread reaching every unfinished code with its cause.
#include "LoopbackServer.h"

#include "corelib/LanguageModule.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "quotes/fetch/CurlTransfer.h"
#include "quotes/fetch/ParallelFetch.h"
#include "tests/support/QtPrinters.h"

#include <QElapsedTimer>
#include <QLoggingCategory>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using After = LoopbackServer::After;

namespace {

class LanguageEnv : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(tessera::LanguageModule::instance().load()); }
};
const auto *const kEnv = ::testing::AddGlobalTestEnvironment(new LanguageEnv);

const QStringList kCodes { u"7203"_s, u"6758"_s, u"8306"_s, u"9432"_s, u"9984"_s };

// Points the site root at the peer for one test.
class ScriptedSite : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_oldRoot = qgetenv("QUOTRA_SITE_ROOT");
        qputenv("QUOTRA_SITE_ROOT", server.url("/").toUtf8());
        QLoggingCategory::setFilterRules(u"quotra.fetch.warning=false"_s);
    }
    void TearDown() override
    {
        qputenv("QUOTRA_SITE_ROOT", m_oldRoot);
        QLoggingCategory::setFilterRules(QString());
    }
    // Every code's page answers `status` with Retry-After: 1.
    void answerEveryCode(int status)
    {
        for (const QString &code : kCodes) {
            server.on("/quote/" + code.toStdString(), [status](LoopbackServer::Connection &c, const auto &) {
                return c.send(LoopbackServer::answer(status, "text/plain", "busy", "Retry-After: 1\r\n"))
                    ? After::KeepAlive
                    : After::Close;
            });
        }
    }

    LoopbackServer server;

private:
    QByteArray m_oldRoot;
};

} // namespace

// A site that answers 429 to everything held each code for its answer and again for its retry:
// a scheduled run of 200 rows waited for hours. Now a code answered 429 after its retry fails
// at once, and the waits of a run stop at its budget; then every code left fails unasked.
TEST_F(ScriptedSite, WaitingOnTheSiteEndsAtTheRunsBudget)
{
    for (const int status : { 429, 503 }) {
        SCOPED_TRACE(status);
        answerEveryCode(status);
        const size_t before = server.requests().size();
        FetchPolicy policy;
        policy.parallel = 1;
        policy.retryWaitBudgetSeconds = 2;
        BatchFetcher fetcher(kCodes, {}, policy, nullptr);
        QElapsedTimer clock;
        clock.start();
        QStringList errors;
        for (const QString &code : kCodes) {
            EXPECT_FALSE(fetcher.fetch(code));
            errors << fetcher.error();
        }
        const QString tooLong = tessera::FormatResourceString(Ids::MsgSiteWaitTooLong);
        ASSERT_FALSE(tooLong.isEmpty());
        const QString asked = u"HTTP status %1"_s.arg(status);
        // Two codes are asked twice within the budget of 2 s; the third's wait would pass it.
        EXPECT_EQ(errors, QStringList({ asked, asked, tooLong, tooLong, tooLong }));
        EXPECT_EQ(server.requests().size() - before, 5u) << "no code is asked after the budget is spent";
        EXPECT_LT(clock.elapsed(), 8000);
    }
}

TEST_F(ScriptedSite, NoBudgetMeansNoWait)
{
    answerEveryCode(429);
    FetchPolicy policy;
    policy.retryWaitBudgetSeconds = 0;
    BatchFetcher fetcher(kCodes.first(2), {}, policy, nullptr);
    EXPECT_FALSE(fetcher.fetch(kCodes[0]));
    EXPECT_EQ(fetcher.error(), tessera::FormatResourceString(Ids::MsgSiteWaitTooLong));
    EXPECT_FALSE(fetcher.fetch(kCodes[1]));
    EXPECT_EQ(fetcher.error(), tessera::FormatResourceString(Ids::MsgSiteWaitTooLong));
}

TEST(FetchPolicy, TheWaitBudgetIsKeptInItsRange)
{
    FetchPolicy policy;
    EXPECT_EQ(policy.retryWaitBudgetSeconds, 300);
    policy.retryWaitBudgetSeconds = -1;
    EXPECT_EQ(policy.clamped().retryWaitBudgetSeconds, 0);
    policy.retryWaitBudgetSeconds = 100000;
    EXPECT_EQ(policy.clamped().retryWaitBudgetSeconds, 3600);
}

// The transfer thread's wait failing (a broken multi handle) was reported to every row as
// "stopped", as if the user had stopped the run.
TEST_F(ScriptedSite, AFailingTransferThreadGivesEachRowItsCause)
{
    for (const QString &code : kCodes)
        server.on("/quote/" + code.toStdString(), [](LoopbackServer::Connection &c, const auto &) {
            return c.send(LoopbackServer::answer(200, "text/html", "<html></html>")) ? After::KeepAlive
                                                                                     : After::Close;
        });
    fetchdetail::SetMultiPoll([](CURLM *, int) { return CURLM_OUT_OF_MEMORY; });
    {
        BatchFetcher fetcher(kCodes, {}, {}, nullptr);
        const QString cause = QString::fromUtf8(curl_multi_strerror(CURLM_OUT_OF_MEMORY));
        for (const QString &code : kCodes) {
            SCOPED_TRACE(code.toStdString());
            EXPECT_FALSE(fetcher.fetch(code));
            EXPECT_EQ(fetcher.error(), cause);
        }
    }
    fetchdetail::SetMultiPoll(nullptr);
}
