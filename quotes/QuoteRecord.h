#pragma once

#include "quotes/QuoteValues.h"
#include "quotes/ShownTexts.h"

#include <QString>

#include <array>
#include <cstdint>

// Slot indices of QuoteRecord::values, named after their JSON keys.
enum QuoteSlot : int {
    SlotName = 0,
    SlotMarket = 1,
    SlotDividend = 2,
    SlotPrice = 3, // t_value
    SlotDifference = 4,
    SlotRatio = 5,
    SlotVolume = 6,
    SlotOpen = 7, // o_price
    SlotHigh = 8, // h_price
    SlotLow = 9, // l_price
    SlotYield = 10,
    SlotTradingValue = 11, // baibai
    SlotPrevClose = 12, // zenjituowari
    SlotPriceLimit = 13, // nehaba
    SlotMarketCap = 14, // jikasougaku
    SlotSharesIssued = 15, // hakkousu
    SlotPer = 16,
    SlotPbr = 17,
    SlotEps = 18,
    SlotBps = 19,
    SlotRoe = 20,
    SlotCar = 21,
    SlotMinPurchase = 22, // saiteikounyu
    SlotUnit = 23, // tangen
    SlotYearHigh = 24, // shonen_max
    SlotYearLow = 25, // shonen_min
    SlotMarginBuy = 26, // sinyoukai
    SlotMarginBuyChange = 27, // zensyu1
    SlotMarginSell = 28, // sinyouuri
    SlotMarginSellChange = 29, // zensyu2
    SlotMarginRatio = 30, // sinyouritu
    SlotStatus = 31,
};

inline constexpr int kFieldCount = 39; // field numbers run 1..39; 0 names no field

// The field numbers 1..39 that name every visible field: its list column, display text,
// sort rule, colour rule and JSON key all go by this number. Code names fields by these,
// never by bare numbers; the JSON key is in the comment where the name differs from it.
enum FieldNumber : int {
    FieldNone = 0,
    FieldCode = 1,
    FieldName = 2,
    FieldMarket = 3,
    FieldPrice = 4, // t_value
    FieldDifference = 5,
    FieldRatio = 6,
    FieldVolume = 7,
    FieldTradingValue = 8, // baibai
    FieldOpen = 9, // o_price
    FieldHigh = 10, // h_price
    FieldLow = 11, // l_price
    FieldDividend = 12,
    FieldYield = 13,
    FieldDatetime = 14,
    FieldStatus = 15,
    FieldPrevClose = 16, // zenjituowari
    FieldPriceLimit = 17, // nehaba
    FieldMarketCap = 18, // jikasougaku
    FieldSharesIssued = 19, // hakkousu
    FieldPer = 20,
    FieldPbr = 21,
    FieldEps = 22,
    FieldBps = 23,
    FieldRoe = 24,
    FieldCar = 25,
    FieldMinPurchase = 26, // saiteikounyu
    FieldUnit = 27, // tangen
    FieldYearHigh = 28, // shonen_max
    FieldYearLow = 29, // shonen_min
    FieldMarginBuy = 30, // sinyoukai
    FieldMarginBuyChange = 31, // zensyu1
    FieldMarginSell = 32, // sinyouuri
    FieldMarginSellChange = 33, // zensyu2
    FieldMarginRatio = 34, // sinyouritu
    FieldBuyday = 35,
    FieldAmount = 36,
    FieldShares = 37,
    FieldLoss = 38,
    FieldMemo = 39,
};
static_assert(FieldMemo == kFieldCount, "field numbers run 1..39");

// The failure text the update worker writes into the status slot.
inline constexpr char16_t kFetchErrorText[] = u"ERROR:情報の取得に失敗しました";

// One row of the table: a security, its last fetched quote texts and the user's holding.
// Quote values stay the texts the site shows; only the holding figures are numbers.
struct QuoteRecord {
    explicit QuoteRecord(const QString &code = {});

    QString code;
    QString kind;
    QuoteValues values;
    qint64 datetime = 0;
    char16_t exchange_suffix = 0;
    qint32 text_color = -1;
    qint32 back_color = -1;
    bool has_holdings = false;
    qint64 buyday = 0;
    double amount = 0;
    double shares = 0;
    double loss = 0;
    QString memo;
    // The display texts a list shows of this record, made by the list when it needs them.
    // Code that changes a listed record in place clears them; the three functions below do.
    mutable ShownTexts shown_texts;

    // Takes the quote slots (noting any that differ), then code, kind, suffix and time.
    // True when at least one of the 32 slots changed.
    bool CopyQuote(const QuoteRecord &other);
    // CopyQuote plus colours and holding data.
    bool FullCopy(const QuoteRecord &other);
    // loss = previous close x shares - amount, or 0 without holdings or a previous close.
    void RecomputeProfit();
};

// Slot of a field number that names a quote slot, else -1.
int SlotOfField(int field);
// Field number of a slot (0..31).
int FieldOfSlot(int slot);
// The JSON member prefix of a field number, quotes and colon included (""code":");
// empty for 0 and for numbers outside 1..39.
QStringView FieldKeyPrefix(int field);
// The bare key of a field number ("code"), empty likewise.
QStringView FieldKey(int field);
