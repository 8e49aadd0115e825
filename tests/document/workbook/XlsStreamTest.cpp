// The stream the .xls reader program writes: what it writes reads back as the same grid, and
// every stream it could not have written (cut short, another version, lengths past the end or
// the limits, bytes after the end) is refused as a damaged workbook before anything is sized.
#include "document/workbook/XlsStream.h"
#include "document/ErrorCodes.h"
#include "document/workbook/WorkbookGrid.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

WorkbookGrid sampleGrid()
{
    WorkbookGrid g;
    g.rows = 2;
    g.columns = 3;
    g.date1904 = true;
    g.cells.resize(6);
    g.cells[0] = { WorkbookValue::Text, 0, 0, u"コード"_s };
    g.cells[1] = { WorkbookValue::Number, 0, 7203, {} };
    g.cells[2] = { WorkbookValue::Empty, 0, 0, {} };
    g.cells[3] = { WorkbookValue::Number, 0, -0.5e-300, {} };
    g.cells[4] = { WorkbookValue::Text, 0, 0, u"a😀b"_s };
    g.cells[5] = { WorkbookValue::Number, 0, 46219.375, {} };
    return g;
}

QByteArray u32(quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    return QByteArray(b, 4);
}

QByteArray f64(double v)
{
    quint64 bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    char b[8];
    qToLittleEndian(bits, b);
    return QByteArray(b, 8);
}

QByteArray header(quint32 version = kXlsStreamVersion)
{
    return QByteArray("QXLS") + u32(version);
}

// A grid stream with the given head (rows, columns) and cell bytes.
QByteArray gridStream(quint32 rows, quint32 columns, const QByteArray &cells)
{
    return header() + QByteArray(1, '\0') + QByteArray(1, '\0') + u32(rows) + u32(columns) + cells;
}

void expectDamaged(const QByteArray &stream, const WorkbookLimits &limits = {})
{
    const auto grid = ReadXlsStream(stream, limits);
    ASSERT_FALSE(grid.ok()) << stream.toHex().toStdString();
    EXPECT_EQ(grid.error().code, WorkbookErrorDamaged) << stream.toHex().toStdString();
    EXPECT_TRUE(grid.error().message.startsWith(u"the .xls workbook is damaged and cannot be read"_s))
        << grid.error().message.toStdString();
}

TEST(XlsStream, GridReadsBackCellForCell)
{
    const WorkbookGrid in = sampleGrid();
    const auto out = ReadXlsStream(WriteXlsStream(in), {});
    ASSERT_TRUE(out.ok()) << out.error().message.toStdString();
    EXPECT_EQ(out->rows, in.rows);
    EXPECT_EQ(out->columns, in.columns);
    EXPECT_TRUE(out->date1904);
    ASSERT_EQ(out->cells.size(), in.cells.size());
    for (size_t i = 0; i < in.cells.size(); ++i) {
        EXPECT_EQ(out->cells[i].kind, in.cells[i].kind) << i;
        EXPECT_EQ(out->cells[i].number, in.cells[i].number) << i; // bit for bit, no rounding
        EXPECT_EQ(out->cells[i].text, in.cells[i].text) << i;
    }
}

TEST(XlsStream, EmptyGridReadsBackEmpty)
{
    const auto out = ReadXlsStream(WriteXlsStream(WorkbookGrid {}), {});
    ASSERT_TRUE(out.ok()) << out.error().message.toStdString();
    EXPECT_EQ(out->rows, 0);
    EXPECT_EQ(out->columns, 0);
    EXPECT_TRUE(out->cells.empty());
    EXPECT_FALSE(out->date1904);
}

TEST(XlsStream, FailureTravelsWithItsCodeAndMessage)
{
    const tessera::Error sent { WorkbookErrorTooLarge, u"the sheet has more than 5 cells"_s };
    const auto out = ReadXlsStream(WriteXlsStream(sent), {});
    ASSERT_FALSE(out.ok());
    EXPECT_EQ(out.error().code, WorkbookErrorTooLarge);
    EXPECT_EQ(out.error().message, sent.message);
}

TEST(XlsStream, LongFailureMessageIsCutToWhatTheReaderAccepts)
{
    const tessera::Error sent { WorkbookErrorDamaged, QString(20000, u'あ') };
    const auto out = ReadXlsStream(WriteXlsStream(sent), {});
    ASSERT_FALSE(out.ok());
    EXPECT_EQ(out.error().code, WorkbookErrorDamaged);
    EXPECT_FALSE(out.error().message.isEmpty());
    EXPECT_LT(out.error().message.size(), 20000);
}

TEST(XlsStreamMalformed, EveryTruncationIsRefused)
{
    for (const QByteArray &whole : { WriteXlsStream(sampleGrid()),
             WriteXlsStream(tessera::Error { WorkbookErrorNoValues, u"no rows"_s }) }) {
        for (qsizetype n = 0; n < whole.size(); ++n)
            expectDamaged(whole.left(n));
    }
}

TEST(XlsStreamMalformed, ExtraBytesAfterTheResultAreRefused)
{
    expectDamaged(WriteXlsStream(sampleGrid()) + '\0');
    expectDamaged(WriteXlsStream(WorkbookGrid {}) + "x");
    expectDamaged(WriteXlsStream(tessera::Error { WorkbookErrorNoValues, u"no rows"_s }) + "tail");
}

TEST(XlsStreamMalformed, WrongMagicOrVersionIsRefused)
{
    QByteArray stream = WriteXlsStream(sampleGrid());
    stream[0] = 'X';
    expectDamaged(stream);
    for (quint32 version : { 0u, 2u, 0x01000000u, 0xFFFFFFFFu }) {
        QByteArray other = WriteXlsStream(sampleGrid());
        other.replace(4, 4, u32(version));
        expectDamaged(other);
    }
    expectDamaged(QByteArray("garbage that is no stream at all"));
}

TEST(XlsStreamMalformed, UnknownResultOrCellKindIsRefused)
{
    expectDamaged(header() + QByteArray(1, '\x02'));
    expectDamaged(gridStream(1, 1, QByteArray(1, '\x03')));
    // date1904 is a flag, not a number
    expectDamaged(header() + QByteArray(1, '\0') + QByteArray(1, '\x02') + u32(0) + u32(0));
}

TEST(XlsStreamMalformed, SizesBeyondTheLimitsAreRefusedBeforeAllocating)
{
    WorkbookLimits limits;
    limits.maxCells = 100;
    limits.maxColumns = 40;
    // A claim of four thousand million cells with nothing behind it.
    expectDamaged(gridStream(0xFFFFFFFFu, 40, {}), limits);
    expectDamaged(gridStream(0xFFFFFFFFu, 0xFFFFFFFFu, {}));
    // More columns than allowed, and more cells than allowed, each with the bytes present.
    expectDamaged(gridStream(1, 41, QByteArray(41, '\0')), limits);
    expectDamaged(gridStream(11, 10, QByteArray(110, '\0')), limits);
    // Within the limits but more cells than bytes left.
    expectDamaged(gridStream(10, 10, QByteArray(99, '\0')), limits);
    // One side empty, the other not.
    expectDamaged(gridStream(0, 5, {}));
    expectDamaged(gridStream(5, 0, {}));
    // Within the limits it reads.
    EXPECT_TRUE(ReadXlsStream(gridStream(10, 10, QByteArray(100, '\0')), limits).ok());
}

TEST(XlsStreamMalformed, TextLengthsPastTheEndOrTheLimitAreRefused)
{
    expectDamaged(gridStream(1, 1, QByteArray(1, '\x02') + u32(0xFFFFFFFFu) + "abc"));
    expectDamaged(gridStream(1, 1, QByteArray(1, '\x02') + u32(4) + "abc"));
    expectDamaged(gridStream(1, 1, QByteArray(1, '\x02') + u32(0))); // an empty text is no text cell
    expectDamaged(gridStream(1, 1, QByteArray(1, '\x02') + u32(2) + "\xC3\x28")); // not UTF-8
    WorkbookLimits limits;
    limits.maxTextUnits = 5;
    const QByteArray two = QByteArray(1, '\x02') + u32(3) + "abc";
    expectDamaged(gridStream(1, 2, two + two), limits);
    EXPECT_TRUE(ReadXlsStream(gridStream(1, 2, two + QByteArray(1, '\0')), limits).ok());
}

TEST(XlsStreamMalformed, NumbersThatAreNoneAreRefused)
{
    for (double v : { std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
             -std::numeric_limits<double>::infinity() })
        expectDamaged(gridStream(1, 1, QByteArray(1, '\x01') + f64(v)));
    const auto ok = ReadXlsStream(gridStream(1, 1, QByteArray(1, '\x01') + f64(1.5)), {});
    ASSERT_TRUE(ok.ok());
    EXPECT_EQ(ok->at(0, 0).number, 1.5);
}

TEST(XlsStreamMalformed, FailuresWithForeignCodesOrNoMessageAreRefused)
{
    const QByteArray failure = header() + QByteArray(1, '\x01');
    expectDamaged(failure + u32(0) + u32(3) + "abc");
    expectDamaged(failure + u32(101) + u32(3) + "abc");
    expectDamaged(failure + u32(700) + u32(3) + "abc");
    expectDamaged(failure + u32(0xFFFFFFFFu) + u32(3) + "abc");
    expectDamaged(failure + u32(WorkbookErrorTooLarge) + u32(0));
    expectDamaged(failure + u32(WorkbookErrorTooLarge) + u32(5000) + QByteArray(5000, 'a'));
    const auto ok = ReadXlsStream(QByteArray(failure + u32(WorkbookErrorTooLarge) + u32(3) + "big"), {});
    ASSERT_FALSE(ok.ok());
    EXPECT_EQ(ok.error().code, WorkbookErrorTooLarge);
    EXPECT_EQ(ok.error().message, u"big"_s);
}

TEST(XlsStreamBound, CoversTheLargestStreamWithinTheLimits)
{
    WorkbookLimits limits;
    limits.maxCells = 4;
    limits.maxColumns = 4;
    limits.maxTextUnits = 8;
    WorkbookGrid g;
    g.rows = 1;
    g.columns = 4;
    g.cells = { { WorkbookValue::Number, 0, 1, {} }, { WorkbookValue::Number, 0, 2, {} },
        { WorkbookValue::Text, 0, 0, u"ああああ"_s }, { WorkbookValue::Text, 0, 0, u"ああああ"_s } };
    const QByteArray stream = WriteXlsStream(g);
    ASSERT_TRUE(ReadXlsStream(stream, limits).ok());
    EXPECT_LE(stream.size(), XlsStreamBound(limits));
    // Limits so large that the sum would overflow saturate instead of wrapping round.
    limits.maxCells = std::numeric_limits<qint64>::max();
    limits.maxTextUnits = std::numeric_limits<qint64>::max();
    EXPECT_EQ(XlsStreamBound(limits), std::numeric_limits<qint64>::max());
}

TEST(XlsReaderArguments, LimitsAndPathTravelUnchanged)
{
    WorkbookLimits limits;
    limits.maxPartBytes = 11;
    limits.maxCells = 22;
    limits.maxSharedStrings = 33;
    limits.maxTextUnits = 44;
    limits.maxColumns = 5;
    for (const QString &path : { u"/tmp/a b.xls"_s, u"--max-cells"_s, u"-"_s, u"/tmp/日本.xls"_s }) {
        const auto request = ParseXlsReaderArguments(XlsReaderArguments(path, limits));
        ASSERT_TRUE(request.ok()) << request.error().message.toStdString();
        EXPECT_EQ(request->path, path);
        EXPECT_EQ(request->limits.maxPartBytes, 11);
        EXPECT_EQ(request->limits.maxCells, 22);
        EXPECT_EQ(request->limits.maxSharedStrings, 33);
        EXPECT_EQ(request->limits.maxTextUnits, 44);
        EXPECT_EQ(request->limits.maxColumns, 5);
    }
}

TEST(XlsReaderArguments, WrongCommandLinesAreRefused)
{
    const QStringList wrong[] = {
        {},
        { u"/tmp/a.xls"_s },
        { u"--"_s },
        { u"--"_s, u""_s },
        { u"--"_s, u"a.xls"_s, u"b.xls"_s },
        { u"--max-cells"_s },
        { u"--max-cells"_s, u"-1"_s, u"--"_s, u"a.xls"_s },
        { u"--max-cells"_s, u"many"_s, u"--"_s, u"a.xls"_s },
        { u"--max-columns"_s, u"99999999999"_s, u"--"_s, u"a.xls"_s },
        { u"--colour"_s, u"1"_s, u"--"_s, u"a.xls"_s },
    };
    for (const QStringList &args : wrong) {
        const auto request = ParseXlsReaderArguments(args);
        EXPECT_FALSE(request.ok()) << args.join(u' ').toStdString();
    }
}

} // namespace
