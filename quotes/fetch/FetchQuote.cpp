#include "quotes/fetch/FetchQuote.h"

#include "quotes/parsers/PageParsers.h"

#include <QDateTime>

QuoteFetcher::QuoteFetcher(HttpOptions options)
    : m_request(std::make_unique<HttpRequest>(options))
{ }

QuoteFetcher::QuoteFetcher(std::unique_ptr<HttpRequest> request)
    : m_request(std::move(request))
{
    Q_ASSERT_X(m_request, "QuoteFetcher", "a fetcher needs a request object");
}

bool QuoteFetcher::FetchQuote(const QString &code, CodeKind kind)
{
    m_result.code = code;
    m_result.kind.clear();
    m_result.values.clear();
    m_result.exchange_suffix = 0;

    if (!fetchAndParse(code, kind))
        return false;
    // "---" is a price the site shows for a security without trades; only an empty slot
    // means the page's layout was not understood.
    if (m_result.values[SlotPrice].isEmpty())
        return false;
    m_result.datetime = QDateTime::currentSecsSinceEpoch();
    return true;
}

bool QuoteFetcher::fetchAndParse(const QString &code, CodeKind kind)
{
    if (kind == CodeKind::Invalid)
        return false;
    QString &page = m_page;
    if (!m_request->Get(PageAddress(code, kind), page))
        return false;
    switch (kind) {
    case CodeKind::Domestic:
        DetectExchangeSuffix(m_result, code, page);
        return IsIndexNumber(code) ? ParseDomesticIndexPage(page, m_result)
                                   : ParseDomesticStockPage(page, m_result);
    case CodeKind::DomesticWithSuffix:
        return code.contains(QLatin1Char('.')) && ParseDomesticStockPage(page, m_result);
    case CodeKind::ForeignStock:
        return ParseForeignStockPage(page, m_result);
    case CodeKind::Fund:
        return ParseFundPage(page, m_result);
    case CodeKind::WorldIndex:
        return ParseWorldIndexPage(page, m_result);
    case CodeKind::Invalid:
        break;
    }
    return false;
}

FetchFactory NetworkFetchFactory(HttpOptions options)
{
    return [options](const std::atomic<bool> *stop) -> FetchFunction {
        auto fetcher = std::make_shared<QuoteFetcher>(options);
        fetcher->setStopFlag(stop);
        return [fetcher](const QString &code, QuoteRecord &result) {
            const bool ok = fetcher->FetchQuote(code, ClassifyCode(code));
            if (ok)
                result = fetcher->result();
            return ok;
        };
    };
}

bool ResolveKindAndSuffix(QuoteRecord &record, HttpOptions options)
{
    if (ResolveSuffixWithoutFetch(record))
        return true;
    HttpRequest request(options);
    return ResolveKindAndSuffix(record, request);
}

bool ResolveKindAndSuffix(QuoteRecord &record, HttpRequest &request)
{
    if (ResolveSuffixWithoutFetch(record))
        return true;
    QString page;
    if (!request.Get(PageAddress(record.code, CodeKind::Domestic), page))
        return false;
    ResolveKindFromPage(record, page);
    return true;
}
