#pragma once

#include <QByteArray>
#include <QString>

#include <ostream>
#include <string>

// Readable failure output and parameter names for Qt strings in the tests.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QByteArray &b, std::ostream *os)
{
    *os << b.toHex(' ').toStdString();
}

// A UTF-16 literal of a test table as UTF-8, for PrintTo of parameter structs; null prints
// as "(null)".
inline std::string Utf8(const char16_t *text)
{
    return text ? QString::fromUtf16(text).toStdString() : std::string("(null)");
}
