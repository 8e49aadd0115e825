#include "app/core/ScheduledTask.h"

#include "app/core/CCLineInfo.h"
#include "app/core/TaskAddresses.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

struct DayNames {
    const char16_t *japanese;
    const char16_t *english;
};
// Bit order, Sunday first, as cron's day-of-week field counts too.
constexpr DayNames kDays[] = {
    { u"日", u"SUN" },
    { u"月", u"MON" },
    { u"火", u"TUE" },
    { u"水", u"WED" },
    { u"木", u"THU" },
    { u"金", u"FRI" },
    { u"土", u"SAT" },
};

constexpr QStringView kTaskFolder = u"Quotra\\";

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QString withoutQuotes(const QString &text)
{
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
        return text.mid(1, text.size() - 2);
    return text;
}

} // namespace

QString TrimmedTaskName(const QString &name)
{
    qsizetype end = name.size();
    while (end > 0 && name.at(end - 1).isSpace())
        --end;
    return name.left(end);
}

QString TaskPath(const QString &name)
{
    return kTaskFolder + TrimmedTaskName(name);
}

QString ScheduledTask::path() const
{
    return TaskPath(name);
}

QString DayName(int day, bool japanese)
{
    if (day < 0 || day > 6)
        return {};
    return QString::fromUtf16(japanese ? kDays[day].japanese : kDays[day].english);
}

QString DayText(quint16 days, bool japanese)
{
    QStringList names;
    for (int day = 0; day < 7; ++day) {
        if (days & (1u << day))
            names << DayName(day, japanese);
    }
    return names.join(u',');
}

QString FolderWithoutTrailingSeparators(const QString &folder)
{
    qsizetype end = folder.size();
    while (end > 1 && (folder.at(end - 1) == u'\\' || folder.at(end - 1) == u'/'))
        --end;
    return folder.left(end);
}

bool IsSandboxedProgram(const QString &programPath)
{
    return programPath.startsWith(u"/app/"_s) || programPath.contains(u"/snap/"_s);
}

QStringList TaskCommandWords(const QString &programPath, bool autoRun, const QString &folder,
    const QString &listFile, const QString &token)
{
    const bool sandboxed = IsSandboxedProgram(programPath);
    QStringList options;
    if (sandboxed && !token.isEmpty())
        options << TaskTokenPiece(token);
    if (autoRun)
        options << u"/Auto"_s;
    if (!folder.isEmpty())
        options << u"/Folder"_s + folder;
    if (sandboxed) {
        // The address reaches the program as one argument: its protocol form splits it at
        // every "*" and removes nothing else, so no quotes go inside.
        return { u"xdg-open"_s,
            QLatin1String(CCLineInfo::kProtocolPrefix) + (options << listFile).join(u'*') };
    }
    return QStringList { programPath } + options + QStringList { listFile };
}

bool IsProgramCommand(const QStringList &words)
{
    if (words.isEmpty())
        return false;
    const QString program = QFileInfo(words.first()).fileName();
    return program == u"quotra"_s || !ProtocolAddressOf(words).isEmpty();
}

QString ProtocolAddressOf(const QStringList &words)
{
    if (words.size() != 2 || QFileInfo(words.first()).fileName() != u"xdg-open"_s
        || !words.at(1).startsWith(QLatin1String(CCLineInfo::kProtocolPrefix)))
        return {};
    return words.at(1);
}

void ReadTaskCommand(const QStringList &words, bool &autoRun, QString &folder, QString &listFile)
{
    autoRun = false;
    folder.clear();
    listFile.clear();
    QStringList arguments = words.mid(1);
    const QLatin1String prefix(CCLineInfo::kProtocolPrefix);
    for (const QString &word : words) {
        if (word.startsWith(prefix, Qt::CaseInsensitive)) {
            arguments = word.mid(prefix.size()).split(u'*');
            break;
        }
    }
    bool folderFollows = false;
    for (const QString &argument : arguments) {
        const QString word = withoutQuotes(argument);
        if (folderFollows) {
            folder = word;
            folderFollows = false;
            continue;
        }
        if (CCLineInfo::IsFlagArgument(word)) {
            const QString lower = word.mid(1).toLower();
            if (lower.startsWith(u"auto"_s)) {
                autoRun = true;
            } else if (lower.startsWith(u"folder"_s)) {
                folder = withoutQuotes(word.mid(7));
                folderFollows = folder.isEmpty();
            }
            continue;
        }
        if (listFile.isEmpty() && !word.isEmpty())
            listFile = word;
    }
}

QString CronShellQuote(QStringView word)
{
    QString out;
    out.reserve(word.size() + 2);
    const QList<QStringView> pieces = word.split(u'%');
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            out += u"\\%"_s;
        // An empty piece needs no quotes unless it is the whole word.
        if (pieces[i].isEmpty() && pieces.size() > 1)
            continue;
        out += u'\'';
        for (QChar c : pieces[i]) {
            if (c == u'\'')
                out += u"'\\''"_s;
            else
                out += c;
        }
        out += u'\'';
    }
    return out;
}

QString CronCommandLine(const QStringList &words)
{
    QStringList quoted;
    quoted.reserve(words.size());
    for (const QString &word : words)
        quoted << CronShellQuote(word);
    return quoted.join(u' ');
}

QStringList SplitCronCommand(QStringView command)
{
    // cron: the first "%" not behind a backslash ends the command; "\%" is a plain "%".
    QString text;
    text.reserve(command.size());
    for (qsizetype i = 0; i < command.size(); ++i) {
        const QChar c = command[i];
        if (c == u'\\' && i + 1 < command.size()) {
            if (command[i + 1] == u'%') {
                text += u'%';
            } else {
                text += c;
                text += command[i + 1];
            }
            ++i;
            continue;
        }
        if (c == u'%')
            break;
        text += c;
    }

    // The shell: blanks separate words; quotes and backslashes are removed as sh removes them.
    QStringList words;
    QString word;
    bool inWord = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (isBlank(c)) {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
            continue;
        }
        inWord = true;
        if (c == u'\'') {
            const qsizetype end = text.indexOf(u'\'', i + 1);
            const qsizetype stop = end < 0 ? text.size() : end;
            word += QStringView(text).mid(i + 1, stop - i - 1);
            i = stop;
        } else if (c == u'"') {
            for (++i; i < text.size() && text[i] != u'"'; ++i) {
                if (text[i] == u'\\' && i + 1 < text.size() && QStringView(u"$`\"\\").contains(text[i + 1]))
                    ++i;
                word += text[i];
            }
        } else if (c == u'\\') {
            if (i + 1 < text.size())
                word += text[++i];
        } else {
            word += c;
        }
    }
    if (inWord)
        words << word;
    return words;
}
