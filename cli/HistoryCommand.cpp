#include "app/core/AppSettings.h"
#include "cli/Arguments.h"
#include "cli/Command.h"
#include "cli/ListSession.h"
#include "cli/TextTable.h"
#include "document/ValidCode.h"
#include "history/HistoryCsv.h"
#include "history/HistoryImport.h"
#include "history/HistoryStore.h"

#include <QDateTime>
#include <QSettings>

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

enum class Format { Table, Csv, Json };

// The history file the stored settings name (or $QUOTRA_HISTORY, or the default place).
QString historyPath()
{
    AppSettings settings;
    settings.Load(*AppSettings::OpenStore());
    return HistoryFilePath(settings.historyFile);
}

// Opens the history file at `path`; what the open did to the file (moved aside, read-only)
// goes to standard error.
tessera::Result<std::unique_ptr<HistoryStore>> openStore(const QString &path, HistoryStore::OpenMode mode)
{
    tessera::Result<std::unique_ptr<HistoryStore>> store = HistoryStore::Open(path, mode);
    if (store) {
        for (const QString &notice : (*store)->notices())
            PrintError(u"quotra-cli: "_s + notice + u'\n');
    }
    return store;
}

// The day "YYYY-MM-DD" in local time: its first second, or with `end` its last.
std::optional<qint64> dayBound(const QString &text, bool end)
{
    const QDate day = QDate::fromString(text, u"yyyy-MM-dd"_s);
    if (!day.isValid())
        return std::nullopt;
    const QDateTime start = day.startOfDay();
    return end ? day.addDays(1).startOfDay().toSecsSinceEpoch() - 1 : start.toSecsSinceEpoch();
}

QString render(const std::vector<HistoryPoint> &points, Format format)
{
    if (format == Format::Csv)
        return HistoryPointsCsv(points);
    if (format == Format::Json) {
        QString out = u"["_s;
        for (size_t i = 0; i < points.size(); ++i) {
            const HistoryPoint &p = points[i];
            // Codes are letters, digits, "." and "^": nothing in them needs escaping.
            out += (i == 0 ? u"\n"_s : u",\n"_s) + u"  {\"code\": \""_s + p.code + u"\", \"time\": "_s
                + QString::number(p.time);
            for (int c = 0; c < kHistoryValueCount; ++c) {
                const std::optional<double> &v = p.values[static_cast<size_t>(c)];
                out += u", \""_s + QString::fromLatin1(kHistoryColumns[c].name) + u"\": "_s
                    + (v ? HistoryValueText(v) : u"null"_s);
            }
            out += u'}';
        }
        return out + (points.empty() ? u"]\n"_s : u"\n]\n"_s);
    }
    QStringList header { u"code"_s, u"time (local)"_s };
    for (const HistoryColumn &c : kHistoryColumns)
        header << QString::fromLatin1(c.name);
    TextTable table(header);
    for (const HistoryPoint &p : points) {
        QStringList cells { p.code,
            QDateTime::fromSecsSinceEpoch(p.time).toString(u"yyyy/MM/dd HH:mm:ss"_s) };
        for (const std::optional<double> &v : p.values)
            cells << HistoryValueText(v);
        table.addRow(cells);
    }
    return table.render();
}

int printPoints(const CliCommand &self, const ParsedArguments &args)
{
    if (args.isSet(u"json"_s) && args.isSet(u"csv"_s))
        return UsageError(self, u"--json and --csv exclude each other"_s);
    const Format format
        = args.isSet(u"json"_s) ? Format::Json : (args.isSet(u"csv"_s) ? Format::Csv : Format::Table);
    qint64 from = std::numeric_limits<qint64>::min();
    qint64 to = std::numeric_limits<qint64>::max();
    if (args.isSet(u"since"_s)) {
        const std::optional<qint64> t = dayBound(args.value(u"since"_s), false);
        if (!t)
            return UsageError(self, u"--since: %1 is not a day (YYYY-MM-DD)"_s.arg(args.value(u"since"_s)));
        from = *t;
    }
    if (args.isSet(u"until"_s)) {
        const std::optional<qint64> t = dayBound(args.value(u"until"_s), true);
        if (!t)
            return UsageError(self, u"--until: %1 is not a day (YYYY-MM-DD)"_s.arg(args.value(u"until"_s)));
        to = *t;
    }
    if (args.positional.isEmpty())
        return UsageError(self, u"no code given"_s);
    for (const QString &code : args.positional) {
        if (!IsValidCode(code))
            return UsageError(self, u"%1 is not a security code"_s.arg(code));
    }

    const QString path = historyPath();
    tessera::Result<std::unique_ptr<HistoryStore>> store = openStore(path, HistoryStore::OpenMode::Existing);
    if (!store)
        return Failure(store.error().message);
    std::vector<HistoryPoint> all;
    int status = kExitOk;
    for (const QString &code : args.positional) {
        tessera::Result<std::vector<HistoryPoint>> points = (*store)->points(code, from, to);
        if (!points)
            return Failure(points.error().message);
        if (points->empty()) {
            PrintError(u"quotra-cli: %1: no points stored in that range\n"_s.arg(code));
            status = kExitFailed;
        }
        all.insert(
            all.end(), std::make_move_iterator(points->begin()), std::make_move_iterator(points->end()));
    }
    std::stable_sort(
        all.begin(), all.end(), [](const HistoryPoint &a, const HistoryPoint &b) { return a.time < b.time; });
    PrintOut(render(all, format));
    return status;
}

int printStats(const CliCommand &self, const ParsedArguments &args)
{
    if (args.positional.size() != 1)
        return UsageError(self, u"history stats takes no arguments"_s);
    const QString path = historyPath();
    tessera::Result<std::unique_ptr<HistoryStore>> store = openStore(path, HistoryStore::OpenMode::Existing);
    if (!store)
        return Failure(store.error().message);
    const tessera::Result<HistoryStats> stats = (*store)->stats();
    if (!stats)
        return Failure(stats.error().message);
    PrintOut(u"file %1\ncodes %2\npoints %3\nbytes %4\n"_s.arg(path)
                 .arg(stats->codes)
                 .arg(stats->points)
                 .arg(stats->bytes));
    return kExitOk;
}

int importLists(const CliCommand &self, const ParsedArguments &args)
{
    if (args.positional.size() < 2)
        return UsageError(self, u"no file or folder given"_s);
    const ListSession session; // the settings and layouts lists are read with
    const QString path = HistoryFilePath(session.settings().historyFile);
    tessera::Result<std::unique_ptr<HistoryStore>> store = openStore(path, HistoryStore::OpenMode::Create);
    if (!store)
        return Failure(store.error().message);
    const QStringList files = HistoryImportFiles(args.positional.mid(1));
    const ListLoadOptions options = session.loadOptions();
    int status = kExitOk;
    qint64 points = 0;
    qint64 added = 0;
    int read = 0;
    for (const QString &file : files) {
        const tessera::Result<ImportedList> imported = ImportListIntoHistory(**store, file, options);
        if (!imported) {
            PrintError(u"quotra-cli: "_s + imported.error().message + u'\n');
            status = kExitFailed;
            // A history that refuses writes refuses every file alike.
            if (imported.error().code >= HistoryErrorCannotOpen && imported.error().code <= HistoryErrorOther)
                break;
            continue;
        }
        ++read;
        points += imported->points;
        added += imported->added;
        PrintOut(u"%1: points %2, added %3\n"_s.arg(file).arg(imported->points).arg(imported->added));
    }
    PrintOut(u"files %1, points %2, added %3\n"_s.arg(read).arg(points).arg(added));
    return status;
}

} // namespace

int RunHistoryCommand(const QStringList &arguments)
{
    const CliCommand &self = *FindCommand(u"history");
    const ParsedArguments args = ParseArguments(
        arguments, { { u"json"_s, false }, { u"csv"_s, false }, { u"since"_s, true }, { u"until"_s, true } });
    if (!args.ok())
        return UsageError(self, args.error);
    const QString action = args.positional.value(0);
    const bool formatted
        = args.isSet(u"json"_s) || args.isSet(u"csv"_s) || args.isSet(u"since"_s) || args.isSet(u"until"_s);
    if (action == u"stats"_s || action == u"import"_s) {
        if (formatted)
            return UsageError(self, u"the options belong to printing points"_s);
        return action == u"stats"_s ? printStats(self, args) : importLists(self, args);
    }
    return printPoints(self, args);
}
