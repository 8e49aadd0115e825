// Column layout files: the bytes written, both magics, malformed, truncated and huge files.
#include "document/ColumnLayoutFile.h"
#include "document/BinaryArchive.h"

#include <gtest/gtest.h>

#include "corelib/LanguageModule.h"

#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

class LanguageEnv : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(tessera::LanguageModule::instance().load()); }
};
const auto *const kEnv = ::testing::AddGlobalTestEnvironment(new LanguageEnv);

ColumnLayout sampleLayout()
{
    ColumnLayout l;
    l.orderList = QStringLiteral("0,2,1,3,");
    l.alignList = QStringLiteral("0,1,0,2,");
    l.widthList = QStringLiteral("0,50,210,80,");
    l.indexList = QStringLiteral("0,1,2,3,");
    l.packedSort = PackSort(2, false);
    return l;
}

QByteArray fileBytes(quint32 magic, const QStringList &lists, std::optional<quint32> sort)
{
    BinaryWriter out;
    out.writeU32(magic);
    for (const QString &s : lists)
        out.writeString(s);
    if (sort)
        out.writeU32(*sort);
    return out.takeBuffer();
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &data)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
    return path;
}

TEST(ColumnLayoutFile, WritesMagicThenFourArchiveStringsThenSort)
{
    ColumnLayout l;
    l.orderList = QStringLiteral("0,");
    l.alignList = QStringLiteral("0,");
    l.widthList = QStringLiteral("0,");
    l.indexList = QStringLiteral("0,");
    l.packedSort = 0x00030001;
    const QByteArray bytes = WriteColumnLayoutFile(l);
    // 20230615 = 0x0134B1D7; each string: ff fe ff, length 2, "0," in UTF-16LE.
    QByteArray expected = QByteArray::fromHex("d7b13401");
    for (int i = 0; i < 4; ++i)
        expected += QByteArray::fromHex("fffeff02") + QByteArray::fromHex("30002c00");
    expected += QByteArray::fromHex("01000300");
    EXPECT_EQ(bytes.toHex().toStdString(), expected.toHex().toStdString());
}

TEST(ColumnLayoutFile, RoundTripsThroughAFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.colm"));
    ASSERT_TRUE(SaveColumnLayoutFile(path, sampleLayout()).ok());
    const tessera::Result<ColumnLayout> back = LoadColumnLayoutFile(path);
    ASSERT_TRUE(back.ok()) << back.error().message.toStdString();
    EXPECT_EQ(*back, sampleLayout());
}

TEST(ColumnLayoutFile, OldMagicReadsWithoutSortValue)
{
    const QStringList lists
        = { QStringLiteral("0,1,"), QStringLiteral("0,1,"), QStringLiteral("0,60,"), QStringLiteral("0,4,") };
    const tessera::Result<ColumnLayout> l = ReadColumnLayoutFile(fileBytes(kOldColumnLayoutMagic, lists, {}));
    ASSERT_TRUE(l.ok()) << l.error().message.toStdString();
    EXPECT_EQ(l->packedSort, 0u);
    EXPECT_EQ(l->indexList, QStringLiteral("0,4,"));
    EXPECT_EQ(l->widthList, QStringLiteral("0,60,"));
}

TEST(ColumnLayoutFile, EightBitStringsOfOlderWritersAreRead)
{
    // A prefix without the UTF-16 marker announces 8-bit text.
    QByteArray data = QByteArray::fromHex("d7b13401");
    for (int i = 0; i < 4; ++i)
        data += QByteArray::fromHex("02") + QByteArray("0,");
    data += QByteArray::fromHex("01000000");
    const tessera::Result<ColumnLayout> l = ReadColumnLayoutFile(data);
    ASSERT_TRUE(l.ok()) << l.error().message.toStdString();
    EXPECT_EQ(l->orderList, QStringLiteral("0,"));
    EXPECT_EQ(l->packedSort, 1u);
}

TEST(ColumnLayoutFile, UnknownMagicIsNoLayoutFile)
{
    const QByteArray list = fileBytes(20260716, { QStringLiteral("0,") }, {});
    const tessera::Result<ColumnLayout> l = ReadColumnLayoutFile(list);
    ASSERT_FALSE(l.ok());
    EXPECT_EQ(l.error().code, ColumnLayoutErrorBadMagic);
}

TEST(ColumnLayoutFile, ListsOfUnequalLengthAreRefused)
{
    const QStringList lists = { QStringLiteral("0,1,2,"), QStringLiteral("0,1,"), QStringLiteral("0,60,70,"),
        QStringLiteral("0,4,5,") };
    const tessera::Result<ColumnLayout> l = ReadColumnLayoutFile(fileBytes(kColumnLayoutMagic, lists, 1));
    ASSERT_FALSE(l.ok());
    EXPECT_EQ(l.error().code, ColumnLayoutErrorUnequalLists);
}

TEST(ColumnLayoutFile, EveryTruncationFailsAsAReadError)
{
    const QByteArray whole = WriteColumnLayoutFile(sampleLayout());
    for (qsizetype n = 0; n < whole.size(); ++n) {
        const tessera::Result<ColumnLayout> l = ReadColumnLayoutFile(QByteArrayView(whole).first(n));
        ASSERT_FALSE(l.ok()) << "length " << n;
        EXPECT_EQ(l.error().code, ColumnLayoutErrorRead) << "length " << n;
    }
    EXPECT_TRUE(ReadColumnLayoutFile(whole).ok());
}

TEST(ColumnLayoutFile, AHugeStringLengthIsRefusedWithoutAllocating)
{
    // A 32-bit length of four billion characters in a file of a few bytes.
    const QByteArray data
        = QByteArray::fromHex("d7b13401") + QByteArray::fromHex("fffeffffffffffffff7f") + "0,";
    const tessera::Result<ColumnLayout> l = ReadColumnLayoutFile(data);
    ASSERT_FALSE(l.ok());
    EXPECT_EQ(l.error().code, ColumnLayoutErrorRead);
}

TEST(ColumnLayoutFile, AHugeFileIsRefusedBeforeReading)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("huge.colm"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(WriteColumnLayoutFile(sampleLayout()));
    // A sparse file of 8 GiB: reading it would take far more than the test's memory.
    ASSERT_TRUE(f.resize(qint64(8) << 30));
    f.close();
    const tessera::Result<ColumnLayout> l = LoadColumnLayoutFile(path);
    ASSERT_FALSE(l.ok());
    EXPECT_EQ(l.error().code, ColumnLayoutErrorRead);
    EXPECT_NE(l.error().message.indexOf(QStringLiteral("too large")), -1);
}

TEST(ColumnLayoutFile, AMissingFileIsAReadError)
{
    QTemporaryDir dir;
    const tessera::Result<ColumnLayout> l = LoadColumnLayoutFile(dir.filePath(QStringLiteral("none.colm")));
    ASSERT_FALSE(l.ok());
    EXPECT_EQ(l.error().code, ColumnLayoutErrorRead);
}

// A named pipe held the dialog for ever and a device was read up to the size cap; both are
// refused before they are opened, by name.
TEST(ColumnLayoutFile, OnlyARegularFileIsRead)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe.colm"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString &path : { QStringLiteral("/dev/zero"), fifo, dir.path() }) {
        SCOPED_TRACE(path.toStdString());
        const tessera::Result<ColumnLayout> l = LoadColumnLayoutFile(path);
        ASSERT_FALSE(l.ok());
        EXPECT_EQ(l.error().code, ColumnLayoutErrorNotRegularFile);
        EXPECT_TRUE(l.error().message.contains(path)) << l.error().message.toStdString();
    }
}

TEST(ColumnLayoutFile, AFailedSaveKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("keep.colm"), QByteArray("old"));
    // A target in a folder that does not exist cannot be written.
    const tessera::Status s
        = SaveColumnLayoutFile(dir.filePath(QStringLiteral("missing/x.colm")), sampleLayout());
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error().code, ColumnLayoutErrorWrite);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("old"));
}

} // namespace
