#pragma once

#include <QString>
#include <QStringView>

struct QuoteRecord;

// The cells the workbook writers fill, by field number.

// The text of field `field` for `record` as a workbook holds it (before the typed-input
// rule turns it into a number or date): the code; the value slot of fields 2..11 and 15..34;
// dividend and yield empty for "---"; the update time "yyyy/MM/dd HH:mm" and the purchase day
// "yyyy/MM/dd" in local time; amount and shares grouped, the profit grouped with "+" before a
// positive value; the memo as stored. Fields 35..39 are empty without holdings; 0 and
// numbers above 39 are empty.
QString WorkbookCellText(const QuoteRecord &record, int field);
// The same text without a copy where the record holds it (the value slots); other fields
// are made in `scratch`. The view lasts while the record and `scratch` stay unchanged.
QStringView WorkbookCellView(const QuoteRecord &record, int field, QString &scratch);

// Whether the cells of a field are written as text whatever they hold: the code, name,
// market, status and memo, so that a fund code keeps its leading zero and a memo "1,200"
// stays the memo it was. The other fields are written as typed.
bool IsTextField(int field);

// The number format of a percentage typed into a column with the number format
// `columnFormat` (local form): two decimals and "%", with the "+" before positive values and
// the red negatives of the column's format; "0.00% " for a column without either.
QStringView PercentNumberFormat(QStringView columnFormat);

// The number format of a field in the local form a spreadsheet shows ("[赤]" colour names),
// each ending in one space; empty for fields that get none.
QStringView LocalNumberFormat(int field);
// The same format in the file's invariant form: local colour names become the English ones
// ("[赤]" -> "[Red]"), which every program reads.
QString InvariantNumberFormat(QStringView localFormat);

// Column letters by bijective base 26: 0 -> "A", 25 -> "Z", 26 -> "AA", 27 -> "AB".
QString ColumnLetters(int column);
// "C5" for column 2, row 5 (1-based row); "C:C" for the whole column 2.
QString CellAddress(int column, int row);
QString ColumnRange(int column);

// A sheet name a spreadsheet accepts: trailing "*" and then trailing white space removed,
// none of []:*?/\ (each becomes "_"), no apostrophe at either end, at most 31 characters
// (a surrogate pair is never cut), "Sheet1" when nothing is left.
QString ValidSheetName(QStringView title);
// ValidSheetName made distinct, ignoring case, from every name in `taken` by " (2)",
// " (3)", ... within the 31 characters.
QString UniqueSheetName(QStringView title, const QStringList &taken);

// The width a text takes in a cell, in character units: East Asian wide and full-width
// characters count two, every other character one.
int DisplayWidth(QStringView text);
// The column width for the widest text of a column: a little room on both sides, within
// the bounds a reader can still use (6 to 80 characters).
double FittedColumnWidth(int widestText);
