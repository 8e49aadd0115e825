#include "document/Holdings.h"

#include "corelib/NumberText.h"

#include <QDateTime>

#include <cmath>

void ApplyHoldingsEntry(QuoteRecord &record, const HoldingsEntry &entry)
{
    record.shown_texts.clear();
    record.buyday = entry.buyday;
    record.amount = entry.amount;
    record.shares = entry.shares;
    record.loss = 0;
    record.memo = entry.memo;
    record.has_holdings = true;
    if (entry.amount != 0 || entry.shares != 0)
        record.RecomputeProfit();
    else if (entry.memo.isEmpty())
        record.has_holdings = false;
}

void CopyHoldings(const QuoteRecord &from, QuoteRecord &to)
{
    to.shown_texts.clear();
    to.has_holdings = from.has_holdings;
    to.buyday = from.buyday;
    to.amount = from.amount;
    to.shares = from.shares;
    to.loss = from.loss;
    to.memo = from.memo;
    if (to.has_holdings)
        to.RecomputeProfit();
}

QDate DateOfBuyday(qint64 buyday)
{
    return QDateTime::fromSecsSinceEpoch(buyday, Qt::LocalTime).date();
}

qint64 BuydayOfDate(QDate date)
{
    return date.startOfDay(Qt::LocalTime).toSecsSinceEpoch();
}

std::optional<double> ParseHoldingsNumber(QStringView text)
{
    // Full-width forms as an input method types them become ASCII.
    QString s = text.toString().normalized(QString::NormalizationForm_KC).trimmed();
    s.replace(QChar(0x2212), u'-'); // minus sign
    if (s.isEmpty())
        return 0.0;
    qsizetype i = 0;
    QString plain;
    if (s[i] == u'-') {
        plain += u'-';
        ++i;
    }
    // Integer digits: plain, or groups of three after a first group of one to three.
    qsizetype digits = 0;
    qsizetype group = 0;
    bool grouped = false;
    for (; i < s.size() && s[i] != u'.'; ++i) {
        const QChar c = s[i];
        if (c == u',') {
            if (group == 0 || (grouped && group != 3) || (!grouped && group > 3))
                return std::nullopt;
            grouped = true;
            group = 0;
            continue;
        }
        if (c < u'0' || c > u'9')
            return std::nullopt;
        plain += c;
        ++digits;
        ++group;
    }
    if (grouped && group != 3)
        return std::nullopt;
    if (i < s.size()) { // the decimals
        plain += u'.';
        ++i;
        qsizetype decimals = 0;
        for (; i < s.size(); ++i, ++decimals) {
            if (s[i] < u'0' || s[i] > u'9')
                return std::nullopt;
            plain += s[i];
        }
        if (decimals == 0 && digits == 0)
            return std::nullopt;
    } else if (digits == 0) {
        return std::nullopt;
    }
    bool ok = false;
    const double v = plain.toDouble(&ok); // QString::toDouble reads "." whatever the locale
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

bool IsHoldingField(int field)
{
    return field == FieldBuyday || field == FieldAmount || field == FieldShares || field == FieldLoss
        || field == FieldMemo;
}

QString HoldingCellText(const QuoteRecord &record, int field)
{
    if (!record.has_holdings)
        return {};
    switch (field) {
    case FieldBuyday:
        return tessera::FormatLocalTime(record.buyday, false);
    case FieldAmount:
        return tessera::GroupedNumber(record.amount);
    case FieldShares:
        return tessera::GroupedNumber(record.shares);
    case FieldLoss:
        return tessera::GroupedNumber(record.loss, false, true);
    case FieldMemo:
        return record.memo;
    default:
        return {};
    }
}
