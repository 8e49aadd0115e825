#include "document/workbook/CodeMap.h"

#include "corelib/Messages.h"
#include "corelib/StringIds.h"
#include "document/ErrorCodes.h"
#include "document/TableSource.h"
#include "quotes/QuoteRecord.h"

#include <algorithm>

CodeMap BuildCodeMap(std::vector<std::unique_ptr<QuoteRecord>> records)
{
    CodeMap map;
    map.records = std::move(records);
    std::vector<const QuoteRecord *> order;
    order.reserve(map.records.size());
    for (const auto &r : map.records)
        order.push_back(r.get());
    // Stable, so records of one code with the same update time keep the order of the files.
    std::stable_sort(order.begin(), order.end(), [](const QuoteRecord *a, const QuoteRecord *b) {
        if (a->code != b->code)
            return a->code < b->code;
        return a->datetime < b->datetime;
    });
    for (const QuoteRecord *r : order)
        map.byCode[r->code].push_back(r);
    return map;
}

tessera::Result<CodeMap> GatherLists(
    const QStringList &paths, const ListLoadOptions &options, const GatherProgress &progress)
{
    std::vector<std::unique_ptr<QuoteRecord>> records;
    const int files = static_cast<int>(paths.size());
    for (int i = 0; i < files; ++i) {
        tessera::Result<LoadedList> loaded = LoadList(paths.at(i), options);
        if (!loaded)
            return loaded.error();
        for (auto &entry : loaded->rows)
            records.push_back(std::move(entry.second));
        if (progress && !progress(i + 1, files))
            return tessera::Error { WorkbookErrorStopped, tessera::ResourceString(Ids::MsgStopOperation) };
    }
    return BuildCodeMap(std::move(records));
}

std::vector<CompareColumn> CompareColumnsOf(const TableSource &table)
{
    std::vector<CompareColumn> columns;
    const int count = table.columnCount();
    columns.reserve(static_cast<size_t>(count));
    for (int c = 0; c < count; ++c)
        columns.push_back({ table.columnField(c), table.columnCaption(c), table.columnAlign(c) });
    return columns;
}
