#include "app/core/VersionCheck.h"

#include <QSettings>
#include <QUrl>

std::optional<VersionNumber> ParseVersion(QStringView text)
{
    text = text.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    VersionNumber number {};
    int position = 0;
    qsizetype start = 0;
    while (true) {
        qsizetype end = text.indexOf(u'.', start);
        if (end < 0)
            end = text.size();
        const QStringView part = text.mid(start, end - start);
        if (position >= 4 || part.isEmpty() || part.size() > 9)
            return std::nullopt;
        quint32 value = 0;
        for (const QChar c : part) {
            if (c < u'0' || c > u'9')
                return std::nullopt;
            value = value * 10 + static_cast<quint32>(c.unicode() - u'0');
        }
        number[static_cast<size_t>(position++)] = value;
        if (end == text.size())
            break;
        start = end + 1;
    }
    return number;
}

bool IsNewerVersion(QStringView published, QStringView own)
{
    const std::optional<VersionNumber> theirs = ParseVersion(published);
    const std::optional<VersionNumber> ours = ParseVersion(own);
    if (!theirs || !ours)
        return false;
    for (size_t k = 0; k < 4; ++k) {
        if ((*theirs)[k] != (*ours)[k])
            return (*theirs)[k] > (*ours)[k];
    }
    return false;
}

std::optional<PublishedVersion> ParsePublishedVersion(QByteArrayView data)
{
    if (data.isEmpty() || data.size() > kMaxPublishedBytes)
        return std::nullopt;
    QString text = QString::fromUtf8(data);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(u'\n');
    if (lines.size() < 2)
        return std::nullopt;
    PublishedVersion published;
    published.version = lines.takeFirst().trimmed();
    published.downloadPage = lines.takeFirst().trimmed();
    if (!ParseVersion(published.version))
        return std::nullopt;
    const QUrl page(published.downloadPage, QUrl::StrictMode);
    if (!page.isValid() || (page.scheme() != u"https" && page.scheme() != u"http") || page.host().isEmpty())
        return std::nullopt;
    return published;
}

QString VersionCheckAddress(const QSettings &store, bool packagedEdition)
{
    return store
        .value(packagedEdition ? QStringLiteral("4.00/VersionCheck/PackagedAddress")
                               : QStringLiteral("4.00/VersionCheck/Address"))
        .toString()
        .trimmed();
}

QString MakerContactAddress(const QSettings &store)
{
    return store.value(QStringLiteral("4.00/VersionCheck/Contact")).toString().trimmed();
}
