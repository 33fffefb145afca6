#pragma once

#include "emulator/PaperLayout.h"

namespace emulator {

// Page mode (ESC L until FF or ESC S): characters, images and codes are laid out in a page area
// of their own (ESC W), in one of four directions (ESC T), at vertical positions that may be set
// (GS $, GS \), and printed onto the paper together by FF or ESC FF.
class PageMode {
public:
    explicit PageMode(int paperWidth);

    bool active() const { return m_active; }
    // ESC L: an empty page with the default area (the paper's width, 1662 dots long).
    void enter(Alignment alignment, int lineSpacing);
    // ESC S or ESC @: back to standard mode; what the page held is dropped.
    void leave();
    void setArea(int x, int y, int width, int height);
    void setDirection(int direction);
    // GS $ and GS \: the next line stands with its top at this vertical position.
    void setVertical(int y);
    int vertical() const { return m_layout.height(); }
    // Where the page's content goes while page mode is on.
    PaperLayout& layout() { return m_layout; }
    // FF and ESC FF: the page, turned to its direction, printed at the paper's current line.
    void printOnto(PaperLayout& paper);
    // CAN: the page is emptied.
    void clear();

private:
    int alongWidth() const { return m_direction % 2 ? m_height : m_width; }
    void resetLayout();

    int m_paperWidth;
    bool m_active = false;
    int m_x = 0, m_y = 0, m_width = 0, m_height = 0; // the area on the paper, in dots
    int m_direction = 0; // ESC T: 0 left to right, 1 bottom to top, 2 right to left, 3 top down
    PaperLayout m_layout;
};

} // namespace emulator
