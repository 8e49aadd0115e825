#include "app/core/RankingApply.h"

#include "document/CQuotraDoc.h"

AppliedRanking ApplyRanking(CQuotraDoc &doc, const RankingEntry &entry, RankingRows rows,
    const std::function<void(int field, bool ascending)> &sortBy)
{
    AppliedRanking applied;
    applied.codes.reserve(static_cast<qsizetype>(rows.size()));
    for (const auto &row : rows)
        applied.codes.append(row->code);
    applied.added = doc.insertRecords(std::move(rows));
    if (sortBy)
        sortBy(entry.sortField, entry.ascending);
    applied.generation = doc.StartUpdate(applied.codes);
    doc.setTitle(RankingTitle(entry, static_cast<int>(applied.codes.size())));
    doc.SetModifiedFlag(true);
    return applied;
}
