#include "app/core/DialogPlacement.h"

#include <algorithm>
#include <cstdlib>

std::optional<QPoint> PlaceOffRow(const QRect &frame, const QRect &row, const QRect &available)
{
    if (!frame.intersects(row))
        return std::nullopt;
    const int above = row.top() - frame.height();
    const int below = row.bottom() + 1;
    const bool aboveFits = above >= available.top();
    const bool belowFits = below + frame.height() - 1 <= available.bottom();
    int top;
    if (aboveFits && belowFits)
        top = std::abs(above - frame.top()) <= std::abs(below - frame.top()) ? above : below;
    else if (aboveFits)
        top = above;
    else if (!belowFits && row.top() - available.top() > available.bottom() - row.bottom())
        top = std::max(available.top(), above); // neither fits: the title bar stays on the screen
    else
        top = below; // below fits, or has more room: its lower part may leave the screen
    return QPoint(frame.left(), top);
}
