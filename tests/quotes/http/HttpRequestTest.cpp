#include "LoopbackServer.h"

#include "corelib/TextCodec.h"
#include "quotes/fetch/HttpRequest.h"

#include <QLoggingCategory>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace Qt::StringLiterals;
using After = LoopbackServer::After;
using testing::HasSubstr;

namespace {

LoopbackServer::Handler serveBytes(
    int status, std::string contentType, std::string body, std::string extraHeaders = {})
{
    return [=](LoopbackServer::Connection &c, const LoopbackServer::Request &) {
        return c.send(LoopbackServer::answer(status, contentType, body, extraHeaders)) ? After::KeepAlive
                                                                                       : After::Close;
    };
}

std::string bytesOf(const QByteArray &b)
{
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

// Japanese text that needs the vendor extensions of the Windows code page (①, ～) and
// characters that differ between the Japanese encodings.
const QString kJapanese = u"トヨタ自動車(株) 東証PRM 前日終値 2,345.5 ①～"_s;
const QString kEucJapanese = u"トヨタ自動車(株) 東証PRM 前日終値 2,345.5 髙"_s;

} // namespace

// --- Body decoding ---------------------------------------------------------------------------

struct CharsetCase {
    const char *name;
    const char *contentType;
    const char *encodeAs;
    QString text;
};

void PrintTo(const CharsetCase &c, std::ostream *os)
{
    *os << c.name;
}

class HttpDecoding : public testing::TestWithParam<CharsetCase> { };

TEST_P(HttpDecoding, DecodesByDeclaredCharset)
{
    const CharsetCase &c = GetParam();
    LoopbackServer server;
    server.on("/page", serveBytes(200, c.contentType, bytesOf(tessera::EncodeText(c.text, c.encodeAs))));
    HttpRequest request;
    QString text;
    ASSERT_TRUE(request.Get(server.url("/page"), text)) << request.lastError().toStdString();
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(request.lastUnknownCharset().isEmpty(), std::string(c.name) != "UnknownCharsetIsUtf8");
    EXPECT_EQ(request.lastStatus(), 200);
    EXPECT_TRUE(request.lastError().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Charsets, HttpDecoding,
    testing::Values(CharsetCase { "Utf8", "text/html; charset=UTF-8", "UTF-8", kJapanese },
        CharsetCase { "NoCharsetIsUtf8", "text/html", "UTF-8", kJapanese },
        CharsetCase { "NoContentTypeIsUtf8", "", "UTF-8", kJapanese },
        CharsetCase { "ShiftJis", "text/html; charset=Shift_JIS", "windows-31j", kJapanese },
        CharsetCase { "ShiftJisLowerQuoted", "text/html;charset=\"shift_jis\"", "windows-31j", kJapanese },
        CharsetCase { "Cp932", "text/html; charset=windows-31j", "windows-31j", kJapanese },
        CharsetCase { "EucJp", "text/html; charset=EUC-JP", "EUC-JP", kEucJapanese },
        CharsetCase {
            "EucJpAfterOtherParameter", "text/html; q=1; Charset = euc-jp", "EUC-JP", kEucJapanese },
        CharsetCase { "UnknownCharsetIsUtf8", "text/html; charset=x-no-such-set", "UTF-8", kJapanese }),
    [](const testing::TestParamInfo<CharsetCase> &info) { return std::string(info.param.name); });

TEST(HttpDecodeBody, ShiftJisWaveDashIsTheFullwidthTilde)
{
    // 0x81 0x60 is ～ (U+FF5E) in the Windows code page that browsers use for Shift_JIS.
    EXPECT_EQ(HttpRequest::decodeBody(QByteArray("\x81\x60", 2), "text/html; charset=Shift_JIS"),
        QString(QChar(0xFF5E)));
}

TEST(HttpDecodeBody, ByteOrderMarkOutranksHeaderAndIsDropped)
{
    EXPECT_EQ(HttpRequest::decodeBody("\xEF\xBB\xBF"
                                      "abc",
                  "text/html; charset=Shift_JIS"),
        u"abc"_s);
    EXPECT_EQ(HttpRequest::decodeBody(QByteArray("\xFF\xFE"
                                                 "a\0b\0",
                                          6),
                  "text/html"),
        u"ab"_s);
    EXPECT_EQ(HttpRequest::decodeBody(QByteArray("\xFE\xFF\0a\0b", 6), ""), u"ab"_s);
}

TEST(HttpDecodeBody, MalformedBytesBecomeReplacementCharacters)
{
    const QString utf8 = HttpRequest::decodeBody("a\xC3(b\xFF", "text/html; charset=utf-8");
    EXPECT_TRUE(utf8.startsWith(u'a'));
    EXPECT_TRUE(utf8.contains(QChar(0xFFFD)));
    EXPECT_TRUE(utf8.contains(u'b'));
    const QString sjis = HttpRequest::decodeBody("x\x81", "text/html; charset=Shift_JIS");
    EXPECT_EQ(sjis.left(1), u"x"_s);
    EXPECT_TRUE(sjis.contains(QChar(0xFFFD)));
    EXPECT_TRUE(HttpRequest::decodeBody({}, "text/html; charset=EUC-JP").isEmpty());
}

TEST(HttpDecodeBody, EmptyOrBrokenCharsetParameterFallsBackToUtf8)
{
    EXPECT_EQ(HttpRequest::decodeBody("\xE6\xA0\xAA", "text/html; charset="), u"株"_s);
    EXPECT_EQ(HttpRequest::decodeBody("\xE6\xA0\xAA", "text/html; charset=\""), u"株"_s);
    EXPECT_EQ(HttpRequest::decodeBody("\xE6\xA0\xAA", ";;;=;charset"), u"株"_s);
}

// --- Status codes ----------------------------------------------------------------------------

struct StatusCase {
    int status;
    bool ok;
};

void PrintTo(const StatusCase &c, std::ostream *os)
{
    *os << c.status << (c.ok ? " ok" : " fails");
}

class HttpStatus : public testing::TestWithParam<StatusCase> { };

TEST_P(HttpStatus, OnlyTwoHundredsSucceedAndNoDiagnosticIsWritten)
{
    const StatusCase &c = GetParam();
    LoopbackServer server;
    server.on("/s", serveBytes(c.status, "text/html", c.status == 304 ? "" : "body"));
    HttpRequest request;
    QString text = u"untouched"_s;
    testing::internal::CaptureStderr();
    const bool ok = request.Get(server.url("/s"), text);
    const std::string diagnostics = testing::internal::GetCapturedStderr();
    EXPECT_EQ(ok, c.ok);
    EXPECT_EQ(request.lastStatus(), c.status);
    EXPECT_TRUE(diagnostics.empty()) << diagnostics;
    EXPECT_FALSE(request.lastAborted());
    if (c.ok) {
        EXPECT_EQ(text, c.status == 204 ? QString() : u"body"_s);
    } else {
        EXPECT_EQ(text, u"untouched"_s);
        EXPECT_EQ(request.lastError(), u"HTTP status %1"_s.arg(c.status));
    }
}

INSTANTIATE_TEST_SUITE_P(Statuses, HttpStatus,
    testing::Values(StatusCase { 200, true }, StatusCase { 203, true }, StatusCase { 204, true },
        StatusCase { 299, true }, StatusCase { 300, false }, StatusCase { 304, false },
        StatusCase { 404, false }, StatusCase { 500, false }, StatusCase { 503, false }),
    [](const testing::TestParamInfo<StatusCase> &info) {
        return "Status" + std::to_string(info.param.status);
    });

TEST(HttpRedirect, IsNotFollowedAndFails)
{
    LoopbackServer server;
    server.on("/old", serveBytes(301, "text/html", "moved", "Location: /new\r\n"));
    server.on("/new", serveBytes(200, "text/html", "new page"));
    HttpRequest request;
    QString text;
    EXPECT_FALSE(request.Get(server.url("/old"), text));
    EXPECT_EQ(request.lastStatus(), 301);
    EXPECT_TRUE(text.isEmpty());
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0].path, "/old");
}

// --- Request headers and connection reuse ----------------------------------------------------

TEST(HttpHeaders, BrowserLikeRequest)
{
    LoopbackServer server;
    server.on("/quote/7203", serveBytes(200, "text/html", "x"));
    HttpRequest request;
    QString text;
    ASSERT_TRUE(request.Get(server.url("/quote/7203"), text));
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    const LoopbackServer::Request &r = requests[0];
    EXPECT_EQ(r.method, "GET");
    EXPECT_EQ(r.headers.at("if-modified-since"), "Thu, 01 Jun 1970 00:00:00 GMT");
    EXPECT_EQ(r.headers.at("accept-language"), "ja");
    EXPECT_THAT(r.headers.at("user-agent"), HasSubstr("Mozilla/5.0"));
    EXPECT_THAT(r.headers.at("accept-encoding"), HasSubstr("deflate"));
}

TEST(HttpHeaders, CompressedAnswerIsInflated)
{
    // qCompress writes a zlib stream behind a four-byte length: the "deflate" coding.
    const QByteArray page = u"圧縮されたページ 2,345.5"_s.toUtf8().repeated(200);
    const QByteArray deflated = qCompress(page).mid(4);
    LoopbackServer server;
    server.on("/z",
        serveBytes(200, "text/html; charset=UTF-8", bytesOf(deflated), "Content-Encoding: deflate\r\n"));
    HttpRequest request;
    QString text;
    ASSERT_TRUE(request.Get(server.url("/z"), text)) << request.lastError().toStdString();
    EXPECT_EQ(text, QString::fromUtf8(page));
}

TEST(HttpKeepAlive, ConsecutiveGetsShareOneConnection)
{
    LoopbackServer server;
    server.on("/a", serveBytes(200, "text/html", "a"));
    server.on("/b", serveBytes(404, "text/html", "b"));
    HttpRequest request;
    QString text;
    EXPECT_TRUE(request.Get(server.url("/a"), text));
    EXPECT_FALSE(request.Get(server.url("/b"), text));
    EXPECT_TRUE(request.Get(server.url("/a"), text));
    EXPECT_EQ(server.requests().size(), 3u);
    EXPECT_EQ(server.connections(), 1);
}

TEST(HttpProxy, LoopbackIsReachedDirectlyWhateverTheEnvironmentSays)
{
    LoopbackServer server;
    server.on("/a", serveBytes(200, "text/html", "direct"));
    // A proxy address that never answers.
    qputenv("http_proxy", "http://10.255.255.1:9");
    HttpOptions options;
    options.connectTimeoutMs = 2000;
    HttpRequest request(options);
    QString text;
    const bool ok = request.Get(server.url("/a"), text);
    qunsetenv("http_proxy");
    EXPECT_TRUE(ok) << request.lastError().toStdString();
    EXPECT_EQ(text, u"direct"_s);
}

TEST(HttpKeepAlive, ServerClosingBetweenRequestsIsHandled)
{
    LoopbackServer server;
    server.on("/once", [](LoopbackServer::Connection &c, const LoopbackServer::Request &) {
        c.send(LoopbackServer::answer(200, "text/html", "first", "Connection: close\r\n"));
        return After::Close;
    });
    HttpRequest request;
    QString text;
    EXPECT_TRUE(request.Get(server.url("/once"), text));
    EXPECT_TRUE(request.Get(server.url("/once"), text));
    EXPECT_EQ(text, u"first"_s);
    EXPECT_EQ(server.connections(), 2);
}

// --- Transport failures ----------------------------------------------------------------------

TEST(HttpFailure, ConnectionRefusedWritesTheDiagnostic)
{
    int port = 0;
    {
        LoopbackServer gone;
        port = gone.port();
    }
    HttpRequest request;
    QString text;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(request.Get(u"http://127.0.0.1:%1/quote/7203"_s.arg(port), text));
    const std::string diagnostics = testing::internal::GetCapturedStderr();
    EXPECT_EQ(request.lastStatus(), 0);
    EXPECT_FALSE(request.lastAborted());
    // The design's block, under the logging category's name.
    EXPECT_THAT(diagnostics,
        testing::StartsWith(
            "quotra.fetch: Error:\nCode = 00000007\nCode meaning = Couldn't connect to server\n"
            "Source = libcurl GET http://127.0.0.1:"));
    EXPECT_THAT(diagnostics, HasSubstr("/quote/7203\nDescription = "));
    EXPECT_THAT(diagnostics, testing::EndsWith("\n"));
    EXPECT_THAT(request.lastError().toStdString(), testing::StartsWith("connection refused ("));
}

TEST(HttpFailure, DiagnosticsFollowTheLoggingRules)
{
    int port = 0;
    {
        LoopbackServer gone;
        port = gone.port();
    }
    QLoggingCategory::setFilterRules(u"quotra.fetch.warning=false"_s);
    HttpRequest request;
    QString text;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(request.Get(u"http://127.0.0.1:%1/quote/7203"_s.arg(port), text));
    const std::string diagnostics = testing::internal::GetCapturedStderr();
    QLoggingCategory::setFilterRules(QString());
    EXPECT_EQ(diagnostics, "");
    EXPECT_THAT(request.lastError().toStdString(), testing::StartsWith("connection refused ("))
        << "the reason is kept whether or not it is logged";
}

TEST(HttpFailure, ResetInTheMiddleOfTheBody)
{
    LoopbackServer server;
    server.on("/cut", [](LoopbackServer::Connection &c, const LoopbackServer::Request &) {
        c.send("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 100000\r\n\r\n");
        c.send(std::string(1000, 'x'));
        return After::Reset;
    });
    HttpRequest request;
    QString text;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(request.Get(server.url("/cut"), text));
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr("Error:\nCode = "));
    EXPECT_TRUE(text.isEmpty());
}

TEST(HttpFailure, ShortBodyThenOrderlyCloseFails)
{
    LoopbackServer server;
    server.on("/short", [](LoopbackServer::Connection &c, const LoopbackServer::Request &) {
        c.send("HTTP/1.1 200 OK\r\nContent-Length: 500\r\n\r\nonly this");
        return After::Close;
    });
    HttpRequest request;
    QString text;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(request.Get(server.url("/short"), text));
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr("Code = 00000012")); // CURLE_PARTIAL_FILE
}

TEST(HttpFailure, NothingOrGarbageAnswered)
{
    LoopbackServer server;
    server.on("/nothing",
        [](LoopbackServer::Connection &, const LoopbackServer::Request &) { return After::Close; });
    server.on("/garbage", [](LoopbackServer::Connection &c, const LoopbackServer::Request &) {
        c.send(std::string("\x00\x01\xFFnot http at all\r\n\r\n", 22));
        return After::Close;
    });
    HttpRequest request;
    QString text;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(request.Get(server.url("/nothing"), text));
    EXPECT_FALSE(request.Get(server.url("/garbage"), text));
    testing::internal::GetCapturedStderr();
    // The handle stays usable after failures.
    server.on("/fine", serveBytes(200, "text/html", "fine"));
    EXPECT_TRUE(request.Get(server.url("/fine"), text));
    EXPECT_EQ(text, u"fine"_s);
}

TEST(HttpFailure, BrokenCompressedBodyFails)
{
    LoopbackServer server;
    server.on(
        "/gz", serveBytes(200, "text/html", "this is not gzip data at all", "Content-Encoding: gzip\r\n"));
    HttpRequest request;
    QString text = u"kept"_s;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(request.Get(server.url("/gz"), text));
    EXPECT_THAT(
        testing::internal::GetCapturedStderr(), HasSubstr("Code = 0000003d")); // CURLE_BAD_CONTENT_ENCODING
    EXPECT_EQ(text, u"kept"_s);
}

TEST(HttpFailure, AddressesThatAreNotHttpAreRefused)
{
    HttpRequest request;
    QString text;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(request.Get(u"file:///etc/passwd"_s, text));
    EXPECT_FALSE(request.Get(u"not an address"_s, text));
    EXPECT_FALSE(request.Get(QString(), text));
    EXPECT_FALSE(request.Get(u"http://[::1"_s, text));
    const std::string diagnostics = testing::internal::GetCapturedStderr();
    EXPECT_THAT(diagnostics, HasSubstr("Code = 00000001")); // CURLE_UNSUPPORTED_PROTOCOL
    EXPECT_TRUE(text.isEmpty());
}

// --- Limits: time-outs, body size, stop flag -------------------------------------------------

TEST(HttpLimits, HangingServerTimesOut)
{
    LoopbackServer server;
    server.on(
        "/hang", [](LoopbackServer::Connection &, const LoopbackServer::Request &) { return After::Hang; });
    HttpOptions options;
    options.totalTimeoutMs = 300;
    HttpRequest request(options);
    QString text;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(request.Get(server.url("/hang"), text));
    EXPECT_THAT(
        testing::internal::GetCapturedStderr(), HasSubstr("Code = 0000001c")); // CURLE_OPERATION_TIMEDOUT
    EXPECT_FALSE(request.lastAborted());
    EXPECT_EQ(request.lastError().toStdString(), "timed out after 0.3 s");
}

TEST(HttpLimits, EndlessBodyIsCapped)
{
    LoopbackServer server;
    server.on("/endless", [](LoopbackServer::Connection &c, const LoopbackServer::Request &) {
        c.send("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nTransfer-Encoding: chunked\r\n\r\n");
        const std::string chunk = "4000\r\n" + std::string(0x4000, 'a') + "\r\n";
        while (!c.stopping() && c.send(chunk)) { }
        return After::Close;
    });
    HttpOptions options;
    options.maxBodyBytes = 1 << 20;
    HttpRequest request(options);
    QString text;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(request.Get(server.url("/endless"), text));
    const std::string diagnostics = testing::internal::GetCapturedStderr();
    EXPECT_THAT(diagnostics, HasSubstr("Description = The answer is larger than 1048576 bytes.\n"));
    EXPECT_EQ(request.lastError().toStdString(), "the answer is larger than 1048576 bytes");
    EXPECT_TRUE(text.isEmpty());
}

TEST(HttpLimits, DeclaredLengthAboveTheCapFailsBeforeTheBody)
{
    LoopbackServer server;
    server.on("/huge", [](LoopbackServer::Connection &c, const LoopbackServer::Request &) {
        c.send("HTTP/1.1 200 OK\r\nContent-Length: 999999999\r\n\r\nabc");
        return After::Hang;
    });
    HttpOptions options;
    options.maxBodyBytes = 1000;
    HttpRequest request(options);
    QString text;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(request.Get(server.url("/huge"), text));
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr("larger than 1000 bytes"));
}

TEST(HttpLimits, BodyExactlyAtTheCapIsAccepted)
{
    LoopbackServer server;
    server.on("/exact", serveBytes(200, "text/plain", std::string(1000, 'q')));
    HttpOptions options;
    options.maxBodyBytes = 1000;
    HttpRequest request(options);
    QString text;
    EXPECT_TRUE(request.Get(server.url("/exact"), text));
    EXPECT_EQ(text.size(), 1000);
}

TEST(HttpStop, FlagSetFromAnotherThreadAbortsTheRequestInFlight)
{
    LoopbackServer server;
    server.on(
        "/hang", [](LoopbackServer::Connection &, const LoopbackServer::Request &) { return After::Hang; });
    std::atomic<bool> stop { false };
    HttpRequest request; // the default 30 s time-out: only the stop can end this quickly
    request.setStopFlag(&stop);
    std::thread stopper([&stop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        stop = true;
    });
    QString text;
    testing::internal::CaptureStderr();
    const bool ok = request.Get(server.url("/hang"), text);
    const std::string diagnostics = testing::internal::GetCapturedStderr();
    stopper.join();
    EXPECT_FALSE(ok);
    EXPECT_TRUE(request.lastAborted());
    EXPECT_EQ(request.lastError().toStdString(), "stopped");
    EXPECT_TRUE(diagnostics.empty()) << diagnostics;
}

TEST(HttpStop, FlagSetDuringAStreamingBodyAborts)
{
    std::atomic<bool> stop { false };
    LoopbackServer server;
    server.on("/stream", [&stop](LoopbackServer::Connection &c, const LoopbackServer::Request &) {
        c.send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n");
        const std::string chunk = "100\r\n" + std::string(0x100, 'a') + "\r\n";
        for (int i = 0; !c.stopping() && c.send(chunk); ++i) {
            if (i == 50)
                stop = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return After::Close;
    });
    HttpRequest request;
    request.setStopFlag(&stop);
    QString text;
    EXPECT_FALSE(request.Get(server.url("/stream"), text));
    EXPECT_TRUE(request.lastAborted());
}

TEST(HttpStop, FlagAlreadySetMakesNoRequestAndClearingItRecovers)
{
    LoopbackServer server;
    server.on("/a", serveBytes(200, "text/html", "a"));
    std::atomic<bool> stop { true };
    HttpRequest request;
    request.setStopFlag(&stop);
    QString text;
    EXPECT_FALSE(request.Get(server.url("/a"), text));
    EXPECT_TRUE(request.lastAborted());
    EXPECT_EQ(server.requests().size(), 0u);
    stop = false;
    EXPECT_TRUE(request.Get(server.url("/a"), text));
    EXPECT_FALSE(request.lastAborted());
    request.setStopFlag(nullptr);
    EXPECT_TRUE(request.Get(server.url("/a"), text));
}

TEST(HttpDecodeBody, ControlCharacterSentByThePageIsKept)
{
    const QString text = HttpRequest::decodeBody("a\x1A\x8E", "text/html; charset=EUC-JP");
    EXPECT_EQ(text.left(2), u"a\x1A"_s);
}

// --- Buffers kept between requests -----------------------------------------------------------

TEST(HttpBuffers, PagesOfChangingSizeOnOneRequestArriveWhole)
{
    // The receive buffer keeps the room of the biggest page; nothing of an earlier, longer
    // page may show through a shorter one.
    const QString big = u"<tr><td>トヨタ自動車</td><td>2,345.5</td></tr>\n"_s.repeated(30000); // about 1.5 MB
    const QString small = u"短いページ"_s;
    LoopbackServer server;
    server.on("/big", serveBytes(200, "text/html; charset=UTF-8", bytesOf(big.toUtf8())));
    server.on("/small", serveBytes(200, "text/html; charset=UTF-8", bytesOf(small.toUtf8())));
    server.on("/sjis", serveBytes(200, "text/html; charset=Shift_JIS", bytesOf(tessera::EncodeAnsi(small))));
    HttpRequest request;
    QString text;
    for (const char *path : { "/big", "/small", "/big", "/sjis", "/big", "/small" }) {
        ASSERT_TRUE(request.Get(server.url(path), text)) << path;
        EXPECT_EQ(text, std::string_view(path) == "/big" ? big : small) << path;
    }
    EXPECT_EQ(server.connections(), 1);
}

TEST(HttpBuffers, FailedBodyLeavesNothingForTheNextPage)
{
    LoopbackServer server;
    server.on("/short", [](LoopbackServer::Connection &c, const LoopbackServer::Request &) {
        c.send("HTTP/1.1 200 OK\r\nContent-Length: 500000\r\n\r\n" + std::string(100000, 'x'));
        return After::Close;
    });
    server.on("/ok", serveBytes(200, "text/html", "ok"));
    HttpRequest request;
    QString text = u"kept"_s;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(request.Get(server.url("/short"), text));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(text, u"kept"_s);
    ASSERT_TRUE(request.Get(server.url("/ok"), text));
    EXPECT_EQ(text, u"ok"_s);
}

TEST(HttpBuffers, TextHeldByTheCallerIsNotOverwrittenByTheNextPage)
{
    LoopbackServer server;
    server.on("/a", serveBytes(200, "text/html", std::string(200000, 'a')));
    server.on("/b", serveBytes(200, "text/html", std::string(200000, 'b')));
    HttpRequest request;
    QString text;
    ASSERT_TRUE(request.Get(server.url("/a"), text));
    const QString held = text; // shares the page
    ASSERT_TRUE(request.Get(server.url("/b"), text));
    EXPECT_EQ(held, QString(200000, u'a'));
    EXPECT_EQ(text, QString(200000, u'b'));
}
