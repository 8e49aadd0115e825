#pragma once

#include "app/core/LogFont.h"

#include <QFont>

#include <cmath>

// Mapping between the stored logical-font record and the QFont the list uses. Heights are
// pixels at 96 dpi, as the record keeps them.

// The font the record describes, built on `base` (which supplies whatever the record leaves
// at zero). An all-zero record gives `base` unchanged.
inline QFont FontFromLogFont(const LogFont &lf, const QFont &base)
{
    QFont font(base);
    if (lf.isNull())
        return font;
    const QString face = lf.face();
    if (!face.isEmpty())
        font.setFamilies({ face });
    if (lf.height != 0) {
        // Negative: the character height; positive: the cell height. Both are the pixel
        // size closely enough for a list font; guard the magnitude against absurd values.
        const qint64 px = lf.height < 0 ? -qint64(lf.height) : qint64(lf.height);
        font.setPixelSize(int(std::clamp<qint64>(px, 1, 1000)));
    }
    if (lf.weight > 0)
        font.setWeight(QFont::Weight(std::clamp(lf.weight, 1, 1000)));
    font.setItalic(lf.italic != 0);
    font.setUnderline(lf.underline != 0);
    font.setStrikeOut(lf.strikeOut != 0);
    return font;
}

// The record for `font`: character height in pixels (negative), weight, styles and face.
inline LogFont LogFontFromFont(const QFont &font)
{
    LogFont lf;
    int px = font.pixelSize();
    if (px <= 0)
        px = static_cast<int>(std::lround(font.pointSizeF() * 96.0 / 72.0));
    lf.height = -px;
    lf.weight = int(font.weight());
    lf.italic = font.italic() ? 1 : 0;
    lf.underline = font.underline() ? 1 : 0;
    lf.strikeOut = font.strikeOut() ? 1 : 0;
    lf.charSet = 1; // default character set
    lf.setFace(font.family());
    return lf;
}
