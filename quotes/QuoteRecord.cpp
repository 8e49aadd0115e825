#include "quotes/QuoteRecord.h"

#include "corelib/NumberReading.h"

#include <QDateTime>

namespace {

// Tables laid out by tens of field numbers.
// clang-format off
// Slot of each field number 0..39; -1 where the field is not a quote slot.
constexpr std::array<int, kFieldCount + 1> kSlotByField = {
    -1,                                   // 0
    -1, 0, 1, 3, 4, 5, 6, 11, 7, 8,       // 1..10
    9, 2, 10, -1, 31, 12, 13, 14, 15, 16, // 11..20
    17, 18, 19, 20, 21, 22, 23, 24, 25, 26, // 21..30
    27, 28, 29, 30, -1, -1, -1, -1, -1,   // 31..39
};

// JSON member prefixes in field-number order.
constexpr std::array<const char16_t *, kFieldCount + 1> kKeyPrefixes = {
    u"",
    u"\"code\":", u"\"name\":", u"\"market\":", u"\"t_value\":", u"\"difference\":",
    u"\"ratio\":", u"\"volume\":", u"\"baibai\":", u"\"o_price\":", u"\"h_price\":",
    u"\"l_price\":", u"\"dividend\":", u"\"yield\":", u"\"datetime\":", u"\"status\":",
    u"\"zenjituowari\":", u"\"nehaba\":", u"\"jikasougaku\":", u"\"hakkousu\":", u"\"per\":",
    u"\"pbr\":", u"\"eps\":", u"\"bps\":", u"\"roe\":", u"\"car\":",
    u"\"saiteikounyu\":", u"\"tangen\":", u"\"shonen_max\":", u"\"shonen_min\":", u"\"sinyoukai\":",
    u"\"zensyu1\":", u"\"sinyouuri\":", u"\"zensyu2\":", u"\"sinyouritu\":", u"\"buyday\":",
    u"\"amount\":", u"\"shares\":", u"\"loss\":", u"\"memo\":",
};
// clang-format on

} // namespace

QuoteRecord::QuoteRecord(const QString &c)
    : code(c)
    , datetime(QDateTime::currentSecsSinceEpoch())
    , buyday(datetime)
{ }

bool QuoteRecord::CopyQuote(const QuoteRecord &other)
{
    shown_texts.clear(); // the update time changes even when no slot does
    const bool changed = values != other.values;
    if (changed) {
        values = other.values;
        values.squeeze();
    }
    code = other.code;
    kind = other.kind;
    exchange_suffix = other.exchange_suffix;
    datetime = other.datetime;
    return changed;
}

bool QuoteRecord::FullCopy(const QuoteRecord &other)
{
    const bool changed = CopyQuote(other);
    text_color = other.text_color;
    back_color = other.back_color;
    has_holdings = other.has_holdings;
    buyday = other.buyday;
    amount = other.amount;
    shares = other.shares;
    loss = other.loss;
    memo = other.memo;
    return changed;
}

void QuoteRecord::RecomputeProfit()
{
    shown_texts.clear();
    loss = 0;
    if (!has_holdings)
        return;
    const QStringView close = values[SlotPrevClose];
    if (close.isEmpty() || close == u"---")
        return;
    // The longest leading number with the commas passed over, trailing text ignored, and
    // "." as the decimal point whatever the process locale says.
    loss = tessera::ReadLeadingReal(close, true) * shares - amount;
}

int SlotOfField(int field)
{
    if (field < 0 || field > kFieldCount)
        return -1;
    return kSlotByField[static_cast<size_t>(field)];
}

int FieldOfSlot(int slot)
{
    for (int f = 1; f <= kFieldCount; ++f) {
        if (kSlotByField[static_cast<size_t>(f)] == slot)
            return f;
    }
    return 0;
}

QStringView FieldKeyPrefix(int field)
{
    if (field < 0 || field > kFieldCount)
        return {};
    return QStringView(kKeyPrefixes[static_cast<size_t>(field)]);
}

QStringView FieldKey(int field)
{
    const QStringView prefix = FieldKeyPrefix(field);
    if (prefix.size() < 3)
        return {};
    return prefix.mid(1, prefix.size() - 3);
}
