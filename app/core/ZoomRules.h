#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The list zoom: a percentage shown by the status bar's text pane and slider, and the list
// font's height that follows it. Font heights are negative character heights in pixels, as
// the stored font record keeps them. The rules are plain integer and floating-point
// arithmetic so that the window, the settings and the tests share one definition.

inline constexpr int kZoomMin = 10;
inline constexpr int kZoomMax = 500;
inline constexpr int kZoomDefault = 100;
inline constexpr int kZoomSliderMax = 1000;
inline constexpr int kZoomSliderCentre = 500;

// What the slider reports, in the order of the scroll bar codes it mirrors.
enum class ZoomSliderAction {
    LineLeft,
    LineRight,
    PageLeft,
    PageRight,
    ThumbTrack, // dragged to a position
    LeftEnd,
    RightEnd,
    Other, // anything else (end of a drag, thumb released): no change
};

// a * b / c rounded to the nearest whole number, halves away from zero (the rounding of
// the platform's MulDiv); 0 when c is 0.
int MulDivRound(int a, int b, int c);

// The slider position (0-1000) that shows zoom z: 100 % sits in the middle, 10-100 % fill
// the left half and 100-500 % the right half.
int ZoomSliderPosition(int z);

// The zoom after a slider notification at zoom z; `position` is read by ThumbTrack only.
// Line steps go to the next multiple of ten, page steps by ten; a dragged thumb between
// 91 and 149 % snaps to 100 %.
int ZoomAfterSliderAction(ZoomSliderAction action, int z, int position = 0);

// The pane text of zoom z: "100%".
QString ZoomText(int z);

// The font height at 100 % for a font of `height` shown at zoom z:
// trunc(height / z * 100 - 0.5). A base of 0 (a tiny font at a large zoom) would make every
// later zoom divide by zero, so the smallest base is -1.
int BaseFontHeight(int height, int z);
// The font height at zoom z: trunc(base * z / 100 - 0.5).
int ZoomedFontHeight(int base, int z);

// The size box: `text` is what the user committed, `currentHeight` the list font's height.
// A whole positive number that differs from the current size gives the new height (minus
// the number); anything else gives nothing. Sizes above kMaxFontPixels are refused, since
// no list can show them.
inline constexpr int kMaxFontPixels = 1000;
std::optional<int> FontSizeCommit(const QString &text, int currentHeight);
// The zoom that a font of `height` means against `base`: trunc(height / base * 100), kept
// within 10-500 % (the range the zoom is stored in).
int ZoomFromFontHeight(int height, int base);

// The size box's text for a font height: "%d" of minus the height.
QString FontSizeText(int height);

// The recently used faces of the face gallery after `face` was chosen: newest first, each
// once, at most kRecentFaceCount.
inline constexpr int kRecentFaceCount = 3;
QStringList AddRecentFace(const QStringList &recent, const QString &face);
