#pragma once

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QVariant>

#include <optional>

// Typed reads from the settings store. Each yields nothing when the value is absent or is
// not of the expected kind, so the caller's default applies; the registry calls these reads
// stand in for behave the same way on a value of the wrong type.

// A 32-bit number: a decimal text (how an INI file holds it) or a stored integer, in the
// range of a signed or unsigned 32-bit value; wider values are refused.
std::optional<quint32> ReadNumber(const QSettings &store, const QString &key);
// A text value. An unquoted INI value with commas comes back as a list and is joined again.
// Longer than maxChars: refused.
std::optional<QString> ReadText(const QSettings &store, const QString &key, qsizetype maxChars);
// A binary value (an INI "@ByteArray(...)"); texts are not binary.
std::optional<QByteArray> ReadBinary(const QSettings &store, const QString &key);
