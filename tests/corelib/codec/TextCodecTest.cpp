#include "corelib/TextCodec.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace tessera;

TEST(TextCodec, Cp932DecodesVendorCharacters)
{
    // 0x81 0x60 is the wave dash of CP932 (U+FF5E), 0x83 0x5C is ソ, 0x87 0x40 is ①.
    EXPECT_EQ(DecodeAnsi(QByteArray("\x81\x60", 2)), QString(QChar(0xFF5E)));
    EXPECT_EQ(DecodeAnsi(QByteArray("\x83\x5C", 2)), QStringLiteral("ソ"));
    EXPECT_EQ(DecodeAnsi(QByteArray("\x87\x40", 2)), QStringLiteral("①"));
    EXPECT_EQ(EncodeAnsi(QStringLiteral("ソ")), QByteArray("\x83\x5C", 2));
}

TEST(TextCodec, EucJpAndUnknownCharsets)
{
    EXPECT_EQ(DecodeText(QByteArray("\xC6\xFC\xCB\xDC"), "EUC-JP"), QStringLiteral("日本"));
    EXPECT_EQ(DecodeText(QByteArray("\xE6\x97\xA5"), "no-such-charset"), QStringLiteral("日"));
    EXPECT_FALSE(IsKnownCharset("no-such-charset"));
    EXPECT_TRUE(IsKnownCharset("Shift_JIS"));
}

TEST(TextCodec, MalformedBytesNeverFail)
{
    const QString s = DecodeText(QByteArray("\xFF\xFE\x81", 3), "Shift_JIS");
    EXPECT_FALSE(s.isEmpty());
    EXPECT_TRUE(DecodeText(QByteArray(), "UTF-8").isEmpty());
}

TEST(TextCodec, Cp932ControlsMapToThemselvesAndBadBytesToReplacement)
{
    const QByteArray controls("\x1A\x1C\x7F", 3);
    const QString decoded = DecodeAnsi(controls);
    ASSERT_EQ(decoded.size(), 3);
    EXPECT_EQ(decoded.at(0).unicode(), 0x1A);
    EXPECT_EQ(decoded.at(1).unicode(), 0x1C);
    EXPECT_EQ(decoded.at(2).unicode(), 0x7F);
    EXPECT_EQ(EncodeAnsi(decoded), controls);
    // A lead byte followed by a byte that cannot trail it.
    const QString bad = DecodeText(QByteArray("\x81\x20", 2), "Shift_JIS");
    EXPECT_TRUE(bad.contains(QChar(0xFFFD))) << bad.toStdString();
    EXPECT_FALSE(bad.contains(QChar(0x1A)));
}

// --- UTF-8: Qt's fast decoder and ICU must give the same text ------------------------------

using namespace Qt::StringLiterals;

struct Utf8Case {
    const char *name;
    QByteArray bytes;
    QString expected;
};

void PrintTo(const Utf8Case &c, std::ostream *os)
{
    *os << c.name;
}

class Utf8Decoding : public testing::TestWithParam<Utf8Case> { };

TEST_P(Utf8Decoding, MatchesIcuForWellFormedAndBrokenInput)
{
    const Utf8Case &c = GetParam();
    EXPECT_EQ(DecodeText(c.bytes, "UTF-8"), c.expected);
    EXPECT_EQ(DecodeText(c.bytes, "utf8"), c.expected);
    EXPECT_EQ(DecodeText(c.bytes, nullptr), c.expected);
    EXPECT_EQ(DecodeText(c.bytes, "no-such-charset"), c.expected);
}

const QChar kBad(0xFFFD);

// Broken sequences give one U+FFFD per maximal subpart, as ICU and browsers do (Qt's own
// decoder would give one per byte).
INSTANTIATE_TEST_SUITE_P(Cases, Utf8Decoding,
    testing::Values(Utf8Case { "Japanese", "\xE6\xA0\xAA\xE4\xBE\xA1 \xE2\x91\xA0", u"株価 ①"_s },
        Utf8Case { "Astral", "\xF0\x9F\x98\x80", QString::fromUtf16(u"\U0001F600") },
        Utf8Case { "CutSequenceInside",
            "a\xE6\x97"
            "b",
            u"a"_s + kBad + u"b"_s },
        Utf8Case { "CutSequenceAtEnd", "\xE6\x97\xA5\xF0\x9F\x98", u"日"_s + kBad },
        Utf8Case { "Overlong", "\xC0\xAF", QString(2, kBad) },
        Utf8Case { "Surrogate", "\xED\xA0\x80", QString(3, kBad) },
        Utf8Case { "AboveUnicode", "\xF4\x90\x80\x80", QString(4, kBad) },
        Utf8Case { "StrayContinuations", "x\x80\x80y", u"x"_s + QString(2, kBad) + u"y"_s },
        Utf8Case { "ReplacementCharacterItself", "\xEF\xBF\xBD", QString(kBad) },
        Utf8Case { "LeadingByteOrderMarkIsKept",
            "\xEF\xBB\xBF"
            "abc",
            QChar(0xFEFF) + u"abc"_s },
        Utf8Case { "InnerByteOrderMark",
            "a\xEF\xBB\xBF"
            "b",
            u"a"_s + QChar(0xFEFF) + u"b"_s }),
    [](const testing::TestParamInfo<Utf8Case> &info) { return std::string(info.param.name); });

TEST(TextCodec, BrokenSequenceDeepInALongPageIsOneReplacement)
{
    // Long ASCII runs take the vector path of the fast decoder; the damage is far inside.
    const QString line = u"<td class=\"price\">2,345.5</td><td>トヨタ自動車</td>\n"_s;
    QByteArray bytes = line.toUtf8().repeated(5000);
    bytes.insert(line.toUtf8().size() * 4500, "\xE6\x97");
    const QString text = DecodeText(bytes, "UTF-8");
    EXPECT_EQ(text.count(kBad), 1);
    EXPECT_EQ(text, line.repeated(4500) + kBad + line.repeated(500));
}
