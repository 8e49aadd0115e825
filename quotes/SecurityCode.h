#pragma once

#include <QString>
#include <QStringView>

struct QuoteRecord;

// What a security code names; decides the page address and the page parser.
enum class CodeKind : int {
    Invalid = -1,
    Domestic = 0, // 7203, 998407, 130A
    DomesticWithSuffix = 1, // 7203.T
    ForeignStock = 2, // AAPL
    Fund = 3, // 0331418A (eight characters, no dot)
    WorldIndex = 4, // ^DJI, PSI, FTSEMIB.MI, 000001.SS
};

// Classifies a code by its text alone.
CodeKind ClassifyCode(QStringView code);

// True when the leading digits of a domestic code name an index rather than a stock
// (above 998400, or exactly 23337).
bool IsIndexNumber(QStringView code);

// Address of the page that is fetched for a code of the given kind; empty for Invalid.
QString PageAddress(const QString &code, CodeKind kind);

// Address of the record's quote page for the browser, with the exchange suffix when known.
QString BrowserAddress(const QuoteRecord &r);

// Address of the record's chart page.
QString ChartAddress(const QuoteRecord &r);

// Sets r.exchange_suffix to the character the page writes after "<code>."; leaves it
// unchanged when the page never writes the code followed by a dot.
void DetectExchangeSuffix(QuoteRecord &r, QStringView code, QStringView page);

// The part of the kind-and-suffix resolution that follows a successful fetch of a
// domestic code's page: kind "Index" for index numbers, else the page's item type (empty
// when the page has none), then the exchange suffix from the page.
void ResolveKindFromPage(QuoteRecord &r, QStringView page);

// The part of the resolution that needs no page. Returns false only for a Domestic code,
// whose kind and suffix must come from its fetched page (ResolveKindFromPage); for a
// DomesticWithSuffix code it takes the suffix from the code itself; other kinds need nothing.
bool ResolveSuffixWithoutFetch(QuoteRecord &r);
