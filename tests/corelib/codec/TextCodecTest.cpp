#include "corelib/TextCodec.h"

#include <gtest/gtest.h>

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
