#include "app/core/TaskInput.h"

#include "app/core/TaskStore.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"

#include <QFileInfo>

int CheckTaskInput(const TaskInput &input)
{
    if (TrimmedTaskName(input.name).isEmpty())
        return Ids::MsgTaskNameMissing;
    if (!input.folder.isEmpty() && !QFileInfo(input.folder).isDir())
        return Ids::MsgOutputFolderMissing;
    if (input.listFile.isEmpty() || !QFileInfo(input.listFile).isFile())
        return Ids::MsgListFileMissing;
    if ((input.days & kAllDays) == 0)
        return Ids::MsgNoDaySelected;
    return 0;
}

ScheduledTask TaskOfInput(const TaskInput &input, const QString &programPath)
{
    return MakeScheduledTask(input.name, input.days, input.hour, input.minute, input.autoRun, input.folder,
        input.listFile, programPath, NewTaskToken());
}

tessera::Status RegisterTask(const TaskStore &store, TaskAddressBook &book, const ScheduledTask &task)
{
    tessera::Status registered = store.registerTask(task);
    if (registered)
        book.remember(task.name, ProtocolAddressOf(task.command));
    return registered;
}

tessera::Status DeleteTask(const TaskStore &store, TaskAddressBook &book, const QString &name)
{
    tessera::Status deleted = store.deleteTask(name);
    if (deleted)
        book.forget(TrimmedTaskName(name));
    return deleted;
}

quint32 TaskWeekOf(quint16 days, bool autoRun)
{
    return (days & kAllDays) | (autoRun ? kTaskWeekAuto : 0u);
}

QString TaskRegisteredText(const ScheduledTask &task, bool japanese)
{
    return tessera::FormatResourceString(Ids::MsgTaskRegistered,
        { task.path(), task.listFile, DayText(task.days, japanese), QString::number(task.hour),
            QStringLiteral("%1").arg(task.minute, 2, 10, QLatin1Char('0')) });
}
