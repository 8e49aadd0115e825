#pragma once

#include <QPoint>
#include <QRect>

#include <optional>

// Where a modeless dialog goes so that it does not cover the row it has just found, as
// editors move their find box off the match. All rectangles are in screen coordinates:
// `frame` the dialog's frame, `row` the found row, `available` the screen's usable area.
// Nothing when the frame leaves the row free; otherwise the frame's new top-left, with its
// left edge kept: just above or just below the row, whichever fits on the screen with the
// smaller move; when neither fits, next to the row on the side with more room, its top
// never above the screen's (so its title bar can still be reached).
std::optional<QPoint> PlaceOffRow(const QRect &frame, const QRect &row, const QRect &available);
