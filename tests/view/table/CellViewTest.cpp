#include "view/table/CellText.h"

#include "quotes/QuoteRecord.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// A record with every slot filled with texts that the display rules would change: prices with
// trailing zeros, signed numbers, a memo with a line break.
QuoteRecord fullRecord(bool holdings)
{
    QuoteRecord r(u"7203"_s);
    for (int slot = 0; slot < kSlotCount; ++slot)
        r.values.set(slot, u"1,2%1.50"_s.arg(slot));
    r.values.set(SlotName, u"トヨタ自動車"_s);
    r.has_holdings = holdings;
    r.amount = 123456.5;
    r.shares = 100;
    r.loss = -1500;
    r.memo = u"a\r\nb"_s;
    return r;
}

class CellViewMatchesCellText : public ::testing::TestWithParam<bool> { };

} // namespace

TEST_P(CellViewMatchesCellText, ForEveryField)
{
    const QuoteRecord r = fullRecord(GetParam());
    for (int field = 0; field <= kFieldCount + 1; ++field) {
        QString scratch = u"stale"_s;
        EXPECT_EQ(CellView(r, field, scratch), CellText(r, field)) << "field " << field;
    }
}

INSTANTIATE_TEST_SUITE_P(Holdings, CellViewMatchesCellText, ::testing::Bool());

TEST(CellView, StoredTextsAreNotCopied)
{
    const QuoteRecord r = fullRecord(true);
    QString scratch;
    EXPECT_EQ(CellView(r, 2, scratch).data(), r.values[SlotName].data()) << "the name is shown as stored";
    EXPECT_NE(CellView(r, 4, scratch).data(), r.values[SlotPrice].data()) << "a price is aligned";
}
