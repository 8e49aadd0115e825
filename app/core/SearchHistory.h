#pragma once

#include <QByteArray>
#include <QStringList>

// The find history as the settings keep it ("SearchStrs"): the strings one after another,
// each as UTF-16 (little-endian) followed by one zero unit, no further terminator.
// Strings are taken in history order while counting length + 1 each; once the count
// exceeds kSearchStrsLimit no further string is taken, so the last one taken may cross
// the mark (600 one-character strings give 257 strings, 1028 bytes).
constexpr int kSearchStrsLimit = 512;

QByteArray EncodeSearchStrs(const QStringList &history);
// Reads the UTF-16 form with the same limit; empty strings and an odd trailing byte are
// dropped, a last string without its zero is kept.
QStringList DecodeSearchStrs(const QByteArray &value);
// Reads the oldest form: 8-bit strings in the legacy code page, each ended by a zero byte.
QStringList DecodeAnsiSearchStrs(const QByteArray &value);
