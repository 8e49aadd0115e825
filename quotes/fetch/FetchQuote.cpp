#include "quotes/fetch/FetchQuote.h"

#include "quotes/fetch/ParallelFetch.h"
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
    m_error.clear();

    if (kind == CodeKind::Invalid) {
        m_error = QStringLiteral("not a security code");
        return false;
    }
    if (!m_request->Get(PageAddress(code, kind), m_page)) {
        m_error = m_request->lastError().isEmpty() ? QStringLiteral("the request failed")
                                                   : m_request->lastError();
        return false;
    }
    const bool parsed = parse(code, kind);
    // "---" is a price the site shows for a security without trades; only an empty slot
    // means the page's layout was not understood.
    if (!parsed || m_result.values[SlotPrice].isEmpty()) {
        m_error = QStringLiteral("the page shows no current price");
        if (!m_request->lastUnknownCharset().isEmpty())
            m_error += QStringLiteral(" (its charset \"%1\" is unknown and was read as UTF-8)")
                           .arg(QString::fromLatin1(m_request->lastUnknownCharset()));
        return false;
    }
    m_result.datetime = QDateTime::currentSecsSinceEpoch();
    return true;
}

bool QuoteFetcher::parse(const QString &code, CodeKind kind)
{
    const QString &page = m_page;
    switch (kind) {
    case CodeKind::Domestic:
        DetectExchangeSuffix(m_result, code, page);
        if (IsIndexNumber(code))
            ParseDomesticIndexPage(page, m_result);
        else
            ParseDomesticStockPage(page, m_result);
        return true;
    case CodeKind::DomesticWithSuffix:
        if (!code.contains(QLatin1Char('.')))
            return false;
        ParseDomesticStockPage(page, m_result);
        return true;
    case CodeKind::ForeignStock:
        ParseForeignStockPage(page, m_result);
        return true;
    case CodeKind::Fund:
        ParseFundPage(page, m_result);
        return true;
    case CodeKind::WorldIndex:
        ParseWorldIndexPage(page, m_result);
        return true;
    case CodeKind::Invalid:
        break;
    }
    return false;
}

FetchFactory NetworkFetchFactory(HttpOptions options, FetchPolicy policy)
{
    return [options, policy](const FetchRun &run) -> FetchFunction {
        auto fetcher = std::make_shared<BatchFetcher>(run.batch, options, policy, run.stop);
        return [fetcher](const QString &code, QuoteRecord &result) -> FetchStatus {
            if (!fetcher->fetch(code))
                return FetchStatus::failed(fetcher->error());
            result = fetcher->result();
            return true;
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
