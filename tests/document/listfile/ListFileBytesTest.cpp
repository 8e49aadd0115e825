// Byte layout of the list file: exact stores, every length-prefix form, hostile lengths.
#include "document/BinaryArchive.h"
#include "document/ListFile.h"

#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <ostream>

#include <QBuffer>
#include <QRandomGenerator>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

ColumnLayout smallLayout()
{
    ColumnLayout layout;
    layout.orderList = QStringLiteral("0,1,");
    layout.alignList = QStringLiteral("0,1,");
    layout.widthList = QStringLiteral("20,");
    layout.indexList = QStringLiteral("0,1,");
    layout.packedSort = PackSort(1, false);
    return layout;
}

// ff fe ff + length + UTF-16LE of an ASCII text.
QByteArray u16String(const char *ascii)
{
    QByteArray out = hex("fffeff");
    out.append(static_cast<char>(qstrlen(ascii)));
    for (const char *p = ascii; *p; ++p) {
        out.append(*p);
        out.append('\0');
    }
    return out;
}

TEST(ListFileStore, EmptyList)
{
    const QByteArray expected = hex("6c273501") + hex("00000000") + u16String("0,1,") + u16String("0,1,")
        + u16String("20,") + u16String("0,1,") + hex("00000100");
    EXPECT_EQ(WriteListFile(RecordMap {}, smallLayout()), expected);
}

TEST(ListFileStore, EmptyLayoutListsAreSingleLengthBytes)
{
    ColumnLayout empty;
    empty.packedSort = 0;
    EXPECT_EQ(WriteListFile(RecordMap {}, empty),
        hex("6c273501 00000000 fffeff00 fffeff00 fffeff00 fffeff00 00000000"));
}

QByteArray rowBytes(const QuoteRecord &r)
{
    RecordMap rows;
    rows.emplace(r.code, std::make_unique<QuoteRecord>(r));
    ColumnLayout empty;
    const QByteArray file = WriteListFile(rows, empty);
    // Strip version, count and the five layout fields (4 x 4 bytes + u32).
    return file.mid(8, file.size() - 8 - 20);
}

TEST(ListFileStore, RowWithoutHoldingsEndsAfterTheLastSlot)
{
    QuoteRecord r(QStringLiteral("AB"));
    r.datetime = 0x0102030405060708;
    r.values.set(SlotName, QStringLiteral("AB"));
    QByteArray expected = hex("fffeff02 41004200") + hex("0807060504030201") + hex("ffffffff ffffffff")
        + hex("fffeff02 41004200");
    for (int slot = 1; slot < kSlotCount; ++slot)
        expected += hex("fffeff00");
    expected += hex("00");
    EXPECT_EQ(rowBytes(r), expected);
}

TEST(ListFileStore, RowWithHoldingsAddsFourNumbersAndTheMemo)
{
    QuoteRecord r(QStringLiteral("AB"));
    r.datetime = 0;
    r.text_color = 0x000000FF;
    r.back_color = 0x00FFFFFF;
    r.has_holdings = true;
    r.buyday = 1;
    r.amount = 1.0;
    r.shares = 2.0;
    r.loss = -0.5;
    r.memo = QStringLiteral("AB");
    QByteArray expected = hex("fffeff02 41004200") + hex("0000000000000000") + hex("ff000000 ffffff00");
    for (int slot = 0; slot < kSlotCount; ++slot)
        expected += hex("fffeff00");
    expected += hex("01") + hex("0100000000000000") + hex("000000000000f03f") + hex("0000000000000040")
        + hex("000000000000e0bf") + hex("fffeff02 41004200");
    EXPECT_EQ(rowBytes(r), expected);
}

struct LengthCase {
    qsizetype characters;
    const char *prefix; // the length bytes after the marker
};

void PrintTo(const LengthCase &c, std::ostream *os)
{
    *os << c.characters << " characters";
}

class StringLengthForm : public ::testing::TestWithParam<LengthCase> { };

TEST_P(StringLengthForm, WrittenInTheShortestFormAndReadBack)
{
    const LengthCase &c = GetParam();
    const QString text(c.characters, QChar(u'字'));
    BinaryWriter out;
    out.writeString(text);
    const QByteArray prefix = hex("fffeff") + hex(c.prefix);
    const QByteArray bytes = out.takeBuffer();
    ASSERT_EQ(bytes.size(), prefix.size() + 2 * c.characters);
    EXPECT_EQ(bytes.first(prefix.size()), prefix);

    BinaryReader in(bytes);
    EXPECT_EQ(in.readString(), text);
    EXPECT_TRUE(in.ok());
    EXPECT_TRUE(in.atEnd());
}

INSTANTIATE_TEST_SUITE_P(Forms, StringLengthForm,
    ::testing::Values(LengthCase { 0, "00" }, LengthCase { 254, "fe" }, LengthCase { 255, "ffff00" },
        LengthCase { 0xfffd, "fffdff" }, LengthCase { 0xfffe, "ffffff feff0000" },
        LengthCase { 70000, "ffffff 70110100" }));

struct ReadCase {
    const char *name;
    const char *bytes;
    const char16_t *text;
};

void PrintTo(const ReadCase &c, std::ostream *os)
{
    *os << c.name;
}

class StringReadForm : public ::testing::TestWithParam<ReadCase> { };

TEST_P(StringReadForm, Decodes)
{
    const QByteArray data = hex(GetParam().bytes);
    BinaryReader in(data);
    EXPECT_EQ(in.readString(), QString::fromUtf16(GetParam().text));
    EXPECT_TRUE(in.ok()) << in.error().message.toStdString();
    EXPECT_TRUE(in.atEnd());
}

INSTANTIATE_TEST_SUITE_P(Forms, StringReadForm,
    ::testing::Values(ReadCase { "Utf16Byte", "fffeff02 41004200", u"AB" },
        ReadCase { "Utf16Word", "fffeff ff0200 41004200", u"AB" },
        ReadCase { "Utf16Dword", "fffeff ffffff 02000000 41004200", u"AB" },
        ReadCase { "Utf16Qword", "fffeff ffffff ffffffff 0200000000000000 41004200", u"AB" },
        ReadCase { "AnsiByte", "02 4142", u"AB" }, ReadCase { "AnsiWord", "ff 0200 4142", u"AB" },
        ReadCase { "AnsiDword", "ff ffff 02000000 4142", u"AB" },
        ReadCase { "AnsiQword", "ff ffff ffffffff 0200000000000000 4142", u"AB" },
        ReadCase { "AnsiCp932", "04 8367 8388", u"トヨ" }, ReadCase { "AnsiHalfWidthKana", "02 b1b2", u"ｱｲ" },
        ReadCase { "Empty", "00", u"" }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ListFileRead, LengthBeyondTheDataIsAnErrorNotAnAllocation)
{
    // A 64-bit length of 2^62 characters with two bytes behind it.
    const QByteArray data
        = hex("fffeff ffffff ffffffff 0000000000000040 4100"); // the reader only views its bytes
    BinaryReader in(data);
    EXPECT_TRUE(in.readString().isEmpty());
    ASSERT_FALSE(in.ok());
    EXPECT_EQ(in.error().code, ListErrorTruncated);
    EXPECT_EQ(in.error().message,
        QStringLiteral("offset 0: string length 4611686018427387904 characters exceeds the 2 bytes left"));
}

TEST(ListFileRead, ErrorIsStickyAndNamesTheOffset)
{
    const QByteArray data = hex("0100000002"); // the reader only views its bytes
    BinaryReader in(data);
    EXPECT_EQ(in.readU32(), 1u);
    EXPECT_EQ(in.readU32(), 0u);
    EXPECT_EQ(in.readU8(), 0u); // would succeed without the earlier failure
    EXPECT_EQ(in.offset(), 4);
    EXPECT_EQ(in.error().message,
        QStringLiteral("offset 4: unexpected end of data reading a u32 (4 bytes needed, 1 left)"));
}

TEST(ListFileRead, UnknownVersionIsNotAListFile)
{
    auto list = ReadListFile(hex("b5293501 00000000")); // 20261301: no month 13
    ASSERT_FALSE(list.ok());
    EXPECT_EQ(list.error().code, ListErrorBadVersion);
    EXPECT_EQ(list.error().message, QStringLiteral("offset 0: unknown list-file version 20261301"));
}

// A later Quotra writes a later date: that is a list this one cannot read, not a bad file.
TEST(ListFileRead, ALaterDateIsANewerVersion)
{
    for (const char *bytes : { "6d273501 00000000", "ff4c4001" }) {
        auto list = ReadListFile(hex(bytes));
        ASSERT_FALSE(list.ok()) << bytes;
        EXPECT_EQ(list.error().code, ListErrorNewerVersion) << bytes;
    }
    EXPECT_EQ(ReadListFile(hex("6d273501")).error().message.toStdString(),
        "written by a newer version of Quotra (list-file version 20260717)");
    EXPECT_FALSE(IsNewerListVersion(kCurrentListVersion));
    EXPECT_FALSE(IsNewerListVersion(20240409));
    EXPECT_FALSE(IsNewerListVersion(20261301));
    EXPECT_FALSE(IsNewerListVersion(0x20202020)) << "four spaces of a text list";
}

TEST(ListFileRead, CodeStoredAsNumberReadsAsSignedDecimal)
{
    // Version 20211020 with one row whose code is 0xffffffff: "%d" gives -1.
    QByteArray data = hex("4c653401 01000000 ffffffff") + hex("0000000000000000 ffffffff ffffffff");
    for (int i = 0; i < 30; ++i)
        data += hex("00"); // 8-bit empty strings are accepted as well
    auto list = ReadListFile(data);
    ASSERT_TRUE(list.ok()) << list.error().message.toStdString();
    EXPECT_EQ(list->rows.begin()->first, QStringLiteral("-1"));
}

TEST(ListFileRead, LaterRowWithTheSameCodeReplacesTheEarlier)
{
    RecordMap rows;
    auto r = std::make_unique<QuoteRecord>(QStringLiteral("7203"));
    r->values.set(SlotName, QStringLiteral("first"));
    rows.emplace(r->code, std::move(r));
    QByteArray file = WriteListFile(rows, ColumnLayout {});
    // Duplicate the row: count 2, row bytes twice, second with another name.
    const qsizetype rowSize = file.size() - 8 - 20;
    QByteArray row = file.mid(8, rowSize);
    QByteArray second = row;
    second.replace(u16String("first").mid(4), QByteArray("s\0e\0c\0o\0n\0", 10));
    QByteArray data = file.first(4) + hex("02000000") + row + second + file.right(20);
    auto list = ReadListFile(data);
    ASSERT_TRUE(list.ok()) << list.error().message.toStdString();
    ASSERT_EQ(list->rows.size(), 1u);
    EXPECT_EQ(list->rows.begin()->second->values[SlotName], QStringLiteral("secon"));
}

TEST(ListFileRead, RandomBytesNeverCrash)
{
    QRandomGenerator gen(4711);
    for (int round = 0; round < 2000; ++round) {
        QByteArray data(static_cast<qsizetype>(gen.bounded(200)), Qt::Uninitialized);
        for (char &c : data)
            c = static_cast<char>(gen.bounded(256));
        // A known version in front makes the reader go past the header.
        if (round % 2 == 0 && data.size() >= 4)
            data.replace(0, 4, hex("6c273501"));
        auto list = ReadListFile(data);
        if (!list.ok()) {
            EXPECT_NE(list.error().code, ListErrorNone);
        }
    }
}

TEST(ListFileWrite, StreamedBytesEqualTheBuffer)
{
    RecordMap rows;
    for (int i = 0; i < 3000; ++i) { // large enough for several chunks
        auto r = std::make_unique<QuoteRecord>(QString::number(1000 + i));
        for (int slot = 0; slot < kSlotCount; ++slot)
            r->values.set(slot, QStringLiteral("1,234.5"));
        rows.emplace(r->code, std::move(r));
    }
    const QByteArray whole = WriteListFile(rows, smallLayout());
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(WriteListFile(buffer, rows, smallLayout()).ok());
    EXPECT_EQ(buffer.data(), whole);

    QBuffer readBack(&buffer.buffer());
    readBack.open(QIODevice::ReadOnly);
    auto list = ReadListFile(readBack);
    ASSERT_TRUE(list.ok());
    EXPECT_EQ(list->rows.size(), rows.size());
    EXPECT_EQ(*list->layout, smallLayout());
}

TEST(ListFileWrite, DeviceOpenForReadingIsRefused)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    auto stored = WriteListFile(buffer, RecordMap {}, ColumnLayout {});
    ASSERT_FALSE(stored.ok());
    EXPECT_EQ(stored.error().code, ListErrorIo);

    QBuffer writing;
    writing.open(QIODevice::WriteOnly);
    auto read = ReadListFile(writing);
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.error().code, ListErrorIo);
}

// A device that takes `room` bytes and then refuses every write, each time with a new reason.
class RefusingDevice : public QIODevice {
public:
    explicit RefusingDevice(qint64 room)
        : m_room(room)
    {
        open(QIODevice::WriteOnly);
    }
    int refusals = 0;
    qint64 taken = 0;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 len) override
    {
        const qint64 n = std::min(len, m_room - taken);
        if (n > 0) {
            taken += n;
            return n; // a short write, as a file-size limit gives
        }
        ++refusals;
        setErrorString(
            refusals == 1 ? QStringLiteral("No space left on device") : QStringLiteral("Later error"));
        return -1;
    }

private:
    qint64 m_room;
};

TEST(ListFileWrite, ErrorIsStickyAndKeepsTheFirstReason)
{
    RefusingDevice device(100);
    BinaryWriter out(&device);
    for (int i = 0; i < 60; ++i)
        out.writeU32(static_cast<quint32>(i));
    EXPECT_FALSE(out.flush()) << "240 bytes into a device with room for 100";
    EXPECT_EQ(device.taken, 100) << "the short write is followed up until the device refuses";
    EXPECT_FALSE(out.ok());
    for (int i = 0; i < 60; ++i)
        out.writeString(u"later");
    EXPECT_FALSE(out.flush());
    EXPECT_EQ(device.refusals, 1) << "nothing reaches the device after the first failure";
    EXPECT_EQ(out.error().code, ListErrorIo);
    EXPECT_EQ(out.error().message.toStdString(), "no space left on device");
}

TEST(ListFileWrite, AFailedDeviceNamesItsReason)
{
    RecordMap rows;
    for (int i = 0; i < 3000; ++i)
        rows.emplace(QString::number(100000 + i), std::make_unique<QuoteRecord>(QString::number(100000 + i)));
    RefusingDevice device(1000);
    const tessera::Status written = WriteListFile(device, rows, smallLayout());
    ASSERT_FALSE(written.ok());
    EXPECT_EQ(written.error().code, ListErrorIo);
    EXPECT_EQ(written.error().message.toStdString(), "no space left on device");
}

} // namespace
