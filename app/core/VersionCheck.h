#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

class QSettings;

// The program's own version, which the About box compares with the published one, and the
// caption it shows.
inline constexpr QStringView kProgramVersion = u"6.7.9.21";
inline constexpr QStringView kVersionCaption = u"Quotra Version 6.7";

using VersionNumber = std::array<quint32, 4>;

// "a.b.c.d": one to four whole numbers of at most nine digits, separated by single dots,
// surrounding white space ignored; missing positions count as 0. Nothing for anything else.
std::optional<VersionNumber> ParseVersion(QStringView text);

// True when `published` is newer than `own`: the first position where the two differ
// decides, and equal versions are not newer. An unreadable version is never newer.
bool IsNewerVersion(QStringView published, QStringView own = kProgramVersion);

// What the published-version file tells.
struct PublishedVersion {
    QString version; // dotted text, as published
    QString downloadPage; // opened when the user wants the new version
};

// The published-version file: UTF-8 text, the version on the first line and the download
// page's address on the second; further lines are not read. Files over
// kMaxPublishedBytes, a first line that is no version, or a download address that is not an
// http(s) address give nothing.
inline constexpr qsizetype kMaxPublishedBytes = 4096;
std::optional<PublishedVersion> ParsePublishedVersion(QByteArrayView data);

// Where the published-version file is read from: the settings value "4.00/VersionCheck/Address"
// ("PackagedAddress" for the packaged edition). Empty when none is configured: the About box
// then has no check to offer.
QString VersionCheckAddress(const QSettings &store, bool packagedEdition);
// The maker's contact address for the About box's mail link ("4.00/VersionCheck/Contact");
// empty when none is configured.
QString MakerContactAddress(const QSettings &store);
