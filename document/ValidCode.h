#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// A code accepted from outside (text lists, CSV files, pasted text): 1 to 8 characters from
// "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.^". Lower case is not a code.
bool IsValidCode(QStringView code);

// The candidate of one line of pasted or listed text: the line trimmed, then cut before the
// first tab, comma and space (in that order, each only when it is not the first character).
QStringView CodeCandidateOfLine(QStringView line);

// The valid codes of a text, one candidate per line (lines end at line feeds), in text order,
// repeats kept.
QStringList ValidCodesInText(QStringView text);
