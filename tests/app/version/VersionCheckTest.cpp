#include "app/core/VersionCheck.h"

#include "tests/support/QtPrinters.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(VersionCompare, LaterPositionOnlyCountsWhenEarlierOnesAreEqual)
{
    EXPECT_TRUE(IsNewerVersion(u"6.7.10.0", u"6.7.9.21")) << "positions are numbers, not text";
    EXPECT_FALSE(IsNewerVersion(u"6.7.9.21", u"6.7.9.21")) << "equal is not newer";
    EXPECT_TRUE(IsNewerVersion(u"6.7.9.22", u"6.7.9.21"));
    EXPECT_FALSE(IsNewerVersion(u"6.7.9.20", u"6.7.9.21"));
    EXPECT_TRUE(IsNewerVersion(u"7.0.0.0", u"6.7.9.21"));
    EXPECT_FALSE(IsNewerVersion(u"6.6.99.99", u"6.7.9.21")) << "the first difference decides";
    EXPECT_FALSE(IsNewerVersion(u"5.99.99.99", u"6.7.9.21"));
    EXPECT_TRUE(IsNewerVersion(u"6.8", u"6.7.9.21")) << "missing positions are 0";
    EXPECT_FALSE(IsNewerVersion(u"6.7.9", u"6.7.9.21"));
    EXPECT_FALSE(IsNewerVersion(u"6.7.9.21.0"_s, u"6.7.9.21")) << "five positions are no version";
}

TEST(VersionCompare, OwnVersionIsTheDefault)
{
    EXPECT_EQ(kProgramVersion, u"6.7.9.21");
    EXPECT_EQ(kVersionCaption, u"Quotra Version 6.7");
    EXPECT_TRUE(IsNewerVersion(u"6.7.10.0"));
    EXPECT_FALSE(IsNewerVersion(u"6.7.9.21"));
}

TEST(VersionParse, MalformedTextsAreNoVersion)
{
    EXPECT_EQ(ParseVersion(u" 6.7.10.0\t").value(), (VersionNumber { 6, 7, 10, 0 }));
    EXPECT_EQ(ParseVersion(u"12").value(), (VersionNumber { 12, 0, 0, 0 }));
    EXPECT_EQ(ParseVersion(u"999999999.0.0.1").value(), (VersionNumber { 999999999, 0, 0, 1 }));
    for (const char16_t *bad : { u"", u" ", u".", u"6.", u".6", u"6..7", u"6.7.x.1", u"-1.0.0.0", u"+6.7",
             u"6 .7", u"6.7.9.21 beta", u"1234567890.0.0.0", u"６.７", u"0x10" })
        EXPECT_FALSE(ParseVersion(bad).has_value()) << QString::fromUtf16(bad).toStdString();
    EXPECT_FALSE(IsNewerVersion(u"garbage")) << "an unreadable published version is never newer";
}

TEST(PublishedVersionFile, VersionAndDownloadPage)
{
    const auto p = ParsePublishedVersion("6.7.10.0\nhttps://example.org/quotra/download\n");
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->version, u"6.7.10.0"_s);
    EXPECT_EQ(p->downloadPage, u"https://example.org/quotra/download"_s);
    const auto crlf = ParsePublishedVersion("\xEF\xBB\xBF 6.8.0.0 \r\nhttp://example.org/d\r\nmore text");
    ASSERT_TRUE(crlf.has_value());
    EXPECT_EQ(crlf->version, u"6.8.0.0"_s);
    EXPECT_EQ(crlf->downloadPage, u"http://example.org/d"_s);
}

TEST(PublishedVersionFile, MalformedFilesGiveNothing)
{
    EXPECT_FALSE(ParsePublishedVersion(""));
    EXPECT_FALSE(ParsePublishedVersion("6.7.10.0")) << "no download page";
    EXPECT_FALSE(ParsePublishedVersion("6.7.10.0\n")) << "empty download page";
    EXPECT_FALSE(ParsePublishedVersion("<html>\nhttps://example.org/\n")) << "an error page";
    EXPECT_FALSE(ParsePublishedVersion("6.7.10.0\nfile:///etc/passwd\n")) << "only web pages are opened";
    EXPECT_FALSE(ParsePublishedVersion("6.7.10.0\njavascript:alert(1)\n"));
    EXPECT_FALSE(ParsePublishedVersion("6.7.10.0\nhttps://\n"));
    QByteArray big("6.7.10.0\nhttps://example.org/\n");
    big.append(kMaxPublishedBytes, 'x');
    EXPECT_FALSE(ParsePublishedVersion(big)) << "larger than any version file";
}

TEST(VersionCheckAddresses, NoneConfiguredByDefault)
{
    QTemporaryDir dir;
    QSettings store(dir.filePath(u"s.ini"_s), QSettings::IniFormat);
    EXPECT_TRUE(VersionCheckAddress(store, false).isEmpty());
    EXPECT_TRUE(VersionCheckAddress(store, true).isEmpty());
    EXPECT_TRUE(MakerContactAddress(store).isEmpty());
    store.setValue(u"4.00/VersionCheck/Address"_s, u" https://example.org/v.txt "_s);
    store.setValue(u"4.00/VersionCheck/PackagedAddress"_s, u"https://example.org/store.txt"_s);
    EXPECT_EQ(VersionCheckAddress(store, false), u"https://example.org/v.txt"_s);
    EXPECT_EQ(VersionCheckAddress(store, true), u"https://example.org/store.txt"_s);
}
