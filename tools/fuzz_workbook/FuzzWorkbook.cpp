// libFuzzer target for the workbook readers over both formats and the import of the grid.
// Besides not crashing, every failure must say what was wrong, and a grid must be the box it
// claims to be. An .xls file is parsed by the reader program, so an OLE input goes the whole
// guarded way (through one temporary file rewritten in place for each run, and the program
// beside this one); an input that starts like the program's output stream ("QXLS") feeds
// the stream reader directly, which is the code of ours that reads what that program says.
#include "document/ErrorCodes.h"
#include "document/workbook/WorkbookGrid.h"
#include "document/workbook/WorkbookImport.h"
#include "document/workbook/XlsStream.h"

#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <unistd.h>

namespace {

// A small stand-in of the column table: enough captions to find a header and a code column.
const WorkbookColumnTable &columns()
{
    static const WorkbookColumnTable table = [] {
        WorkbookColumnTable t;
        t[1] = { QStringLiteral("code"), -1, 50, 1 };
        t[2] = { QStringLiteral("name"), 0, 200, 0 };
        t[4] = { QStringLiteral("price"), 3, 80, 1 };
        t[6] = { QStringLiteral("ratio"), 5, 80, 1 }; // numbers in percent formats
        t[39] = { QStringLiteral("memo"), 35, 80, 0 }; // numbers and dates as their cells show them
        t[14] = { QStringLiteral("time"), -2, 100, 0 };
        t[35] = { QStringLiteral("buyday"), 31, 80, 0 };
        t[36] = { QStringLiteral("amount"), 32, 80, 1 };
        return t;
    }();
    return table;
}

WorkbookLimits limits()
{
    // Tight enough that a hostile input cannot take the fuzzer's memory.
    WorkbookLimits l;
    l.maxPartBytes = 8 << 20;
    l.maxCells = 200'000;
    l.maxSharedStrings = 100'000;
    l.maxTextUnits = 4'000'000;
    l.xlsReaderMilliseconds = 5'000; // within the fuzzer's time-out for one input
    return l;
}

void check(const tessera::Result<WorkbookGrid> &grid)
{
    if (!grid.ok()) {
        if (grid.error().message.isEmpty())
            __builtin_trap();
        return;
    }
    if (grid->columns > 40
        || grid->cells.size() != static_cast<size_t>(grid->rows) * static_cast<size_t>(grid->columns))
        __builtin_trap();
    WorkbookImportOptions options;
    options.columns = &columns();
    auto list = ImportWorkbookGrid(*grid, options);
    if (!list.ok() && list.error().message.isEmpty())
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    if (bytes.startsWith(QByteArrayView(kXlsStreamMagic, 4))) {
        check(ReadXlsStream(bytes, limits()));
        return 0;
    }
    switch (DetectWorkbookFormat(bytes)) {
    case WorkbookFormat::Xlsx:
        check(ReadXlsxGrid(bytes, limits()));
        break;
    case WorkbookFormat::Xls: {
        static const QString path
            = QDir::tempPath() + QStringLiteral("/fuzz_workbook-%1.xls").arg(static_cast<qint64>(getpid()));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(bytes.data(), bytes.size()) != bytes.size())
            return 0;
        file.close();
        check(ReadXlsGrid(path, limits()));
        break;
    }
    case WorkbookFormat::None:
        check(ReadWorkbookGrid(bytes, QStringLiteral("/fuzz/book.xlsx"), limits()));
        break;
    }
    return 0;
}
