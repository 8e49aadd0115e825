#include "quotes/SecurityCode.h"

#include "quotes/PageScan.h"
#include "quotes/QuoteRecord.h"
#include "quotes/SiteRoot.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

// Codes of the world index page that do not start with "^".
constexpr std::array<QStringView, 3> kFixedWorldIndices = { u"PSI", u"FTSEMIB.MI", u"000001.SS" };

// Markers of the stock section and its item type on a domestic page (escaped JSON).
constexpr QStringView kStockSectionStart = uR"(\"stocksContents\")";
constexpr QStringView kStockSectionEnd = uR"(\"statusLabel\")";
constexpr QStringView kItemTypeStart = uR"(\"itemType\":\")";
constexpr QStringView kValueEnd = uR"(\")";

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isCapital(QChar c)
{
    return c >= u'A' && c <= u'Z';
}

// Letters of the four-character domestic codes: A-Z and a-z except the capitals that the
// exchange leaves out because they read like digits or each other.
bool isCodeLetter(QChar c)
{
    if (c >= u'a' && c <= u'z')
        return true;
    if (!isCapital(c))
        return false;
    return !QStringView(u"BEIOQVZ").contains(c);
}

// "^" becomes "%5E" in page and chart addresses; the rest of the code is inserted as it is.
QString escapedCaret(const QString &code)
{
    if (code.startsWith(u'^'))
        return u"%5E"_s + QStringView(code).sliced(1);
    return code;
}

} // namespace

CodeKind ClassifyCode(QStringView code)
{
    const qsizetype n = code.size();
    if (n == 0)
        return CodeKind::Invalid;
    const qsizetype dot = code.indexOf(u'.');
    if (n == 8)
        return dot < 0 ? CodeKind::Fund : CodeKind::Invalid;
    if (code.front() == u'^')
        return CodeKind::WorldIndex;
    for (QStringView fixed : kFixedWorldIndices) {
        if (code == fixed)
            return CodeKind::WorldIndex;
    }
    if (std::all_of(code.begin(), code.end(), isDigit))
        return CodeKind::Domestic;
    if (n == 4 && isDigit(code[0]) && isDigit(code[2]) && (isCodeLetter(code[1]) || isCodeLetter(code[3])))
        return CodeKind::Domestic;
    if (dot > 0 && n == dot + 2)
        return CodeKind::DomesticWithSuffix;
    const QStringView head = code.first(std::min<qsizetype>(n, 4));
    if (std::all_of(head.begin(), head.end(), isCapital))
        return CodeKind::ForeignStock;
    return CodeKind::Invalid;
}

bool IsIndexNumber(QStringView code)
{
    // The number saturates: any run long enough to overflow is far above the index range.
    constexpr qint64 kCap = 1'000'000'000;
    qint64 number = 0;
    for (QChar c : code) {
        if (!isDigit(c))
            break;
        number = std::min(kCap, number * 10 + (c.unicode() - u'0'));
    }
    return number > 998400 || number == 23337;
}

QString PageAddress(const QString &code, CodeKind kind)
{
    switch (kind) {
    case CodeKind::Domestic:
    case CodeKind::DomesticWithSuffix:
    case CodeKind::ForeignStock:
    case CodeKind::Fund:
        return SiteRoot() + u"quote/"_s + code;
    case CodeKind::WorldIndex:
        return SiteRoot() + u"quote/"_s + escapedCaret(code);
    case CodeKind::Invalid:
        break;
    }
    return {};
}

QString BrowserAddress(const QuoteRecord &r)
{
    const qsizetype dot = r.code.indexOf(u'.');
    if (dot <= 0 && r.exchange_suffix != 0)
        return SiteRoot() + u"quote/"_s + r.code + u'.' + QChar(r.exchange_suffix);
    return SiteRoot() + u"quote/"_s + r.code;
}

QString ChartAddress(const QuoteRecord &r)
{
    return SiteRoot() + u"quote/"_s + escapedCaret(r.code) + u"/chart"_s;
}

void DetectExchangeSuffix(QuoteRecord &r, QStringView code, QStringView page)
{
    if (code.isEmpty())
        return; // a lone "." would match any dot of the page
    const QString needle = code + u'.';
    const qsizetype at = page.indexOf(needle);
    if (at < 0)
        return;
    // The dot is the one that follows the code (codes of this page kind have no dot).
    const qsizetype suffixAt = at + needle.size();
    r.exchange_suffix = suffixAt < page.size() ? page[suffixAt].unicode() : 0;
}

void ResolveKindFromPage(QuoteRecord &r, QStringView page)
{
    if (IsIndexNumber(r.code)) {
        r.kind = u"Index"_s;
    } else {
        QStringView section;
        CutSection(section, page, 0, kStockSectionStart, kStockSectionEnd);
        QString kind;
        Cut(kind, section, 0, kItemTypeStart, kValueEnd);
        r.kind = kind;
    }
    DetectExchangeSuffix(r, r.code, page);
}

bool ResolveSuffixWithoutFetch(QuoteRecord &r)
{
    switch (ClassifyCode(r.code)) {
    case CodeKind::Domestic:
        return false;
    case CodeKind::DomesticWithSuffix:
        r.exchange_suffix = r.code[r.code.indexOf(u'.') + 1].unicode();
        return true;
    default:
        return true;
    }
}
