#include "SamplePages.h"

#include "quotes/fetch/HttpRequest.h"
#include "tests/support/TestPaths.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <memory>

using namespace Qt::StringLiterals;
using testing::HasSubstr;

namespace {

// QProcess and QTcpSocket want an application object in the process.
class CoreApplication : public testing::Environment {
public:
    void SetUp() override { m_app = std::make_unique<QCoreApplication>(m_argc, m_argv); }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[16] = "test";
    char *m_argv[2] = { m_name, nullptr };
    std::unique_ptr<QCoreApplication> m_app;
};
[[maybe_unused]] testing::Environment *const g_app = testing::AddGlobalTestEnvironment(new CoreApplication);

// Runs quotra-sample-site with the given options for the life of the object.
class SiteProcess {
public:
    explicit SiteProcess(QStringList options)
    {
        m_process.setProgram(quotra::test::binPath(u"quotra-sample-site"));
        m_process.setArguments(QStringList { u"--port"_s, u"0"_s } + options);
        m_process.start();
        if (!m_process.waitForStarted(10000))
            return;
        while (!m_process.canReadLine() && m_process.waitForReadyRead(10000)) { }
        const QByteArray line = m_process.readLine().trimmed();
        if (line.startsWith("port "))
            m_port = line.mid(5).toInt();
    }
    ~SiteProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(10000);
        }
    }

    int port() const { return m_port; }
    QString url(const QString &path) const { return u"http://127.0.0.1:%1/"_s.arg(m_port) + path; }
    QProcess &process() { return m_process; }

private:
    QProcess m_process;
    int m_port = 0;
};

QString stats(const SiteProcess &site)
{
    HttpRequest request;
    QString text;
    EXPECT_TRUE(request.Get(site.url(u"__stats"_s), text));
    return text.trimmed();
}

// Sends raw bytes on a fresh connection and collects what comes back until the server
// closes or goes quiet.
QByteArray exchange(int port, const QByteArray &bytes)
{
    QTcpSocket socket;
    socket.connectToHost(u"127.0.0.1"_s, static_cast<quint16>(port));
    if (!socket.waitForConnected(5000))
        return {};
    socket.write(bytes);
    socket.waitForBytesWritten(5000);
    QByteArray answer;
    while (socket.waitForReadyRead(1000))
        answer += socket.readAll();
    answer += socket.readAll();
    return answer;
}

} // namespace

TEST(SampleSite, PrintsItsPortFirst)
{
    SiteProcess site({});
    EXPECT_GT(site.port(), 0);
}

struct CharsetCase {
    const char *option;
    const char *label;
};

void PrintTo(const CharsetCase &c, std::ostream *os)
{
    *os << c.option;
}

class SampleSiteCharset : public testing::TestWithParam<CharsetCase> { };

TEST_P(SampleSiteCharset, ServesThePageTheBuildersWriteInItsEncoding)
{
    SiteProcess site(
        { u"--charset"_s, QString::fromLatin1(GetParam().option), u"--pad-bytes"_s, u"20000"_s });
    ASSERT_GT(site.port(), 0);
    HttpRequest request;
    const samplesite::PageOptions options { 20000, QString::fromLatin1(GetParam().label) };
    QString text;
    // The server's request counter moves the values: the first request is number 1.
    ASSERT_TRUE(request.Get(site.url(u"quote/7203"_s), text)) << request.lastError().toStdString();
    EXPECT_EQ(text, samplesite::QuotePage(u"7203"_s, 1, options));
    ASSERT_TRUE(request.Get(site.url(u"quote/0331418A"_s), text));
    EXPECT_EQ(text, samplesite::QuotePage(u"0331418A"_s, 2, options));
    ASSERT_TRUE(request.Get(site.url(u"quote/%5EDJI"_s), text));
    EXPECT_EQ(text, samplesite::QuotePage(u"^DJI"_s, 3, options));
    ASSERT_TRUE(request.Get(site.url(u"stocks/ranking/volume?market=all&term=daily"_s), text));
    EXPECT_EQ(text, samplesite::RankingPage(u"volume"_s, 4, options));
}

INSTANTIATE_TEST_SUITE_P(Charsets, SampleSiteCharset,
    testing::Values(CharsetCase { "utf-8", "UTF-8" }, CharsetCase { "shift_jis", "Shift_JIS" },
        CharsetCase { "euc-jp", "EUC-JP" }),
    [](const testing::TestParamInfo<CharsetCase> &info) {
        return std::string(info.param.label == std::string("UTF-8") ? "Utf8"
                : info.param.label == std::string("EUC-JP")         ? "EucJp"
                                                                    : "ShiftJis");
    });

TEST(SampleSite, OneConnectionForARunOfRequests)
{
    SiteProcess site({ u"--pad-bytes"_s, u"0"_s });
    HttpRequest request;
    QString text;
    for (const QString &code : samplesite::SampleCodes()) {
        QString path = code;
        path.replace(u'^', u"%5E"_s);
        EXPECT_TRUE(request.Get(site.url(u"quote/"_s + path), text)) << code.toStdString();
    }
    EXPECT_TRUE(request.Get(site.url(u"__stats"_s), text));
    EXPECT_TRUE(text.startsWith(u"connections 1 requests %1 "_s.arg(samplesite::SampleCodes().size())))
        << text.toStdString();
}

TEST(SampleSite, InjectedFailuresAndUnknownCodes)
{
    SiteProcess site({ u"--fail-404"_s, u"7203,AAPL"_s, u"--fail-500"_s, u"6758"_s });
    HttpRequest request;
    QString text;
    EXPECT_FALSE(request.Get(site.url(u"quote/7203"_s), text));
    EXPECT_EQ(request.lastStatus(), 404);
    EXPECT_FALSE(request.Get(site.url(u"quote/7203.T"_s), text));
    EXPECT_EQ(request.lastStatus(), 404);
    EXPECT_FALSE(request.Get(site.url(u"quote/AAPL"_s), text));
    EXPECT_EQ(request.lastStatus(), 404);
    EXPECT_FALSE(request.Get(site.url(u"quote/6758"_s), text));
    EXPECT_EQ(request.lastStatus(), 500);
    EXPECT_FALSE(request.Get(site.url(u"quote/9999"_s), text));
    EXPECT_EQ(request.lastStatus(), 404);
    EXPECT_FALSE(request.Get(site.url(u"stocks/ranking/nosuch"_s), text));
    EXPECT_EQ(request.lastStatus(), 404);
    EXPECT_TRUE(request.Get(site.url(u"quote/8951"_s), text));
    EXPECT_THAT(text.toStdString(), HasSubstr("8951.T"));
}

TEST(SampleSite, HangingCodeIsAcceptedAndNeverAnswered)
{
    SiteProcess site({ u"--hang"_s, u"7203"_s });
    HttpOptions options;
    options.totalTimeoutMs = 400;
    HttpRequest request(options);
    QString text;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(request.Get(site.url(u"quote/7203"_s), text));
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr("Timeout was reached"));
    // Other codes still answer, on a new connection.
    EXPECT_TRUE(request.Get(site.url(u"quote/6758"_s), text));
    EXPECT_TRUE(stats(site).startsWith(u"connections 3 requests 2 "_s)) << stats(site).toStdString();
}

TEST(SampleSite, DelayHoldsEveryAnswer)
{
    SiteProcess site({ u"--delay-ms"_s, u"1000"_s });
    HttpOptions options;
    options.totalTimeoutMs = 300;
    HttpRequest request(options);
    QString text;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(request.Get(site.url(u"quote/7203"_s), text));
    testing::internal::GetCapturedStderr();
}

TEST(SampleSite, ValuesMoveBetweenRequests)
{
    SiteProcess site({ u"--pad-bytes"_s, u"0"_s });
    HttpRequest request;
    QString first;
    QString second;
    ASSERT_TRUE(request.Get(site.url(u"quote/6758"_s), first));
    ASSERT_TRUE(request.Get(site.url(u"quote/6758"_s), second));
    EXPECT_NE(first, second);
}

TEST(SampleSite, StatsOnTermination)
{
    SiteProcess site({ u"--stats"_s });
    HttpRequest request;
    QString text;
    EXPECT_TRUE(request.Get(site.url(u"quote/1321"_s), text));
    EXPECT_TRUE(request.Get(site.url(u""_s), text)); // the index page
    EXPECT_THAT(text.toStdString(), HasSubstr("quote/%5EDJI"));
    ::kill(static_cast<pid_t>(site.process().processId()), SIGTERM);
    ASSERT_TRUE(site.process().waitForFinished(10000));
    EXPECT_EQ(site.process().exitStatus(), QProcess::NormalExit);
    EXPECT_TRUE(site.process().readAllStandardOutput().trimmed().startsWith("connections 1 requests 2 "));
}

TEST(SampleSite, BadOptionsAreRefused)
{
    for (const QStringList &args :
        { QStringList { u"--charset"_s, u"latin9"_s }, QStringList { u"--port"_s, u"x"_s },
            QStringList { u"--port"_s, u"70000"_s }, QStringList { u"--delay-ms"_s, u"-5"_s } }) {
        QProcess process;
        process.start(quotra::test::binPath(u"quotra-sample-site"), args);
        ASSERT_TRUE(process.waitForFinished(10000));
        EXPECT_EQ(process.exitCode(), 2) << args.join(u' ').toStdString();
        EXPECT_THAT(process.readAllStandardError().toStdString(), HasSubstr("quotra-sample-site: "));
    }
}

// --- Malformed and unusual requests ----------------------------------------------------------

struct RawCase {
    const char *name;
    QByteArray request;
    const char *statusLine;
    bool closes;
};

void PrintTo(const RawCase &c, std::ostream *os)
{
    *os << c.name;
}

class SampleSiteRaw : public testing::TestWithParam<RawCase> { };

TEST_P(SampleSiteRaw, AnswersAndKeepsServing)
{
    SiteProcess site({ u"--pad-bytes"_s, u"0"_s });
    const QByteArray answer = exchange(site.port(), GetParam().request);
    EXPECT_TRUE(answer.startsWith(GetParam().statusLine)) << answer.left(200).toStdString();
    if (GetParam().closes) {
        EXPECT_THAT(answer.toStdString(), HasSubstr("Connection: close"));
    }
    // Whatever came before, the server still serves.
    HttpRequest request;
    QString text;
    EXPECT_TRUE(request.Get(site.url(u"quote/7203"_s), text));
}

INSTANTIATE_TEST_SUITE_P(Requests, SampleSiteRaw,
    testing::Values(RawCase { "Garbage", QByteArray("\x01\x02 garbage\r\n\r\n"), "HTTP/1.1 400", true },
        RawCase { "NoVersion", "GET /quote/7203\r\n\r\n", "HTTP/1.1 400", true },
        RawCase { "NotAPath", "GET quote/7203 HTTP/1.1\r\n\r\n", "HTTP/1.1 400", true },
        RawCase { "HeaderWithoutColon", "GET / HTTP/1.1\r\nHost 127.0.0.1\r\n\r\n", "HTTP/1.1 400", true },
        RawCase { "NegativeLength", "GET / HTTP/1.1\r\nContent-Length: -1\r\n\r\n", "HTTP/1.1 400", true },
        RawCase { "HugeBody", "GET / HTTP/1.1\r\nContent-Length: 99999999999\r\n\r\n", "HTTP/1.1 413", true },
        RawCase {
            "ChunkedBody", "GET / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", "HTTP/1.1 501", true },
        RawCase { "HeadTooLarge", "GET / HTTP/1.1\r\nX-Fill: " + QByteArray(20000, 'a') + "\r\n\r\n",
            "HTTP/1.1 431", true },
        RawCase {
            "EndlessHead", "GET / HTTP/1.1\r\nX-Fill: " + QByteArray(40000, 'a'), "HTTP/1.1 431", true },
        RawCase {
            "Post", "POST /quote/7203 HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc", "HTTP/1.1 405", false },
        RawCase { "Http10Closes", "GET /quote/7203 HTTP/1.0\r\n\r\n", "HTTP/1.1 200", true },
        RawCase {
            "ExplicitClose", "GET /quote/7203 HTTP/1.1\r\nConnection: close\r\n\r\n", "HTTP/1.1 200", true },
        RawCase { "PercentGarbage", "GET /quote/%ZZ%5 HTTP/1.1\r\n\r\n", "HTTP/1.1 404", false },
        RawCase { "Head", "HEAD /quote/7203 HTTP/1.1\r\nConnection: close\r\n\r\n", "HTTP/1.1 200", true }),
    [](const testing::TestParamInfo<RawCase> &info) { return std::string(info.param.name); });

TEST(SampleSiteRawExtra, PipelinedRequestsAreAnsweredInOrder)
{
    SiteProcess site({ u"--pad-bytes"_s, u"0"_s, u"--delay-ms"_s, u"50"_s });
    const QByteArray answer = exchange(site.port(),
        "GET /quote/9999 HTTP/1.1\r\n\r\nGET /__stats HTTP/1.1\r\n\r\n"
        "GET /quote/7203 HTTP/1.1\r\nConnection: close\r\n\r\n");
    const qsizetype notFound = answer.indexOf("HTTP/1.1 404");
    const qsizetype stats = answer.indexOf("connections 1 requests 1");
    const qsizetype page = answer.indexOf("HTTP/1.1 200", stats);
    EXPECT_EQ(notFound, 0);
    EXPECT_GT(stats, notFound);
    EXPECT_GT(page, stats);
    EXPECT_THAT(answer.toStdString(), HasSubstr("7203.T"));
}

TEST(SampleSiteRawExtra, HeadAnswerHasLengthButNoBody)
{
    SiteProcess site({ u"--pad-bytes"_s, u"5000"_s });
    const QByteArray answer = exchange(site.port(), "HEAD /quote/7203 HTTP/1.1\r\nConnection: close\r\n\r\n");
    EXPECT_THAT(answer.toStdString(), HasSubstr("Content-Length: 5000\r\n"));
    EXPECT_TRUE(answer.endsWith("\r\n\r\n"));
}

TEST(SampleSiteRawExtra, PeerFloodingBehindAWaitingAnswerIsCutOff)
{
    SiteProcess site({ u"--hang"_s, u"7203"_s });
    QTcpSocket socket;
    socket.connectToHost(u"127.0.0.1"_s, static_cast<quint16>(site.port()));
    ASSERT_TRUE(socket.waitForConnected(5000));
    socket.write("GET /quote/7203 HTTP/1.1\r\n\r\n");
    socket.write(QByteArray(3 * 1024 * 1024, 'x'));
    socket.waitForBytesWritten(5000);
    EXPECT_TRUE(socket.state() == QAbstractSocket::UnconnectedState || socket.waitForDisconnected(10000));
    // The server itself carries on.
    HttpRequest request;
    QString text;
    EXPECT_TRUE(request.Get(site.url(u"quote/6758"_s), text));
}

// --- HTTPS and HTTP/2 --------------------------------------------------------------------------

namespace {

// The site with --http2, its certificate written to a temporary file that the program's
// requests trust for the life of the object.
class TlsSite {
public:
    explicit TlsSite(QStringList options = {})
        : m_certificate(m_dir.filePath(u"site.pem"_s))
        , m_site(QStringList { u"--http2"_s, u"--cert-out"_s, m_certificate } + options)
    {
        qputenv("QUOTRA_SITE_CA_FILE", QFile::encodeName(m_certificate));
    }
    ~TlsSite() { qunsetenv("QUOTRA_SITE_CA_FILE"); }

    int port() const { return m_site.port(); }
    QString url(const QString &path) const { return u"https://127.0.0.1:%1/"_s.arg(port()) + path; }
    const QString &certificate() const { return m_certificate; }

private:
    QTemporaryDir m_dir;
    QString m_certificate;
    SiteProcess m_site;
};

// Sends raw bytes over TLS after offering `protocol` by ALPN; what came back until the
// server closed or went quiet, and the protocol the server chose.
QByteArray tlsExchange(const TlsSite &site, const QByteArray &protocol, const QByteArray &bytes,
    QByteArray *chosen = nullptr, bool *closed = nullptr)
{
    QSslSocket socket;
    QSslConfiguration tls = socket.sslConfiguration();
    tls.setCaCertificates(QSslCertificate::fromPath(site.certificate()));
    tls.setAllowedNextProtocols({ protocol });
    socket.setSslConfiguration(tls);
    socket.connectToHostEncrypted(u"127.0.0.1"_s, static_cast<quint16>(site.port()));
    if (!socket.waitForEncrypted(10000))
        return "handshake failed: " + socket.errorString().toUtf8();
    if (chosen)
        *chosen = socket.sslConfiguration().nextNegotiatedProtocol();
    socket.write(bytes);
    socket.waitForBytesWritten(5000);
    QByteArray answer;
    while (socket.waitForReadyRead(1000))
        answer += socket.readAll();
    answer += socket.readAll();
    if (closed)
        *closed = socket.state() == QAbstractSocket::UnconnectedState;
    return answer;
}

QString tlsStats(const TlsSite &site)
{
    HttpRequest request;
    QString text;
    EXPECT_TRUE(request.Get(site.url(u"__stats"_s), text)) << request.lastError().toStdString();
    return text.trimmed();
}

constexpr char kPreface[] = "PRI * HTTP/2.0\r\n\r\nSM\r\n\r\n";

} // namespace

TEST(SampleSiteTls, ServesPagesOverHttp2AndCountsTheStreams)
{
    TlsSite site;
    ASSERT_GT(site.port(), 0);
    HttpRequest request;
    QString page;
    ASSERT_TRUE(request.Get(site.url(u"quote/7203"_s), page)) << request.lastError().toStdString();
    EXPECT_EQ(page, samplesite::QuotePage(u"7203"_s, 1));
    ASSERT_TRUE(request.Get(site.url(u"quote/6758"_s), page));
    EXPECT_EQ(tlsStats(site), u"connections 2 requests 2 peak 1 limited 0 streams 2"_s)
        << "one connection for both pages, one for the stats";
}

TEST(SampleSiteTls, OffersHttp11ToClientsWithoutH2)
{
    TlsSite site;
    QByteArray chosen;
    const QByteArray answer = tlsExchange(
        site, "http/1.1", "GET /quote/7203 HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", &chosen);
    EXPECT_EQ(chosen, "http/1.1");
    EXPECT_TRUE(answer.startsWith("HTTP/1.1 200 OK\r\n")) << answer.left(200).toStdString();
    EXPECT_THAT(tlsStats(site).toStdString(), HasSubstr("requests 1 peak 1 limited 0 streams 0"));
}

TEST(SampleSiteTls, ARequestWithoutThePrefaceIsCutOffAndTheSiteKeepsServing)
{
    TlsSite site;
    QByteArray chosen;
    bool closed = false;
    tlsExchange(site, "h2", "GET / HTTP/1.1\r\nHost: x\r\n\r\n", &chosen, &closed);
    EXPECT_EQ(chosen, "h2");
    EXPECT_TRUE(closed) << "not HTTP/2 after choosing it: the connection ends";
    EXPECT_THAT(tlsStats(site).toStdString(), HasSubstr("requests 0"));
}

TEST(SampleSiteTls, AnOversizedOrBrokenFrameEndsTheConnectionAndTheSiteKeepsServing)
{
    TlsSite site;
    // A SETTINGS frame (type 4) on stream 0 claiming 16 MB of payload, past the frame size limit.
    QByteArray frame = QByteArray(kPreface) + QByteArray::fromHex("ffffff040000000000");
    bool closed = false;
    tlsExchange(site, "h2", frame, nullptr, &closed);
    EXPECT_TRUE(closed);
    // HEADERS on stream 0, which no request may use.
    frame = QByteArray(kPreface) + QByteArray::fromHex("000000040000000000") // empty SETTINGS
        + QByteArray::fromHex("000001010500000000") + '\x82';
    tlsExchange(site, "h2", frame, nullptr, &closed);
    EXPECT_TRUE(closed);
    // The site once crashed here: the TLS socket was closed inside its own readyRead.
    EXPECT_THAT(tlsStats(site).toStdString(), HasSubstr("requests 0 peak 0 limited 0 streams 0"));
}

TEST(SampleSiteTls, CertOutNeedsHttp2)
{
    QProcess process;
    process.start(
        quotra::test::binPath(u"quotra-sample-site"), { u"--cert-out"_s, u"/tmp/never-written.pem"_s });
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 2);
    EXPECT_THAT(process.readAllStandardError().toStdString(), HasSubstr("--cert-out needs --http2"));
}
