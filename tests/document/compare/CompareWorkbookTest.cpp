#include "document/workbook/CompareWorkbook.h"
#include "document/ErrorCodes.h"
#include "document/workbook/CodeMap.h"
#include "document/workbook/WorkbookGrid.h"
#include "quotes/QuoteRecord.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

std::unique_ptr<QuoteRecord> record(
    const QString &code, const QString &name, const char *when, const QString &price)
{
    auto r = std::make_unique<QuoteRecord>();
    r->code = code;
    r->values.set(SlotName, name);
    r->values.set(SlotOfField(FieldPrice), price);
    r->values.set(SlotOfField(FieldDifference), u"+12"_s);
    r->datetime = QDateTime::fromString(QString::fromLatin1(when), u"yyyy-MM-dd HH:mm"_s).toSecsSinceEpoch();
    return r;
}

// Three lists read on three days: 7203 in all of them, 6758 only in the second, in the
// order the files were chosen (newest first), not in time order.
CodeMap threeLists()
{
    std::vector<std::unique_ptr<QuoteRecord>> records;
    records.push_back(record(u"7203"_s, u"トヨタ自動車"_s, "2026-07-16 15:00", u"3,000"_s));
    records.push_back(record(u"6758"_s, u"ソニーG"_s, "2026-07-14 15:00", u"13,000"_s));
    records.push_back(record(u"7203"_s, u"トヨタ"_s, "2026-07-14 15:00", u"2,900"_s));
    records.push_back(record(u"7203"_s, u"トヨタ自"_s, "2026-07-15 15:00", u"2,950"_s));
    return BuildCodeMap(std::move(records));
}

std::vector<CompareColumn> columns()
{
    return { { FieldCode, u"コード"_s, 0 }, { FieldName, u"銘柄名"_s, 0 }, { FieldPrice, u"現在値"_s, 1 },
        { FieldDifference, u"前日比"_s, 1 }, { FieldDatetime, u"日時"_s, 2 }, { FieldMemo, u"メモ"_s, 0 } };
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The workbook as a spreadsheet program sees it, through openpyxl: per sheet its name,
// the value, type, number format and link of every non-empty cell.
QJsonObject openpyxlView(const QString &path)
{
    static const char *script = R"(
import json, sys, datetime, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
out = {"sheets": []}
for ws in wb.worksheets:
    cells = {}
    for row in ws.iter_rows():
        for c in row:
            if c.value is None:
                continue
            v = c.value
            if isinstance(v, datetime.datetime):
                v = v.strftime("%Y/%m/%d %H:%M")
            cells[c.coordinate] = {"value": v, "type": c.data_type, "format": c.number_format,
                                   "link": c.hyperlink.target if c.hyperlink else "",
                                   "align": c.alignment.horizontal or ""}
    out["sheets"].append({"name": ws.title, "cells": cells})
print(json.dumps(out))
)";
    QProcess p;
    p.start(u"/usr/bin/python3"_s, { u"-c"_s, QString::fromUtf8(script), path });
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        ADD_FAILURE() << "openpyxl failed: " << p.readAllStandardError().toStdString();
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

QJsonObject cell(const QJsonObject &sheet, const char *address)
{
    return sheet.value(u"cells"_s).toObject().value(QLatin1String(address)).toObject();
}

} // namespace

TEST(CodeMap, EachCodeHoldsItsRecordsOldestFirst)
{
    const CodeMap map = threeLists();
    ASSERT_EQ(map.codeCount(), 2);
    EXPECT_EQ(map.byCode.begin()->first, u"6758"_s); // plain code order
    const auto &toyota = map.byCode.at(u"7203"_s);
    ASSERT_EQ(toyota.size(), 3u);
    EXPECT_EQ(toyota[0]->values[SlotName], u"トヨタ"_s);
    EXPECT_EQ(toyota[1]->values[SlotName], u"トヨタ自"_s);
    EXPECT_EQ(toyota[2]->values[SlotName], u"トヨタ自動車"_s);
    EXPECT_EQ(map.byCode.at(u"6758"_s).size(), 1u);
}

TEST(CodeMap, EqualTimesKeepTheOrderOfTheFiles)
{
    std::vector<std::unique_ptr<QuoteRecord>> records;
    records.push_back(record(u"7203"_s, u"first"_s, "2026-07-16 15:00", u"1"_s));
    records.push_back(record(u"7203"_s, u"second"_s, "2026-07-16 15:00", u"2"_s));
    const CodeMap map = BuildCodeMap(std::move(records));
    EXPECT_EQ(map.byCode.at(u"7203"_s)[0]->values[SlotName], u"first"_s);
}

TEST(CodeMap, GatheringStopsOnAnUnreadableFileAndOnRequest)
{
    QTemporaryDir dir;
    const QString text = dir.filePath(u"a.txt"_s);
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("7203\n6758\n");
    f.close();

    const auto gathered = GatherLists({ text, text });
    ASSERT_TRUE(gathered) << gathered.error().message.toStdString();
    EXPECT_EQ(gathered->codeCount(), 2);
    EXPECT_EQ(gathered->byCode.at(u"7203"_s).size(), 2u);

    EXPECT_FALSE(GatherLists({ text, dir.filePath(u"missing.kabu"_s) }));
    int calls = 0;
    const auto stopped = GatherLists({ text, text, text }, {}, [&](int done, int files) {
        ++calls;
        EXPECT_EQ(files, 3);
        return done < 2;
    });
    ASSERT_FALSE(stopped);
    EXPECT_EQ(stopped.error().code, WorkbookErrorStopped);
    EXPECT_EQ(calls, 2);
}

TEST(CompareWorkbook, AcrossOneRowPerRecordInTimeOrder)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(u"compare.xlsx"_s);
    const CodeMap map = threeLists();
    CompareOptions options;
    options.columns = columns();
    options.selectedCodes = { u"7203"_s };
    ASSERT_TRUE(WriteComparisonWorkbook(out, map, options));

    const auto grid = ReadXlsxGrid(readAll(out));
    ASSERT_TRUE(grid);
    // Used range A2:C6: the name, the titles, three records.
    ASSERT_EQ(grid->rows, 5);
    ASSERT_EQ(grid->columns, 3);
    EXPECT_EQ(grid->at(0, 0).text, u"トヨタ自動車"_s); // the latest name
    EXPECT_EQ(grid->at(1, 0).text, u"日時"_s);
    EXPECT_EQ(grid->at(1, 1).text, u"現在値"_s);
    EXPECT_EQ(grid->at(1, 2).text, u"前日比"_s);
    EXPECT_EQ(grid->at(2, 1).number, 2900);
    EXPECT_EQ(grid->at(3, 1).number, 2950);
    EXPECT_EQ(grid->at(4, 1).number, 3000);
    EXPECT_EQ(grid->at(4, 2).number, 12);
    EXPECT_EQ(grid->at(2, 0).kind, WorkbookValue::Number); // a date serial
    EXPECT_LT(grid->at(2, 0).number, grid->at(3, 0).number);

    const QJsonObject book = openpyxlView(out);
    const QJsonArray sheets = book.value(u"sheets"_s).toArray();
    ASSERT_EQ(sheets.size(), 1);
    const QJsonObject sheet = sheets.at(0).toObject();
    EXPECT_EQ(sheet.value(u"name"_s).toString(), u"トヨタ"_s); // the oldest record's name
    EXPECT_FALSE(sheet.value(u"cells"_s).toObject().contains(u"A1"_s));
    EXPECT_TRUE(cell(sheet, "A2").value(u"link"_s).toString().contains(u"7203"_s));
    EXPECT_EQ(cell(sheet, "A4").value(u"value"_s).toString(), u"2026/07/14 15:00"_s);
    EXPECT_EQ(cell(sheet, "A4").value(u"format"_s).toString(), u"yyyy/mm/dd hh:mm "_s);
    EXPECT_EQ(cell(sheet, "B5").value(u"format"_s).toString(), u"#,##0.?? ;[Red]-#,##0.?? ;0.?? "_s);
    EXPECT_EQ(cell(sheet, "C6").value(u"format"_s).toString(), u"+#,##0.?? ;[Red]-#,##0.?? ;0.?? "_s);
    EXPECT_EQ(cell(sheet, "B3").value(u"align"_s).toString(), u"right"_s);
    EXPECT_EQ(cell(sheet, "A3").value(u"align"_s).toString(), u"center"_s);
    // Code, name and memo have no title of their own.
    EXPECT_FALSE(sheet.value(u"cells"_s).toObject().contains(u"D3"_s));
}

TEST(CompareWorkbook, DownOneColumnPerRecord)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(u"compare.xlsx"_s);
    CompareOptions options;
    options.columns = columns();
    options.arrangement = CompareArrangement::Down;
    ASSERT_TRUE(WriteComparisonWorkbook(out, threeLists(), options));

    const QJsonArray sheets = openpyxlView(out).value(u"sheets"_s).toArray();
    ASSERT_EQ(sheets.size(), 2); // every code when none is chosen, in code order
    const QJsonObject sony = sheets.at(0).toObject();
    EXPECT_EQ(sony.value(u"name"_s).toString(), u"ソニーG"_s);
    EXPECT_EQ(cell(sony, "B4").value(u"value"_s).toInt(), 13000);
    EXPECT_FALSE(sony.value(u"cells"_s).toObject().contains(u"C4"_s)); // one file only

    const QJsonObject toyota = sheets.at(1).toObject();
    EXPECT_EQ(cell(toyota, "A3").value(u"value"_s).toString(), u"日時"_s);
    EXPECT_EQ(cell(toyota, "A4").value(u"value"_s).toString(), u"現在値"_s);
    EXPECT_EQ(cell(toyota, "A5").value(u"value"_s).toString(), u"前日比"_s);
    EXPECT_EQ(cell(toyota, "B3").value(u"value"_s).toString(), u"2026/07/14 15:00"_s);
    EXPECT_EQ(cell(toyota, "D3").value(u"value"_s).toString(), u"2026/07/16 15:00"_s);
    EXPECT_EQ(cell(toyota, "B4").value(u"value"_s).toInt(), 2900);
    EXPECT_EQ(cell(toyota, "D4").value(u"value"_s).toInt(), 3000);
    EXPECT_EQ(cell(toyota, "C5").value(u"format"_s).toString(), u"+#,##0.?? ;[Red]-#,##0.?? ;0.?? "_s);
    EXPECT_EQ(cell(toyota, "A4").value(u"align"_s).toString(), u""_s); // titles keep no alignment here
    EXPECT_EQ(cell(toyota, "A2").value(u"value"_s).toString(), u"トヨタ自動車"_s);
}

TEST(CompareWorkbook, SheetNamesAreValidAndUnique)
{
    std::vector<std::unique_ptr<QuoteRecord>> records;
    records.push_back(record(u"1001"_s, u"A/B:C*"_s, "2026-07-16 15:00", u"1"_s));
    records.push_back(record(u"1002"_s, u"a/b:c*"_s, "2026-07-16 15:00", u"2"_s));
    records.push_back(record(u"1003"_s, QString(40, u'x'), "2026-07-16 15:00", u"3"_s));
    records.push_back(record(u"1004"_s, QString(40, u'x'), "2026-07-16 15:00", u"4"_s));
    records.push_back(record(u"1005"_s, QString(), "2026-07-16 15:00", u"5"_s));
    QTemporaryDir dir;
    const QString out = dir.filePath(u"names.xlsx"_s);
    CompareOptions options;
    options.columns = columns();
    ASSERT_TRUE(WriteComparisonWorkbook(out, BuildCodeMap(std::move(records)), options));

    const QJsonArray sheets = openpyxlView(out).value(u"sheets"_s).toArray();
    ASSERT_EQ(sheets.size(), 5);
    QStringList names;
    for (const auto &s : sheets)
        names << s.toObject().value(u"name"_s).toString();
    EXPECT_EQ(names.at(0), u"A_B_C"_s); // a trailing "*" goes like a modified mark
    EXPECT_NE(names.at(1).toLower(), names.at(0).toLower());
    EXPECT_EQ(names.at(2), QString(31, u'x'));
    EXPECT_NE(names.at(3), names.at(2));
    EXPECT_LE(names.at(3).size(), 31);
    EXPECT_EQ(names.at(4), u"1005"_s); // no name: the code
    EXPECT_EQ(cell(sheets.at(4).toObject(), "A2").value(u"value"_s).toVariant().toString(), u"1005"_s);
}

TEST(CompareWorkbook, RefusalsWriteNothing)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(u"refused.xlsx"_s);
    {
        QFile old(out);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("previous");
    }
    CompareOptions options;
    options.columns = { { FieldPrice, u"現在値"_s, 1 } };
    const auto narrow = WriteComparisonWorkbook(out, threeLists(), options);
    ASSERT_FALSE(narrow);
    EXPECT_EQ(narrow.error().code, WorkbookErrorTooFewColumns);

    std::vector<std::unique_ptr<QuoteRecord>> many;
    for (int i = 0; i < 101; ++i)
        many.push_back(record(u"7203"_s, u"トヨタ"_s, "2026-07-16 15:00", QString::number(i)));
    const CodeMap tall = BuildCodeMap(std::move(many));
    options.columns = columns();
    options.arrangement = CompareArrangement::Down;
    const auto tooMany = WriteComparisonWorkbook(out, tall, options);
    ASSERT_FALSE(tooMany);
    EXPECT_EQ(tooMany.error().code, WorkbookErrorTooManyValues);

    options.selectedCodes = { u"9999"_s };
    options.arrangement = CompareArrangement::Across;
    EXPECT_FALSE(WriteComparisonWorkbook(out, tall, options));

    options.selectedCodes.clear();
    options.progress = [](int, int) { return false; };
    const auto stopped = WriteComparisonWorkbook(out, tall, options);
    ASSERT_FALSE(stopped);
    EXPECT_EQ(stopped.error().code, WorkbookErrorStopped);
    EXPECT_EQ(readAll(out), "previous");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);

    // 101 records across is fine: a sheet has rows enough.
    options.progress = {};
    EXPECT_TRUE(WriteComparisonWorkbook(out, tall, options));
}

TEST(CompareWorkbook, WithoutTheTimeColumnA3StillHoldsItsTitle)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(u"compare.xlsx"_s);
    CompareOptions options;
    options.columns = { { FieldCode, u"コード"_s, 0 }, { FieldPrice, u"現在値"_s, 1 } };
    options.datetimeTitle = u"日時"_s;
    options.selectedCodes = { u"6758"_s };
    ASSERT_TRUE(WriteComparisonWorkbook(out, threeLists(), options));
    const auto grid = ReadXlsxGrid(readAll(out));
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->at(1, 0).text, u"日時"_s);
    EXPECT_EQ(grid->at(1, 1).text, u"現在値"_s);
    EXPECT_EQ(grid->at(2, 1).number, 13000);
}
