#include "quotes/PageScan.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct CutCase {
    const char16_t *name;
    const char16_t *text;
    qsizetype position;
    const char16_t *start;
    const char16_t *end;
    const char16_t *expected; // nullptr: destination keeps its old text
    qsizetype next;
};

void PrintTo(const CutCase &c, std::ostream *os)
{
    *os << Utf8(c.name);
}

class CutTable : public ::testing::TestWithParam<CutCase> { };

TEST_P(CutTable, CutsBetweenMarkers)
{
    const CutCase &c = GetParam();
    QString destination = u"old"_s;
    const qsizetype next
        = Cut(destination, QStringView(c.text), c.position, QStringView(c.start), QStringView(c.end));
    EXPECT_EQ(next, c.next);
    EXPECT_EQ(destination, c.expected ? QString::fromUtf16(c.expected) : u"old"_s);

    // The section cut finds the same span and, on failure, keeps its working text.
    QStringView section = u"previous";
    const qsizetype sectionNext
        = CutSection(section, QStringView(c.text), c.position, QStringView(c.start), QStringView(c.end));
    EXPECT_EQ(sectionNext, c.next);
    EXPECT_EQ(section.toString(), c.expected ? QString::fromUtf16(c.expected) : u"previous"_s);
}

const CutCase kCutCases[] = {
    { u"First", u"abc[1]def[2]", 0, u"[", u"]", u"1", 6 },
    { u"ContinuesBehindValue", u"abc[1]def[2]", 6, u"[", u"]", u"2", 12 },
    { u"PastLastValue", u"abc[1]def[2]", 12, u"[", u"]", nullptr, kNoPos },
    { u"NoEndMarker", u"abc[1", 0, u"[", u"]", nullptr, kNoPos },
    { u"NoStartMarker", u"abc1]", 0, u"[", u"]", nullptr, kNoPos },
    { u"EmptyValue", u"a[]b", 0, u"[", u"]", u"", 3 },
    { u"PositionNone", u"a[1]b", kNoPos, u"[", u"]", nullptr, kNoPos },
    { u"NegativePositionIsNone", u"a[1]b", -3, u"[", u"]", nullptr, kNoPos },
    { u"PositionBeyondText", u"a[1]b", 99, u"[", u"]", nullptr, kNoPos },
    { u"PositionAtEnd", u"a[1]b", 5, u"[", u"]", nullptr, kNoPos },
    { u"EmptyText", u"", 0, u"[", u"]", nullptr, kNoPos },
    // The end marker is searched behind the start marker, never inside it.
    { u"EndInsideStartIgnored", u"<a>x<b>", 0, u"<a>", u">", u"x<b", 7 },
    { u"SameMarkers", u"|a|b|", 0, u"|", u"|", u"a", 3 },
    { u"MultiCharacterMarkers", uR"(\"k\":\"v1\",\"k\":\"v2\")", 0, uR"(\"k\":\")", uR"(\")", u"v1", 12 },
    { u"CaseSensitive", u"<A>x</A><a>y</a>", 0, u"<a>", u"</a>", u"y", 16 },
    { u"EmptyStartMarkerMatchesAtPosition", u"abc;", 1, u"", u";", u"bc", 4 },
    { u"NonBmpText", u"<\U0001F600>", 0, u"<", u">", u"\U0001F600", 4 },
};

INSTANTIATE_TEST_SUITE_P(PageScan, CutTable, ::testing::ValuesIn(kCutCases),
    [](const auto &info) { return QString::fromUtf16(info.param.name).toStdString(); });

TEST(PageScan, SectionIsAViewIntoTheText)
{
    const QString page = u"<s>section</s>"_s;
    QStringView section;
    ASSERT_EQ(CutSection(section, page, 0, u"<s>", u"</s>"), page.size());
    EXPECT_EQ(section.data(), page.constData() + 3);
    // Cuts inside the section cannot run past its end.
    QString value = u"keep"_s;
    EXPECT_EQ(Cut(value, section, 0, u"tion", u"<"), kNoPos);
    EXPECT_EQ(value, u"keep"_s);
}

struct PlusCase {
    const char16_t *in;
    const char16_t *out;
};

void PrintTo(const PlusCase &c, std::ostream *os)
{
    *os << '"' << Utf8(c.in) << '"';
}

class PlusSignTable : public ::testing::TestWithParam<PlusCase> { };

TEST_P(PlusSignTable, PrefixesPositiveNumbersOnly)
{
    QString text = QString::fromUtf16(GetParam().in);
    AddPlusSign(text);
    EXPECT_EQ(text, QString::fromUtf16(GetParam().out));
}

INSTANTIATE_TEST_SUITE_P(PageScan, PlusSignTable,
    ::testing::Values(PlusCase { u"12.5", u"+12.5" }, PlusCase { u"-3.1", u"-3.1" }, PlusCase { u"0", u"0" },
        PlusCase { u"0.00", u"0.00" }, PlusCase { u"", u"" }, PlusCase { u"1,234", u"+1,234" },
        PlusCase { u"0.01", u"+0.01" }, PlusCase { u".5", u"+.5" }, PlusCase { u"5.", u"+5." },
        PlusCase { u"0,123", u"0,123" }, PlusCase { u"1e-3", u"+1e-3" }, PlusCase { u"0e5", u"0e5" },
        PlusCase { u"---", u"---" }, PlusCase { u"abc", u"abc" }, PlusCase { u" 7", u"+ 7" },
        PlusCase { u"inf", u"+inf" }, PlusCase { u"nan", u"nan" }, PlusCase { u"３", u"３" },
        // Already signed: never a second sign.
        PlusCase { u"+12", u"+12" }, PlusCase { u"+0", u"+0" }, PlusCase { u"-0", u"-0" },
        PlusCase { u"0.00%", u"0.00%" }, PlusCase { u"3.25%", u"+3.25%" }));

struct UnescapeCase {
    const char16_t *in;
    std::u16string out;
};

// The input only: it is printable ASCII, while some outputs hold NUL or a lone surrogate.
void PrintTo(const UnescapeCase &c, std::ostream *os)
{
    *os << '"' << Utf8(c.in) << '"';
}

class UnescapeTable : public ::testing::TestWithParam<UnescapeCase> { };

TEST_P(UnescapeTable, DecodesEscapes)
{
    const QString out = UnescapeUnicode(QStringView(GetParam().in));
    EXPECT_EQ(out.toStdU16String(), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(PageScan, UnescapeTable,
    ::testing::Values(UnescapeCase { uR"(\u6295\u4fe1)", u"投信" },
        UnescapeCase { uR"(abc\u12)", uR"(abc\u12)" }, UnescapeCase { u"plain text", u"plain text" },
        UnescapeCase { u"", u"" }, UnescapeCase { uR"(\u)", uR"(\u)" },
        UnescapeCase { uR"(x\u004A\u004ay)", u"xJJy" }, UnescapeCase { uR"(\u30C8\u30E8\u30bf)", u"トヨタ" },
        // A non-hexadecimal first character leaves the six characters alone.
        UnescapeCase { uR"(\uZZZZ)", uR"(\uZZZZ)" }, UnescapeCase { uR"(\u\u6295)", uR"(\u投)" },
        // Fewer than four hexadecimal digits: as many as there are.
        UnescapeCase { uR"(\u41zz!)", u"A!" },
        // Each escape is one code unit, so a pair of escapes makes a surrogate pair.
        UnescapeCase { uR"(\ud83d\ude00)", u"\U0001F600" },
        UnescapeCase { uR"(\ud83d)", std::u16string(1, u'\xd83d') },
        UnescapeCase { uR"(\u0000)", std::u16string(1, u'\0') },
        // The replacement is not read again, nor is an escaped backslash.
        UnescapeCase { uR"(\u005cu0041)", uR"(\u0041)" }, UnescapeCase { uR"(\\u0041)", uR"(\A)" },
        UnescapeCase { uR"(\U0041)", uR"(\U0041)" }));

TEST(PageScan, UnescapeIsLinearOnLongInput)
{
    // 200,000 escapes: a replace-in-place implementation would copy the tail each time.
    const QString escapes = QString(uR"(\u0041)"_s).repeated(200'000);
    const QString out = UnescapeUnicode(escapes);
    EXPECT_EQ(out, QString(u'A').repeated(200'000));
    const QString misses = QString(uR"(\u)"_s).repeated(300'000);
    EXPECT_EQ(UnescapeUnicode(misses), misses);
}

} // namespace

namespace {

// The marker search against Qt's own search, on texts from a small alphabet (so that
// partial matches are everywhere) of every length around the vector width.
TEST(PageScan, FindAgreesWithIndexOf)
{
    const QString alphabet = uR"(\"ab{}:C信 )"_s;
    quint32 state = 987654321;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    for (int round = 0; round < 20000; ++round) {
        const qsizetype length = next() % 300;
        QString text;
        for (qsizetype i = 0; i < length; ++i)
            text += alphabet[next() % alphabet.size()];
        QString needle;
        if (length > 0 && next() % 2) {
            const qsizetype from = next() % length;
            needle = text.mid(from, 1 + next() % 24);
        } else {
            for (qsizetype i = 1 + next() % 6; i > 0; --i)
                needle += alphabet[next() % alphabet.size()];
        }
        const qsizetype position = qsizetype(next() % (length + 2)) - 1;
        const qsizetype expected = position < 0 || position > length ? -1 : text.indexOf(needle, position);
        ASSERT_EQ(Find(text, position, needle), expected == -1 ? kNoPos : expected)
            << "text " << text.toStdString() << " needle " << needle.toStdString() << " position "
            << position;
    }
}

TEST(PageScan, FindAtTheVeryEndOfALongText)
{
    const QString text = QString(u'x').repeated(1000) + uR"(\"stocksContents\")"_s;
    const QStringView marker = uR"(\"stocksContents\")";
    EXPECT_EQ(Find(text, 0, marker), 1000);
    EXPECT_EQ(Find(text, 1000, marker), 1000);
    EXPECT_EQ(Find(text, 1001, marker), kNoPos);
    EXPECT_EQ(Find(QStringView(text).chopped(1), 0, marker), kNoPos) << "one character short";
    EXPECT_EQ(Find(text, 0, u"x\\"), 999);
}

} // namespace
