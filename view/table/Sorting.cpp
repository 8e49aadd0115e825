#include "view/table/Sorting.h"

#include "corelib/NumberReading.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

namespace {

using R = CompareRule;

// Rule of each field number 0..39; 0 (the anchor) compares nothing.
constexpr std::array<CompareRule, kFieldCount + 1> kRules = [] {
    std::array<CompareRule, kFieldCount + 1> r {};
    r.fill(R::None);
    r[FieldCode] = R::Code;
    r[FieldName] = R::Text;
    r[FieldMarket] = R::Text;
    r[FieldPrice] = R::Real;
    r[FieldDifference] = R::Real;
    r[FieldRatio] = R::Real;
    r[FieldVolume] = R::Integer;
    r[FieldTradingValue] = R::Integer;
    r[FieldOpen] = R::Real;
    r[FieldHigh] = R::Real;
    r[FieldLow] = R::Real;
    r[FieldDividend] = R::Real;
    r[FieldYield] = R::Real;
    r[FieldDatetime] = R::Time;
    r[FieldStatus] = R::Text;
    r[FieldPrevClose] = R::Integer;
    r[FieldPriceLimit] = R::Range;
    r[FieldMarketCap] = R::Integer;
    r[FieldSharesIssued] = R::Integer;
    r[FieldPer] = R::Real;
    r[FieldPbr] = R::Real;
    r[FieldEps] = R::Real;
    r[FieldBps] = R::Real;
    r[FieldRoe] = R::Real;
    r[FieldCar] = R::Real;
    r[FieldMinPurchase] = R::Integer;
    r[FieldUnit] = R::Integer;
    r[FieldYearHigh] = R::Integer;
    r[FieldYearLow] = R::Integer;
    r[FieldMarginBuy] = R::Integer;
    r[FieldMarginBuyChange] = R::Integer;
    r[FieldMarginSell] = R::Integer;
    r[FieldMarginSellChange] = R::Integer;
    r[FieldMarginRatio] = R::Real;
    r[FieldBuyday] = R::Time;
    r[FieldAmount] = R::Number;
    r[FieldShares] = R::Number;
    r[FieldLoss] = R::Number;
    r[FieldMemo] = R::Text;
    return r;
}();

// Starts fetching what reading a field's text touches in the record.
void prefetchText(const QuoteRecord &r, int field)
{
    if (field == FieldCode)
        __builtin_prefetch(&r.code);
    else if (field == FieldMemo)
        __builtin_prefetch(&r.memo);
    else if (const int slot = SlotOfField(field); slot >= 0)
        r.values.prefetch(slot);
}

// The text a field compares; empty for fields that are not texts.
QStringView textOf(const QuoteRecord &r, int field)
{
    if (field == FieldCode)
        return r.code;
    if (field == FieldMemo)
        return r.memo;
    const int slot = SlotOfField(field);
    return slot >= 0 ? r.values[slot] : QStringView();
}

qint64 timeOf(const QuoteRecord &r, int field)
{
    return field == FieldBuyday ? r.buyday : r.datetime;
}

double numberOf(const QuoteRecord &r, int field)
{
    const double v = field == FieldAmount ? r.amount : field == FieldShares ? r.shares : r.loss;
    // NaN (possible in a damaged file) would make the order undefined; it sorts lowest.
    return std::isnan(v) ? -std::numeric_limits<double>::infinity() : v;
}

quint32 colorOf(const QuoteRecord &r, const SortOrder &order)
{
    if (order.key == SortOrder::TextColor)
        return r.text_color == -1 ? order.defaultTextColor : static_cast<quint32>(r.text_color);
    return r.back_color == -1 ? order.defaultBackColor : static_cast<quint32>(r.back_color);
}

// A text with its first four code units packed into one number, so that most comparisons
// decide without touching the strings' memory. Shorter texts pad with 0, which sorts before
// every code unit; equal prefixes fall back to the full comparison.
struct TextKey {
    quint64 prefix = 0;
    QStringView text;

    explicit TextKey(QStringView t)
        : text(t)
    {
        for (qsizetype i = 0; i < 4; ++i)
            prefix = (prefix << 16) | (i < t.size() ? t[i].unicode() : 0u);
    }
    bool operator<(const TextKey &other) const
    {
        if (prefix != other.prefix)
            return prefix < other.prefix;
        return text < other.text;
    }
};

// The code order, a total order on the texts: all-digit codes (the empty code among them)
// and the four-character domestic codes with letters (130A) come first, by length and then
// by code unit, so that they read as numbers of up to four digits do and 130A sits among the
// four-digit codes; every other code follows by code unit. Within the first group a shorter
// code comes first, so 7203 precedes 13010 and 100 precedes 0100.
struct CodeKey {
    quint64 rank = 0; // the length in the first group, kOtherCodes for the rest
    TextKey text;

    static constexpr quint64 kOtherCodes = std::numeric_limits<quint64>::max();

    explicit CodeKey(QStringView code)
        : rank(isNumberLike(code) ? static_cast<quint64>(code.size()) : kOtherCodes)
        , text(code)
    { }
    bool operator<(const CodeKey &other) const
    {
        if (rank != other.rank)
            return rank < other.rank;
        return text < other.text;
    }

private:
    static bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }
    static bool isAsciiLetter(QChar c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }
    static bool isNumberLike(QStringView code)
    {
        if (std::all_of(code.begin(), code.end(), isDigit))
            return true;
        return code.size() == 4 && isDigit(code[0]) && std::all_of(code.begin() + 1, code.end(), [](QChar c) {
            return isDigit(c) || isAsciiLetter(c);
        });
    }
};

template<typename Key>
void sortPairs(RowVector &rows, std::vector<std::pair<Key, QuoteRecord *>> &keyed, bool ascending)
{
    if (ascending)
        std::stable_sort(
            keyed.begin(), keyed.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    else
        std::stable_sort(
            keyed.begin(), keyed.end(), [](const auto &a, const auto &b) { return b.first < a.first; });
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = keyed[i].second;
}

// Reads each row's key once, sorts the (key, row) pairs stably and writes the rows back.
template<typename Key, typename Extract> void sortByKey(RowVector &rows, bool ascending, Extract extract)
{
    std::vector<std::pair<Key, QuoteRecord *>> keyed;
    keyed.reserve(rows.size());
    for (QuoteRecord *r : rows)
        keyed.emplace_back(extract(*r), r);
    sortPairs(rows, keyed, ascending);
}

// The same for keys read from a field's text. The records and their strings lie all over the
// heap, and after a sort the rows visit them in no particular order: waiting for memory costs
// more than reading the numbers, so both are fetched some rows ahead of their use.
template<typename Key, typename Parse>
void sortByText(RowVector &rows, bool ascending, int field, Parse parse)
{
    constexpr size_t kAhead = 16;
    const size_t n = rows.size();
    std::vector<QStringView> texts(n);
    for (size_t i = 0; i < n; ++i) {
        if (i + kAhead < n)
            prefetchText(*rows[i + kAhead], field);
        texts[i] = textOf(*rows[i], field);
    }
    std::vector<std::pair<Key, QuoteRecord *>> keyed;
    keyed.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        if (i + kAhead < n)
            __builtin_prefetch(texts[i + kAhead].data());
        keyed.emplace_back(parse(texts[i]), rows[i]);
    }
    sortPairs(rows, keyed, ascending);
}

template<typename T> bool directed(const T &a, const T &b, bool ascending)
{
    return ascending ? a < b : b < a;
}

} // namespace

CompareRule CompareRuleOf(int field)
{
    if (field < 0 || field >= static_cast<int>(kRules.size()))
        return CompareRule::None;
    return kRules[static_cast<size_t>(field)];
}

double RealKey(QStringView text)
{
    return tessera::ReadLeadingReal(text, true);
}

qint64 IntegerKey(QStringView text)
{
    return tessera::ReadLeadingInteger(text, true);
}

qint64 RangeKey(QStringView text)
{
    const qsizetype tilde = text.indexOf(u'\uFF5E');
    return IntegerKey(tilde >= 0 ? text.left(tilde) : text);
}

bool CodeLess(QStringView a, QStringView b)
{
    return CodeKey(a) < CodeKey(b);
}

bool RecordLess(const QuoteRecord &a, const QuoteRecord &b, const SortOrder &order)
{
    const bool up = order.ascending;
    if (order.key != SortOrder::Field)
        return directed(colorOf(a, order), colorOf(b, order), up);
    const int f = order.field;
    switch (CompareRuleOf(f)) {
    case CompareRule::None:
    case CompareRule::Color:
        return false;
    case CompareRule::Code:
        return directed(CodeKey(a.code), CodeKey(b.code), up);
    case CompareRule::Text:
        return directed(textOf(a, f), textOf(b, f), up);
    case CompareRule::Real:
        return directed(RealKey(textOf(a, f)), RealKey(textOf(b, f)), up);
    case CompareRule::Integer:
        return directed(IntegerKey(textOf(a, f)), IntegerKey(textOf(b, f)), up);
    case CompareRule::Range:
        return directed(RangeKey(textOf(a, f)), RangeKey(textOf(b, f)), up);
    case CompareRule::Time:
        return directed(timeOf(a, f), timeOf(b, f), up);
    case CompareRule::Number:
        return directed(numberOf(a, f), numberOf(b, f), up);
    }
    return false;
}

void SortRows(RowVector &rows, const SortOrder &order)
{
    const bool up = order.ascending;
    if (order.key != SortOrder::Field) {
        sortByKey<quint32>(rows, up, [&](const QuoteRecord &r) { return colorOf(r, order); });
        return;
    }
    const int f = order.field;
    switch (CompareRuleOf(f)) {
    case CompareRule::None:
    case CompareRule::Color:
        return;
    case CompareRule::Code:
        sortByText<CodeKey>(rows, up, FieldCode, [](QStringView t) { return CodeKey(t); });
        return;
    case CompareRule::Text:
        sortByText<TextKey>(rows, up, f, [](QStringView t) { return TextKey(t); });
        return;
    case CompareRule::Real:
        sortByText<double>(rows, up, f, RealKey);
        return;
    case CompareRule::Integer:
        sortByText<qint64>(rows, up, f, IntegerKey);
        return;
    case CompareRule::Range:
        sortByText<qint64>(rows, up, f, RangeKey);
        return;
    case CompareRule::Time:
        sortByKey<qint64>(rows, up, [f](const QuoteRecord &r) { return timeOf(r, f); });
        return;
    case CompareRule::Number:
        sortByKey<double>(rows, up, [f](const QuoteRecord &r) { return numberOf(r, f); });
        return;
    }
}

std::vector<int> SortRowsKeepingSelection(
    RowVector &rows, const SortOrder &order, const std::vector<int> &selected)
{
    const QSet<QString> codes = CodesOfRows(rows, selected);
    SortRows(rows, order);
    return RowsWithCodes(rows, codes);
}
