#include "BenchRows.h"

RecordMap MakeBenchRows(int count)
{
    RecordMap rows;
    for (int i = 0; i < count; ++i) {
        auto r = std::make_unique<QuoteRecord>(QString::number(100000 + i));
        r->values.set(SlotName, QStringLiteral("銘柄%1").arg(i));
        r->values.set(SlotMarket, QStringLiteral("東証PRM"));
        for (int slot = 2; slot < kSlotCount; ++slot)
            r->values.set(
                slot, QString::number((i * 31 + slot * 7) % 100000) + u'.' + QString::number(slot % 10));
        r->datetime = 1700000000 + i;
        r->text_color = 0x000000FF;
        r->back_color = 0x00FFFFFF;
        r->has_holdings = true;
        r->buyday = 1600000000 + i;
        r->amount = 1000.0 * i;
        r->shares = 100.0 * (i % 50);
        r->loss = -5.0 * i;
        r->memo = QStringLiteral("memo %1\r\nsecond line").arg(i);
        const QString key = r->code;
        rows.emplace(key, std::move(r));
    }
    return rows;
}

BenchTable::BenchTable(const RecordMap &rows)
{
    m_rows.reserve(rows.size());
    for (const auto &[code, record] : rows)
        m_rows.push_back(record.get());
}

QString BenchTable::columnCaption(int column) const
{
    return FieldKey(column + 1).toString();
}

QStringView BenchTable::cellView(int row, int column, QString &scratch) const
{
    const int slot = SlotOfField(column + 1);
    if (slot >= 0)
        return m_rows[static_cast<size_t>(row)]->values[slot];
    scratch = cellText(row, column);
    return scratch;
}

QString BenchTable::cellText(int row, int column) const
{
    const QuoteRecord &r = *m_rows[static_cast<size_t>(row)];
    const int field = column + 1;
    const int slot = SlotOfField(field);
    if (slot >= 0)
        return r.values[slot].toString();
    switch (field) {
    case FieldCode:
        return r.code;
    case FieldDatetime:
        return QString::number(r.datetime);
    case FieldBuyday:
        return QString::number(r.buyday);
    case FieldAmount:
        return QString::number(static_cast<qint64>(r.amount));
    case FieldShares:
        return QString::number(static_cast<qint64>(r.shares));
    case FieldLoss:
        return QString::number(static_cast<qint64>(r.loss));
    case FieldMemo:
        return r.memo;
    default:
        return {};
    }
}
