#include "document/ValidCode.h"
#include "document/doc/FileKind.h"
#include "document/doc/SaveRoute.h"
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
    EXPECT_EQ(SaveTarget(u"/d/x.XLS"_s, FileKind::Workbook, none), u"/d/x.xlsx"_s);
    EXPECT_EQ(SaveTarget(u"/d/x.XLSX"_s, FileKind::Workbook, none), u"/d/x.XLSX"_s);
    EXPECT_EQ(SaveTarget(u"/d/x.json"_s, FileKind::Json, none), u"/d/x.kabu"_s);
    EXPECT_EQ(SaveTarget(u"/d.v/x"_s, FileKind::ListFile, none), u"/d.v/x.kabu"_s);
    EXPECT_EQ(SaveTarget(u"x.tar.gz"_s, FileKind::ListFile, none), u"x.tar.kabu"_s);
    EXPECT_TRUE(SaveTarget(QString(), FileKind::ListFile, none).isEmpty());
}

TEST(SaveTarget, UnattendedSaveGoesToTheFolderWithATimeStamp)
{
    EXPECT_EQ(SaveTarget(u"/d/prices.kabu"_s, FileKind::ListFile, unattended(false)),
        u"/out/prices12060905.kabu"_s);
    EXPECT_EQ(SaveTarget(u"/d/a.xls"_s, FileKind::Workbook, unattended(true)), u"/out/a12060905.xlsx"_s);
    EXPECT_EQ(SaveTarget(u"/d/a.xls"_s, FileKind::Workbook, unattended(false)), u"/out/a12060905.xlsx"_s);
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

// ---- Save routing

namespace {

struct RouteCase {
    const char *what;
    const char16_t *path;
    SaveRequest request;
    bool unattended; // with an existing output folder
    bool canAsk;
    const char16_t *target; // empty: ask
    const char16_t *proposal;
    const char16_t *displaced;
};

void PrintTo(const RouteCase &c, std::ostream *os)
{
    *os << c.what;
}

class SaveRouteTest : public ::testing::TestWithParam<RouteCase> { };

// The files of the fake folder /d: a workbook, the list file Quotra wrote beside a text
// list, and notes.kabu, which is the user's own file and no list.
ExistingFile existingInD(const QString &path)
{
    if (path == u"/d/book.xlsx" || path == u"/d/old.xls" || path == u"/d/notes.kabu"
        || path == u"/d/notes (2).kabu" || path == u"/d/book (2).xlsx" || path == u"/out/book12060905.xlsx")
        return ExistingFile::Other;
    if (path == u"/d/codes.kabu")
        return ExistingFile::ListFile;
    if (path == u"/d/mine.kabu")
        return ExistingFile::Own;
    return ExistingFile::None;
}

} // namespace

TEST_P(SaveRouteTest, RoutesAsTheUserWouldExpect)
{
    const RouteCase &c = GetParam();
    const SaveNamingContext context = c.unattended ? unattended(false) : SaveNamingContext();
    const SaveRoute route = RouteSave(QString::fromUtf16(c.path), c.request,
        FileKindFromPath(QString::fromUtf16(c.path)), context, c.canAsk, existingInD);
    EXPECT_EQ(route.target, QString::fromUtf16(c.target));
    EXPECT_EQ(route.proposal, QString::fromUtf16(c.proposal));
    EXPECT_EQ(route.displaced, QString::fromUtf16(c.displaced));
}

constexpr SaveRequest kPlain = SaveRequest::Plain;
constexpr SaveRequest kChosen = SaveRequest::Chosen;

INSTANTIATE_TEST_SUITE_P(Cases, SaveRouteTest,
    ::testing::Values(
        // A workbook is never written by a plain save: NAME.kabu beside it, asked or not.
        RouteCase { "workbook, Save", u"/d/book.xlsx", kPlain, false, true, u"", u"/d/book.kabu", u"" },
        RouteCase { "xls, Save", u"/d/old.xls", kPlain, false, true, u"", u"/d/old.kabu", u"" },
        RouteCase { "workbook, unattended in place", u"/d/book.xlsx", kPlain, false, false, u"/d/book.kabu",
            u"", u"" },
        RouteCase { "workbook, unattended into a folder", u"/d/book.xlsx", kPlain, true, false,
            u"/out/book12060905 (2).xlsx", u"", u"/out/book12060905.xlsx" },
        RouteCase { "xls, unattended into a folder", u"/d/old.xls", kPlain, true, false,
            u"/out/old12060905.xlsx", u"", u"" },
        // Chosen in the dialog: written as it is, the workbook too.
        RouteCase { "workbook chosen", u"/d/book.xlsx", kChosen, false, true, u"/d/book.xlsx", u"", u"" },
        RouteCase { "xls chosen", u"/d/old.xls", kChosen, false, true, u"/d/old.xlsx", u"", u"" },
        RouteCase {
            "user's file chosen", u"/d/notes.kabu", kChosen, false, true, u"/d/notes.kabu", u"", u"" },
        // A text list saves as NAME.kabu over nothing, a list file or its own file only.
        RouteCase { "text list, free name", u"/d/new.txt", kPlain, false, true, u"/d/new.kabu", u"", u"" },
        RouteCase {
            "text list, over a list file", u"/d/codes.txt", kPlain, false, true, u"/d/codes.kabu", u"", u"" },
        RouteCase { "own file", u"/d/mine.kabu", kPlain, false, false, u"/d/mine.kabu", u"", u"" },
        RouteCase { "text list, over another file", u"/d/notes.txt", kPlain, false, true, u"",
            u"/d/notes (3).kabu", u"" },
        RouteCase { "text list, over another file, unattended", u"/d/notes.txt", kPlain, false, false,
            u"/d/notes (3).kabu", u"", u"/d/notes.kabu" },
        RouteCase { "chosen .txt, over another file", u"/d/notes.txt", kChosen, false, true, u"",
            u"/d/notes (3).kabu", u"" },
        // No name or the default list: ask.
        RouteCase { "no name", u"", kPlain, false, true, u"", u"", u"" }));

TEST(SaveRoute, ListFileNameKeepsTheFolderAndName)
{
    EXPECT_EQ(ListFileNameOf(u"/d/book.xlsx"_s), u"/d/book.kabu"_s);
    EXPECT_EQ(ListFileNameOf(u"/d.v/book"_s), u"/d.v/book.kabu"_s);
    EXPECT_EQ(ListFileNameOf(u"a.b.csv"_s), u"a.b.kabu"_s);
}
