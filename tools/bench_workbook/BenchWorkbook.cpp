// The table export to .xlsx and the import of the same file as a list, at 100,000 site-shaped
// rows in the default 16 list columns (the anchor and 15 fields), with timing splits of both.
// It also writes the typed cells of the export (cells.json) so that compare.py can have
// Python's XlsxWriter write the same table.
//
// bench_workbook [--runs N] [--export-only] DIR   (DIR receives ours.xlsx and cells.json)

#include "corelib/LanguageModule.h"
#include "corelib/LocalTimeZone.h"
#include "document/ListLoader.h"
#include "document/workbook/TypedInput.h"
#include "document/workbook/WorkbookCells.h"
#include "document/workbook/WorkbookExport.h"
#include "document/workbook/WorkbookGrid.h"
#include "document/workbook/WorkbookImport.h"
#include "quotes/SecurityCode.h"
#include "view/table/ColumnTable.h"
#include "view/table/ListTable.h"
#include "view/table/WorkbookColumns.h"

#include "tools/common/SiteShapedRows.h"
#include "tools/common/ToolOptions.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int kRows = 100000;

double medianMs(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Runs `work` `runs` times and prints the median and the fastest run.
double timed(const char *name, int runs, const std::function<bool()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        if (!work()) {
            std::fprintf(stderr, "%s failed\n", name);
            std::exit(1);
        }
        times.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    const double median = medianMs(times);
    std::printf("RESULT %-22s median %9.1f ms  min %9.1f ms  (%d runs)\n", name, median,
        *std::min_element(times.begin(), times.end()), runs);
    std::fflush(stdout);
    return median;
}

// The cells the export writes, as typed values, for another writer to write the same table.
bool dumpCells(const ListTable &table, const QString &path)
{
    QJsonArray columns;
    for (int c = 0; c < table.columnCount(); ++c) {
        const int field = table.columnField(c);
        int widest = DisplayWidth(table.columnCaption(c));
        for (int r = 0; r < table.rowCount(); ++r)
            widest = std::max(widest, DisplayWidth(WorkbookCellText(table.rowRecord(r), field)));
        columns.append(QJsonObject { { u"caption"_s, table.columnCaption(c) }, { u"field"_s, field },
            { u"align"_s, table.columnAlign(c) },
            { u"format"_s, InvariantNumberFormat(LocalNumberFormat(field)) },
            { u"width"_s, FittedColumnWidth(widest) } });
    }
    QJsonArray rows;
    QJsonArray links;
    for (int r = 0; r < table.rowCount(); ++r) {
        const QuoteRecord &record = table.rowRecord(r);
        QJsonArray cells;
        for (int c = 0; c < table.columnCount(); ++c) {
            const QString text = WorkbookCellText(record, table.columnField(c));
            const TypedInput typed = ParseTypedInput(text);
            switch (typed.kind) {
            case TypedInput::Empty:
                cells.append(QJsonValue::Null);
                break;
            case TypedInput::Text:
                cells.append(text);
                break;
            default:
                cells.append(typed.number);
            }
        }
        rows.append(cells);
        links.append(BrowserAddress(record));
    }
    QFile out(path);
    return out.open(QIODevice::WriteOnly)
        && out.write(QJsonDocument(
               QJsonObject { { u"columns"_s, columns }, { u"rows"_s, rows }, { u"links"_s, links } })
                         .toJson(QJsonDocument::Compact))
        > 0;
}

} // namespace

int main(int argc, char **argv)
{
    tessera::PinLocalTimeZone(); // as the programs do
    QCoreApplication app(argc, argv);
    static constexpr char kUsage[] = "[--runs N] [--export-only] DIR";
    // --export-only is for profiling the export alone.
    const ToolOptions command
        = ParseToolOptions(app.arguments().mid(1), { u"--runs"_s }, { u"--export-only"_s });
    if (!command.ok())
        return ToolUsageError("bench_workbook", kUsage, command.error);
    if (command.plain.size() != 1)
        return ToolUsageError("bench_workbook", kUsage, {});
    const int runs = std::max(1, command.value(u"--runs"_s, u"5"_s).toInt());
    const bool exportOnly = command.isSet(u"--export-only"_s);
    const QString dirName = command.plain.front();
    if (!tessera::LanguageModule::instance().load()) {
        std::fprintf(stderr, "the language module could not be loaded\n");
        return 1;
    }
    QDir().mkpath(dirName);
    const QDir dir(dirName);

    // Site-shaped rows with update times a minute apart and a status, as after an update.
    RecordMap records = MakeSiteShapedRows(kRows);
    qint64 when = 1784160000; // 2026-07-16
    for (auto &[code, record] : records) {
        record->datetime = when;
        when += 60;
        record->values.set(SlotOfField(FieldStatus), u"更新済"_s);
    }
    const ListTable table = BuildExportTable(records, DefaultColumnLayout(), std::nullopt);
    std::printf("rows %d, exported columns %d\n", table.rowCount(), table.columnCount());

    const QString ours = dir.filePath(u"ours.xlsx"_s);
    WorkbookExportOptions options;
    options.sheetTitle = u"bench"_s;
    timed("export", runs, [&] { return bool(ExportWorkbook(ours, table, options)); });

    // Split: the same without the safe replace (temporary file, flush to disk, rename).
    const QString direct = dir.filePath(u"direct.xlsx"_s);
    timed("export: no safe save", runs, [&] { return bool(WriteWorkbookFile(direct, table, options)); });
    QFile::remove(direct);
    if (exportOnly)
        return 0;
    // Splits: the cell texts and the typing alone, without any writing.
    timed("export: texts+typing", runs, [&] {
        double sum = 0;
        for (int r = 0; r < table.rowCount(); ++r) {
            const QuoteRecord &record = table.rowRecord(r);
            for (int c = 0; c < table.columnCount(); ++c)
                sum += ParseTypedInput(WorkbookCellText(record, table.columnField(c))).number;
        }
        return sum != 0;
    });

    ListLoadOptions load;
    load.workbook.columns = &WorkbookColumns();
    int imported = 0;
    timed("import", runs, [&] {
        const tessera::Result<LoadedList> list = LoadList(ours, load);
        imported = list ? static_cast<int>(list->rows.size()) : -1;
        return imported == kRows;
    });

    QFile file(ours);
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray bytes = file.readAll();
    tessera::Result<WorkbookGrid> grid = ReadWorkbookGrid(bytes, ours);
    if (!grid)
        return 1;
    timed("import: grid only", runs, [&] { return bool(ReadWorkbookGrid(bytes, ours)); });
    WorkbookImportOptions importOptions;
    importOptions.columns = &WorkbookColumns();
    timed("import: records only", runs, [&] { return bool(ImportWorkbookGrid(*grid, importOptions)); });
    std::printf("file %lld bytes, %d rows imported\n", static_cast<long long>(bytes.size()), imported);

    if (!dumpCells(table, dir.filePath(u"cells.json"_s)))
        return 1;
    return 0;
}
