#include "app/PanePlacement.h"

#include <algorithm>

namespace app {

PanePlace choosePanePlace(const QRect& frame, int paneWidth, const QRect& available)
{
    if (frame.width() + paneWidth > available.width())
        return { 0, true };
    const int overhang = frame.right() + paneWidth - available.right();
    // Never further than to the area's left edge: the width check above keeps the right edge in.
    return { std::clamp(overhang, 0, std::max(0, frame.left() - available.left())), false };
}

QPoint ownWindowPlace(const QRect& frame, const QSize& paneFrame, const QRect& available)
{
    const int right = std::min(frame.right() + 1, available.right() + 1 - paneFrame.width());
    const int top = std::clamp(frame.top(), available.top(),
        std::max(available.top(), available.bottom() + 1 - paneFrame.height()));
    return { std::max(available.left(), right), top };
}

} // namespace app
