#pragma once

#include "app/core/CronTable.h"
#include "corelib/Result.h"

#include <QString>

// The program's weekly tasks in the user's crontab, read and written through the crontab
// program: the one named by the environment variable QUOTRA_CRONTAB, else "crontab" on the
// path. Each change reads the table, changes the task's block and installs the whole table;
// when a call fails nothing is installed, and the error carries what crontab printed.
class TaskStore {
public:
    TaskStore();
    explicit TaskStore(QString crontabProgram);

    // The crontab program this store runs; empty when none can be found.
    const QString &crontabProgram() const { return m_program; }

    // The user's table ("crontab -l"); an empty table when the user has none yet.
    tessera::Result<CronTable> read() const;
    // Installs `table` as the user's table ("crontab -" with the table on its input).
    tessera::Status write(const CronTable &table) const;

    // The tasks of the table; failures (no crontab program, an unreadable table) give none.
    QList<ScheduledTask> tasks() const;
    // Registers the task, replacing the one of the same name.
    tessera::Status registerTask(const ScheduledTask &task) const;
    // Deletes the task of `name`; an empty name or a name without a task fails.
    tessera::Status deleteTask(const QString &name) const;

private:
    struct Run {
        int status = -1; // exit status; -1 when the program did not start or finish
        QString output; // standard output and error as it printed them
        QByteArray stdoutBytes;
    };
    Run run(const QStringList &arguments, const QByteArray &input) const;

    QString m_program;
};

// The program's path as a task names it: "quotra" in the folder of the running program.
QString ScheduledProgramPath();

// A task of the schedule dialog's values: trailing blanks cut from the name and trailing
// separators from the folder, the command built for `programPath` with `token`
// (TaskCommandWords).
ScheduledTask MakeScheduledTask(const QString &name, quint16 days, int hour, int minute, bool autoRun,
    const QString &folder, const QString &listFile, const QString &programPath, const QString &token = {});

// The text of message `id` (2217, 2222), followed by the reason when there is one.
QString TaskFailureText(int id, const QString &reason);
