#include "app/core/LogFont.h"
#include "app/core/SearchHistory.h"
#include "app/ui/LogFontQFont.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

namespace {

QByteArray utf16(const char16_t *s, qsizetype units)
{
    QByteArray out;
    for (qsizetype i = 0; i < units; ++i) {
        out.append(char(s[i] & 0xFF));
        out.append(char(s[i] >> 8));
    }
    return out;
}

TEST(SearchStrs, StringsAreZeroEndedUtf16)
{
    EXPECT_EQ(EncodeSearchStrs({ QStringLiteral("ab"), QStringLiteral("株") }), utf16(u"ab\0株\0", 5));
    EXPECT_EQ(DecodeSearchStrs(utf16(u"ab\0株\0", 5)),
        (QStringList { QStringLiteral("ab"), QStringLiteral("株") }));
}

TEST(SearchStrs, TheLastStringTakenMayCrossTheMark)
{
    const QString s510(510, QLatin1Char('x'));
    // 511 counted, still within; the next one crosses and is the last one taken.
    const QStringList history { s510, QStringLiteral("abc"), QStringLiteral("never") };
    const QByteArray v = EncodeSearchStrs(history);
    EXPECT_EQ(v.size(), (511 + 4) * 2);
    EXPECT_EQ(DecodeSearchStrs(v), (QStringList { s510, QStringLiteral("abc") }));
    // Exactly 512 counted does not stop.
    const QStringList exact { QString(511, QLatin1Char('y')), QStringLiteral("z") };
    EXPECT_EQ(DecodeSearchStrs(EncodeSearchStrs(exact)), exact);
}

TEST(SearchStrs, MalformedValuesDecodeSafely)
{
    EXPECT_TRUE(DecodeSearchStrs({}).isEmpty());
    EXPECT_EQ(DecodeSearchStrs(QByteArray("a\0b", 3)), QStringList { QStringLiteral("a") })
        << "odd byte dropped";
    EXPECT_EQ(DecodeSearchStrs(utf16(u"ab", 2)), QStringList { QStringLiteral("ab") }) << "no final zero";
    EXPECT_EQ(DecodeSearchStrs(utf16(u"\0\0a\0\0", 5)), QStringList { QStringLiteral("a") })
        << "empty strings";
    const QByteArray huge = utf16(u"q\0", 2).repeated(100000);
    EXPECT_EQ(DecodeSearchStrs(huge).size(), 257);
}

TEST(SearchStrs, ZerosAndEmptyStringsAreNotWritten)
{
    EXPECT_EQ(EncodeSearchStrs({ QString(), QStringLiteral("a") + QChar(0) + QStringLiteral("b") }),
        utf16(u"ab\0", 3));
}

TEST(SearchStrs, AnsiFormOfTheFirstVersion)
{
    EXPECT_EQ(DecodeAnsiSearchStrs(QByteArray("\x94\x84\x00"
                                              "abc\x00\x00",
                  9)),
        (QStringList { QStringLiteral("売"), QStringLiteral("abc") }));
    EXPECT_EQ(DecodeAnsiSearchStrs(QByteArray("tail")), QStringList { QStringLiteral("tail") });
}

TEST(LogFontRecord, LayoutIsTheNinetyTwoBytePlatformRecord)
{
    LogFont f;
    f.height = -12;
    f.width = 0x01020304;
    f.weight = 700;
    f.italic = 1;
    f.charSet = 128;
    f.pitchAndFamily = 0x31;
    f.setFace(QStringLiteral("ＭＳ ゴシック"));
    const QByteArray b = f.toBytes();
    ASSERT_EQ(b.size(), 92);
    EXPECT_EQ(b.mid(0, 4), QByteArray("\xF4\xFF\xFF\xFF", 4));
    EXPECT_EQ(b.mid(4, 4), QByteArray("\x04\x03\x02\x01", 4));
    EXPECT_EQ(b.mid(16, 4), QByteArray("\xBC\x02\x00\x00", 4));
    EXPECT_EQ(quint8(b[20]), 1);
    EXPECT_EQ(quint8(b[23]), 128);
    EXPECT_EQ(quint8(b[27]), 0x31);
    EXPECT_EQ(b.mid(28, 2), QByteArray("\x2D\xFF", 2)) << "Ｍ U+FF2D little-endian";
    const std::optional<LogFont> back = LogFont::fromBytes(b);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, f);
    EXPECT_EQ(back->face(), QStringLiteral("ＭＳ ゴシック"));
}

TEST(LogFontRecord, WrongLengthsAreRefused)
{
    for (int n : { 0, 91, 93, 1000 })
        EXPECT_FALSE(LogFont::fromBytes(QByteArray(n, '\0'))) << n;
}

TEST(LogFontRecord, FaceNameKeepsItsTerminator)
{
    LogFont f;
    f.setFace(QString(40, QLatin1Char('F')));
    EXPECT_EQ(f.face().size(), 31);
    // A stored record without a terminator still yields at most 32 units.
    QByteArray b(92, '\0');
    for (int i = 28; i < 92; i += 2)
        b[i] = 'G';
    EXPECT_EQ(LogFont::fromBytes(b)->face(), QString(32, QLatin1Char('G')));
}

class QFontMapping : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "test";
        static char *argv[] = { name, nullptr };
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        if (!QGuiApplication::instance())
            static QGuiApplication app(argc, argv);
    }
};

TEST_F(QFontMapping, RecordAndFontMapBothWays)
{
    LogFont lf;
    lf.height = -18;
    lf.weight = 700;
    lf.italic = 1;
    lf.underline = 1;
    lf.setFace(QStringLiteral("IPAGothic"));
    const QFont font = FontFromLogFont(lf, QFont());
    EXPECT_EQ(font.pixelSize(), 18);
    EXPECT_EQ(font.weight(), QFont::Bold);
    EXPECT_TRUE(font.italic());
    EXPECT_TRUE(font.underline());
    EXPECT_FALSE(font.strikeOut());
    EXPECT_EQ(font.family(), QStringLiteral("IPAGothic"));
    const LogFont back = LogFontFromFont(font);
    EXPECT_EQ(back.height, -18);
    EXPECT_EQ(back.weight, 700);
    EXPECT_EQ(back.face(), QStringLiteral("IPAGothic"));
}

TEST_F(QFontMapping, ZeroRecordKeepsTheBaseFontAndAbsurdValuesAreBounded)
{
    QFont base;
    base.setPixelSize(13);
    EXPECT_EQ(FontFromLogFont(LogFont {}, base), base);
    LogFont lf;
    lf.height = std::numeric_limits<qint32>::min();
    lf.weight = 100000;
    const QFont f = FontFromLogFont(lf, base);
    EXPECT_EQ(f.pixelSize(), 1000);
    EXPECT_EQ(f.weight(), QFont::Weight(1000));
}

} // namespace
