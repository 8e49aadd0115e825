#pragma once

#include <QByteArray>
#include <QString>

namespace tessera {

// Decodes bytes in the named character set (ICU converter names and aliases: "UTF-8",
// "Shift_JIS", "windows-31j" for CP932, "EUC-JP", "ISO-8859-1", ...). Malformed sequences
// become U+FFFD. An unknown charset name decodes as UTF-8. Never fails.
QString DecodeText(const QByteArray &bytes, const char *charset);
// The same for the legacy code page of the lists' users (CP932).
QString DecodeAnsi(const QByteArray &bytes);
// Encodes into the named character set; unmappable characters become the set's
// substitution character. An unknown charset encodes as UTF-8.
QByteArray EncodeText(const QString &text, const char *charset);
QByteArray EncodeAnsi(const QString &text);
// True when ICU knows the charset name.
bool IsKnownCharset(const char *charset);

} // namespace tessera
