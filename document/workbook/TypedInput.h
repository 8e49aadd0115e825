#pragma once

#include <QDate>
#include <QStringView>

#include <optional>

// What a spreadsheet makes of a text typed into a cell, for the cells the workbook writers
// fill: a number, a date or date-time (a serial number of the 1900 date system), a text,
// or nothing at all for an empty text.
struct TypedInput {
    enum Kind { Empty, Number, DateTime, Text };
    Kind kind = Empty;
    double number = 0; // the value of a Number or DateTime
    bool percent = false; // a Number typed with "%"
    bool withTime = false; // a DateTime typed with hours and minutes
};

// The rule: blanks around the text are ignored. A number is an optional "+" or "-", then
// digits either plain or with "," between groups of three ("1,234,567"), optional decimals
// after "." (".5" counts), and an optional trailing "%" meaning hundredths. A date is
// "yyyy/m/d" and a date-time "yyyy/m/d h:mm" (a real day from 1900 to 9999, hours 0..23,
// minutes 0..59). Everything else ("---", "STOP 2,900", "1,900～2,900", names) is text.
TypedInput ParseTypedInput(QStringView text);

// Serial numbers of the 1900 date system: days since 1899-12-30 for days from 1900-03-01,
// one more for January and February 1900 (the system counts a 29 February 1900 that never
// was). Nothing before 1900-01-01 or after 9999-12-31.
std::optional<double> DateSerial1900(QDate date);
// The day of a serial's whole part (1904 system: 1462 days later than the same serial in
// the 1900 system); nothing for serials before 1900-03-01 in the 1900 system that are not
// real days, and for serials outside 1900..9999.
std::optional<QDate> DateOfSerial(double serial, bool date1904 = false);
