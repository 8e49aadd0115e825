#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// A weekly unattended run of the program, as the schedule dialog edits it and as the user's
// crontab keeps it (see CronTable).
struct ScheduledTask {
    QString name; // as the user typed it, trailing blanks removed
    quint16 days = 0; // bit 0 Sunday, bit 1 Monday ... bit 6 Saturday
    int hour = 0;
    int minute = 0;
    // What the run does; recovered from the command when read back.
    bool autoRun = false;
    QString folder; // output folder, empty for none
    QString listFile;
    // The command cron runs, one unquoted word each: the program and its arguments.
    QStringList command;

    QString path() const; // "Quotra\" + name
};

inline constexpr quint16 kAllDays = 0x7F;
// TaskWeek's flag for the auto check box beside the day bits.
inline constexpr quint32 kTaskWeekAuto = 0x8000;

// "Quotra\" + the name with its trailing blanks removed.
QString TaskPath(const QString &name);
QString TrimmedTaskName(const QString &name);

// The days as "MON,FRI" (English) or "月,金" (Japanese), in bit order; empty for no day.
QString DayText(quint16 days, bool japanese);
// One day's name without its comma (0 Sunday .. 6 Saturday).
QString DayName(int day, bool japanese);

// A folder without the trailing slashes or backslashes it was typed with ("/" stays "/").
QString FolderWithoutTrailingSeparators(const QString &folder);

// True when the program runs from a Flatpak ("/app/...") or snap (".../snap/...")
// installation, whose files another process cannot start by path: its tasks start it
// through its "quotra.kabu:" protocol instead.
bool IsSandboxedProgram(const QString &programPath);

// The command a task runs, one word each. The ordinary program: its path, "/Auto" when auto
// is on, "/Folder" joined to the folder when there is one, and the list file. A sandboxed
// program: "xdg-open" and one "quotra.kabu:" address whose pieces (the task's token piece
// when `token` is given, the same options and the list file) are joined by "*".
QStringList TaskCommandWords(const QString &programPath, bool autoRun, const QString &folder,
    const QString &listFile, const QString &token = {});

// True when a crontab command starts this program: a program file named "quotra", or
// "xdg-open" with one "quotra.kabu:" address. Only such entries are the program's tasks.
bool IsProgramCommand(const QStringList &words);
// The "quotra.kabu:" address a command opens through xdg-open; empty for any other command.
QString ProtocolAddressOf(const QStringList &words);

// Recovers auto, folder and list file from a command: the options are compared without
// regard to case ("/AUTO", "/folder"), the folder is the rest of the "/Folder" word or, when
// that is empty, the next word, and the list file is the first other argument. Double quotes
// around a folder or file (a protocol address written by hand) are dropped.
void ReadTaskCommand(const QStringList &words, bool &autoRun, QString &folder, QString &listFile);

// One word quoted for the shell cron runs a command with, so that every character reaches the
// program as it is: single quotes around it, a quote inside written as '\'', and every "%"
// (which cron turns into a line break) outside the quotes as \%.
QString CronShellQuote(QStringView word);
// The words quoted and joined by spaces.
QString CronCommandLine(const QStringList &words);
// The words of a crontab command as cron and the shell split them: cron's "%" (end of the
// command) and "\%", then the shell's blanks, single and double quotes and backslashes.
QStringList SplitCronCommand(QStringView command);
