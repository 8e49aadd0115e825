#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

// The 92-byte logical-font record in which the settings keep the list font: five 32-bit
// integers, eight bytes and a face name of 32 UTF-16 units, little-endian, byte for byte as
// the platform that introduced the value lays it out. All zero means "no font stored".
struct LogFont {
    static constexpr int kSize = 92;
    static constexpr int kFaceChars = 32;

    qint32 height = 0; // < 0: character height in pixels; > 0: cell height; 0: default
    qint32 width = 0;
    qint32 escapement = 0;
    qint32 orientation = 0;
    qint32 weight = 0; // 100-900, 400 normal, 700 bold; 0 default
    quint8 italic = 0;
    quint8 underline = 0;
    quint8 strikeOut = 0;
    quint8 charSet = 0;
    quint8 outPrecision = 0;
    quint8 clipPrecision = 0;
    quint8 quality = 0;
    quint8 pitchAndFamily = 0;
    std::array<char16_t, kFaceChars> faceName {};

    bool isNull() const { return *this == LogFont {}; }
    // The face name up to its terminating zero.
    QString face() const;
    // Sets the face name, cut to 31 units so that a terminating zero always remains.
    void setFace(const QString &name);

    QByteArray toBytes() const;
    // The record of exactly 92 bytes; nothing for any other length.
    static std::optional<LogFont> fromBytes(const QByteArray &bytes);

    bool operator==(const LogFont &) const = default;
};
