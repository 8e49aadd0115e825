// The display texts kept with each row: made once, shared by find and copy, and made again
// after every change of an input of a text (the record's values, its update time, its
// holdings, the fields shown), never after a change that alters no text.
#include "corelib/CJre.h"
#include "corelib/LanguageModule.h"
#include "document/Holdings.h"
#include "view/table/CellText.h"
#include "view/table/ColumnTable.h"
#include "view/table/ListTable.h"
#include "view/table/RowFind.h"
#include "view/table/RowTextBlock.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace Qt::StringLiterals;

namespace {

class ShownTextsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { tessera::LanguageModule::instance().load(); }

    ShownTextsTest()
    {
        for (const QString &code : { u"7203"_s, u"6758"_s }) {
            auto r = std::make_unique<QuoteRecord>(code);
            for (int slot = 0; slot < kSlotCount; ++slot)
                r->values.set(slot, u"1,2%1.50"_s.arg(slot));
            r->has_holdings = true;
            r->shares = 100;
            r->amount = 1000;
            r->memo = u"memo, with a comma"_s;
            r->RecomputeProfit();
            records[code] = std::move(r);
        }
        std::vector<int> every(kFieldCount);
        std::iota(every.begin(), every.end(), 1);
        table = BuildExportTable(records, LayoutForFields(every));
    }

    // Every kept text of every row is the text the display rules make now.
    void expectCurrent(const char *after)
    {
        for (int row = 0; row < table.rowCount(); ++row) {
            const QuoteRecord &r = *table.record(row);
            for (int c = 1; c < table.header().columnCount(); ++c) {
                EXPECT_EQ(table.cellViewAt(row, c), CellText(r, table.header().fieldOf(c)))
                    << "after " << after << ": " << qPrintable(r.code) << " field "
                    << table.header().fieldOf(c);
            }
        }
    }
    const QChar *blockOf(int row) const { return table.shownTexts(row).text(0).data(); }
    QuoteRecord &first() { return *table.record(0); }

    RecordMap records;
    ListTable table;
};

} // namespace

TEST_F(ShownTextsTest, MadeOnceAndSharedByFindAndCopy)
{
    expectCurrent("the first use");
    const QChar *block = blockOf(0);
    tessera::CJre::Init(1);
    tessera::CJre jre;
    ASSERT_TRUE(jre.Compile(u"XYZZY"_s, false, false, false));
    EXPECT_EQ(FindRow(table, jre, 0, true).end, FindEnd::NotFound);
    ASSERT_TRUE(jre.Compile(u"comma"_s, false, false, false));
    EXPECT_EQ(FindRow(table, jre, 0, true).row, 0);
    const RowTextBlock copied = BuildRowTextBlock(table, { 0, 1 }, false);
    EXPECT_TRUE(copied.text.contains(u",memo with a comma,"_s)) << qPrintable(copied.text);
    EXPECT_EQ(blockOf(0), block) << "neither the find nor the copy made the texts again";
    EXPECT_EQ(QuoteRecord(first()).shown_texts.count(), 0) << "a copy of a record keeps no texts";
}

TEST_F(ShownTextsTest, FollowEveryInputOfATextAndNothingElse)
{
    expectCurrent("the first use");
    // An update result: every slot and the update time.
    for (int slot = 0; slot < kSlotCount; ++slot) {
        QuoteRecord fetched = first();
        fetched.values.set(slot, u"9,87%1.00"_s.arg(slot));
        fetched.datetime = first().datetime + 60 + slot;
        first().CopyQuote(fetched);
        expectCurrent("an update");
    }
    QuoteRecord same = first();
    same.datetime += 3600; // no slot changed, the time did
    first().CopyQuote(same);
    expectCurrent("an update that changed only the time");
    // The holdings: the dialog's entry, its copy to the other rows, their removal.
    ApplyHoldingsEntry(first(), { 86400, 2500.5, 300, u"line 1\nline 2"_s });
    expectCurrent("a holdings entry");
    CopyHoldings(first(), *table.record(1));
    expectCurrent("a holdings copy");
    ApplyHoldingsEntry(first(), {});
    expectCurrent("the holdings removed");
    // The fields shown: hidden, shown again, another layout.
    ASSERT_TRUE(table.header().hideField(FieldName));
    expectCurrent("a field hidden");
    ASSERT_TRUE(table.header().showField(FieldName, 1));
    expectCurrent("a field shown");
    ASSERT_TRUE(table.header().applyLayout(LayoutForFields({ FieldMemo, FieldPrice })));
    expectCurrent("a layout of other fields");

    // Neither a colour, nor widths, alignments, moves or the sort alter a text.
    const QChar *block = blockOf(0);
    ASSERT_TRUE(ApplyRowColor({ &first() }, RowBothParts, false, 0x0000FF, 0x00FFFF));
    table.header().setWidth(1, 333);
    table.header().setAlignment(2, AlignCenter);
    ASSERT_TRUE(table.header().moveColumn(1, 2));
    ASSERT_TRUE(table.header().applyLayout(table.header().saveLayout()));
    EXPECT_EQ(blockOf(0), block);
    expectCurrent("changes that alter no text");
}
