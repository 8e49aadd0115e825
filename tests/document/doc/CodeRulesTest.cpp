#include "document/ValidCode.h"
#include "document/doc/FileKind.h"
#include "document/doc/SaveTarget.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// ---- Valid codes

struct CodeCase {
    const char16_t *code;
    bool valid;
};

void PrintTo(const CodeCase &c, std::ostream *os)
{
    *os << '"' << Utf8(c.code) << '"';
}

class ValidCodeTest : public ::testing::TestWithParam<CodeCase> { };

TEST_P(ValidCodeTest, Accepts)
{
    EXPECT_EQ(IsValidCode(QStringView(GetParam().code)), GetParam().valid)
        << QString::fromUtf16(GetParam().code).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Codes, ValidCodeTest,
    ::testing::Values(CodeCase { u"7203", true }, CodeCase { u"^DJI", true }, CodeCase { u"7203.T", true },
        CodeCase { u"0331418A", true }, CodeCase { u"ABCDEFGH", true }, // exactly eight
        CodeCase { u"ABCDEFGHI", false }, // nine
        CodeCase { u"", false }, CodeCase { u"abc", false }, CodeCase { u"72 3", false },
        CodeCase { u"7203,", false }, CodeCase { u"７２０３", false }, // full-width digits
        CodeCase { u"..^^", true }, CodeCase { u"A-B", false }));

// ---- Cutting a line down to its candidate

struct LineCase {
    const char16_t *line;
    const char16_t *candidate;
};

// Tabs and carriage returns escaped, so that the line stays one line in the test's name.
void PrintTo(const LineCase &c, std::ostream *os)
{
    QString line = QString::fromUtf16(c.line);
    line.replace(u'\t', u"\\t"_s).replace(u'\r', u"\\r"_s);
    *os << '"' << line.toStdString() << '"';
}

class CandidateTest : public ::testing::TestWithParam<LineCase> { };

TEST_P(CandidateTest, Cuts)
{
    EXPECT_EQ(CodeCandidateOfLine(QStringView(GetParam().line)).toString(),
        QString::fromUtf16(GetParam().candidate));
}

INSTANTIATE_TEST_SUITE_P(Lines, CandidateTest,
    ::testing::Values(LineCase { u"7203 トヨタ", u"7203" }, LineCase { u"6758,Sony", u"6758" },
        LineCase { u"  7203\r", u"7203" }, LineCase { u"7203\tx,y z", u"7203" },
        LineCase { u"72,03\t9", u"72" }, // tab first, then comma
        LineCase { u"A B,C", u"A" }, // cut at the comma, then at the space
        LineCase { u",7203", u",7203" }, // a separator in first place stays
        LineCase { u"\t7203", u"7203" }, // trimmed first
        LineCase { u"", u"" }));

TEST(ValidCodesInText, KeepsTextOrderAndRepeats)
{
    const QStringList codes = ValidCodesInText(u"7203 トヨタ\n6758,Sony\n\n7203\nabc\r\n^DJI"_s);
    EXPECT_EQ(codes, (QStringList { u"7203"_s, u"6758"_s, u"7203"_s, u"^DJI"_s }));
}

TEST(ValidCodesInText, CommaInFirstPlaceLeavesAnInvalidCandidate)
{
    EXPECT_TRUE(ValidCodesInText(u",7203\n 7203 ,x"_s) == QStringList { u"7203"_s });
}

// ---- File kind

struct KindCase {
    const char16_t *path;
    FileKind kind;
};

void PrintTo(const KindCase &c, std::ostream *os)
{
    *os << '"' << Utf8(c.path) << '"';
}

class FileKindTest : public ::testing::TestWithParam<KindCase> { };

TEST_P(FileKindTest, ByExtension)
{
    EXPECT_EQ(FileKindFromPath(QString::fromUtf16(GetParam().path)), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(Paths, FileKindTest,
    ::testing::Values(KindCase { u"/x/List.KABU", FileKind::ListFile }, KindCase { u"a.CSV", FileKind::Csv },
        KindCase { u"b.XLSX", FileKind::Workbook }, KindCase { u"b.xls", FileKind::Workbook },
        KindCase { u"c.Json", FileKind::Json }, KindCase { u"data.txt", FileKind::ListFile },
        KindCase { u"/x/noext", FileKind::ListFile }, KindCase { u"", FileKind::ListFile },
        KindCase { u"/x.csv/list", FileKind::ListFile }, KindCase { u"a.xlsx.kabu", FileKind::ListFile }));

// ---- Save target

namespace {
SaveNamingContext unattended(bool workbook)
{
    SaveNamingContext c;
    c.unattended = true;
    c.outputFolder = u"/out"_s;
    c.outputFolderExists = true;
    c.workbookOutput = workbook;
    c.localNow = QDateTime(QDate(2026, 12, 6), QTime(9, 5, 42));
    return c;
}
} // namespace

TEST(SaveTarget, PlainSaveKeepsThePathAndFixesTheExtension)
{
    const SaveNamingContext none;
    EXPECT_EQ(SaveTarget(u"/d/prices.kabu"_s, FileKind::ListFile, none), u"/d/prices.kabu"_s);
    EXPECT_EQ(SaveTarget(u"/d/x.txt"_s, FileKind::ListFile, none), u"/d/x.kabu"_s);
    EXPECT_EQ(SaveTarget(u"/d/x"_s, FileKind::ListFile, none), u"/d/x.kabu"_s);
    EXPECT_EQ(SaveTarget(u"/d/x.CSV"_s, FileKind::Csv, none), u"/d/x.CSV"_s);
    EXPECT_EQ(SaveTarget(u"/d/x.XLS"_s, FileKind::Workbook, none), u"/d/x.XLS"_s);
    EXPECT_EQ(SaveTarget(u"/d/x.json"_s, FileKind::Json, none), u"/d/x.kabu"_s);
    EXPECT_EQ(SaveTarget(u"/d.v/x"_s, FileKind::ListFile, none), u"/d.v/x.kabu"_s);
    EXPECT_EQ(SaveTarget(u"x.tar.gz"_s, FileKind::ListFile, none), u"x.tar.kabu"_s);
    EXPECT_TRUE(SaveTarget(QString(), FileKind::ListFile, none).isEmpty());
}

TEST(SaveTarget, UnattendedSaveGoesToTheFolderWithATimeStamp)
{
    EXPECT_EQ(SaveTarget(u"/d/prices.kabu"_s, FileKind::ListFile, unattended(false)),
        u"/out/prices12060905.kabu"_s);
    EXPECT_EQ(SaveTarget(u"/d/a.xls"_s, FileKind::Workbook, unattended(true)), u"/out/a12060905.xls"_s);
    EXPECT_EQ(SaveTarget(u"/d/a.kabu"_s, FileKind::ListFile, unattended(true)), u"/out/a12060905.xlsx"_s);
    EXPECT_EQ(SaveTarget(u"/d/a.csv"_s, FileKind::Csv, unattended(true)), u"/out/a12060905.xlsx"_s);
}

TEST(SaveTarget, UnattendedWithoutAnExistingFolderSavesInPlace)
{
    SaveNamingContext c = unattended(true);
    c.outputFolderExists = false;
    EXPECT_EQ(SaveTarget(u"/d/a.kabu"_s, FileKind::ListFile, c), u"/d/a.kabu"_s);
    c = unattended(false);
    c.unattended = false;
    EXPECT_EQ(SaveTarget(u"/d/a.kabu"_s, FileKind::ListFile, c), u"/d/a.kabu"_s);
}

TEST(SaveTarget, NeverOverwritesAnExistingDefaultList)
{
    SaveNamingContext c;
    c.defaultListPath = u"/opt/quotra/東証株価.kabu"_s;
    c.defaultListExists = true;
    EXPECT_TRUE(SaveTarget(u"/opt/quotra/東証株価.kabu"_s, FileKind::ListFile, c).isEmpty());
    EXPECT_TRUE(SaveTarget(u"/opt/quotra/東証株価.KABU"_s, FileKind::ListFile, c).isEmpty())
        << "case-insensitive";
    EXPECT_TRUE(SaveTarget(u"/opt/quotra/東証株価.txt"_s, FileKind::ListFile, c).isEmpty())
        << "compared after naming";
    EXPECT_EQ(SaveTarget(u"/opt/quotra/other.kabu"_s, FileKind::ListFile, c), u"/opt/quotra/other.kabu"_s);
    c.defaultListExists = false;
    EXPECT_EQ(
        SaveTarget(u"/opt/quotra/東証株価.kabu"_s, FileKind::ListFile, c), u"/opt/quotra/東証株価.kabu"_s);
}
