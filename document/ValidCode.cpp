#include "document/ValidCode.h"

namespace {

constexpr qsizetype kMaxCodeLength = 8;

bool isCodeChar(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'.' || u == u'^';
}

// Cuts `s` before the first `sep`, unless `sep` is its first character or absent.
QStringView cutBefore(QStringView s, QChar sep)
{
    const qsizetype at = s.indexOf(sep);
    return at > 0 ? s.first(at) : s;
}

} // namespace

bool IsValidCode(QStringView code)
{
    if (code.isEmpty() || code.size() > kMaxCodeLength)
        return false;
    for (QChar c : code) {
        if (!isCodeChar(c))
            return false;
    }
    return true;
}

QStringView CodeCandidateOfLine(QStringView line)
{
    QStringView s = line.trimmed();
    s = cutBefore(s, u'\t');
    s = cutBefore(s, u',');
    s = cutBefore(s, u' ');
    return s;
}

QStringList ValidCodesInText(QStringView text)
{
    QStringList codes;
    for (QStringView line : text.tokenize(u'\n')) {
        const QStringView candidate = CodeCandidateOfLine(line);
        if (IsValidCode(candidate))
            codes.append(candidate.toString());
    }
    return codes;
}
