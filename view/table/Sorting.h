#pragma once

#include "view/table/Rows.h"

#include <QStringView>

// How two values of a field compare (each rule answers "A before B" for ascending order).
enum class CompareRule {
    None, // anchor column: the rows keep their order
    Code, // all-digit and four-character codes by length and text, then the rest by text
    Text, // UTF-16 code units, case-sensitive, no locale
    Real, // commas removed, leading decimal number
    Integer, // commas removed, leading integer
    Range, // the part before the first full-width tilde, by the integer rule
    Time, // 64-bit seconds
    Number, // the stored double
    Color, // row colour, default replaced by the system colour, unsigned
};

CompareRule CompareRuleOf(int field);

// The values the rules compare, read from a text.
double RealKey(QStringView text); // "-0.35%" -> -0.35, "STOP 1,234.5" -> 0
qint64 IntegerKey(QStringView text); // "1,234.5" -> 1234, "---" -> 0
qint64 RangeKey(QStringView text); // "1,500～2,500" -> 1500
// The code rule, a strict total order: true when code a sorts before code b in ascending
// order. All-digit codes and four-character codes that start with a digit and hold only
// digits and ASCII letters (130A) come first, by length and then by code unit; every other
// code follows by code unit.
bool CodeLess(QStringView a, QStringView b);

// A sort request: the field (0 keeps the order) or one of the row colours, the direction,
// and the system colours that stand in for a row's default colours.
struct SortOrder {
    enum Key { Field, TextColor, BackColor };
    int field = 0;
    Key key = Field;
    bool ascending = true;
    quint32 defaultTextColor = 0x000000; // window text colour, 0x00BBGGRR
    quint32 defaultBackColor = 0xFFFFFF; // window colour
};

// True when record a sorts before record b under `order` (direction included).
bool RecordLess(const QuoteRecord &a, const QuoteRecord &b, const SortOrder &order);

// Sorts the rows by `order`. Each key is read once per row, not once per comparison. The
// sort is stable: rows whose keys are equal keep their relative order.
void SortRows(RowVector &rows, const SortOrder &order);

// SortRows that keeps a selection: `selected` rows (indices before the sort) are followed
// by code; returns their indices after the sort, ascending.
std::vector<int> SortRowsKeepingSelection(
    RowVector &rows, const SortOrder &order, const std::vector<int> &selected);
