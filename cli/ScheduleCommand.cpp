#include "app/core/AppSettings.h"
#include "app/core/TaskInput.h"
#include "app/core/TaskStore.h"
#include "cli/Arguments.h"
#include "cli/Command.h"
#include "cli/TextTable.h"
#include "corelib/Messages.h"
#include "corelib/StringIds.h"

#include <QFileInfo>
#include <QSettings>
#include <QTime>

using namespace Qt::StringLiterals;

namespace {

// Day names in messages follow the window's language setting, as the dialog's do.
bool japaneseDays()
{
    AppSettings settings;
    settings.Load(*AppSettings::OpenStore());
    return settings.currentLanguage == 1041;
}

// "sun,mon,..." (English day names or cron's numbers 0-7, any letter case) as day bits;
// nullopt when an item is neither.
std::optional<quint16> parseDays(const QString &text)
{
    quint16 bits = 0;
    for (const QString &item : text.split(u',', Qt::SkipEmptyParts)) {
        const QString word = item.trimmed();
        int day = -1;
        for (int d = 0; d < 7; ++d) {
            if (word.compare(DayName(d, false), Qt::CaseInsensitive) == 0)
                day = d;
        }
        bool ok = false;
        const int number = word.toInt(&ok);
        if (day < 0 && ok && number >= 0 && number <= 7)
            day = number % 7;
        if (day < 0)
            return std::nullopt;
        bits |= static_cast<quint16>(1u << day);
    }
    return bits;
}

int listTasks(const TaskStore &store)
{
    const tessera::Result<CronTable> table = store.read();
    if (!table)
        return Failure(table.error().message);
    TextTable out({ u"name"_s, u"days"_s, u"time"_s, u"auto"_s, u"folder"_s, u"list"_s });
    for (const ScheduledTask &task : table->tasks()) {
        out.addRow({ task.name, DayText(task.days, false),
            u"%1:%2"_s.arg(task.hour, 2, 10, QLatin1Char('0')).arg(task.minute, 2, 10, QLatin1Char('0')),
            task.autoRun ? u"yes"_s : u"no"_s, task.folder, task.listFile });
    }
    PrintOut(out.render());
    // A marker whose job line is gone or not the program's: the line after it is the user's.
    for (const QString &name : table->orphanedMarkers())
        PrintOut(
            u"orphaned marker %1: no job of the program follows it (schedule delete removes the marker alone)\n"_s
                .arg(TaskPath(name)));
    return kExitOk;
}

int addTask(const CliCommand &self, const ParsedArguments &args, const TaskStore &store)
{
    if (args.positional.size() != 2)
        return UsageError(self, args.positional.size() < 2 ? u"no list given"_s : u"one list at a time"_s);
    TaskInput input;
    input.name = args.value(u"name"_s);
    input.autoRun = args.isSet(u"auto"_s);
    const QString folder = args.value(u"folder"_s);
    input.folder = folder.isEmpty() ? folder : QFileInfo(folder).absoluteFilePath();
    input.listFile = QFileInfo(args.positional.at(1)).absoluteFilePath();
    const std::optional<quint16> days = parseDays(args.value(u"days"_s));
    if (!days)
        return UsageError(
            self, u"--days: %1 is not a list of sun,mon,tue,wed,thu,fri,sat"_s.arg(args.value(u"days"_s)));
    input.days = *days;
    const QTime time = QTime::fromString(args.value(u"time"_s), u"H:mm"_s);
    if (!args.isSet(u"time"_s) || !time.isValid())
        return UsageError(self, u"--time: give the time of day as HH:MM"_s);
    input.hour = time.hour();
    input.minute = time.minute();
    if (const int problem = CheckTaskInput(input))
        return Failure(tessera::ResourceString(problem));

    const ScheduledTask task = TaskOfInput(input, ScheduledProgramPath());
    const std::unique_ptr<QSettings> settingsStore = AppSettings::OpenStore();
    TaskAddressBook book(*settingsStore);
    const tessera::Status registered = RegisterTask(store, book, task);
    if (!registered)
        return Failure(TaskFailureText(Ids::MsgTaskRegisterFailed, registered.error().message));
    PrintOut(TaskRegisteredText(task, japaneseDays()) + u'\n');
    return kExitOk;
}

int deleteTask(const CliCommand &self, const ParsedArguments &args, const TaskStore &store)
{
    if (args.positional.size() != 2)
        return UsageError(
            self, args.positional.size() < 2 ? u"no task name given"_s : u"one task at a time"_s);
    const QString name = args.positional.at(1);
    if (TrimmedTaskName(name).isEmpty())
        return Failure(tessera::ResourceString(Ids::MsgTaskNameMissing));
    const std::unique_ptr<QSettings> settingsStore = AppSettings::OpenStore();
    TaskAddressBook book(*settingsStore);
    const tessera::Status deleted = DeleteTask(store, book, name);
    if (!deleted)
        return Failure(TaskFailureText(Ids::MsgTaskDeleteFailed, deleted.error().message));
    PrintOut(tessera::FormatResourceString(Ids::MsgTaskDeleted, { TaskPath(name) }) + u'\n');
    return kExitOk;
}

} // namespace

int RunScheduleCommand(const QStringList &arguments)
{
    const CliCommand &self = *FindCommand(u"schedule");
    const ParsedArguments args = ParseArguments(arguments,
        { { u"name"_s, true }, { u"days"_s, true }, { u"time"_s, true }, { u"auto"_s, false },
            { u"folder"_s, true } });
    if (!args.ok())
        return UsageError(self, args.error);
    const QString action = args.positional.value(0);
    const bool adding = action == u"add"_s;
    if (!adding
        && (args.isSet(u"name"_s) || args.isSet(u"days"_s) || args.isSet(u"time"_s) || args.isSet(u"auto"_s)
            || args.isSet(u"folder"_s)))
        return UsageError(self, u"the options belong to schedule add"_s);
    const TaskStore store;
    if (action == u"list"_s) {
        if (args.positional.size() != 1)
            return UsageError(self, u"schedule list takes no arguments"_s);
        return listTasks(store);
    }
    if (adding)
        return addTask(self, args, store);
    if (action == u"delete"_s)
        return deleteTask(self, args, store);
    return UsageError(
        self, action.isEmpty() ? u"no action given (list, add or delete)"_s : u"unknown action "_s + action);
}
