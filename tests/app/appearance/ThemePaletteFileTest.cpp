#include "app/core/ThemePaletteFile.h"
#include "tests/support/TestPaths.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

const QString kName = QStringLiteral("TEST.ini");

TEST(ThemePaletteFile, ReadsRolesByGroup)
{
    const auto p = ParseThemePalette(
        "; look\n[Palette]\nWindow = #dfe9f5\nText=#000000\n\n[Disabled]\nText = #8D9DB3\n"
        "[Inactive]\nHighlight=#102030\n",
        kName);
    ASSERT_TRUE(p) << qPrintable(p.error().message);
    ASSERT_EQ(p->entries.size(), 4);
    EXPECT_EQ(p->entries[0], (ThemePalette::Entry { ThemePalette::All, QStringLiteral("Window"), 0xDFE9F5 }));
    EXPECT_EQ(p->entries[1], (ThemePalette::Entry { ThemePalette::All, QStringLiteral("Text"), 0x000000 }));
    EXPECT_EQ(
        p->entries[2], (ThemePalette::Entry { ThemePalette::Disabled, QStringLiteral("Text"), 0x8D9DB3 }));
    EXPECT_EQ(p->entries[3],
        (ThemePalette::Entry { ThemePalette::Inactive, QStringLiteral("Highlight"), 0x102030 }));
}

struct Bad {
    const char *text;
    int code;
    const char *message;
};

class ThemePaletteBad : public ::testing::TestWithParam<Bad> { };

TEST_P(ThemePaletteBad, IsRefusedWithItsLine)
{
    const auto p = ParseThemePalette(GetParam().text, kName);
    ASSERT_FALSE(p);
    EXPECT_EQ(p.error().code, GetParam().code);
    EXPECT_EQ(p.error().message, QString::fromUtf8(GetParam().message));
}

INSTANTIATE_TEST_SUITE_P(Malformed, ThemePaletteBad,
    ::testing::Values(Bad { "", ThemePaletteErrorEmpty, "TEST.ini: no colours" },
        Bad { "; only a comment\n[Palette]\n", ThemePaletteErrorEmpty, "TEST.ini: no colours" },
        Bad { "Window=#ffffff\n", ThemePaletteErrorSyntax,
            "TEST.ini line 1: expected a section or role = colour" },
        Bad {
            "[Palette]\n[Colors]\n", ThemePaletteErrorSection, "TEST.ini line 2: unknown section [Colors]" },
        Bad { "[Palette]\nWindow #ffffff\n", ThemePaletteErrorSyntax,
            "TEST.ini line 2: expected a section or role = colour" },
        Bad {
            "[Palette]\nWindows=#ffffff\n", ThemePaletteErrorRole, "TEST.ini line 2: unknown role Windows" },
        Bad { "[Palette]\nNoRole=#ffffff\n", ThemePaletteErrorRole, "TEST.ini line 2: unknown role NoRole" },
        Bad { "[Palette]\nWindow=#fff\n", ThemePaletteErrorColour,
            "TEST.ini line 2: expected #rrggbb for Window" },
        Bad { "[Palette]\nWindow=#ffffgg\n", ThemePaletteErrorColour,
            "TEST.ini line 2: expected #rrggbb for Window" },
        Bad { "[Palette]\nWindow=#+fffff\n", ThemePaletteErrorColour,
            "TEST.ini line 2: expected #rrggbb for Window" },
        Bad { "[Palette]\nWindow=ffffff\n", ThemePaletteErrorColour,
            "TEST.ini line 2: expected #rrggbb for Window" },
        Bad { "[Palette]\nWindow=\n", ThemePaletteErrorColour,
            "TEST.ini line 2: expected #rrggbb for Window" }));

TEST(ThemePaletteFile, RefusesAHugeFile)
{
    const auto p = ParseThemePalette(QByteArray(100000, ';'), kName);
    ASSERT_FALSE(p);
    EXPECT_EQ(p.error().code, ThemePaletteErrorTooLarge);
}

TEST(ThemePaletteFile, RolesFollowThePaletteNumbering)
{
    const QList<QString> &roles = ThemePaletteRoles();
    EXPECT_EQ(roles.indexOf(QStringLiteral("WindowText")), 0);
    EXPECT_EQ(roles.indexOf(QStringLiteral("Base")), 9);
    EXPECT_EQ(roles.indexOf(QStringLiteral("Window")), 10);
    EXPECT_EQ(roles.indexOf(QStringLiteral("Highlight")), 12);
    EXPECT_EQ(roles.indexOf(QStringLiteral("ToolTipBase")), 18);
    EXPECT_EQ(roles.indexOf(QStringLiteral("PlaceholderText")), 20);
}

// Every look the program ships parses.
TEST(ThemePaletteFile, ShippedPalettesParse)
{
    const QDir dir(quotra::test::dataPath(u"../../app/ui/themes"));
    int seen = 0;
    for (const QString &name : dir.entryList({ QStringLiteral("*.ini") })) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << qPrintable(name);
        const auto p = ParseThemePalette(f.readAll(), name);
        EXPECT_TRUE(p) << qPrintable(p ? QString() : p.error().message);
        ++seen;
    }
    EXPECT_EQ(seen, 4);
}

} // namespace
