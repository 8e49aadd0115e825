// The exports read what the list shows: the table rules' columns, order and texts, through
// the document layer's writers.

#include "view/table/ColumnTable.h"
#include "view/table/FieldList.h"
#include "view/table/ListTable.h"

#include "corelib/LanguageModule.h"
#include "document/CsvExport.h"

#include <QBuffer>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class ExportTableTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { tessera::LanguageModule::instance().load(); }

    void add(const QString &code, const QString &price, const QString &yield)
    {
        auto r = std::make_unique<QuoteRecord>(code);
        r->values.set(SlotName, u"名 "_s + code);
        r->values.set(SlotPrice, price);
        r->values.set(SlotYield, yield);
        records[code] = std::move(r);
    }
    QStringList csvLines(const TableSource &table)
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        const tessera::Status status = WriteCsv(buffer, table);
        EXPECT_TRUE(status.ok());
        QString text = QString::fromUtf8(buffer.data());
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        QStringList lines = text.split(u"\r\n"_s);
        if (!lines.isEmpty() && lines.back().isEmpty())
            lines.removeLast();
        return lines;
    }

    RecordMap records;
};

TEST_F(ExportTableTest, CsvOfAFieldListInTheLayoutsSortOrder)
{
    add(u"7203"_s, u"2,500.50"_s, u"2.10%"_s);
    add(u"1301"_s, u"3,000"_s, u"3.50%"_s);
    add(u"8306"_s, u"1,200.5"_s, u"0.80%"_s);
    // The layout sorts by yield descending; the exported fields leave the yield out.
    const ColumnLayout layout = LayoutForFields({ 1, 2, 13 }, PackSort(3, false));
    const auto fields = ParseFieldList(u"1,4");
    ASSERT_TRUE(fields.ok());
    const ListTable table = BuildExportTable(records, layout, *fields);
    const QStringList lines = csvLines(table);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].contains(ColumnCaption(1)));
    EXPECT_TRUE(lines[0].contains(ColumnCaption(4)));
    EXPECT_FALSE(lines[0].contains(ColumnCaption(13)));
    // Rows by yield descending, the price trimmed of its alignment spaces.
    EXPECT_EQ(lines[1], u"\"1301\",\"3,000\","_s);
    EXPECT_EQ(lines[2], u"\"7203\",\"2,500.5\","_s);
    EXPECT_EQ(lines[3], u"\"8306\",\"1,200.5\","_s);
}

TEST_F(ExportTableTest, EmptyListIsAnExportError)
{
    const ListTable table = BuildExportTable(records, DefaultColumnLayout());
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const tessera::Status status = WriteCsv(buffer, table);
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error().code, ExportErrorEmpty);
}

} // namespace
