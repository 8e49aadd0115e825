#include "SampleSite.h"

#include "quotes/HttpRequest.h"

#include <QDeadlineTimer>

using namespace Qt::StringLiterals;

SampleSite::~SampleSite()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
    qunsetenv("QUOTRA_SITE_ROOT");
}

bool SampleSite::start(const QStringList &options)
{
    m_process.setProgram(QStringLiteral(QUOTRA_BIN_DIR "/quotra-sample-site"));
    m_process.setArguments(QStringList { u"--port"_s, u"0"_s } + options);
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start();
    if (!m_process.waitForStarted(10000))
        return false;
    QDeadlineTimer deadline(20000);
    while (!m_process.canReadLine()) {
        if (deadline.hasExpired() || !m_process.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            return false;
    }
    const QByteArray line = m_process.readLine().trimmed();
    if (!line.startsWith("port "))
        return false;
    m_root = u"http://127.0.0.1:"_s + QString::fromLatin1(line.mid(5)) + u'/';
    qputenv("QUOTRA_SITE_ROOT", m_root.toUtf8());
    return true;
}

SampleSite::Stats SampleSite::stats() const
{
    HttpRequest request;
    QString text;
    Stats stats;
    if (!request.Get(m_root + u"__stats"_s, text))
        return stats;
    const QStringList words = text.simplified().split(u' ');
    if (words.size() == 4 && words[0] == u"connections" && words[2] == u"requests") {
        stats.connections = words[1].toLongLong();
        stats.requests = words[3].toLongLong();
    }
    return stats;
}

int RunProgram(const QString &name, const QStringList &arguments, QByteArray &out, QByteArray *err)
{
    QProcess p;
    p.start(QStringLiteral(QUOTRA_BIN_DIR "/") + name, arguments);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    out = p.readAllStandardOutput();
    if (err)
        *err = p.readAllStandardError();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}
