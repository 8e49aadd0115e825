// CSV and JSON exports, byte for byte.
#include "document/CsvExport.h"
#include "document/JsonExport.h"
#include "document/SafeSave.h"
#include "document/TextList.h"

#include "tests/support/FakeTable.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

FakeTable codeAndName()
{
    FakeTable t({ { FieldCode, QStringLiteral("コード") }, { 2, QStringLiteral("銘柄名") } });
    t.addRow({ QStringLiteral("7203"), QStringLiteral("トヨタ自動車") });
    t.addRow({ QStringLiteral("6758"), QStringLiteral("ソニーグループ") });
    return t;
}

template<typename Write> QByteArray exportBytes(const TableSource &table, Write write)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const tessera::Status status = write(buffer, table, ExportProgress {});
    EXPECT_TRUE(status.ok()) << status.error().message.toStdString();
    return buffer.data();
}

QByteArray csv(const TableSource &t)
{
    return exportBytes(t, &WriteCsv);
}
QByteArray json(const TableSource &t)
{
    return exportBytes(t, &WriteJson);
}

TEST(CsvExport, HeaderAndQuotedCellsWithTrailingCommas)
{
    EXPECT_EQ(csv(codeAndName()),
        kBom
            + QStringLiteral("#コード,銘柄名,\r\n"
                             "\"7203\",\"トヨタ自動車\",\r\n"
                             "\"6758\",\"ソニーグループ\",\r\n")
                  .toUtf8());
}

TEST(CsvExport, CellsTrimmedMemoLineBreaksAndQuotesAsTheyAre)
{
    FakeTable t({ { FieldCode, QStringLiteral("C") }, { 2, QStringLiteral("N") },
        { FieldMemo, QStringLiteral("M") } });
    t.addRow(
        { QStringLiteral("  7203 "), QStringLiteral("A \"B\" C"), QStringLiteral(" line1\r\nline2\r\n") });
    EXPECT_EQ(csv(t), kBom + QByteArray("#C,N,M,\r\n\"7203\",\"A \"B\" C\",\"line1<br>line2\",\r\n"));
}

TEST(CsvExport, LineBreaksOutsideTheMemoStayCrLf)
{
    FakeTable t({ { FieldCode, QStringLiteral("C") }, { 2, QStringLiteral("N") } });
    t.addRow({ QStringLiteral("7203"), QStringLiteral("a\nb\r\nc") });
    EXPECT_EQ(csv(t), kBom + QByteArray("#C,N,\r\n\"7203\",\"a\r\nb\r\r\nc\",\r\n"));
}

TEST(CsvExport, WrittenFileReadsBackAsATextList)
{
    const QByteArray bytes = csv(codeAndName());
    auto rows = ReadTextList(bytes);
    ASSERT_TRUE(rows.ok()) << rows.error().message.toStdString();
    ASSERT_EQ(rows->size(), 2u);
    EXPECT_EQ(rows->at(QStringLiteral("7203"))->values[SlotName], QStringLiteral("トヨタ自動車"));
    EXPECT_EQ(rows->at(QStringLiteral("6758"))->values[SlotName], QStringLiteral("ソニーグループ"));
}

TEST(CsvExport, FirstColumnOtherThanTheCodeDoesNotReadBack)
{
    FakeTable t({ { 2, QStringLiteral("N") }, { FieldCode, QStringLiteral("C") } });
    t.addRow({ QStringLiteral("Toyota"), QStringLiteral("7203") });
    auto rows = ReadTextList(csv(t));
    ASSERT_FALSE(rows.ok());
    EXPECT_EQ(rows.error().code, TextListErrorInvalidCode);
}

TEST(JsonExport, ItemsAndCount)
{
    EXPECT_EQ(json(codeAndName()),
        kBom
            + QStringLiteral("{\"items\":[{\"code\":\"7203\",\"name\":\"トヨタ自動車\"},"
                             "{\"code\":\"6758\",\"name\":\"ソニーグループ\"}],\"count\":2}")
                  .toUtf8());
}

TEST(JsonExport, MembersFollowTheColumnOrder)
{
    FakeTable t({ { 4, QStringLiteral("P") }, { FieldCode, QStringLiteral("C") },
        { FieldDatetime, QStringLiteral("D") } });
    t.addRow({ QStringLiteral("1,234"), QStringLiteral("7203"), QStringLiteral("2026/12/07 09:05") });
    EXPECT_EQ(json(t),
        kBom
            + QByteArray("{\"items\":[{\"t_value\":\"1,234\",\"code\":\"7203\","
                         "\"datetime\":\"2026/12/07 09:05\"}],\"count\":1}"));
}

TEST(JsonExport, EscapesAndMemoLineBreaks)
{
    FakeTable t({ { FieldCode, QStringLiteral("C") }, { 2, QStringLiteral("N") },
        { FieldMemo, QStringLiteral("M") } });
    t.addRow({ QStringLiteral("7203"), QStringLiteral("a\"b\\c\td") + QChar(0x1F),
        QStringLiteral("one\r\ntwo\nthree") });
    const QByteArray bytes = json(t);
    EXPECT_EQ(bytes,
        kBom
            + QByteArray("{\"items\":[{\"code\":\"7203\",\"name\":\"a\\\"b\\\\c\\u0009d\\u001f\","
                         "\"memo\":\"one<br>two\\u000athree\"}],\"count\":1}"));
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes.mid(3), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError);
    const QJsonArray items = doc.object().value(QStringLiteral("items")).toArray();
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items[0].toObject().value(QStringLiteral("name")).toString(),
        QStringLiteral("a\"b\\c\td") + QChar(0x1F));
    EXPECT_EQ(doc.object().value(QStringLiteral("count")).toInt(), items.size());
}

TEST(JsonExport, CountMatchesManyRows)
{
    FakeTable t({ { FieldCode, QStringLiteral("C") } });
    for (int i = 0; i < 5000; ++i)
        t.addRow({ QString::number(1000 + i) });
    std::vector<std::pair<int, int>> calls;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(WriteJson(buffer, t, [&](int done, int total) { calls.emplace_back(done, total); }).ok());
    const QJsonObject doc = QJsonDocument::fromJson(buffer.data().mid(3)).object();
    EXPECT_EQ(doc.value(QStringLiteral("items")).toArray().size(), 5000);
    EXPECT_EQ(doc.value(QStringLiteral("count")).toInt(), 5000);
    ASSERT_EQ(calls.size(), 5000u);
    EXPECT_EQ(calls.front(), std::make_pair(1, 5000));
    EXPECT_EQ(calls.back(), std::make_pair(5000, 5000));
}

class ExportFile : public ::testing::Test {
protected:
    QTemporaryDir m_dir;
};

TEST_F(ExportFile, EmptyListWritesNoFile)
{
    FakeTable empty({ { FieldCode, QStringLiteral("C") } });
    const QString csvPath = m_dir.filePath(QStringLiteral("a.csv"));
    const QString jsonPath = m_dir.filePath(QStringLiteral("a.json"));
    auto c = ExportCsv(csvPath, empty);
    auto j = ExportJson(jsonPath, empty);
    ASSERT_FALSE(c.ok());
    ASSERT_FALSE(j.ok());
    EXPECT_EQ(c.error().code, ExportErrorEmpty);
    EXPECT_EQ(j.error().code, ExportErrorEmpty);
    EXPECT_FALSE(QFile::exists(csvPath));
    EXPECT_FALSE(QFile::exists(jsonPath));
}

TEST_F(ExportFile, FileHoldsTheSameBytes)
{
    const FakeTable t = codeAndName();
    const QString csvPath = m_dir.filePath(QStringLiteral("a.csv"));
    const QString jsonPath = m_dir.filePath(QStringLiteral("a.json"));
    ASSERT_TRUE(ExportCsv(csvPath, t).ok());
    ASSERT_TRUE(ExportJson(jsonPath, t).ok());
    QFile c(csvPath), j(jsonPath);
    ASSERT_TRUE(c.open(QIODevice::ReadOnly));
    ASSERT_TRUE(j.open(QIODevice::ReadOnly));
    EXPECT_EQ(c.readAll(), csv(t));
    EXPECT_EQ(j.readAll(), json(t));
}

TEST_F(ExportFile, UnwritableTargetFails)
{
    auto c = ExportCsv(m_dir.filePath(QStringLiteral("missing/a.csv")), codeAndName());
    ASSERT_FALSE(c.ok());
    EXPECT_EQ(c.error().code, SaveErrorOpen);
}

TEST(ExportDevice, RefusedWriteIsReported)
{
    QByteArray bytes;
    QBuffer readOnly(&bytes);
    readOnly.open(QIODevice::ReadOnly);
    auto c = WriteCsv(readOnly, codeAndName());
    ASSERT_FALSE(c.ok());
    EXPECT_EQ(c.error().code, ExportErrorWrite);
    auto j = WriteJson(readOnly, codeAndName());
    ASSERT_FALSE(j.ok());
    EXPECT_EQ(j.error().code, ExportErrorWrite);
}

} // namespace
