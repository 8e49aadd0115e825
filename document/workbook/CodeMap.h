#pragma once

#include "corelib/Result.h"
#include "document/ListLoader.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <vector>

struct QuoteRecord;
class TableSource;

// Every record read from several list files, and the same records by code: each code's
// records (one per file it occurs in) in time order, oldest first. Files that hold a code
// twice cannot exist (a list is keyed by code), so a code never has more records than files.
struct CodeMap {
    std::vector<std::unique_ptr<QuoteRecord>> records; // owns them: files in the given order
    // Keys in plain code-unit order; the pointers point into `records`.
    std::map<QString, std::vector<const QuoteRecord *>> byCode;

    int codeCount() const { return static_cast<int>(byCode.size()); }
};

// Called after each file with the number of files read so far and the number of files;
// returning false abandons the gathering (WorkbookErrorStopped) and frees what was read.
using GatherProgress = std::function<bool(int filesDone, int files)>;

// Reads every file with the list loader (any list format, workbooks too) and builds the map.
// The first file that cannot be read ends it with that file's error; nothing is handed out.
tessera::Result<CodeMap> GatherLists(
    const QStringList &paths, const ListLoadOptions &options = {}, const GatherProgress &progress = {});
// The map of records already read (tests, and callers that load by other means).
CodeMap BuildCodeMap(std::vector<std::unique_ptr<QuoteRecord>> records);

// One exported column of the comparison: the table's columns in display order.
struct CompareColumn {
    int field = 0;
    QString caption;
    int align = 0; // 0 left, 1 right, 2 centre
};
std::vector<CompareColumn> CompareColumnsOf(const TableSource &table);
