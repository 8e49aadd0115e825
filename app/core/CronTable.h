#pragma once

#include "app/core/ScheduledTask.h"

#include <QByteArray>
#include <QList>

#include <optional>

// The user's crontab as text, with the program's tasks in it. A task is a block of two lines:
//
//     # Quotra\<name>
//     <minute> <hour> * * <days> <command>
//
// the days as cron's day-of-week numbers (0 Sunday .. 6 Saturday, comma-separated) and the
// command quoted by CronCommandLine. Every other line stays exactly as it was, byte for byte;
// replacing or removing a task touches its own block only.
class CronTable {
public:
    explicit CronTable(const QByteArray &text = {});

    // The table as crontab takes it: the lines joined by line feeds, ending in one.
    QByteArray text() const;

    // The tasks in table order; a marker line with no job line behind it is left out.
    QList<ScheduledTask> tasks() const;
    std::optional<ScheduledTask> task(const QString &name) const;

    // Writes the task's block in place of the block of the same name, or at the end. False
    // (and nothing changed) when the name is empty, a name or command word holds a line
    // break, or the days or time are out of range.
    bool setTask(const ScheduledTask &task);
    // Removes the block of the name; false when there is none.
    bool removeTask(const QString &name);

    // The two lines of a task's block, without line ends.
    static QByteArray markerLine(const QString &name);
    static QByteArray jobLine(const ScheduledTask &task);
    // Reads a job line's schedule and command into `task`; false for a line that is not a
    // five-field cron entry.
    static bool readJobLine(const QByteArray &line, ScheduledTask &task);
    // The name a marker line names, or nullopt for any other line.
    static std::optional<QString> markerName(const QByteArray &line);

private:
    // Index of the marker line of `name`, or -1.
    qsizetype findBlock(const QString &name) const;
    // True when line i is a job line that belongs to the marker before it.
    bool isJobLine(qsizetype i) const;

    QList<QByteArray> m_lines; // without their line feeds ("\r" of a CRLF table stays)
};
