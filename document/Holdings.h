#pragma once

#include "quotes/QuoteRecord.h"

#include <QDate>
#include <QString>
#include <QStringView>

#include <optional>

// What the holdings dialog hands back on OK.
struct HoldingsEntry {
    qint64 buyday = 0; // midnight local time of the picked day
    double amount = 0;
    double shares = 0;
    QString memo;
};

// The memo's longest entered form, in UTF-16 code units.
inline constexpr qsizetype kMaxMemoLength = 256;

// OK of the holdings dialog: the record takes the entry and has holdings; with an amount or
// shares the profit is computed, otherwise the record keeps holdings only for a memo (the
// day stays stored either way).
void ApplyHoldingsEntry(QuoteRecord &record, const HoldingsEntry &entry);
// The holdings of `from` copied to `to`, whose profit then follows its own previous close.
void CopyHoldings(const QuoteRecord &from, QuoteRecord &to);

// True for the holdings fields: purchase day, amount, shares, profit and memo.
bool IsHoldingField(int field);
// The text of a holdings field as the list, the exports and the workbooks show it: the day as
// "yyyy/mm/dd", amount and shares grouped, the profit grouped with its sign, the memo as
// typed; empty for a record without holdings and for other fields.
QString HoldingCellText(const QuoteRecord &record, int field);

// The local day of a stored purchase time, and midnight local time of a day. A day whose
// midnight does not exist (a time-zone change at 00:00) starts at its first valid time.
QDate DateOfBuyday(qint64 buyday);
qint64 BuydayOfDate(QDate date);

// A number as a user types it into the amount and shares fields: optional blanks around,
// an optional leading minus, digits either plain or in comma groups of three ("1,234,567"),
// optional decimals after "."; full-width digits and signs count as their ASCII forms. An
// empty field is 0. Anything else, and numbers too large for a double, give nothing.
std::optional<double> ParseHoldingsNumber(QStringView text);
