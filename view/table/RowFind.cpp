#include "view/table/RowFind.h"

#include "corelib/CJre.h"
#include "view/table/ListTable.h"

#include <algorithm>

namespace {

enum class RowTest { NoMatch, Match, Limit };

RowTest testRow(const ListTable &table, int row, tessera::CJre &jre)
{
    if (!table.record(row))
        return RowTest::NoMatch;
    // The row's kept display texts hold list columns 1.. from index 0.
    const ShownTexts &texts = table.shownTexts(row);
    const int last = std::min(kFindLastColumn, texts.count());
    for (int column = kFindFirstColumn; column <= last; ++column) {
        if (jre.Find(texts.text(column - 1)))
            return RowTest::Match;
        if (jre.limitHit())
            return RowTest::Limit;
    }
    return RowTest::NoMatch;
}

} // namespace

bool RowMatches(const ListTable &table, int row, tessera::CJre &jre)
{
    return testRow(table, row, jre) == RowTest::Match;
}

int FindStartRow(int rowCount, std::optional<int> selected, bool down)
{
    if (rowCount <= 0)
        return -1;
    if (!selected)
        return down ? 0 : rowCount - 1;
    const int s = *selected;
    if (down)
        return s + 1 >= rowCount ? -1 : std::max(0, s + 1);
    return s <= 0 ? -1 : std::min(rowCount - 1, s - 1);
}

FindResult FindRow(
    const ListTable &table, tessera::CJre &jre, int start, bool down, const FindProgress &progress)
{
    const int step = down ? 1 : -1;
    const int total = down ? table.rowCount() - start : start + 1;
    int searched = 0;
    // The row count is read again at every row: the progress callback lets events through,
    // and the list may be rebuilt meanwhile.
    for (int row = start; row >= 0 && row < table.rowCount(); row += step) {
        const RowTest test = testRow(table, row, jre);
        if (test == RowTest::Match)
            return { FindEnd::Found, row };
        if (test == RowTest::Limit)
            return { FindEnd::Limit, row };
        ++searched;
        if (progress && !progress(searched, total))
            return { FindEnd::Stopped, -1 };
    }
    return {};
}
