#include "app/core/CronTable.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr QByteArrayView kMarker = "# Quotra\\";

QByteArray withoutTrailingBlanks(const QByteArray &line)
{
    qsizetype end = line.size();
    while (end > 0 && (line[end - 1] == ' ' || line[end - 1] == '\t' || line[end - 1] == '\r'))
        --end;
    return line.left(end);
}

// A number field of a cron entry ("30"); nullopt for anything else (lists, ranges, "*").
std::optional<int> numberField(const QByteArray &field, int max)
{
    bool ok = false;
    const int value = field.toInt(&ok);
    if (!ok || value < 0 || value > max)
        return std::nullopt;
    return value;
}

std::optional<int> dayNumber(const QByteArray &text)
{
    static constexpr const char *kNames[] = { "sun", "mon", "tue", "wed", "thu", "fri", "sat" };
    for (int d = 0; d < 7; ++d) {
        if (text.compare(kNames[d], Qt::CaseInsensitive) == 0)
            return d;
    }
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 0 || value > 7)
        return std::nullopt;
    return value % 7; // 7 is Sunday too
}

// Cron's day-of-week field as day bits: "*", numbers, names and ranges in a comma list.
quint16 dayBits(const QByteArray &field)
{
    quint16 bits = 0;
    for (const QByteArray &item : field.split(',')) {
        const QByteArray range = item.left(item.indexOf('/') < 0 ? item.size() : item.indexOf('/'));
        if (range == "*") {
            bits |= kAllDays;
            continue;
        }
        const qsizetype dash = range.indexOf('-');
        const std::optional<int> from = dayNumber(dash < 0 ? range : range.left(dash));
        const std::optional<int> to = dash < 0 ? from : dayNumber(range.mid(dash + 1));
        if (!from || !to)
            continue;
        // "5-7" runs to Sunday: the range is walked before 7 folds to 0.
        const int last = dash >= 0 && range.mid(dash + 1).trimmed() == "7" ? 7 : *to;
        for (int d = *from; d <= last; ++d)
            bits |= static_cast<quint16>(1u << (d % 7));
    }
    return bits;
}

// Where the command of a cron entry begins, after its five schedule fields and the blanks
// behind them (the fields go into `fields` when given); -1 for a line that is no such entry.
qsizetype commandStart(const QByteArray &text, QList<QByteArray> *fields = nullptr)
{
    qsizetype pos = 0;
    for (int f = 0; f < 5; ++f) {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
            ++pos;
        const qsizetype start = pos;
        while (pos < text.size() && text[pos] != ' ' && text[pos] != '\t')
            ++pos;
        if (pos == start)
            return -1;
        if (fields)
            *fields << text.mid(start, pos - start);
    }
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
        ++pos;
    return pos == text.size() ? -1 : pos;
}

bool holdsLineBreak(const QString &text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

} // namespace

CronTable::CronTable(const QByteArray &text)
{
    if (text.isEmpty())
        return;
    m_lines = text.split('\n');
    // The line feed of the last line ends it; it begins no further line.
    if (text.endsWith('\n'))
        m_lines.removeLast();
}

QByteArray CronTable::text() const
{
    QByteArray out;
    for (const QByteArray &line : m_lines) {
        out += line;
        out += '\n';
    }
    return out;
}

QByteArray CronTable::markerLine(const QString &name)
{
    return kMarker.toByteArray() + TrimmedTaskName(name).toUtf8();
}

std::optional<QString> CronTable::markerName(const QByteArray &line)
{
    const QByteArray trimmed = withoutTrailingBlanks(line);
    if (!trimmed.startsWith(kMarker) || trimmed.size() == kMarker.size())
        return std::nullopt;
    return QString::fromUtf8(trimmed.mid(kMarker.size()));
}

QByteArray CronTable::jobLine(const ScheduledTask &task)
{
    QStringList days;
    for (int d = 0; d < 7; ++d) {
        if (task.days & (1u << d))
            days << QString::number(d);
    }
    return (QString::number(task.minute) + u' ' + QString::number(task.hour) + u" * * "_s + days.join(u',')
        + u' ' + CronCommandLine(task.command))
        .toUtf8();
}

bool CronTable::readJobLine(const QByteArray &line, ScheduledTask &task)
{
    const QByteArray text = withoutTrailingBlanks(line);
    QList<QByteArray> fields;
    const qsizetype command = commandStart(text, &fields);
    if (command < 0)
        return false;
    task.minute = numberField(fields[0], 59).value_or(0);
    task.hour = numberField(fields[1], 23).value_or(0);
    task.days = dayBits(fields[4]);
    task.command = SplitCronCommand(QString::fromUtf8(text.mid(command)));
    ReadTaskCommand(task.command, task.autoRun, task.folder, task.listFile);
    return true;
}

bool CronTable::isJobLine(qsizetype i) const
{
    if (i <= 0 || i >= m_lines.size() || !markerName(m_lines[i - 1]))
        return false;
    const QByteArray line = m_lines[i].trimmed();
    if (line.isEmpty() || line.startsWith('#'))
        return false;
    ScheduledTask scratch;
    return readJobLine(m_lines[i], scratch) && IsProgramCommand(scratch.command);
}

qsizetype CronTable::findTask(const QString &name) const
{
    const QString wanted = TrimmedTaskName(name);
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (markerName(m_lines[i]) == wanted && isJobLine(i + 1))
            return i;
    }
    return -1;
}

QList<ScheduledTask> CronTable::tasks() const
{
    QList<ScheduledTask> found;
    for (qsizetype i = 0; i + 1 < m_lines.size(); ++i) {
        if (isTaskMarker(i))
            found << taskAt(i);
    }
    return found;
}

ScheduledTask CronTable::taskAt(qsizetype i) const
{
    ScheduledTask task;
    task.name = *markerName(m_lines[i]);
    readJobLine(m_lines[i + 1], task);
    return task;
}

std::optional<ScheduledTask> CronTable::task(const QString &name) const
{
    const QString wanted = TrimmedTaskName(name);
    for (const ScheduledTask &t : tasks()) {
        if (t.name == wanted)
            return t;
    }
    return std::nullopt;
}

QStringList CronTable::orphanedMarkers() const
{
    QStringList names;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const std::optional<QString> name = markerName(m_lines[i]);
        if (name && !isJobLine(i + 1))
            names << *name;
    }
    return names;
}

QList<bool> CronTable::taskLines() const
{
    QList<bool> inTask(m_lines.size(), false);
    for (qsizetype i = 0; i + 1 < m_lines.size(); ++i) {
        if (isTaskMarker(i)) {
            inTask[i] = true;
            inTask[i + 1] = true;
        }
    }
    return inTask;
}

bool CronTable::setTask(const ScheduledTask &task)
{
    const QString name = TrimmedTaskName(task.name);
    if (name.isEmpty() || holdsLineBreak(name) || !IsProgramCommand(task.command)
        || (task.days & kAllDays) == 0 || (task.days & ~kAllDays) != 0 || task.hour < 0 || task.hour > 23
        || task.minute < 0 || task.minute > 59)
        return false;
    for (const QString &word : task.command) {
        if (holdsLineBreak(word))
            return false;
    }
    const QByteArray marker = markerLine(name);
    const QByteArray job = jobLine(task);
    const qsizetype at = findTask(name);
    if (at < 0) {
        m_lines << marker << job;
        return true;
    }
    m_lines[at] = marker;
    m_lines[at + 1] = job;
    return true;
}

bool CronTable::removeTask(const QString &name)
{
    const qsizetype at = findTask(name);
    if (at >= 0) {
        m_lines.remove(at, 2);
        return true;
    }
    const QString wanted = TrimmedTaskName(name);
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (markerName(m_lines[i]) == wanted) {
            m_lines.remove(i);
            return true;
        }
    }
    return false;
}

int CronTable::rewriteCommands(const std::function<std::optional<QStringList>(const ScheduledTask &)> &change)
{
    int changed = 0;
    for (qsizetype i = 0; i + 1 < m_lines.size(); ++i) {
        if (!isTaskMarker(i))
            continue;
        const std::optional<QStringList> words = change(taskAt(i));
        if (!words || words->isEmpty() || std::any_of(words->begin(), words->end(), holdsLineBreak))
            continue;
        const QByteArray &line = m_lines[i + 1];
        QByteArray rewritten = line.left(commandStart(line)) + CronCommandLine(*words).toUtf8();
        if (line.endsWith('\r'))
            rewritten += '\r';
        m_lines[i + 1] = rewritten;
        ++changed;
    }
    return changed;
}
