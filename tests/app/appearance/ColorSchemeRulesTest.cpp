#include "app/core/ColorSchemeRules.h"

#include <gtest/gtest.h>

namespace {

TEST(ColorSchemeRules, PortalValues)
{
    EXPECT_EQ(DarkFromPortalValue(1), true);
    EXPECT_EQ(DarkFromPortalValue(2), false);
    EXPECT_EQ(DarkFromPortalValue(0), std::nullopt);
    EXPECT_EQ(DarkFromPortalValue(3), std::nullopt);
    EXPECT_EQ(DarkFromPortalValue(0xFFFFFFFFu), std::nullopt);
}

TEST(ColorSchemeRules, GtkPreferDarkAndThemeName)
{
    EXPECT_EQ(DarkFromGtkSettings("[Settings]\ngtk-application-prefer-dark-theme=1\n"), true);
    EXPECT_EQ(DarkFromGtkSettings("[Settings]\r\ngtk-application-prefer-dark-theme = true\r\n"), true);
    EXPECT_EQ(
        DarkFromGtkSettings("[Settings]\ngtk-application-prefer-dark-theme=0\ngtk-theme-name=Adwaita-dark\n"),
        false);
    EXPECT_EQ(DarkFromGtkSettings("[Settings]\ngtk-theme-name=Adwaita-dark\n"), true);
    EXPECT_EQ(DarkFromGtkSettings("[Settings]\ngtk-theme-name=\"Arc-Dark\"\n"), true);
    EXPECT_EQ(DarkFromGtkSettings("[Settings]\ngtk-theme-name=Adwaita\n"), std::nullopt);
    // The key outside its section says nothing.
    EXPECT_EQ(DarkFromGtkSettings("gtk-application-prefer-dark-theme=1\n[Other]\ngtk-theme-name=X-dark\n"),
        std::nullopt);
    // The last value counts.
    EXPECT_EQ(DarkFromGtkSettings(
                  "[Settings]\ngtk-application-prefer-dark-theme=1\ngtk-application-prefer-dark-theme=0\n"),
        false);
}

TEST(ColorSchemeRules, MalformedSettingsSayNothing)
{
    EXPECT_EQ(DarkFromGtkSettings(QByteArray()), std::nullopt);
    EXPECT_EQ(DarkFromGtkSettings(QByteArray("\x00\xff\xfe[Settings\n=1\n", 16)), std::nullopt);
    EXPECT_EQ(DarkFromGtkSettings("[Settings]\ngtk-application-prefer-dark-theme=maybe\n"), std::nullopt);
    EXPECT_EQ(DarkFromGtkSettings("[Settings]\n=1\n   \n;comment=1\n"), std::nullopt);
    EXPECT_EQ(DarkFromGtkSettings(QByteArray(3 << 20, '[')), std::nullopt);
    EXPECT_EQ(DarkFromKdeGlobals(QByteArray()), std::nullopt);
    EXPECT_EQ(DarkFromKdeGlobals("[Colors:Window]\nBackgroundNormal=300,0,0\n"), std::nullopt);
    EXPECT_EQ(DarkFromKdeGlobals("[Colors:Window]\nBackgroundNormal=a,b,c\n"), std::nullopt);
    EXPECT_EQ(DarkFromKdeGlobals("[Colors:Window]\nBackgroundNormal=1,2\n"), std::nullopt);
}

TEST(ColorSchemeRules, KdeWindowBackgroundAndSchemeName)
{
    EXPECT_EQ(DarkFromKdeGlobals("[Colors:Window]\nBackgroundNormal=32,35,38\n"), true);
    EXPECT_EQ(DarkFromKdeGlobals("[Colors:Window]\nBackgroundNormal=239,240,241\n"), false);
    EXPECT_EQ(DarkFromKdeGlobals("[Colors:Window]\nBackgroundNormal=32,35,38,255\n"), true);
    EXPECT_EQ(DarkFromKdeGlobals("[General]\nColorScheme=BreezeDark\n"), true);
    EXPECT_EQ(DarkFromKdeGlobals("[General]\nColorScheme=BreezeLight\n"), false);
    // The colours win over the scheme's name.
    EXPECT_EQ(
        DarkFromKdeGlobals("[General]\nColorScheme=MyDark\n[Colors:Window]\nBackgroundNormal=250,250,250\n"),
        false);
}

TEST(ColorSchemeRules, GtkThemeVariable)
{
    EXPECT_EQ(DarkFromGtkThemeVariable(QStringLiteral("Adwaita:dark")), true);
    EXPECT_EQ(DarkFromGtkThemeVariable(QStringLiteral("Adwaita:light")), false);
    EXPECT_EQ(DarkFromGtkThemeVariable(QStringLiteral("Adwaita")), std::nullopt);
    EXPECT_EQ(DarkFromGtkThemeVariable(QString()), std::nullopt);
    EXPECT_EQ(DarkFromGtkThemeVariable(QStringLiteral(":")), std::nullopt);
}

TEST(ColorSchemeRules, IniValue)
{
    const QByteArray ini = "# c\n[A]\nk = v 1 \n[B]\nk=w\n[ A ]\nother=x\n";
    EXPECT_EQ(IniValue(ini, QStringLiteral("A"), QStringLiteral("k")), QStringLiteral("v 1"));
    EXPECT_EQ(IniValue(ini, QStringLiteral("B"), QStringLiteral("k")), QStringLiteral("w"));
    EXPECT_EQ(IniValue(ini, QStringLiteral("A"), QStringLiteral("other")), QStringLiteral("x"));
    EXPECT_EQ(IniValue(ini, QStringLiteral("C"), QStringLiteral("k")), std::nullopt);
}

} // namespace
