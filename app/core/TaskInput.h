#pragma once

#include "app/core/ScheduledTask.h"
#include "app/core/TaskAddresses.h"
#include "app/core/TaskStore.h"

#include <QString>

// The values of the schedule dialog (and of `quotra-cli schedule add`) before they become a
// task.
struct TaskInput {
    QString name;
    quint16 days = 0;
    int hour = 0;
    int minute = 0;
    bool autoRun = false;
    QString folder;
    QString listFile;
};

// The first rule the input breaks, as the number of its message, or 0 when it may be
// registered. In this order: no name (2214), a folder that is given but does not exist
// (2223), a list file that does not exist (2226), no day (2215).
int CheckTaskInput(const TaskInput &input);

// The task the input registers, its command built for the program at `programPath`; an
// address of the program's protocol carries a new token (TaskAddresses.h).
ScheduledTask TaskOfInput(const TaskInput &input, const QString &programPath);

// Registers the task in `store` and, once it is in the crontab, keeps its address in `book`
// (or forgets the name's former address when the task starts the program by path).
tessera::Status RegisterTask(const TaskStore &store, TaskAddressBook &book, const ScheduledTask &task);
// Deletes the task of `name` (or its orphaned marker) and forgets its address.
tessera::Status DeleteTask(const TaskStore &store, TaskAddressBook &book, const QString &name);

// TaskWeek as the dialog stores it: the day bits, plus 32768 with auto.
quint32 TaskWeekOf(quint16 days, bool autoRun);

// Message 2030 for a registered task: its path, list file, days, hour and minute.
QString TaskRegisteredText(const ScheduledTask &task, bool japanese);
