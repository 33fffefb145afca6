#pragma once
// Where the printer pane goes on the screen: the window widens by the pane when the wider window
// fits the screen's available area (moved left as far as needed to stay on it); where even that
// cannot fit, the pane opens as a window of its own beside the main one.

#include <QRect>

namespace app {

struct PanePlace {
    int shiftLeft = 0; // how far the window moves left to keep its widened frame on the screen
    bool ownWindow = false;
    friend bool operator==(const PanePlace&, const PanePlace&) = default;
};

// `frame`: the window's frame (decorations included) before it widens.
PanePlace choosePanePlace(const QRect& frame, int paneWidth, const QRect& available);

// Where the pane stands as a window of its own: right of `frame` where it fits, else at the
// available area's right edge; `paneFrame` is its size with decorations.
QPoint ownWindowPlace(const QRect& frame, const QSize& paneFrame, const QRect& available);

} // namespace app
