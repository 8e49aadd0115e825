#include "app/core/TaskStore.h"

#include "corelib/Messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

constexpr int kCrontabTimeoutMs = 15000;

QString findCrontab()
{
    QString named = qEnvironmentVariable("QUOTRA_CRONTAB");
    if (!named.isEmpty())
        return named;
    return QStandardPaths::findExecutable(u"crontab"_s);
}

// crontab -l of a user without a table: "no crontab for <user>" and a failure status.
bool saysNoTable(const QString &output)
{
    return output.contains(u"no crontab for"_s, Qt::CaseInsensitive);
}

} // namespace

TaskStore::TaskStore()
    : m_program(findCrontab())
{ }

TaskStore::TaskStore(QString crontabProgram)
    : m_program(std::move(crontabProgram))
{ }

TaskStore::Run TaskStore::run(const QStringList &arguments, const QByteArray &input) const
{
    Run result;
    if (m_program.isEmpty()) {
        result.output = u"the crontab program was not found (install cron or set QUOTRA_CRONTAB)"_s;
        return result;
    }
    QProcess process;
    process.setProgram(m_program);
    process.setArguments(arguments);
    process.start();
    if (!process.waitForStarted(kCrontabTimeoutMs)) {
        result.output = m_program + u": "_s + process.errorString();
        return result;
    }
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(kCrontabTimeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        result.output = m_program + u": no answer within %1 s"_s.arg(kCrontabTimeoutMs / 1000);
        return result;
    }
    result.stdoutBytes = process.readAllStandardOutput();
    const QByteArray err = process.readAllStandardError();
    if (process.exitStatus() != QProcess::NormalExit) {
        result.output = m_program + u": ended abnormally"_s;
        return result;
    }
    result.status = process.exitCode();
    result.output = QString::fromLocal8Bit(err).trimmed();
    if (result.status != 0 && result.output.isEmpty())
        result.output = QString::fromLocal8Bit(result.stdoutBytes).trimmed();
    if (result.status != 0 && result.output.isEmpty())
        result.output = m_program + u": exit status %1"_s.arg(result.status);
    return result;
}

tessera::Result<CronTable> TaskStore::read() const
{
    const Run listed = run({ u"-l"_s }, {});
    if (listed.status == 0)
        return CronTable(listed.stdoutBytes);
    if (listed.status > 0 && saysNoTable(listed.output))
        return CronTable();
    return tessera::Error { 1, listed.output };
}

tessera::Status TaskStore::write(const CronTable &table) const
{
    const Run installed = run({ u"-"_s }, table.text());
    if (installed.status == 0)
        return tessera::Ok {};
    return tessera::Error { 1, installed.output };
}

QList<ScheduledTask> TaskStore::tasks() const
{
    const tessera::Result<CronTable> table = read();
    return table ? table->tasks() : QList<ScheduledTask>();
}

tessera::Status TaskStore::registerTask(const ScheduledTask &task) const
{
    tessera::Result<CronTable> table = read();
    if (!table)
        return table.error();
    if (!table->setTask(task))
        return tessera::Error { 2, u"the task cannot be written as a crontab line"_s };
    return write(*table);
}

tessera::Status TaskStore::deleteTask(const QString &name) const
{
    if (TrimmedTaskName(name).isEmpty())
        return tessera::Error { 2, QString() };
    tessera::Result<CronTable> table = read();
    if (!table)
        return table.error();
    if (!table->removeTask(name))
        return tessera::Error { 3, TaskPath(name) + u": no such task"_s };
    return write(*table);
}

QString ScheduledProgramPath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(u"quotra"_s);
}

ScheduledTask MakeScheduledTask(const QString &name, quint16 days, int hour, int minute, bool autoRun,
    const QString &folder, const QString &listFile, const QString &programPath, const QString &token)
{
    ScheduledTask task;
    task.name = TrimmedTaskName(name);
    task.days = days & kAllDays;
    task.hour = hour;
    task.minute = minute;
    task.autoRun = autoRun;
    task.folder = FolderWithoutTrailingSeparators(folder);
    task.listFile = listFile;
    task.command = TaskCommandWords(programPath, autoRun, task.folder, listFile, token);
    return task;
}

QString TaskFailureText(int id, const QString &reason)
{
    const QString text = tessera::ResourceString(id);
    return reason.isEmpty() ? text : text + u"\n\n"_s + reason;
}
