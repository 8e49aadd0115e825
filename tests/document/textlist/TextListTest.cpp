// The text-list reader: encodings, line ends, the reading window, comments, quoting, errors.
#include "document/TextList.h"

#include "corelib/LanguageModule.h"
#include "corelib/Messages.h"
#include "corelib/TextCodec.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <ostream>

#include <QRandomGenerator>

namespace {

class TextListEnv : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(tessera::LanguageModule::instance().load()); }
};
const auto *const kEnv = ::testing::AddGlobalTestEnvironment(new TextListEnv);

enum class Enc { Ansi, Utf8Bom, Utf16Bom };

void PrintTo(Enc enc, std::ostream *os)
{
    *os << (enc == Enc::Ansi ? "Ansi" : enc == Enc::Utf8Bom ? "Utf8Bom" : "Utf16Bom");
}

QByteArray encode(const QString &text, Enc enc)
{
    switch (enc) {
    case Enc::Ansi:
        return tessera::EncodeAnsi(text);
    case Enc::Utf8Bom:
        return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    case Enc::Utf16Bom:
        break;
    }
    QByteArray out("\xFF\xFE");
    for (QChar c : text) {
        out.append(static_cast<char>(c.unicode() & 0xFF));
        out.append(static_cast<char>(c.unicode() >> 8));
    }
    return out;
}

TextListOptions options()
{
    TextListOptions o;
    o.path = QStringLiteral("/lists/a.txt");
    o.now = 1700000000;
    o.updatePeriodSeconds = 300;
    return o;
}

struct EncodingCase {
    const char *name;
    Enc enc;
    const char *lineEnd;
    bool finalLineEnd;
};

void PrintTo(const EncodingCase &c, std::ostream *os)
{
    *os << c.name;
}

class TextListEncoding : public ::testing::TestWithParam<EncodingCase> { };

TEST_P(TextListEncoding, ReadsCodesAndNames)
{
    const EncodingCase &c = GetParam();
    const QString end = QLatin1String(c.lineEnd);
    QString text = QStringLiteral("# 保有銘柄") + end + QStringLiteral("7203,トヨタ自動車") + end + end
        + QStringLiteral("6758") + end + QStringLiteral("^DJI,\"ダウ～平均\"");
    if (c.finalLineEnd)
        text += end;
    auto rows = ReadTextList(encode(text, c.enc), options());
    ASSERT_TRUE(rows.ok()) << rows.error().message.toStdString();
    ASSERT_EQ(rows->size(), 3u);
    EXPECT_EQ(rows->at(QStringLiteral("7203"))->values[SlotName], QStringLiteral("トヨタ自動車"));
    EXPECT_EQ(rows->at(QStringLiteral("6758"))->values[SlotName], QString());
    EXPECT_EQ(rows->at(QStringLiteral("^DJI"))->values[SlotName], QStringLiteral("ダウ～平均"));
    for (const auto &[code, r] : *rows) {
        EXPECT_EQ(r->code, code);
        EXPECT_EQ(r->datetime, 1700000000 - 300); // due at the next update
        EXPECT_FALSE(r->has_holdings);
    }
}

INSTANTIATE_TEST_SUITE_P(All, TextListEncoding,
    ::testing::Values(EncodingCase { "AnsiLf", Enc::Ansi, "\n", true },
        EncodingCase { "AnsiCrLf", Enc::Ansi, "\r\n", true },
        EncodingCase { "AnsiCr", Enc::Ansi, "\r", false },
        EncodingCase { "Utf8Lf", Enc::Utf8Bom, "\n", false },
        EncodingCase { "Utf8CrLf", Enc::Utf8Bom, "\r\n", true },
        EncodingCase { "Utf16Lf", Enc::Utf16Bom, "\n", true },
        EncodingCase { "Utf16CrLf", Enc::Utf16Bom, "\r\n", false },
        EncodingCase { "Utf16Cr", Enc::Utf16Bom, "\r", true }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(TextList, Utf8WithoutBomIsReadAsAnsi)
{
    // UTF-8 bytes of "ト" read as CP932 give other characters, but the code still reads.
    auto rows = ReadTextList(QByteArray("7203,\xE3\x83\x88\n"), options());
    ASSERT_TRUE(rows.ok());
    EXPECT_NE(rows->at(QStringLiteral("7203"))->values[SlotName], QStringLiteral("ト"));
}

struct LineCase {
    const char *name;
    const char16_t *line;
    const char16_t *code; // nullptr: the line is rejected; empty: the line is skipped
    const char16_t *title;
};

void PrintTo(const LineCase &c, std::ostream *os)
{
    *os << c.name;
}

class TextListLine : public ::testing::TestWithParam<LineCase> { };

TEST_P(TextListLine, Reads)
{
    const LineCase &c = GetParam();
    auto rows = ReadTextList(QString::fromUtf16(c.line).toUtf8().prepend("\xEF\xBB\xBF"), options());
    if (!c.code) {
        ASSERT_FALSE(rows.ok());
        EXPECT_EQ(rows.error().code, TextListErrorInvalidCode);
        return;
    }
    ASSERT_TRUE(rows.ok()) << rows.error().message.toStdString();
    const QString code = QString::fromUtf16(c.code);
    if (code.isEmpty()) {
        EXPECT_TRUE(rows->empty());
        return;
    }
    ASSERT_EQ(rows->size(), 1u);
    EXPECT_EQ(rows->begin()->first, code);
    EXPECT_EQ(rows->begin()->second->values[SlotName], QString::fromUtf16(c.title));
}

INSTANTIATE_TEST_SUITE_P(Cases, TextListLine,
    ::testing::Values(LineCase { "QuotedCodeAndName", u"\"7203\",\"Toyota\"", u"7203", u"Toyota" },
        LineCase { "QuotedCodeAloneKeepsItsQuotes", u"\"7203\"", nullptr, nullptr },
        LineCase { "HashComment", u"#7203", u"", nullptr },
        LineCase { "SemicolonComment", u";abc", u"", nullptr },
        LineCase { "SlashComment", u"//abc", u"", nullptr },
        LineCase { "IndentedComment", u"   # x", u"", nullptr },
        LineCase { "TrailingSpacesTrimmed", u"7203   ", u"7203", u"" },
        LineCase { "TabIsNoSeparator", u"7203\tToyota", nullptr, nullptr },
        LineCase { "NameCutAtComma", u"7203,Toyota, Motor", u"7203", u"Toyota" },
        LineCase { "SpacesInsideQuotesStay", u"7203,\" Toyota \"", u"7203", u" Toyota " },
        LineCase { "EmptyName", u"7203,", u"7203", u"" },
        LineCase { "LowerCaseRejected", u"abc", nullptr, nullptr },
        LineCase { "NineCharactersRejected", u"123456789", nullptr, nullptr },
        LineCase { "EightCharactersAccepted", u"ABCD.^12", u"ABCD.^12", u"" },
        LineCase { "EmptyCodeRejected", u",name", nullptr, nullptr },
        LineCase {
            "JsonExportRejected", u"{\"items\":[{\"code\":\"7203\"}],\"count\":1}", nullptr, nullptr }),
    [](const auto &info) { return std::string(info.param.name); });

TEST(TextList, FirstOccurrenceWins)
{
    auto rows = ReadTextList(QByteArray("7203,first\n7203,second\n"), options());
    ASSERT_TRUE(rows.ok());
    ASSERT_EQ(rows->size(), 1u);
    EXPECT_EQ(rows->begin()->second->values[SlotName], QStringLiteral("first"));
}

TEST(TextList, InvalidCodeMessageNamesTheFile)
{
    auto rows = ReadTextList(QByteArray("7203\nabc\n6758\n"), options());
    ASSERT_FALSE(rows.ok());
    EXPECT_EQ(rows.error().code, TextListErrorInvalidCode);
    EXPECT_FALSE(tessera::ResourceString(2205).isEmpty());
    EXPECT_EQ(rows.error().message, tessera::FormatResourceString(2205) + QStringLiteral("\n/lists/a.txt"));
}

TEST(TextList, EmptyDataGivesNoRows)
{
    auto rows = ReadTextList(QByteArrayView(), options());
    ASSERT_TRUE(rows.ok());
    EXPECT_TRUE(rows->empty());
}

TEST(TextList, Utf16TerminatorMustBeAWholeCodeUnit)
{
    // U+0D0A and U+0A0D hold the bytes of CR and LF without being line ends.
    QString text = QStringLiteral("7203,A") + QChar(0x0D0A) + QChar(0x0A0D) + QStringLiteral("B\n6758");
    auto rows = ReadTextList(encode(text, Enc::Utf16Bom), options());
    ASSERT_TRUE(rows.ok()) << rows.error().message.toStdString();
    ASSERT_EQ(rows->size(), 2u);
    EXPECT_EQ(rows->at(QStringLiteral("7203"))->values[SlotName].size(), 4);
}

TEST(TextList, Utf16OddTrailingByteIsIgnored)
{
    QByteArray data = encode(QStringLiteral("7203"), Enc::Utf16Bom);
    data.append('\x41');
    auto rows = ReadTextList(data, options());
    ASSERT_TRUE(rows.ok());
    EXPECT_EQ(rows->size(), 1u);
}

class TextListWindow : public ::testing::TestWithParam<Enc> { };

TEST_P(TextListWindow, LastLineFillingTheWindowIsRead)
{
    const qsizetype unit = GetParam() == Enc::Utf16Bom ? 2 : 1;
    const qsizetype chars = kTextListWindow / unit - 5; // "7203," and the name fill the window
    const QString text = QStringLiteral("6758\n7203,") + QString(chars, QLatin1Char('x'));
    auto rows = ReadTextList(encode(text, GetParam()), options());
    ASSERT_TRUE(rows.ok()) << rows.error().message.toStdString();
    ASSERT_EQ(rows->size(), 2u);
    EXPECT_EQ(rows->at(QStringLiteral("7203"))->values[SlotName].size(), chars);
}

TEST_P(TextListWindow, LineLongerThanTheWindowIsRefused)
{
    // Dropping the rest of the file without a word would lose every later code.
    const QString text
        = QStringLiteral("7203,") + QString(100000, QLatin1Char('x')) + QStringLiteral("\n6758\n");
    auto rows = ReadTextList(encode(text, GetParam()), options());
    ASSERT_FALSE(rows.ok());
    EXPECT_EQ(rows.error().code, TextListErrorLineTooLong);
    EXPECT_EQ(rows.error().message, tessera::FormatResourceString(2205) + QStringLiteral("\n/lists/a.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, TextListWindow, ::testing::Values(Enc::Ansi, Enc::Utf8Bom, Enc::Utf16Bom));

TEST(TextList, MillionLines)
{
    QByteArray data;
    data.reserve(8 * 1000000);
    for (int i = 0; i < 1000000; ++i) {
        data.append(QByteArray::number(i % 50000));
        data.append(i % 2 ? "\r\n" : "\n");
    }
    auto rows = ReadTextList(data, options());
    ASSERT_TRUE(rows.ok());
    EXPECT_EQ(rows->size(), 50000u);
}

} // namespace

namespace {

TEST(TextList, RandomBytesGiveRowsOrACleanError)
{
    QRandomGenerator gen(1234);
    for (int round = 0; round < 3000; ++round) {
        QByteArray data(static_cast<qsizetype>(gen.bounded(300)), Qt::Uninitialized);
        for (char &c : data)
            c = static_cast<char>(gen.bounded(256));
        if (round % 3 == 1)
            data.prepend("\xEF\xBB\xBF");
        else if (round % 3 == 2)
            data.prepend("\xFF\xFE");
        auto rows = ReadTextList(data, options());
        if (rows.ok()) {
            for (const auto &[code, r] : *rows)
                EXPECT_EQ(r->code, code);
        } else {
            EXPECT_TRUE(rows.error().code == TextListErrorInvalidCode
                || rows.error().code == TextListErrorLineTooLong);
        }
    }
}

} // namespace
