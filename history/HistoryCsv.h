#pragma once

#include "history/HistoryPoint.h"

#include <QString>

#include <span>

// The points as CSV, one line each in the given order under the header
// "code,time,price,change,...": the time in UTC seconds, every value in its shortest exact
// form, a missing value as an empty field. The command line prints it and the window's
// history pane exports it.
QString HistoryPointsCsv(std::span<const HistoryPoint> points);

// A value as the printed forms write it: the shortest text that reads back to the same
// double; empty for a missing value.
QString HistoryValueText(const std::optional<double> &value);
