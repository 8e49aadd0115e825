#include "tests/support/SampleSite.h"

#include "quotes/fetch/HttpRequest.h"
#include "tests/support/TestPaths.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

using namespace Qt::StringLiterals;

namespace {

// Children are started with posix_spawn rather than QProcess: QProcess's way of starting
// and reaping children hides this process's own locking from ThreadSanitizer, whose build
// runs these tests.
pid_t spawn(
    const QString &program, const QStringList &arguments, const QString &outFile, const QString &errFile)
{
    std::vector<QByteArray> storage;
    storage.push_back(program.toLocal8Bit());
    for (const QString &a : arguments)
        storage.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    const QByteArray out = outFile.toLocal8Bit();
    const QByteArray err = errFile.toLocal8Bit();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, storage[0].constData(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

SampleSite::~SampleSite()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    qunsetenv("QUOTRA_SITE_ROOT");
    qunsetenv("QUOTRA_SITE_CA_FILE");
}

bool SampleSite::start(const QStringList &options)
{
    if (!m_dir.isValid())
        return false;
    const QString out = m_dir.filePath(u"site.out"_s);
    const bool tls = options.contains(u"--http2"_s);
    const QString certificate = m_dir.filePath(u"site.pem"_s);
    QStringList arguments { u"--port"_s, u"0"_s };
    if (tls)
        arguments << u"--cert-out"_s << certificate;
    m_pid = spawn(quotra::test::binPath(u"quotra-sample-site"), arguments + options, out,
        m_dir.filePath(u"site.err"_s));
    if (m_pid <= 0)
        return false;
    QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        const QByteArray text = readAll(out);
        const qsizetype eol = text.indexOf('\n');
        if (eol > 0) {
            const QByteArray line = text.left(eol).trimmed();
            if (!line.startsWith("port "))
                return false;
            m_root = (tls ? u"https://127.0.0.1:"_s : u"http://127.0.0.1:"_s)
                + QString::fromLatin1(line.mid(5)) + u'/';
            qputenv("QUOTRA_SITE_ROOT", m_root.toUtf8());
            if (tls)
                qputenv("QUOTRA_SITE_CA_FILE", QFile::encodeName(certificate));
            return true;
        }
        if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
            m_pid = -1;
            return false;
        }
        QThread::msleep(5);
    }
    return false;
}

SampleSite::Stats SampleSite::stats() const
{
    HttpRequest request;
    QString text;
    Stats stats;
    if (!request.Get(m_root + u"__stats"_s, text))
        return stats;
    const QStringList words = text.simplified().split(u' ');
    if (words.size() >= 4 && words[0] == u"connections" && words[2] == u"requests") {
        stats.connections = words[1].toLongLong();
        stats.requests = words[3].toLongLong();
        if (words.size() >= 8 && words[4] == u"peak" && words[6] == u"limited") {
            stats.peakInFlight = words[5].toLongLong();
            stats.limited = words[7].toLongLong();
        }
        if (words.size() >= 10 && words[8] == u"streams")
            stats.streams = words[9].toLongLong();
    }
    return stats;
}

void SampleSite::resetPeak() const
{
    HttpRequest request;
    QString text;
    request.Get(m_root + u"__reset-peak"_s, text);
}

int RunProgram(const QString &name, const QStringList &arguments, QByteArray &out, QByteArray *err)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return -1;
    const QString outFile = dir.filePath(u"out"_s);
    const QString errFile = dir.filePath(u"err"_s);
    const pid_t pid = spawn(quotra::test::binPath(name), arguments, outFile, errFile);
    if (pid <= 0)
        return -1;
    int status = 0;
    QDeadlineTimer deadline(60000);
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (deadline.hasExpired()) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return -1;
        }
        QThread::msleep(5);
    }
    out = readAll(outFile);
    if (err)
        *err = readAll(errFile);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

CliRun RunCli(const QStringList &arguments)
{
    QByteArray out;
    QByteArray err;
    CliRun run;
    run.status = RunProgram(QStringLiteral("quotra-cli"), arguments, out, &err);
    run.out = QString::fromUtf8(out);
    run.err = QString::fromUtf8(err);
    return run;
}
