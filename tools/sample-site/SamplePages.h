#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// Pages of the sample quote site: the five quote page kinds and the ranking pages, built
// with the embedded data the program's parsers read. Pure functions of the code and a request
// counter, so the server, the tests and the benchmarks share them.
namespace samplesite {

enum class PageKind { DomesticStock, DomesticIndex, ForeignStock, Fund, WorldIndex };

// The values one page writes, as the site writes them: grouped numbers, changes without a
// "+" (the program adds it), slot numbers of the quote record.
struct SampleQuote {
    QString code;
    PageKind kind = PageKind::DomesticStock;
    QString itemType; // domestic stock pages: "stock", "etf" or "reit"
    QString industryName; // foreign stock pages
    QChar exchangeSuffix; // the letter behind "<code>." on domestic pages, null elsewhere
    bool highAtLimit = false; // the day's high is the limit price: the page marks it
    std::array<QString, 32> values;
};

struct PageOptions {
    // Pad the page with markup to this many UTF-8 bytes; 0 pads nothing, a negative value
    // picks the realistic size of the page kind (300 KB to 650 KB).
    qint64 padBytes = -1;
    // The charset name the page declares in its <meta> element.
    QString charset = QStringLiteral("UTF-8");
};

// Codes the site serves, in table order.
QStringList SampleCodes();

// The values of a code's page at a request counter; nullopt for an unknown code. The code
// may carry its exchange suffix ("7203.T").
std::optional<SampleQuote> QuoteValues(const QString &code, quint64 counter);

// The quote page of a code; a null string for an unknown code.
QString QuotePage(const QString &code, quint64 counter, const PageOptions &options = {});

// Names of the ranking pages (the last part of their paths), in the program's order.
QStringList RankingNames();

// The ranking page of a name ("tradingValueHigh", ...), listing the domestic securities in
// the order of that ranking at the counter; a null string for an unknown name.
QString RankingPage(const QString &name, quint64 counter, const PageOptions &options = {});

// Codes in the order RankingPage lists them.
QStringList RankingCodes(const QString &name, quint64 counter);

// A small HTML page for "/" that links every sample page.
QString IndexPage();

} // namespace samplesite
