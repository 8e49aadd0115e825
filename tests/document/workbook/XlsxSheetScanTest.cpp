// The quick worksheet scan: what it takes itself must read exactly as the XML reader reads
// it, and everything else, malformed or merely unusual, must be left to that reader.
#include "document/workbook/XlsxSheetScan.h"
#include "document/ErrorCodes.h"
#include "document/workbook/GridBuilder.h"
#include "document/workbook/WorkbookGrid.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <zip.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray sheet(const QByteArray &rows)
{
    return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
           R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main")"
           R"( xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" mc:Ignorable="x14ac")"
           R"( xmlns:x14ac="http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac">)"
           R"(<dimension ref="A1:C3"/><sheetViews><sheetView workbookViewId="0"/></sheetViews>)"
           R"(<cols><col min="1" max="1" width="9.5" customWidth="1"/></cols><sheetData>)"
        + rows + R"(</sheetData><pageMargins left="0.7" right="0.7"/></worksheet>)";
}

SheetScan scan(const QByteArray &xml, WorkbookGrid *out = nullptr, WorkbookLimits limits = {})
{
    static const std::vector<QString> shared { u"zero"_s, u"one"_s };
    GridBuilder grid(limits);
    const SheetScan result = ScanSheetXml(xml, shared, grid);
    if (out && result == SheetScan::Done) {
        auto built = grid.build(false);
        if (built)
            *out = *built;
    }
    return result;
}

// The same sheet as a whole workbook, through the reader that picks scan or XML reader.
QByteArray bookOf(const QByteArray &sheetXml)
{
    QTemporaryDir dir;
    const QByteArray file = dir.filePath(u"b.xlsx"_s).toUtf8();
    int error = 0;
    zip_t *z = zip_open(file.constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    const std::vector<std::pair<const char *, QByteArray>> parts {
        { "_rels/.rels",
            R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)" },
        { "xl/workbook.xml",
            R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="S" sheetId="1" r:id="rId1"/></sheets></workbook>)" },
        { "xl/_rels/workbook.xml.rels",
            R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/></Relationships>)" },
        { "xl/sharedStrings.xml",
            R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><si><t>zero</t></si><si><t>one</t></si></sst>)" },
        { "xl/worksheets/sheet1.xml", sheetXml },
    };
    for (const auto &[name, data] : parts) {
        zip_source_t *s = zip_source_buffer(z, data.constData(), static_cast<zip_uint64_t>(data.size()), 0);
        if (zip_file_add(z, name, s, ZIP_FL_ENC_UTF_8) < 0)
            zip_source_free(s);
    }
    zip_close(z);
    QFile f(QString::fromUtf8(file));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::string describe(const tessera::Result<WorkbookGrid> &grid)
{
    if (!grid)
        return "error " + std::to_string(grid.error().code) + ": " + grid.error().message.toStdString();
    std::string out = std::to_string(grid->rows) + "x" + std::to_string(grid->columns) + ":";
    for (const WorkbookValue &v : grid->cells) {
        out += v.kind == WorkbookValue::Number ? " n" + std::to_string(v.number)
            : v.kind == WorkbookValue::Text    ? " s[" + v.text.toStdString() + "]"
                                               : std::string(" -");
    }
    return out;
}

// Sheets the scan takes: each must read as the XML reader reads it. A comment after the
// root's start tag makes the scan leave the same sheet to the XML reader.
const char *const kTaken[] = {
    R"(<row r="1"><c r="A1"><v>1.5</v></c><c r="B1" t="s"><v>1</v></c><c r="C1" t="inlineStr"><is><t>名前</t></is></c></row>)",
    R"(<row r="2" spans="1:3" x14ac:dyDescent="0.25"><c r="A2" s="3" t="n"><v>-7</v></c><c r="C2" t="str"><f>A2*2</f><v>x&amp;y</v></c></row>)",
    R"(<row><c><v>1</v></c><c><v>2</v></c></row><row><c t="inlineStr"><is><t xml:space="preserve"> a &lt;b&gt; &#x41;&#66; </t></is></c></row>)",
    R"(<row r="3"><c r="A3" t="d"><v>2026-07-16T15:00:00</v></c><c r="B3" t="b"><v>1</v></c><c r="C3" t="e"><v>#N/A</v></c></row>)",
    R"(<row r="1"><c r="A1" t="s"><v> 0 </v></c><c r="B1" t="s"><v>+1</v></c><c r="C1" t="s"><v>9</v></c></row>)",
    R"(<row r="1"><c r="A1"><v></v></c><c r="B1"/><c r="C1" t="inlineStr"/><c r="D1"><v> 2 </v></c><c r="E1"><v>nan</v></c><c r="F1"><v>1e400</v></c></row>)",
    R"(<row r = '1' ><c r='B1' ><v>3</v ></c><c r="A1"><v>4</v></c><c r="B1"><v>5</v><v>6</v></c></row>)",
    R"(<row r="1"><c r="A1" t="inlineStr"><is><r><rPr><b/></rPr><t>a</t></r><r><t>b</t></r></is></c></row>)",
    R"(<row r="1"><c r="A1" t="zz"><v>1</v></c><c r="B1"><is><t>not inline</t></is></c><c r="C1"><v>8</v></c></row>)",
    "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>line\nbreak\ttab</t></is></c></row>",
};

TEST(XlsxSheetScan, ReadsAsTheXmlReaderDoes)
{
    for (const char *rows : kTaken) {
        const QByteArray plain = sheet(rows);
        QByteArray commented = plain;
        commented.replace("<dimension", "<!-- left to the XML reader --><dimension");
        EXPECT_EQ(scan(plain), SheetScan::Done) << rows;
        EXPECT_EQ(scan(commented), SheetScan::Unsupported) << rows;
        const auto quick = ReadXlsxGrid(bookOf(plain));
        const auto full = ReadXlsxGrid(bookOf(commented));
        ASSERT_TRUE(full.ok()) << rows << ": " << describe(full);
        EXPECT_EQ(describe(quick), describe(full)) << rows;
    }
}

TEST(XlsxSheetScan, CellValues)
{
    WorkbookGrid grid;
    ASSERT_EQ(scan(sheet(kTaken[0]), &grid), SheetScan::Done);
    ASSERT_EQ(grid.rows, 1);
    ASSERT_EQ(grid.columns, 3);
    EXPECT_EQ(grid.at(0, 0).number, 1.5);
    EXPECT_EQ(grid.at(0, 1).text, u"one"_s);
    EXPECT_EQ(grid.at(0, 2).text, u"名前"_s);

    ASSERT_EQ(scan(sheet(kTaken[2]), &grid), SheetScan::Done);
    EXPECT_EQ(grid.at(1, 0).text, u" a <b> AB "_s);
    ASSERT_EQ(scan(sheet(kTaken[6]), &grid), SheetScan::Done);
    EXPECT_EQ(grid.at(0, 0).number, 4);
    EXPECT_EQ(grid.at(0, 1).number, 6); // the cell written last, its last value
}

// Malformed or unusual parts: the scan takes none of them, so the XML reader's verdict
// (an error or a grid) stands.
TEST(XlsxSheetScan, LeavesEverythingElseToTheXmlReader)
{
    const QByteArray cell = R"(<row r="1"><c r="A1"><v>1</v></c></row>)";
    const QByteArray cases[] = {
        sheet(cell).replace("<sheetData>", "<x:sheetData>").replace("</sheetData>", "</x:sheetData>"),
        sheet(cell).replace("<dimension", "<![CDATA[x]]><dimension"),
        "<!DOCTYPE worksheet [<!ENTITY a \"b\">]>" + sheet(cell),
        sheet(cell).replace("<v>1</v>", "<v>1\r</v>"),
        sheet(cell).replace("</row>", "</rows>"),
        sheet(cell).replace("</worksheet>", ""),
        sheet(cell) + "<worksheet/>",
        sheet(cell) + "text",
        sheet(cell).replace("<v>1</v>", "<v>&nbsp;</v>"),
        sheet(cell).replace("<v>1</v>", "<v>&#0;</v>"),
        sheet(cell).replace("<v>1</v>", "<v>1]]></v>"),
        sheet(cell).replace("<v>1</v>", "<v>1<b/></v>"),
        sheet(cell).replace(R"(r="A1")", R"(r="A1" r="B1")"),
        sheet(cell).replace(R"(r="A1")", R"(r="A1" q:x="1")"),
        sheet(cell).replace(R"(r="A1")", R"(r="a1")"),
        sheet(cell).replace(R"(r="A1")", R"(r="XFE1")"),
        sheet(cell).replace(R"(<row r="1">)", R"(<row r="0">)"),
        sheet(cell).replace(R"(<row r="1">)", R"(<row r="1048577">)"),
        sheet(cell).replace(R"(<row r="1">)", R"(<row r=" 1">)"),
        sheet(cell).replace(R"(r="A1")", R"(r="A1"t="n")"),
        sheet(cell).replace("<v>1</v>", "<v>\xff</v>"),
        sheet(cell).replace("<v>1</v>", "<v>\xc0\x80</v>"),
        sheet(cell).replace("<v>1</v>", "<v>\xed\xa0\x80</v>"),
        sheet(cell).replace("<v>1</v>", "<v>\x01</v>"),
        sheet(cell).replace(R"(encoding="UTF-8")", R"(encoding="ISO-8859-1")"),
        sheet(R"(<row r="1"><c r="A1" t="inlineStr"><is><t>a</t><rPh><t>ア</t></rPh></is></c></row>)"),
        sheet(cell).replace("<dimension", "<?pi x?><dimension"),
        QByteArray("\xef\xbb\xbf") + sheet(cell),
        QByteArray(),
        sheet(cell).left(200),
    };
    for (const QByteArray &xml : cases) {
        EXPECT_EQ(scan(xml), SheetScan::Unsupported) << xml.toStdString();
        // Whatever the XML reader makes of it, the workbook reader says the same.
        const auto read = ReadXlsxGrid(bookOf(xml));
        if (read.ok())
            EXPECT_GT(read->cells.size(), 0u);
        else
            EXPECT_NE(read.error().code, 0);
    }
}

TEST(XlsxSheetScan, StopsAtTheLimits)
{
    WorkbookLimits limits;
    limits.maxCells = 2;
    const QByteArray xml
        = sheet(R"(<row r="1"><c r="A1"><v>1</v></c><c r="B1"><v>2</v></c><c r="C1"><v>3</v></c></row>)");
    EXPECT_EQ(scan(xml, nullptr, limits), SheetScan::Stopped);
    const auto read = ReadXlsxGrid(bookOf(xml), limits);
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.error().code, WorkbookErrorTooLarge);

    limits = {};
    limits.maxTextUnits = 3;
    EXPECT_EQ(
        scan(sheet(R"(<row r="1"><c r="A1" t="inlineStr"><is><t>abcd</t></is></c></row>)"), nullptr, limits),
        SheetScan::Stopped);
}

} // namespace
