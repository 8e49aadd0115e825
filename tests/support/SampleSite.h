#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/types.h>

// quotra-sample-site on a free loopback port for the length of a test; QUOTRA_SITE_ROOT
// points at it while it runs. Started with "--http2" it serves HTTPS (HTTP/2 by ALPN) and
// QUOTRA_SITE_CA_FILE names its certificate, so the program's requests trust it.
class SampleSite {
public:
    SampleSite() = default;
    ~SampleSite();
    SampleSite(const SampleSite &) = delete;
    SampleSite &operator=(const SampleSite &) = delete;

    // Starts the site with extra options (--delay-ms, --fail-404 ...); false when it did not
    // report its port within 20 s.
    bool start(const QStringList &options = {});
    QString root() const { return m_root; }

    struct Stats {
        qint64 connections = -1;
        qint64 requests = -1;
        qint64 peakInFlight = -1; // most requests waiting for their answers at once
        qint64 limited = -1; // answers 429
        qint64 streams = -1; // requests that came over HTTP/2
    };
    // The site's counts ("/__stats" is not counted itself).
    Stats stats() const;
    // Starts the peak of requests in flight again from the number in flight now.
    void resetPeak() const;

private:
    QTemporaryDir m_dir;
    pid_t m_pid = -1;
    QString m_root;
};

// Runs a program of the build's bin folder to its end; stdout in `out`, stderr in `err`.
// Returns the exit status, or -1 when it did not finish within 60 s or did not exit normally.
int RunProgram(const QString &name, const QStringList &arguments, QByteArray &out, QByteArray *err = nullptr);

// One run of quotra-cli with `arguments`: its status and its output as text.
struct CliRun {
    int status = -1;
    QString out;
    QString err;
};
CliRun RunCli(const QStringList &arguments);
