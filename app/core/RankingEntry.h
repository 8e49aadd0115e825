#pragma once

#include "quotes/QuoteRecord.h"

#include <QString>
#include <QStringView>

#include <memory>
#include <optional>
#include <span>
#include <vector>

class HttpRequest;

// One of the site's daily ranking lists: its page below "stocks/ranking/", its title, and the
// field (column table number) and direction the list is sorted by when the ranking is applied.
struct RankingEntry {
    const char16_t *pagePath;
    const char16_t *title;
    int sortField;
    bool ascending;
};

// The six rankings; the index is the value stored in the setting RankingNo.
std::span<const RankingEntry> RankingEntries();
// The entry of a stored index; entry 0 for an index outside the table, so a damaged setting
// still picks a ranking.
const RankingEntry &RankingEntryAt(int index);
bool IsRankingIndex(int index);

// The ranking page's address: the site root, "stocks/ranking/" and the page path.
QString RankingPageAddress(const RankingEntry &entry);

// "<title> <count> *": the list's title once a ranking of `count` securities is applied.
QString RankingTitle(const RankingEntry &entry, int count);

// One security a ranking page lists: a fresh row holding only its code and name.
using RankingRows = std::vector<std::unique_ptr<QuoteRecord>>;

// Reads the securities of a ranking page, in page order. Behind the marker
// "mainRankingList": the page is read as rank, stockCode, stockName triples to its end; the
// first triple that misses a marker or its closing quote ends the reading, so a cut-off last
// entry is dropped and the ones before it are kept. Names are unescaped as on the quote pages.
// Nullopt when the page has no marker; a marker with no complete triple is an empty list.
std::optional<RankingRows> ReadRankingPage(QStringView page);

// Fetches the entry's page through `request` and reads it. Nullopt when the page could not be
// fetched or is not a ranking page; `error` (when given) then says why.
std::optional<RankingRows> ReadRanking(
    const RankingEntry &entry, HttpRequest &request, QString *error = nullptr);
