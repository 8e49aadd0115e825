#pragma once

#include "document/RecordMap.h"

#include <QString>
#include <QStringList>

// The rules of the periodic update and of the code box, shared by the window and the tests.

// The codes among `codes` (kept in their order) whose row was last updated more than
// `periodSeconds` before `now`: last update + period strictly before now.
QStringList DueRows(const RecordMap &rows, const QStringList &codes, qint64 now, qint64 periodSeconds);

// What the code box keeps of a typed text: upper-cased, cut at the first character outside
// the code alphabet "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.^" ("7203.t" keeps "7203.T",
// "72 03" keeps "72").
QString CodeBoxText(const QString &typed);
