#pragma once

#include "app/core/ScheduledTask.h"

#include <QByteArray>
#include <QList>

#include <functional>
#include <optional>

// The user's crontab as text, with the program's tasks in it. A task is a block of two lines:
//
//     # Quotra\<name>
//     <minute> <hour> * * <days> <command>
//
// the days as cron's day-of-week numbers (0 Sunday .. 6 Saturday, comma-separated) and the
// command quoted by CronCommandLine. Only a marker line followed at once by a job line whose
// command starts this program (IsProgramCommand) makes a task. A marker line without such a
// job line (its job deleted or edited by hand, or a comment of the user's that merely looks
// like a marker) is an orphaned marker: the line after it is the user's, and no change of a
// task ever adopts or removes it. Every other line stays exactly as it was, byte for byte;
// replacing or removing a task touches its own block only.
class CronTable {
public:
    explicit CronTable(const QByteArray &text = {});

    // The table as crontab takes it: the lines joined by line feeds, ending in one.
    QByteArray text() const;

    // The tasks in table order.
    QList<ScheduledTask> tasks() const;
    std::optional<ScheduledTask> task(const QString &name) const;
    // The names of the orphaned markers, in table order.
    QStringList orphanedMarkers() const;
    // For each line: true when it belongs to a task's block (its marker or its job line).
    QList<bool> taskLines() const;

    // Writes the task's block in place of the task of the same name, or at the end (an
    // orphaned marker of the name stays as it is). False (and nothing changed) when the name
    // is empty, a name or command word holds a line break, the command does not start this
    // program, or the days or time are out of range.
    bool setTask(const ScheduledTask &task);
    // Removes the block of the task of `name`; without such a task, an orphaned marker of the
    // name alone. False when there is neither.
    bool removeTask(const QString &name);
    // Offers every task to `change`; where it returns words, the task's command becomes them
    // (the schedule fields of its line stay as they were written). Returns how many changed.
    int rewriteCommands(const std::function<std::optional<QStringList>(const ScheduledTask &)> &change);

    // The two lines of a task's block, without line ends.
    static QByteArray markerLine(const QString &name);
    static QByteArray jobLine(const ScheduledTask &task);
    // Reads a job line's schedule and command into `task`; false for a line that is not a
    // five-field cron entry.
    static bool readJobLine(const QByteArray &line, ScheduledTask &task);
    // The name a marker line names, or nullopt for any other line.
    static std::optional<QString> markerName(const QByteArray &line);

private:
    // Index of the marker line of the task `name`, or -1.
    qsizetype findTask(const QString &name) const;
    // True when line i is the job line of a task: the marker before it, a cron entry whose
    // command starts this program.
    bool isJobLine(qsizetype i) const;
    bool isTaskMarker(qsizetype i) const { return markerName(m_lines.value(i)) && isJobLine(i + 1); }
    // The task whose marker is line i (isTaskMarker(i) holds).
    ScheduledTask taskAt(qsizetype i) const;

    QList<QByteArray> m_lines; // without their line feeds ("\r" of a CRLF table stays)
};
