#include "app/core/CopyDataProtocol.h"

#include "tests/support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray utf16(const QString &text)
{
    return CopyData::EncodeText(text);
}

// Binds a real socket file at `path` (the kind of file a listener leaves behind).
bool makeSocketFile(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    if (native.size() >= qsizetype(sizeof(address.sun_path))) {
        ::close(fd);
        return false;
    }
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0;
    ::close(fd);
    return bound;
}

// The id of a process that has ended (and was reaped), so that no process has it for now.
qint64 endedPid()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

} // namespace

TEST(CopyDataPayload, PrefixThenCodesAreHandled)
{
    const std::optional<QString> codes = CopyData::CodesOfPayload(utf16(u"StockCode:7203"_s));
    ASSERT_TRUE(codes.has_value());
    EXPECT_EQ(*codes, u"7203"_s);
    EXPECT_EQ(CopyData::CodesOfPayload(utf16(u"StockCode:7203\r\n6758"_s)).value(), u"7203\r\n6758"_s);
    EXPECT_EQ(CopyData::CodesOfPayload(utf16(u"StockCode:"_s)).value(), QString());
}

// The window answers "handled" only for a message that names at least one valid code.
TEST(CopyDataPayload, OnlyValidCodesAreTaken)
{
    struct Case {
        QString text;
        QStringList codes;
    };
    const Case cases[] = {
        { u"StockCode:7203\r\n6758 Sony\n!!!"_s, { u"7203"_s, u"6758"_s } },
        { u"StockCode:!!!"_s, {} },
        { u"StockCode:"_s, {} },
        { u"StockCode:toyota"_s, {} },
        { u"stockcode:7203"_s, {} },
    };
    for (const Case &c : cases)
        EXPECT_EQ(CopyData::ValidCodesOfPayload(utf16(c.text)), c.codes) << c.text.toStdString();
}

TEST(CopyDataPayload, PrefixMustMatchExactly)
{
    EXPECT_FALSE(CopyData::CodesOfPayload(utf16(u"stockcode:7203"_s)));
    EXPECT_FALSE(CopyData::CodesOfPayload(utf16(u"STOCKCODE:7203"_s)));
    EXPECT_FALSE(CopyData::CodesOfPayload(utf16(u" StockCode:7203"_s)));
    EXPECT_FALSE(CopyData::CodesOfPayload(utf16(u"StockCode7203"_s)));
    EXPECT_FALSE(CopyData::CodesOfPayload(utf16(u"StockCod"_s)));
}

TEST(CopyDataPayload, SizeLimits)
{
    EXPECT_FALSE(CopyData::CodesOfPayload(QByteArray()));
    EXPECT_FALSE(CopyData::AcceptsPayloadSize(0));
    EXPECT_TRUE(CopyData::AcceptsPayloadSize(1));
    EXPECT_TRUE(CopyData::AcceptsPayloadSize(1048576));
    EXPECT_FALSE(CopyData::AcceptsPayloadSize(1048577));
    EXPECT_FALSE(CopyData::AcceptsPayloadSize(-1));

    // Exactly 1 MiB: the prefix and codes, padded with zero characters, is handled.
    QByteArray full = utf16(u"StockCode:7203"_s);
    full.resize(CopyData::kMaxPayloadBytes, '\0');
    EXPECT_EQ(CopyData::CodesOfPayload(full).value(), u"7203"_s);
    full.append('\0');
    EXPECT_FALSE(CopyData::CodesOfPayload(full));
}

TEST(CopyDataPayload, TextEndsAtTheFirstZeroOrTheEnd)
{
    QByteArray withZero = utf16(u"StockCode:7203"_s);
    withZero.append(2, '\0');
    withZero.append(utf16(u"6758"_s));
    EXPECT_EQ(CopyData::CodesOfPayload(withZero).value(), u"7203"_s);
    // No zero at all: the whole payload is the text.
    EXPECT_EQ(CopyData::CodesOfPayload(utf16(u"StockCode:6758"_s)).value(), u"6758"_s);
    // An odd last byte is no character.
    QByteArray odd = utf16(u"StockCode:9984"_s);
    odd.append('9');
    EXPECT_EQ(CopyData::CodesOfPayload(odd).value(), u"9984"_s);
    // A zero before the prefix is complete leaves a text without it.
    QByteArray early = utf16(u"Stock"_s);
    early.append(2, '\0');
    early.append(utf16(u"Code:7203"_s));
    EXPECT_FALSE(CopyData::CodesOfPayload(early));
    // A single byte is a payload of the right size but holds no character.
    EXPECT_FALSE(CopyData::CodesOfPayload(QByteArray("S", 1)));
}

TEST(CopyDataPayload, NonAsciiTextSurvives)
{
    EXPECT_EQ(CopyData::PayloadText(utf16(u"東証株価 ^DJI"_s)), u"東証株価 ^DJI"_s);
}

TEST(CopyDataFraming, HeaderIsLittleEndianByteCount)
{
    const QByteArray request = CopyData::EncodeRequest(QByteArray("abc", 3));
    ASSERT_EQ(request.size(), 7);
    EXPECT_EQ(request.left(4), QByteArray("\x03\x00\x00\x00", 4));
    EXPECT_EQ(CopyData::DecodeHeader(request), 3);
    EXPECT_EQ(CopyData::DecodeHeader(QByteArray("\x00\x00\x10\x00", 4)), 1048576);
    EXPECT_EQ(CopyData::DecodeHeader(QByteArray("\xff\xff\xff\xff", 4)), 0xffffffffLL);
    EXPECT_EQ(CopyData::DecodeHeader(QByteArray("\x01\x00", 2)), -1);
}

TEST(CopyDataSockets, NamesCarryTheProcessId)
{
    EXPECT_EQ(CopyData::PidOfSocketName(u"quotra-1234"), 1234);
    EXPECT_EQ(CopyData::PidOfSocketName(QFileInfo(CopyData::SocketPath(u"/run/x"_s, 77)).fileName()), 77);
    EXPECT_EQ(CopyData::PidOfSocketName(u"quotra-"), -1);
    EXPECT_EQ(CopyData::PidOfSocketName(u"quotra-12a"), -1);
    EXPECT_EQ(CopyData::PidOfSocketName(u"quotra--5"), -1);
    EXPECT_EQ(CopyData::PidOfSocketName(u"quotra-0"), -1);
    EXPECT_EQ(CopyData::PidOfSocketName(u"quotra-0012"), -1);
    EXPECT_EQ(CopyData::PidOfSocketName(u"quotra-99999999999"), -1);
    EXPECT_EQ(CopyData::PidOfSocketName(u"other-12"), -1);
}

class CopyDataFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(runtime.isValid());
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        saved = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    }
    void TearDown() override { qputenv("XDG_RUNTIME_DIR", saved); }

    QTemporaryDir runtime;
    QByteArray saved;
};

TEST_F(CopyDataFolder, FolderIsPrivate)
{
    const QString folder = CopyData::SocketFolder();
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_EQ(folder, runtime.filePath(u"quotra"_s));
    struct stat st { };
    ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // A folder others can enter is not used.
    ::chmod(QFile::encodeName(folder).constData(), 0755);
    EXPECT_TRUE(CopyData::SocketFolder().isEmpty());
}

TEST_F(CopyDataFolder, LinkInPlaceOfTheFolderIsRefused)
{
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QFile::link(elsewhere.path(), runtime.filePath(u"quotra"_s)));
    EXPECT_TRUE(CopyData::SocketFolder().isEmpty());
}

TEST_F(CopyDataFolder, StaleSocketsAreRemovedAndOthersLeftAlone)
{
    const QString folder = CopyData::SocketFolder();
    ASSERT_FALSE(folder.isEmpty());
    const qint64 gone = endedPid();
    const qint64 self = ::getpid();
    const QString stale = CopyData::SocketPath(folder, gone);
    const QString live = CopyData::SocketPath(folder, self);
    ASSERT_TRUE(makeSocketFile(stale));
    ASSERT_TRUE(makeSocketFile(live));
    // A plain file and a link with socket names: neither is followed nor removed.
    const QString plain = CopyData::SocketPath(folder, self + 100000);
    QFile f(plain);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const QString link = QDir(folder).filePath(u"quotra-1"_s);
    ASSERT_TRUE(QFile::link(live, link));

    const QList<CopyData::SocketEntry> running = CopyData::RunningWindowSockets(folder);
    ASSERT_EQ(running.size(), 1);
    EXPECT_EQ(running[0].pid, self);
    EXPECT_EQ(running[0].path, live);
    EXPECT_FALSE(QFileInfo::exists(stale));
    EXPECT_TRUE(QFileInfo::exists(plain));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
}

TEST_F(CopyDataFolder, NewestWindowComesFirst)
{
    const QString folder = CopyData::SocketFolder();
    ASSERT_FALSE(folder.isEmpty());
    // Two live processes: this one and its parent (the test runner).
    const qint64 self = ::getpid();
    const qint64 parent = ::getppid();
    ASSERT_TRUE(makeSocketFile(CopyData::SocketPath(folder, parent)));
    ASSERT_TRUE(makeSocketFile(CopyData::SocketPath(folder, self)));
    // The parent's socket is made older explicitly.
    struct timespec times[2] = { { 1000, 0 }, { 1000, 0 } };
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(CopyData::SocketPath(folder, parent)).constData(),
                  times, AT_SYMLINK_NOFOLLOW),
        0);
    const QList<CopyData::SocketEntry> running = CopyData::RunningWindowSockets(folder);
    ASSERT_EQ(running.size(), 2);
    EXPECT_EQ(running[0].pid, self);
    EXPECT_EQ(running[1].pid, parent);
}

TEST(CopyDataProcess, RunningAndEnded)
{
    EXPECT_TRUE(CopyData::ProcessIsRunning(::getpid()));
    EXPECT_FALSE(CopyData::ProcessIsRunning(endedPid()));
    EXPECT_FALSE(CopyData::ProcessIsRunning(0));
    EXPECT_FALSE(CopyData::ProcessIsRunning(-5));
}
