#pragma once

#include "app/core/RankingEntry.h"

#include <QStringList>

#include <functional>

class CQuotraDoc;

// Puts the securities of a ranking into the open list:
// 1. every row read is inserted unless the list already has its code (exact comparison), in
//    which case the list's row stays as it is, holdings included;
// 2. `sortBy(field, ascending)` sorts the list by the entry's field (the window and the
//    command-line front end each sort their own table);
// 3. one update of every code read starts, a code listed twice counted twice;
// 4. the list is marked modified and titled RankingTitle(entry, number of rows read).
struct AppliedRanking {
    QStringList codes; // every code read, in page order, repeats included
    QStringList added; // the codes that became new rows
    quint64 generation = 0; // the update run started for `codes`
};
AppliedRanking ApplyRanking(CQuotraDoc &doc, const RankingEntry &entry, RankingRows rows,
    const std::function<void(int field, bool ascending)> &sortBy);
