#pragma once

#include "quotes/QuoteRecord.h"

#include <QString>

#include <array>
#include <optional>

// The values of a quote that the history keeps, as numbers: the column of the points table,
// the record's slot it is read from, and the name the command line prints it under. A
// missing value (an empty slot, "---") is stored as NULL, never as 0.
struct HistoryColumn {
    const char *name; // the column of the points table and the key of the printed forms
    int slot; // QuoteRecord::values slot
};

// clang-format off
inline constexpr HistoryColumn kHistoryColumns[] = {
    { "price", SlotPrice },
    { "change", SlotDifference },
    { "ratio", SlotRatio },
    { "volume", SlotVolume },
    { "turnover", SlotTradingValue },
    { "open", SlotOpen },
    { "high", SlotHigh },
    { "low", SlotLow },
    { "year_high", SlotYearHigh },
    { "year_low", SlotYearLow },
};
// clang-format on
inline constexpr int kHistoryValueCount = static_cast<int>(std::size(kHistoryColumns));

// Index of each value within HistoryPoint::values.
enum HistoryValue : int {
    HistoryPrice = 0,
    HistoryChange,
    HistoryRatio,
    HistoryVolume,
    HistoryTurnover,
    HistoryOpen,
    HistoryHigh,
    HistoryLow,
    HistoryYearHigh,
    HistoryYearLow,
};
static_assert(HistoryYearLow + 1 == kHistoryValueCount, "one index per column");

// One successful fetch of one code.
struct HistoryPoint {
    QString code;
    qint64 time = 0; // UTC seconds of the fetch
    int pageKind = 0; // CodeKind of the code: which page the values came from
    std::array<std::optional<double>, kHistoryValueCount> values;

    friend bool operator==(const HistoryPoint &, const HistoryPoint &) = default;
};

// The point a record's values make at its update time; nothing when the record holds no
// fetched quote (the status slot holds the fetch's error text, or there is no price).
std::optional<HistoryPoint> PointOfRecord(const QuoteRecord &record);

// The number a quote text stands for: the locale-free leading number with "," between
// groups, after the price-limit marker "STOP " of the day's high and low; nothing for an
// empty text, one without a number ("---") or one too large for a double ("1e999").
std::optional<double> HistoryNumber(QStringView text);
