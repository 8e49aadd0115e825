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
