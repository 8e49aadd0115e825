#pragma once

#include <QString>
#include <QStringView>

// Cutting values out of page text between markers. Every search is an exact,
// case-sensitive substring search; positions are indices into the searched text.

// "No position": a failed cut, or a cut that depends on one.
inline constexpr qsizetype kNoPos = -1;

// Position of the first `marker` at or after `position`, or kNoPos.
qsizetype Find(QStringView text, qsizetype position, QStringView marker);

// Finds the first `start` at or after `position`, then the first `end` after it, and stores
// the text between them in `destination`. Returns the position just behind `end`, or kNoPos
// (position already kNoPos, a marker missing), in which case `destination` is untouched.
qsizetype Cut(QString &destination, QStringView text, qsizetype position, QStringView start, QStringView end);

// The same cut into a working text: `section` becomes a view into `text`, so later cuts can
// search it without copying. On failure the section keeps the text it had.
qsizetype CutSection(
    QStringView &section, QStringView text, qsizetype position, QStringView start, QStringView end);

// Puts "+" in front of a text whose leading number is greater than 0 ("12.5" -> "+12.5",
// "1,234" -> "+1,234"); empty, zero, negative and already signed texts stay as they are.
void AddPlusSign(QString &text);

// Replaces every "\uXXXX" escape by the UTF-16 code unit it names. A "\u" with fewer than
// four characters behind it, or whose next character is not a hexadecimal digit, stays.
QString UnescapeUnicode(QStringView text);
