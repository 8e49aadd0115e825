#include "view/table/ListTableModel.h"
#include "document/CQuotraDoc.h"
#include "view/table/ColumnTable.h"

#include "corelib/LanguageModule.h"

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class ListTableModelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { tessera::LanguageModule::instance().load(); }

    ListTableModelTest()
        : tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal)
    {
        for (int i = 0; i < 5; ++i) {
            const QString code = QString::number(1301 + i);
            auto r = std::make_unique<QuoteRecord>(code);
            r->values.set(SlotName, QString(QChar(u'e' - i))); // names run backwards
            r->values.set(SlotDifference, i % 2 ? u"-5"_s : u"+5"_s);
            records[code] = std::move(r);
        }
    }

    static QStringList codesOf(const ListTableModel &m)
    {
        QStringList out;
        for (int row = 0; row < m.rowCount(); ++row)
            out << m.index(row, 0).data(ListTableModel::CodeRole).toString();
        return out;
    }
    QStringList codesInOrder() const { return codesOf(model); }

    RecordMap records;
    ListTableModel model;
    QAbstractItemModelTester tester;
};

TEST_F(ListTableModelTest, ShowsTheRowsWithTextsAndRoles)
{
    model.refresh(records);
    ASSERT_EQ(model.rowCount(), 5);
    ASSERT_EQ(model.columnCount(), 16);
    const int price = model.table().header().columnOfField(5);
    EXPECT_EQ(model.index(0, 1).data().toString(), u"1301"_s);
    EXPECT_EQ(model.index(0, price).data().toString(), u"+5   "_s);
    EXPECT_EQ(model.index(0, price).data(ListTableModel::RawValueRole).toString(), u"+5"_s);
    EXPECT_EQ(model.index(0, price).data(ListTableModel::FieldRole).toInt(), 5);
    EXPECT_EQ(model.index(1, price).data(ListTableModel::TextColorRole).toUInt(), kColorRed);
    EXPECT_EQ(model.index(0, 0).data().toString(), QString());
    EXPECT_EQ(model.index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
        Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), ColumnCaption(2));
    EXPECT_EQ(model.headerData(3, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
        Qt::AlignHCenter | Qt::AlignVCenter);
    // No converter installed: the Qt colour roles stay empty.
    EXPECT_FALSE(model.index(1, price).data(Qt::ForegroundRole).isValid());
    model.setColorConverter([](ColorRef c) { return QVariant(ColorRefToRgb(c)); });
    EXPECT_EQ(model.index(1, price).data(Qt::ForegroundRole).toUInt(), 0xFFFF0000u);
}

TEST_F(ListTableModelTest, SortingKeepsTheSelectionOnItsRecords)
{
    model.refresh(records);
    QItemSelectionModel selection(&model);
    selection.select(model.index(0, 1), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection.select(model.index(3, 1), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const QPersistentModelIndex held(model.index(0, 2));

    model.headerClick(2); // by name ascending: the codes reverse
    EXPECT_EQ(codesInOrder(), (QStringList { u"1305"_s, u"1304"_s, u"1303"_s, u"1302"_s, u"1301"_s }));
    EXPECT_EQ(held.row(), 4);
    EXPECT_EQ(held.data(ListTableModel::CodeRole).toString(), u"1301"_s);
    QStringList selected;
    for (const QModelIndex &i : selection.selectedRows(1))
        selected << i.data().toString();
    selected.sort();
    EXPECT_EQ(selected, (QStringList { u"1301"_s, u"1304"_s }));

    model.sort(2, Qt::DescendingOrder);
    EXPECT_EQ(codesInOrder().front(), u"1301"_s);
    EXPECT_EQ(model.rowOfCode(u"1301"_s), 0);
    EXPECT_EQ(model.rowOfCode(u"9999"_s), -1);
}

TEST_F(ListTableModelTest, ColumnsShowHideAndLayout)
{
    model.refresh(records);
    EXPECT_TRUE(model.toggleField(39));
    EXPECT_EQ(model.columnCount(), 17);
    EXPECT_TRUE(model.toggleField(39));
    EXPECT_EQ(model.columnCount(), 16);
    EXPECT_TRUE(model.applyLayout(LayoutForFields({ 2 })));
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_FALSE(model.toggleField(2)); // the last field stays
    EXPECT_FALSE(model.toggleField(0));
    EXPECT_FALSE(model.applyLayout(ColumnLayout {}));
    model.resetColumns();
    EXPECT_EQ(model.columnCount(), 16);
    EXPECT_TRUE(model.moveColumn(3, 1));
    EXPECT_EQ(model.saveLayout().orderList.left(8), u"0,3,1,2,"_s);
}

TEST_F(ListTableModelTest, RebuildDropsEveryRowReferenceUntilRefresh)
{
    model.refresh(records);
    model.beginRebuild();
    EXPECT_EQ(model.rowCount(), 0);
    // While the rebuild is held the records are freed: nothing in the model may reach them.
    records.clear();
    EXPECT_EQ(model.table().rowCount(), 0);
    EXPECT_EQ(model.record(0), nullptr);
    EXPECT_EQ(model.rowOfCode(u"1302"_s), -1);
    model.rowUpdated(u"1302"_s);
    model.setSort(2, false, false);
    for (int i = 0; i < 4; ++i) {
        const QString code = QString::number(1302 + i);
        records[code] = std::make_unique<QuoteRecord>(code);
    }
    model.refresh(records);
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.rowOfCode(u"1301"_s), -1);
}

TEST_F(ListTableModelTest, UpdatedRowIsReported)
{
    model.refresh(records);
    int changedRow = -1;
    QObject::connect(&model, &QAbstractItemModel::dataChanged,
        [&](const QModelIndex &from, const QModelIndex &) { changedRow = from.row(); });
    model.rowUpdated(u"1303"_s);
    EXPECT_EQ(changedRow, 2);
    changedRow = -1;
    model.rowUpdated(u"nope"_s);
    EXPECT_EQ(changedRow, -1);
}

TEST_F(ListTableModelTest, FollowsTheRowsOfItsDocument)
{
    CQuotraDoc doc;
    ListTableModel followed(doc);
    QAbstractItemModelTester check(&followed, QAbstractItemModelTester::FailureReportingMode::Fatal);
    int arrived = 0;
    QObject::connect(&followed, &ListTableModel::rowsArrived, [&] { ++arrived; });
    doc.replaceRows(std::move(records));
    EXPECT_EQ(codesOf(followed).size(), 5);
    EXPECT_EQ(arrived, 1);
    EXPECT_EQ(doc.removeRows({ u"1302"_s, u"1304"_s }), 2);
    EXPECT_EQ(codesOf(followed), (QStringList { u"1301"_s, u"1303"_s, u"1305"_s }));
    EXPECT_EQ(followed.rowOfCode(u"1302"_s), -1);
    std::vector<std::unique_ptr<QuoteRecord>> added;
    added.push_back(std::make_unique<QuoteRecord>(u"1300"_s));
    doc.insertRecords(std::move(added));
    EXPECT_EQ(codesOf(followed), (QStringList { u"1300"_s, u"1301"_s, u"1303"_s, u"1305"_s }));
    EXPECT_EQ(arrived, 2);

    // Held, the document's reset leaves no row behind and rebuilds nothing until the release
    // says a refresh is due.
    followed.holdRefresh();
    RecordMap next;
    next[u"9984"_s] = std::make_unique<QuoteRecord>(u"9984"_s);
    doc.replaceRows(std::move(next));
    EXPECT_EQ(followed.rowCount(), 0);
    EXPECT_EQ(followed.record(0), nullptr);
    EXPECT_EQ(arrived, 2);
    EXPECT_TRUE(followed.releaseRefresh());
    followed.refreshFromDocument();
    EXPECT_EQ(codesOf(followed), QStringList { u"9984"_s });
    followed.holdRefresh();
    EXPECT_FALSE(followed.releaseRefresh()) << "nothing happened while held";
}

} // namespace
