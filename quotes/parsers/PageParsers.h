#pragma once

#include <QStringView>

struct QuoteRecord;

// Parsers of the five quote page kinds. Each takes the fetched page text and writes the
// values it finds into `result`; a value the page lacks leaves its slot as it was, so the
// caller empties the result before each fetch. The status slot is never written. They
// return nothing: a page that was fetched counts as parsed whatever it holds, and the
// caller judges the result by its current price.

// Japanese stocks, ETFs and REITs (also codes with an exchange suffix). Writes `kind`.
void ParseDomesticStockPage(QStringView page, QuoteRecord &result);
// Domestic indices (domestic codes that are index numbers).
void ParseDomesticIndexPage(QStringView page, QuoteRecord &result);
// Foreign stocks. Writes `kind` (the industry name).
void ParseForeignStockPage(QStringView page, QuoteRecord &result);
// Investment trusts.
void ParseFundPage(QStringView page, QuoteRecord &result);
// World indices. The page is searched with markers built from `result.code` as the user
// typed it ("^DJI", not "%5EDJI"), so the caller sets the code first.
void ParseWorldIndexPage(QStringView page, QuoteRecord &result);
