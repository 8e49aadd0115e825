#include "app/core/CCLineInfo.h"
#include "app/core/Startup.h"

#include <gtest/gtest.h>

namespace {

using Shell = CCLineInfo::ShellCommand;

struct LineCase {
    const char *name;
    QStringList args;
    Shell shell;
    QString file;
    bool autoRun;
    bool excel;
    quint8 theme;
    QString folder;
};

void PrintTo(const LineCase &c, std::ostream *os)
{
    *os << c.name;
}

class CommandLineTest : public ::testing::TestWithParam<LineCase> { };

TEST_P(CommandLineTest, Parses)
{
    const LineCase &c = GetParam();
    const CCLineInfo info = CCLineInfo::Parse(c.args);
    EXPECT_EQ(info.shellCommand, c.shell);
    EXPECT_EQ(info.fileName, c.file);
    EXPECT_EQ(info.autoRun, c.autoRun);
    EXPECT_EQ(info.excelOutput, c.excel);
    EXPECT_EQ(info.themeRequest, c.theme);
    EXPECT_EQ(info.outputFolder, c.folder);
}

QStringList args(std::initializer_list<const char16_t *> list)
{
    QStringList out;
    for (const char16_t *s : list)
        out << QString::fromUtf16(s);
    return out;
}

const QString kA = QStringLiteral("D:\\lists\\a.kabu");

INSTANTIATE_TEST_SUITE_P(Examples, CommandLineTest,
    ::testing::Values(LineCase { "nothing", {}, Shell::FileNew, {}, false, false, 0, {} },
        LineCase { "file", args({ u"list.kabu" }), Shell::FileOpen, QStringLiteral("list.kabu"), false, false,
            0, {} },
        LineCase { "auto", args({ u"/Auto", u"list.kabu" }), Shell::FileOpen, QStringLiteral("list.kabu"),
            true, false, 0, {} },
        LineCase { "auto2 lower", args({ u"/auto2", u"l.kabu" }), Shell::FileOpen, QStringLiteral("l.kabu"),
            true, true, 0, {} },
        LineCase { "auto2 upper", args({ u"/AUTO2" }), Shell::FileNew, {}, true, true, 0, {} },
        LineCase { "dash flag", args({ u"-Auto2" }), Shell::FileNew, {}, true, true, 0, {} },
        LineCase { "automatic is auto", args({ u"/Automatic" }), Shell::FileNew, {}, true, false, 0, {} },
        LineCase { "auto2x is auto2", args({ u"/Auto2x" }), Shell::FileNew, {}, true, true, 0, {} },
        LineCase { "dark", args({ u"/Dark" }), Shell::FileNew, {}, false, false, 1, {} },
        LineCase { "darkness", args({ u"/darkness" }), Shell::FileNew, {}, false, false, 1, {} },
        LineCase { "light", args({ u"-LIGHT" }), Shell::FileNew, {}, false, false, 2, {} },
        LineCase { "folder", args({ u"/FolderD:\\out" }), Shell::FileNew, {}, false, false, 0,
            QStringLiteral("D:\\out") },
        LineCase { "folder keeps case", args({ u"/folder/Srv/Out Dir" }), Shell::FileNew, {}, false, false, 0,
            QStringLiteral("/Srv/Out Dir") },
        LineCase { "folder alone", args({ u"/Folder" }), Shell::FileNew, {}, false, false, 0, {} },
        LineCase { "short words are not flags", args({ u"/Aut", u"/Dar", u"/Ligh", u"/Folde" }),
            Shell::FileNew, {}, false, false, 0, {} },
        LineCase { "lone slash", args({ u"/", u"-" }), Shell::FileNew, {}, false, false, 0, {} },
        LineCase { "file after flag last", args({ u"list.kabu", u"/Auto" }), Shell::FileOpen,
            QStringLiteral("list.kabu"), true, false, 0, {} },
        LineCase { "first file wins", args({ u"a.kabu", u"b.kabu" }), Shell::FileOpen,
            QStringLiteral("a.kabu"), false, false, 0, {} },
        LineCase { "print", args({ u"/p", u"a.kabu" }), Shell::FilePrint, QStringLiteral("a.kabu"), false,
            false, 0, {} },
        LineCase { "unknown flag ignored", args({ u"/Zzz", u"a.kabu" }), Shell::FileOpen,
            QStringLiteral("a.kabu"), false, false, 0, {} },
        LineCase { "full auto run", args({ u"/Auto2", u"/Folder/srv/out", u"/home/u/list.kabu" }),
            Shell::FileOpen, QStringLiteral("/home/u/list.kabu"), true, true, 0, QStringLiteral("/srv/out") },
        // The protocol form.
        LineCase { "protocol example", args({ u"quotra.kabu:/Auto*/FolderD:\\out*D:\\lists\\a.kabu" }),
            Shell::FileOpen, kA, true, false, 0, QStringLiteral("D:\\out") },
        LineCase { "protocol empty", args({ u"quotra.kabu:" }), Shell::FileNew, {}, false, false, 0, {} },
        LineCase { "protocol light", args({ u"quotra.kabu:D:\\a.kabu*/Light" }), Shell::FileOpen,
            QStringLiteral("D:\\a.kabu"), false, false, 2, {} },
        LineCase { "protocol trailing star", args({ u"quotra.kabu:D:\\a.kabu*" }), Shell::FileNew, {}, false,
            false, 0, {} },
        LineCase { "protocol other case", args({ u"Quotra.kabu:/Auto*a.kabu" }), Shell::FileOpen,
            QStringLiteral("Quotra.kabu:/Auto*a.kabu"), false, false, 0, {} },
        LineCase { "protocol later file wins", args({ u"quotra.kabu:a.kabu*b.kabu" }), Shell::FileOpen,
            QStringLiteral("b.kabu"), false, false, 0, {} },
        LineCase { "protocol ignores standard flags", args({ u"quotra.kabu:/p*-dde*/Unregister*a.kabu" }),
            Shell::FileOpen, QStringLiteral("a.kabu"), false, false, 0, {} },
        LineCase { "protocol dash flags", args({ u"quotra.kabu:-auto2*-dark" }), Shell::FileNew, {}, true,
            true, 1, {} },
        LineCase { "protocol keeps quotes", args({ u"quotra.kabu:/Folder\"/srv/o\"*\"a.kabu\"" }),
            Shell::FileOpen, QStringLiteral("\"a.kabu\""), false, false, 0, QStringLiteral("\"/srv/o\"") },
        LineCase { "packaged task form", args({ u"quotra.kabu:/Auto*/Folder/srv/out*/home/u/a.kabu" }),
            Shell::FileOpen, QStringLiteral("/home/u/a.kabu"), true, false, 0, QStringLiteral("/srv/out") },
        LineCase {
            "prefix as flag word", args({ u"-quotra.kabu:/Auto" }), Shell::FileNew, {}, false, false, 0, {} },
        LineCase { "absolute path is a file", args({ u"/Auto", u"/Dark/list.kabu" }), Shell::FileOpen,
            QStringLiteral("/Dark/list.kabu"), true, false, 0, {} },
        LineCase { "protocol absolute path", args({ u"quotra.kabu:/srv/a.kabu*/Dark" }), Shell::FileOpen,
            QStringLiteral("/srv/a.kabu"), false, false, 1, {} },
        LineCase { "prefix too short", args({ u"quotra.kabu" }), Shell::FileOpen,
            QStringLiteral("quotra.kabu"), false, false, 0, {} }),
    [](const ::testing::TestParamInfo<LineCase> &info) {
        std::string n = info.param.name;
        for (char &ch : n)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return n;
    });

TEST(CommandLineBadInput, HundredThousandCharacterArgument)
{
    const QString longFile(100000, QLatin1Char('f'));
    const CCLineInfo info = CCLineInfo::Parse({ QStringLiteral("/Auto"), longFile });
    EXPECT_EQ(info.fileName, longFile);
    EXPECT_EQ(info.shellCommand, Shell::FileOpen);

    const CCLineInfo folder
        = CCLineInfo::Parse({ QStringLiteral("/Folder") + QString(100000, QLatin1Char('d')) });
    EXPECT_EQ(folder.outputFolder.size(), 100000);
}

TEST(CommandLineBadInput, ManyArguments)
{
    QStringList many;
    for (int i = 0; i < 20000; ++i)
        many << (i % 2 ? QStringLiteral("/Dark") : QStringLiteral("x%1").arg(i));
    const CCLineInfo info = CCLineInfo::Parse(many);
    EXPECT_EQ(info.fileName, QStringLiteral("x0"));
    EXPECT_EQ(info.themeRequest, CCLineInfo::ThemeDark);
}

TEST(CommandLineBadInput, ProtocolPayloadWithThousandsOfPieces)
{
    QString payload = QStringLiteral("quotra.kabu:");
    for (int i = 0; i < 50000; ++i)
        payload += (i % 3 == 0 ? QStringLiteral("/Light*") : QStringLiteral("f%1*").arg(i));
    payload += QStringLiteral("last.kabu");
    const CCLineInfo info = CCLineInfo::Parse({ payload });
    EXPECT_EQ(info.fileName, QStringLiteral("last.kabu"));
    EXPECT_EQ(info.themeRequest, CCLineInfo::ThemeLight);

    const CCLineInfo stars
        = CCLineInfo::Parse({ QStringLiteral("quotra.kabu:") + QString(100000, QLatin1Char('*')) });
    EXPECT_EQ(stars.fileName, QString());
    EXPECT_EQ(stars.shellCommand, Shell::FileNew);
}

TEST(CommandLineBadInput, ControlAndNonBmpCharactersPassThrough)
{
    const QString odd = QStringLiteral("a\x01\tb") + QString::fromUtf16(u"\U0001F600.kabu");
    const CCLineInfo info = CCLineInfo::Parse({ QStringLiteral("quotra.kabu:") + odd });
    EXPECT_EQ(info.fileName, odd);
}

struct PackagedCase {
    const char *path;
    bool packaged;
};
void PrintTo(const PackagedCase &c, std::ostream *os)
{
    *os << '"' << c.path << '"';
}
class PackagedEditionTest : public ::testing::TestWithParam<PackagedCase> { };
TEST_P(PackagedEditionTest, MarkerAfterTheFirstCharacter)
{
    EXPECT_EQ(IsPackagedEdition(QLatin1String(GetParam().path)), GetParam().packaged);
}
INSTANTIATE_TEST_SUITE_P(Paths, PackagedEditionTest,
    ::testing::Values(PackagedCase { "/opt/apps/Kestrel.Quotra_6.7.9.21_x64/bin/quotra", true },
        PackagedCase { "/usr/bin/quotra", false }, PackagedCase { "Kestrel.Quotra_/quotra", false },
        PackagedCase { "/opt/kestrel.quotra_1/quotra", false }, PackagedCase { "", false }));

} // namespace
