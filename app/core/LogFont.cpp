#include "app/core/LogFont.h"

#include <QtEndian>

#include <cstring>

namespace {
constexpr int kFaceOffset = 28;

void putInt(char *at, qint32 v)
{
    qToLittleEndian<qint32>(v, at);
}
qint32 getInt(const char *at)
{
    return qFromLittleEndian<qint32>(at);
}
} // namespace

QString LogFont::face() const
{
    qsizetype n = 0;
    while (n < kFaceChars && faceName[size_t(n)] != 0)
        ++n;
    return QString::fromUtf16(faceName.data(), n);
}

void LogFont::setFace(const QString &name)
{
    faceName.fill(0);
    const qsizetype n = std::min<qsizetype>(name.size(), kFaceChars - 1);
    for (qsizetype i = 0; i < n; ++i)
        faceName[size_t(i)] = name.at(i).unicode();
}

QByteArray LogFont::toBytes() const
{
    QByteArray out(kSize, '\0');
    char *p = out.data();
    putInt(p + 0, height);
    putInt(p + 4, width);
    putInt(p + 8, escapement);
    putInt(p + 12, orientation);
    putInt(p + 16, weight);
    const quint8 bytes[8]
        = { italic, underline, strikeOut, charSet, outPrecision, clipPrecision, quality, pitchAndFamily };
    std::memcpy(p + 20, bytes, sizeof bytes);
    for (int i = 0; i < kFaceChars; ++i)
        qToLittleEndian<quint16>(faceName[size_t(i)], p + kFaceOffset + 2 * i);
    return out;
}

std::optional<LogFont> LogFont::fromBytes(const QByteArray &bytes)
{
    if (bytes.size() != kSize)
        return std::nullopt;
    const char *p = bytes.constData();
    LogFont f;
    f.height = getInt(p + 0);
    f.width = getInt(p + 4);
    f.escapement = getInt(p + 8);
    f.orientation = getInt(p + 12);
    f.weight = getInt(p + 16);
    f.italic = quint8(p[20]);
    f.underline = quint8(p[21]);
    f.strikeOut = quint8(p[22]);
    f.charSet = quint8(p[23]);
    f.outPrecision = quint8(p[24]);
    f.clipPrecision = quint8(p[25]);
    f.quality = quint8(p[26]);
    f.pitchAndFamily = quint8(p[27]);
    for (int i = 0; i < kFaceChars; ++i)
        f.faceName[size_t(i)] = qFromLittleEndian<quint16>(p + kFaceOffset + 2 * i);
    return f;
}
