#include "corelib/NumberReading.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

bool isSpace(char16_t c)
{
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// Walks a text, passing over commas when asked to.
class Cursor {
public:
    Cursor(QStringView text, bool ignoreCommas)
        : m_text(text)
        , m_ignoreCommas(ignoreCommas)
    { }

    char16_t peek()
    {
        while (m_ignoreCommas && m_pos < m_text.size() && m_text[m_pos] == u',')
            ++m_pos;
        return m_pos < m_text.size() ? m_text[m_pos].unicode() : char16_t(0);
    }
    void advance() { ++m_pos; }
    qsizetype position() const { return m_pos; }
    void reset(qsizetype pos) { m_pos = pos; }

private:
    QStringView m_text;
    bool m_ignoreCommas;
    qsizetype m_pos = 0;
};

} // namespace

namespace tessera {

double ReadLeadingReal(QStringView text, bool ignoreCommas)
{
    return TryReadLeadingReal(text, ignoreCommas).value_or(0);
}

std::optional<double> TryReadLeadingReal(QStringView text, bool ignoreCommas)
{
    Cursor in(text, ignoreCommas);
    while (isSpace(in.peek()))
        in.advance();
    std::string number;
    bool negative = false;
    if (in.peek() == u'+' || in.peek() == u'-') {
        negative = in.peek() == u'-';
        in.advance();
    }
    bool anyDigit = false;
    while (isDigit(in.peek())) {
        number += static_cast<char>(in.peek());
        anyDigit = true;
        in.advance();
    }
    if (in.peek() == u'.') {
        in.advance();
        number += '.';
        while (isDigit(in.peek())) {
            number += static_cast<char>(in.peek());
            anyDigit = true;
            in.advance();
        }
    }
    if (!anyDigit)
        return std::nullopt;
    // The exponent counts only when digits follow it.
    if (in.peek() == u'e' || in.peek() == u'E') {
        const qsizetype mark = in.position();
        std::string exponent = "e";
        in.advance();
        if (in.peek() == u'+' || in.peek() == u'-') {
            exponent += static_cast<char>(in.peek());
            in.advance();
        }
        bool expDigit = false;
        while (isDigit(in.peek())) {
            exponent += static_cast<char>(in.peek());
            expDigit = true;
            in.advance();
        }
        if (expDigit)
            number += exponent;
        else
            in.reset(mark);
    }
    double value = 0;
    const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Too large or too small in magnitude: decide by the exponent's sign.
        const bool tiny = number.find("e-") != std::string::npos;
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}

qint64 ReadLeadingInteger(QStringView text, bool ignoreCommas)
{
    Cursor in(text, ignoreCommas);
    while (isSpace(in.peek()))
        in.advance();
    bool negative = false;
    if (in.peek() == u'+' || in.peek() == u'-') {
        negative = in.peek() == u'-';
        in.advance();
    }
    // Accumulate negatively so that the lowest value fits.
    constexpr qint64 kMin = std::numeric_limits<qint64>::min();
    qint64 value = 0;
    bool saturated = false;
    while (isDigit(in.peek())) {
        const int d = in.peek() - u'0';
        if (!saturated) {
            if (value < (kMin + d) / 10)
                saturated = true;
            else
                value = value * 10 - d;
        }
        in.advance();
    }
    if (saturated)
        return negative ? kMin : std::numeric_limits<qint64>::max();
    if (negative)
        return value;
    return value == kMin ? std::numeric_limits<qint64>::max() : -value;
}

} // namespace tessera
