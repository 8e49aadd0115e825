// Hostile and damaged .xlsx files: each ends in a clear failure or a correct grid, within the
// reader's limits, never a crash, a hang or memory beyond the limits.
#include "document/ErrorCodes.h"
#include "document/workbook/WorkbookGrid.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <zip.h>

#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

using Parts = std::vector<std::pair<const char *, QByteArray>>;

const char *const kTypes
    = R"(<?xml version="1.0"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>)";
const char *const kRootRels
    = R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)";
const char *const kWorkbook
    = R"(<?xml version="1.0"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="S" sheetId="1" r:id="rId1"/></sheets></workbook>)";
const char *const kBookRels
    = R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/></Relationships>)";

QByteArray sheetOf(const QByteArray &rows, const char *dimension = "A1:B2")
{
    return QByteArray(
               R"(<?xml version="1.0"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><dimension ref=")")
        + dimension + R"("/><sheetData>)" + rows + "</sheetData></worksheet>";
}

QByteArray sharedOf(const QByteArray &items)
{
    return QByteArray(
               R"(<?xml version="1.0"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)")
        + items + "</sst>";
}

// A ZIP of the given parts, deflated, through libzip.
QByteArray zipOf(const Parts &parts)
{
    QTemporaryDir dir;
    const QByteArray file = dir.filePath(u"b.xlsx"_s).toUtf8();
    int error = 0;
    zip_t *z = zip_open(file.constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z)
        return {};
    std::vector<QByteArray> keep;
    for (const auto &[name, data] : parts) {
        keep.push_back(data);
        zip_source_t *s
            = zip_source_buffer(z, keep.back().constData(), static_cast<zip_uint64_t>(keep.back().size()), 0);
        if (zip_file_add(z, name, s, ZIP_FL_ENC_UTF_8) < 0)
            zip_source_free(s);
    }
    if (zip_close(z) != 0)
        return {};
    QFile f(QString::fromUtf8(file));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

Parts bookWith(const QByteArray &sheet, const QByteArray &shared = sharedOf(""))
{
    return { { "[Content_Types].xml", kTypes }, { "_rels/.rels", kRootRels },
        { "xl/workbook.xml", kWorkbook }, { "xl/_rels/workbook.xml.rels", kBookRels },
        { "xl/worksheets/sheet1.xml", sheet }, { "xl/sharedStrings.xml", shared } };
}

const QByteArray kSmallSheet
    = sheetOf(R"(<row r="1"><c r="A1" t="inlineStr"><is><t>a</t></is></c><c r="B1"><v>2</v></c></row>)");

TEST(WorkbookBadInput, TheHealthyBookReads)
{
    auto grid = ReadWorkbookGrid(zipOf(bookWith(kSmallSheet)), u"b.xlsx"_s);
    ASSERT_TRUE(grid.ok()) << grid.error().message.toStdString();
    EXPECT_EQ(grid->columns, 2);
    EXPECT_EQ(grid->at(0, 1).number, 2);
}

TEST(WorkbookBadInput, TruncatedZipAtEveryTenthFails)
{
    const QByteArray whole = zipOf(bookWith(kSmallSheet));
    ASSERT_FALSE(whole.isEmpty());
    for (int cut = 1; cut < 10; ++cut) {
        auto grid = ReadWorkbookGrid(whole.left(whole.size() * cut / 10), u"b.xlsx"_s);
        ASSERT_FALSE(grid.ok()) << cut;
        EXPECT_FALSE(grid.error().message.isEmpty());
    }
}

TEST(WorkbookBadInput, WrongCrcFails)
{
    QByteArray data = zipOf(bookWith(kSmallSheet));
    // The sheet's CRC, in its local header (14 bytes after the signature) and in its central
    // directory entry (16 bytes after), no longer matches the bytes behind it.
    const QByteArray name = "xl/worksheets/sheet1.xml";
    int changed = 0;
    for (qsizetype at = data.indexOf(name); at >= 0; at = data.indexOf(name, at + 1)) {
        const qsizetype local = at - 30;
        const qsizetype central = at - 46;
        qsizetype crc = -1;
        if (local >= 0 && data.mid(local, 4) == QByteArray("PK\x03\x04", 4))
            crc = local + 14;
        else if (central >= 0 && data.mid(central, 4) == QByteArray("PK\x01\x02", 4))
            crc = central + 16;
        if (crc < 0)
            continue;
        data[crc] = static_cast<char>(data[crc] ^ 0x5a);
        ++changed;
    }
    ASSERT_EQ(changed, 2);
    auto grid = ReadWorkbookGrid(data, u"b.xlsx"_s);
    ASSERT_FALSE(grid.ok());
    EXPECT_EQ(grid.error().code, WorkbookErrorDamaged) << grid.error().message.toStdString();
}

TEST(WorkbookBadInput, MissingPartsFail)
{
    for (const char *gone : { "xl/workbook.xml", "xl/worksheets/sheet1.xml" }) {
        Parts parts = bookWith(kSmallSheet);
        std::erase_if(parts, [&](const auto &p) { return qstrcmp(p.first, gone) == 0; });
        auto grid = ReadWorkbookGrid(zipOf(parts), u"b.xlsx"_s);
        ASSERT_FALSE(grid.ok()) << gone;
        EXPECT_EQ(grid.error().code, WorkbookErrorNotWorkbook) << gone;
    }
}

TEST(WorkbookBadInput, EntityExpansionIsRefused)
{
    QByteArray bomb = R"(<?xml version="1.0"?><!DOCTYPE sst [<!ENTITY a "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa">)";
    const char *prev = "a";
    static const char *names[] = { "b", "c", "d", "e", "f", "g", "h", "i" };
    for (const char *n : names) {
        bomb += QByteArray("<!ENTITY ") + n + " \"";
        for (int i = 0; i < 10; ++i)
            bomb += QByteArray("&") + prev + ";";
        bomb += "\">";
        prev = n;
    }
    bomb
        += R"(]><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><si><t>&i;</t></si></sst>)";
    const QByteArray sheet = sheetOf(R"(<row r="1"><c r="A1" t="s"><v>0</v></c></row>)");
    auto grid = ReadWorkbookGrid(zipOf(bookWith(sheet, bomb)), u"b.xlsx"_s);
    ASSERT_FALSE(grid.ok());
    EXPECT_EQ(grid.error().code, WorkbookErrorDamaged);
    EXPECT_TRUE(grid.error().message.contains(u"document type"_s)) << grid.error().message.toStdString();
}

TEST(WorkbookBadInput, HugeTextsAreCapped)
{
    WorkbookLimits limits;
    limits.maxTextUnits = 1000;
    const QByteArray shared = sharedOf("<si><t>" + QByteArray(5000, 'x') + "</t></si>");
    const QByteArray sheet = sheetOf(R"(<row r="1"><c r="A1" t="s"><v>0</v></c></row>)");
    auto grid = ReadWorkbookGrid(zipOf(bookWith(sheet, shared)), u"b.xlsx"_s, limits);
    ASSERT_FALSE(grid.ok());
    EXPECT_EQ(grid.error().code, WorkbookErrorTooLarge);

    const QByteArray inlineSheet = sheetOf(
        R"(<row r="1"><c r="A1" t="inlineStr"><is><t>)" + QByteArray(5000, 'y') + "</t></is></c></row>");
    auto inlined = ReadWorkbookGrid(zipOf(bookWith(inlineSheet)), u"b.xlsx"_s, limits);
    ASSERT_FALSE(inlined.ok());
    EXPECT_EQ(inlined.error().code, WorkbookErrorTooLarge);
}

// One text (or tag) as long as a whole part would be gathered into a single token before
// any count could refuse it: a stretch of more than 1 MiB without markup is refused as it is
// unpacked, in the shared strings, in a sheet read whole and in an attribute alike, while
// the longest text a cell holds, written as character references, still reads.
TEST(WorkbookBadInput, ATextOrTagWithoutEndIsRefusedWhileUnpacking)
{
    const QByteArray endless(2 << 20, 'x');
    const QByteArray sharedRow = R"(<row r="1"><c r="A1" t="s"><v>0</v></c></row>)";
    const QByteArray inlineRow
        = R"(<row r="1"><c r="A1" t="inlineStr"><is><t>)" + endless + "</t></is></c></row>";
    const QByteArray attributeRow = R"(<row r="1" spans=")" + endless + R"("><c r="A1"><v>1</v></c></row>)";
    const std::vector<std::pair<const char *, Parts>> books {
        { "shared", bookWith(sheetOf(sharedRow), sharedOf("<si><t>" + endless + "</t></si>")) },
        { "inline", bookWith(sheetOf(inlineRow)) },
        { "attribute", bookWith(sheetOf(attributeRow)) },
    };
    for (const auto &[what, parts] : books) {
        auto grid = ReadWorkbookGrid(zipOf(parts), u"b.xlsx"_s);
        ASSERT_FALSE(grid.ok()) << what;
        EXPECT_EQ(grid.error().code, WorkbookErrorTooLarge) << what;
        EXPECT_TRUE(grid.error().message.contains(u"text or tag longer than"_s))
            << what << ": " << grid.error().message.toStdString();
    }

    QByteArray references;
    for (int i = 0; i < 32767; ++i)
        references += "&#12354;";
    const QByteArray fullCell = R"(<row r="1"><c r="A1" t="inlineStr"><is><t>)" + references
        + R"(</t></is></c><c r="B1"><v>2</v></c></row>)";
    auto full = ReadWorkbookGrid(zipOf(bookWith(sheetOf(fullCell))), u"b.xlsx"_s);
    ASSERT_TRUE(full.ok()) << full.error().message.toStdString();
    EXPECT_EQ(full->at(0, 0).text, QString(32767, QChar(0x3042)));
}

TEST(WorkbookBadInput, ManySharedStringsAreCapped)
{
    WorkbookLimits limits;
    limits.maxSharedStrings = 100;
    QByteArray items;
    for (int i = 0; i < 101; ++i)
        items += "<si><t>s</t></si>";
    auto grid = ReadWorkbookGrid(zipOf(bookWith(kSmallSheet, sharedOf(items))), u"b.xlsx"_s, limits);
    ASSERT_FALSE(grid.ok());
    EXPECT_EQ(grid.error().code, WorkbookErrorTooLarge);
}

TEST(WorkbookBadInput, AClaimedDimensionOfTheWholeGridCostsNothing)
{
    const QByteArray sheet
        = sheetOf(R"(<row r="1"><c r="A1" t="inlineStr"><is><t>a</t></is></c><c r="B1"><v>2</v></c></row>)",
            "A1:XFD1048576");
    auto grid = ReadWorkbookGrid(zipOf(bookWith(sheet)), u"b.xlsx"_s);
    ASSERT_TRUE(grid.ok()) << grid.error().message.toStdString();
    EXPECT_EQ(grid->rows, 1);
    EXPECT_EQ(grid->columns, 2);
}

TEST(WorkbookBadInput, CellsFarApartAreAWideRangeNotAnAllocation)
{
    // Two cells at opposite corners of the grid: the box around them is refused before any
    // grid is allocated.
    const QByteArray sheet = sheetOf(
        R"(<row r="1"><c r="A1"><v>1</v></c></row><row r="1048576"><c r="XFD1048576"><v>2</v></c></row>)");
    auto grid = ReadWorkbookGrid(zipOf(bookWith(sheet)), u"b.xlsx"_s);
    ASSERT_FALSE(grid.ok());
    EXPECT_EQ(grid.error().code, WorkbookErrorNoValues);

    const QByteArray tall = sheetOf(
        R"(<row r="1"><c r="A1"><v>1</v></c></row><row r="1048576"><c r="A1048576"><v>2</v></c></row>)");
    WorkbookLimits limits;
    limits.maxCells = 1000;
    auto rows = ReadWorkbookGrid(zipOf(bookWith(tall)), u"b.xlsx"_s, limits);
    ASSERT_FALSE(rows.ok());
    EXPECT_EQ(rows.error().code, WorkbookErrorTooLarge);
}

TEST(WorkbookBadInput, TenThousandColumnsAreRefused)
{
    QByteArray cells;
    for (int c = 0; c < 10000; ++c)
        cells += "<c><v>" + QByteArray::number(c) + "</v></c>";
    auto grid = ReadWorkbookGrid(zipOf(bookWith(sheetOf("<row>" + cells + "</row>"))), u"b.xlsx"_s);
    ASSERT_FALSE(grid.ok());
    EXPECT_EQ(grid.error().code, WorkbookErrorNoValues);
    EXPECT_TRUE(grid.error().message.contains(u"10000"_s)) << grid.error().message.toStdString();
}

TEST(WorkbookBadInput, ReferencesOutsideTheGridFail)
{
    for (const char *ref : { "XFE1", "A1048577", "A0", "1A", "a1" }) {
        const QByteArray sheet
            = sheetOf(QByteArray(R"(<row r="1"><c r=")") + ref + R"("><v>1</v></c></row>)");
        auto grid = ReadWorkbookGrid(zipOf(bookWith(sheet)), u"b.xlsx"_s);
        ASSERT_FALSE(grid.ok()) << ref;
        EXPECT_EQ(grid.error().code, WorkbookErrorDamaged) << ref;
    }
}

TEST(WorkbookBadInput, CellsOfEveryType)
{
    const QByteArray sheet
        = sheetOf(R"(<row r="1">)"
                  R"(<c r="A1" t="n"><v>1.5</v></c><c r="B1" t="b"><v>1</v></c>)"
                  R"(<c r="C1" t="e"><v>#N/A</v></c><c r="D1" t="str"><v>f</v></c>)"
                  R"(<c r="E1" t="d"><v>2026-07-16</v></c><c r="F1" t="s"><v>-1</v></c>)"
                  R"(<c r="G1" t="zz"><v>1</v></c><c r="H1" t="inlineStr"><is><t>i</t></is></c>)"
                  R"(<c r="I1"><v>1e400</v></c><c r="J1"><v>nan</v></c><c r="K1"/></row>)");
    auto grid = ReadWorkbookGrid(zipOf(bookWith(sheet)), u"b.xlsx"_s);
    ASSERT_TRUE(grid.ok()) << grid.error().message.toStdString();
    EXPECT_EQ(grid->columns, 8); // A..H; I, J and K hold nothing usable
    EXPECT_EQ(grid->at(0, 0).number, 1.5);
    EXPECT_EQ(grid->at(0, 1).kind, WorkbookValue::Empty);
    EXPECT_EQ(grid->at(0, 2).kind, WorkbookValue::Empty);
    EXPECT_EQ(grid->at(0, 3).text, u"f"_s);
    EXPECT_EQ(grid->at(0, 4).number, 46219);
    EXPECT_EQ(grid->at(0, 5).kind, WorkbookValue::Empty);
    EXPECT_EQ(grid->at(0, 6).kind, WorkbookValue::Empty);
    EXPECT_EQ(grid->at(0, 7).text, u"i"_s);
}

TEST(WorkbookBadInput, DeeplyNestedXmlFailsOrReads)
{
    QByteArray deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<x>";
    const QByteArray sheet = sheetOf(R"(<row r="1"><c r="A1"><v>1</v></c></row>)" + deep);
    auto grid = ReadWorkbookGrid(zipOf(bookWith(sheet)), u"b.xlsx"_s);
    // Unclosed elements: not well-formed.
    ASSERT_FALSE(grid.ok());
    EXPECT_EQ(grid.error().code, WorkbookErrorDamaged);

    QByteArray inCell = R"(<row r="1"><c r="A1">)";
    for (int i = 0; i < 50000; ++i)
        inCell += "<is>";
    for (int i = 0; i < 50000; ++i)
        inCell += "</is>";
    inCell += R"(</c><c r="B1"><v>3</v></c></row>)";
    auto nested = ReadWorkbookGrid(zipOf(bookWith(sheetOf(inCell))), u"b.xlsx"_s);
    ASSERT_TRUE(nested.ok()) << nested.error().message.toStdString();
    EXPECT_EQ(nested->at(0, nested->columns - 1).number, 3);
}

TEST(WorkbookBadInput, ABigPartIsCappedWhileUnpacking)
{
    // A deflated part of 20 MB of blanks: the part cap stops reading at its limit (the
    // packing ratio allowed whatever it is).
    WorkbookLimits limits;
    limits.maxPartBytes = 1 << 20;
    limits.maxPackingRatio = qint64(1) << 30;
    const QByteArray sheet = sheetOf(QByteArray(20 << 20, ' '));
    auto grid = ReadWorkbookGrid(zipOf(bookWith(sheet)), u"b.xlsx"_s, limits);
    ASSERT_FALSE(grid.ok());
    EXPECT_EQ(grid.error().code, WorkbookErrorTooLarge) << grid.error().message.toStdString();
}

// A small ZIP bomb: 24 MB of empty elements pack to some tens of kilobytes. It is refused by
// its ratio, long before the part limit; the same ratio below the size that is unpacked
// freely reads.
TEST(WorkbookBadInput, APartThatUnpacksFarBeyondItsPackedSizeIsRefused)
{
    QByteArray filler;
    filler.reserve(24 << 20);
    while (filler.size() < (24 << 20))
        filler += "<x/>";
    const QByteArray cell = R"(<row r="1"><c r="A1"><v>1</v></c></row>)";
    const QByteArray bomb = zipOf(bookWith(sheetOf(cell + filler)));
    ASSERT_FALSE(bomb.isEmpty());
    ASSERT_LT(bomb.size(), (24 << 20) / 200);
    auto grid = ReadWorkbookGrid(bomb, u"b.xlsx"_s);
    ASSERT_FALSE(grid.ok());
    EXPECT_EQ(grid.error().code, WorkbookErrorTooLarge);
    EXPECT_TRUE(grid.error().message.contains(u"200 times its packed size"_s))
        << grid.error().message.toStdString();

    filler.truncate(2 << 20);
    auto small = ReadWorkbookGrid(zipOf(bookWith(sheetOf(cell + filler))), u"b.xlsx"_s);
    ASSERT_TRUE(small.ok()) << small.error().message.toStdString();
    EXPECT_EQ(small->at(0, 0).number, 1);
}

// The format's escapes of characters XML cannot carry, in shared and inline strings, read by
// the quick scan and (the sheet with a comment) by the full reader.
TEST(WorkbookBadInput, EscapedCharactersAreDecoded)
{
    const QByteArray shared = sharedOf("<si><t>NISA口座_x000D_\n2行目</t></si><si><t>_x005F_x0041_</t></si>"
                                       "<si><r><t>a_x0009_</t></r><r><t>b_x00e9_</t></r></si>");
    const QByteArray rows
        = R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c>)"
          R"(<c r="C1" t="s"><v>2</v></c><c r="D1" t="inlineStr"><is><t>x_x000D__x000A_y</t></is></c>)"
          R"(<c r="E1" t="inlineStr"><is><t>_x004_ _xZZZZ_ _x0041</t></is></c></row>)";
    for (const QByteArray &sheet : { sheetOf(rows), sheetOf("<!-- full reader -->" + rows) }) {
        auto grid = ReadWorkbookGrid(zipOf(bookWith(sheet, shared)), u"b.xlsx"_s);
        ASSERT_TRUE(grid.ok()) << grid.error().message.toStdString();
        ASSERT_EQ(grid->columns, 5);
        EXPECT_EQ(grid->at(0, 0).text, u"NISA口座\r\n2行目"_s);
        EXPECT_EQ(grid->at(0, 1).text, u"_x0041_"_s);
        EXPECT_EQ(grid->at(0, 2).text, u"a\tb\u00e9"_s);
        EXPECT_EQ(grid->at(0, 3).text, u"x\r\ny"_s);
        EXPECT_EQ(grid->at(0, 4).text, u"_x004_ _xZZZZ_ _x0041"_s);
    }
}

TEST(WorkbookBadInput, NotAWorkbookAtAll)
{
    auto grid = ReadWorkbookGrid(QByteArrayView("hello"), u"b.xlsx"_s);
    ASSERT_FALSE(grid.ok());
    EXPECT_EQ(grid.error().code, WorkbookErrorNotWorkbook);
    auto ole = ReadWorkbookGrid(QByteArrayView("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1garbage", 15), u"b.xls"_s);
    ASSERT_FALSE(ole.ok());
    EXPECT_FALSE(ole.error().message.isEmpty());
}

} // namespace
