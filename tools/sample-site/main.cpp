#include "SampleServer.h"
#include "SelfSignedCert.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSaveFile>
#include <QSocketNotifier>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

int g_signalPipe[2] = { -1, -1 };

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[0], &byte, 1);
}

QSet<QString> codeSet(const QStringList &values)
{
    QSet<QString> codes;
    for (const QString &value : values) {
        for (const QString &code : value.split(u',', Qt::SkipEmptyParts))
            codes.insert(code.trimmed());
    }
    return codes;
}

[[noreturn]] void fail(const QString &message)
{
    std::fprintf(stderr, "quotra-sample-site: %s\n", qUtf8Printable(message));
    std::exit(2);
}

int numberOption(const QCommandLineParser &parser, const QString &name, qint64 min, qint64 max)
{
    bool ok = false;
    const qint64 value = parser.value(name).toLongLong(&ok);
    if (!ok || value < min || value > max)
        fail(u"--%1 needs a number from %2 to %3"_s.arg(name).arg(min).arg(max));
    return static_cast<int>(value);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"quotra-sample-site"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Sample quote site for Quotra: quote and ranking pages on 127.0.0.1."_s);
    parser.addHelpOption();
    parser.addOptions({
        { u"port"_s, u"Port to listen on; 0 picks a free one."_s, u"N"_s, u"0"_s },
        { u"delay-ms"_s, u"Delay before every answer."_s, u"N"_s, u"0"_s },
        { u"fail-404"_s, u"Answer these codes with 404."_s, u"CODE[,CODE]"_s },
        { u"fail-500"_s, u"Answer these codes with 500."_s, u"CODE[,CODE]"_s },
        { u"hang"_s, u"Accept requests for these codes and never answer."_s, u"CODE[,CODE]"_s },
        { u"pad-bytes"_s, u"Pad pages to N bytes (default: 300 KB to 650 KB by page kind)."_s, u"N"_s,
            u"-1"_s },
        { u"charset"_s, u"Page encoding: utf-8, shift_jis or euc-jp."_s, u"NAME"_s, u"utf-8"_s },
        { u"latency-ms"_s, u"Delay every answer by N ms without holding up other connections."_s, u"N"_s,
            u"0"_s },
        { u"code-delay"_s, u"Delay the answers for CODE by MS instead."_s, u"CODE=MS[,CODE=MS]"_s },
        { u"rate-limit"_s, u"Answer 429 with Retry-After to quote requests beyond N a second."_s, u"N"_s,
            u"0"_s },
        { u"busy-once"_s, u"Answer the first request for these codes with 429 and Retry-After."_s,
            u"CODE[,CODE]"_s },
        { u"retry-after"_s, u"Seconds a 429 asks the client to wait."_s, u"N"_s, u"1"_s },
        { u"retry-after-date"_s, u"Send Retry-After as an HTTP date rather than seconds."_s },
        { u"http2"_s,
            u"Serve HTTPS with a certificate made at start, HTTP/2 to clients that offer it (ALPN h2), else HTTP/1.1."_s },
        { u"cert-out"_s, u"With --http2: write the certificate (PEM) to FILE for clients to trust."_s,
            u"FILE"_s },
        { u"stats"_s, u"On SIGTERM or SIGINT print the connection and request counts, then exit."_s },
    });
    parser.process(app);

    samplesite::ServerOptions options;
    const int port = numberOption(parser, u"port"_s, 0, 65535);
    options.delayMs = std::max(
        numberOption(parser, u"delay-ms"_s, 0, 600000), numberOption(parser, u"latency-ms"_s, 0, 600000));
    options.rateLimit = numberOption(parser, u"rate-limit"_s, 0, 1000000);
    options.busyOnce = codeSet(parser.values(u"busy-once"_s));
    options.retryAfterSeconds = numberOption(parser, u"retry-after"_s, 0, 86400);
    options.retryAfterDate = parser.isSet(u"retry-after-date"_s);
    for (const QString &pair : codeSet(parser.values(u"code-delay"_s))) {
        const qsizetype eq = pair.indexOf(u'=');
        bool ok = false;
        const int ms = eq > 0 ? pair.mid(eq + 1).toInt(&ok) : -1;
        if (!ok || ms < 0 || ms > 600000)
            fail(u"--code-delay needs CODE=MS with MS from 0 to 600000"_s);
        options.codeDelayMs.insert(pair.left(eq), ms);
    }
    options.padBytes = numberOption(parser, u"pad-bytes"_s, -1, 64 * 1024 * 1024);
    options.fail404 = codeSet(parser.values(u"fail-404"_s));
    options.fail500 = codeSet(parser.values(u"fail-500"_s));
    options.hang = codeSet(parser.values(u"hang"_s));
    const QString charset = parser.value(u"charset"_s).toLower();
    if (charset == u"utf-8" || charset == u"utf8")
        options.charset = u"UTF-8"_s;
    else if (charset == u"shift_jis" || charset == u"sjis")
        options.charset = u"Shift_JIS"_s;
    else if (charset == u"euc-jp")
        options.charset = u"EUC-JP"_s;
    else
        fail(u"--charset must be utf-8, shift_jis or euc-jp"_s);

    if (parser.isSet(u"cert-out"_s) && !parser.isSet(u"http2"_s))
        fail(u"--cert-out needs --http2"_s);
    if (parser.isSet(u"http2"_s)) {
        const samplesite::PemIdentity identity = samplesite::MakeSelfSignedIdentity();
        if (identity.certificate.isEmpty())
            fail(u"cannot make the TLS certificate"_s);
        options.tlsCertificate = identity.certificate;
        options.tlsPrivateKey = identity.privateKey;
        if (parser.isSet(u"cert-out"_s)) {
            // Written before the port is announced, so a client that reads the port finds it.
            QSaveFile file(parser.value(u"cert-out"_s));
            if (!file.open(QIODevice::WriteOnly)
                || file.write(identity.certificate) != identity.certificate.size() || !file.commit())
                fail(u"cannot write the certificate to %1"_s.arg(parser.value(u"cert-out"_s)));
        }
    }

    samplesite::SampleServer server(options);
    if (!server.listen(static_cast<quint16>(port)))
        fail(u"cannot listen on port %1: %2"_s.arg(port).arg(server.errorString()));

    if (parser.isSet(u"stats"_s)) {
        // Signals only write a byte; the event loop prints the counts.
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0)
            fail(u"cannot create the signal pipe"_s);
        auto *notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, [&server] {
            char byte = 0;
            [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[1], &byte, 1);
            std::printf("%s\n", qUtf8Printable(server.statsLine()));
            std::fflush(stdout);
            QCoreApplication::quit();
        });
        struct sigaction action = {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGTERM, &action, nullptr);
        sigaction(SIGINT, &action, nullptr);
    }

    std::printf("port %u\n", static_cast<unsigned>(server.port()));
    std::fflush(stdout);
    return QCoreApplication::exec();
}
