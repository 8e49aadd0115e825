#include "app/core/ThemeChoice.h"

#include <gtest/gtest.h>

#include <set>

namespace {

bool all(int)
{
    return true;
}

TEST(ThemeChoice, TableNamesFourLooks)
{
    ASSERT_EQ(ThemeTable().size(), 4u);
    EXPECT_EQ(ThemeStyleSheetFile(ThemeOf(4001)), QStringLiteral("OFFICE2007BLUE.qss"));
    EXPECT_EQ(ThemePaletteFile(ThemeOf(4001)), QStringLiteral("OFFICE2007BLUE.ini"));
    EXPECT_EQ(ThemeStyleSheetFile(ThemeOf(4002)), QStringLiteral("OFFICE2007BLACK.qss"));
    EXPECT_EQ(ThemeStyleSheetFile(ThemeOf(4003)), QStringLiteral("OFFICE2007SILVER.qss"));
    EXPECT_EQ(ThemePaletteFile(ThemeOf(4004)), QStringLiteral("OFFICE2007AQUA.ini"));
    std::set<QString> names;
    for (const ThemeDef &def : ThemeTable())
        names.insert(ThemeStyleSheetFile(def));
    EXPECT_EQ(names.size(), 4u);
}

TEST(ThemeChoice, OtherValuesMeanBlue)
{
    for (const int v : { 0, -1, 4000, 4005, 123456 })
        EXPECT_EQ(NormalisedTheme(v), 4001) << v;
    for (const int v : { 4001, 4002, 4003, 4004 })
        EXPECT_EQ(NormalisedTheme(v), v);
}

TEST(ThemeChoice, StartsWithTheStoredLook)
{
    const ThemeState s = StartThemeState(4003, false, all);
    EXPECT_EQ(s.current, 4003);
    EXPECT_EQ(s.remembered, 4003);
    EXPECT_FALSE(s.dark);
    EXPECT_EQ(StartThemeState(0, false, all).current, 4001);
}

TEST(ThemeChoice, AMissingLookStartsAsBlue)
{
    const auto noSilver = [](int command) { return command != 4003; };
    const ThemeState s = StartThemeState(4003, false, noSilver);
    EXPECT_EQ(s.current, 4001);
    // Dark mode asks for black, which is there.
    EXPECT_EQ(StartThemeState(4003, true, noSilver).current, 4002);
    const auto noBlack = [](int command) { return command != 4002; };
    EXPECT_EQ(StartThemeState(4004, true, noBlack).current, 4001);
}

TEST(ThemeChoice, DarkModeAtStartRemembersTheStoredLook)
{
    ThemeState s = StartThemeState(4003, true, all);
    EXPECT_EQ(s.current, 4002);
    EXPECT_EQ(s.remembered, 4003);
    EXPECT_EQ(ChangeDarkMode(s, false), 4003);
    EXPECT_EQ(s.current, 4003);
}

TEST(ThemeChoice, EnteringAndLeavingDarkMode)
{
    ThemeState s = StartThemeState(4003, false, all);
    EXPECT_EQ(ChangeDarkMode(s, true), 4002);
    EXPECT_EQ(s.current, 4002);
    EXPECT_EQ(s.remembered, 4003);
    EXPECT_TRUE(s.dark);
    // The same state again changes nothing.
    EXPECT_EQ(ChangeDarkMode(s, true), 0);
    EXPECT_EQ(ChangeDarkMode(s, false), 4003);
    EXPECT_EQ(s.current, 4003);
    EXPECT_FALSE(s.dark);
    EXPECT_EQ(ChangeDarkMode(s, false), 0);
}

TEST(ThemeChoice, EnteringDarkModeFromBlackKeepsTheRememberedLook)
{
    ThemeState s = StartThemeState(4004, false, all);
    s.current = 4002; // the user chose black in light mode
    EXPECT_EQ(ChangeDarkMode(s, true), 0);
    EXPECT_EQ(s.remembered, 4004);
    // Leaving goes back to the look before black.
    EXPECT_EQ(ChangeDarkMode(s, false), 4004);
}

TEST(ThemeChoice, LeavingToTheSameLookAppliesNothing)
{
    ThemeState s = StartThemeState(4002, true, all);
    EXPECT_EQ(s.remembered, 4002);
    EXPECT_EQ(ChangeDarkMode(s, false), 0);
    EXPECT_EQ(s.current, 4002);
}

TEST(ThemeChoice, OnlyBlackIsEnabledInDarkMode)
{
    for (const ThemeDef &def : ThemeTable()) {
        EXPECT_TRUE(ThemeCommandEnabled(def.command, false));
        EXPECT_EQ(ThemeCommandEnabled(def.command, true), def.command == 4002);
    }
}

} // namespace
