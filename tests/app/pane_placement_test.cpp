// Where the pane goes on screens of point-of-sale terminals and desktops.
#include "app/PanePlacement.h"

#include <gtest/gtest.h>

using app::PanePlace;

TEST(PanePlacement, TheWidenedWindowStaysOnTheScreenOrThePaneStandsAlone)
{
    const QRect xga(0, 0, 1024, 768), panelAtLeft(48, 0, 976, 768), svga(0, 0, 800, 600);
    const struct {
        QRect frame, available;
        PanePlace place;
    } cases[] = {
        { QRect(0, 0, 594, 366), xga, { 0, false } }, // room to the right
        { QRect(191, 100, 594, 366), xga, { 141, false } }, // 191 + 974 = 1165: 141 too far
        { QRect(430, 100, 594, 366), xga, { 380, false } }, // at the right edge
        { QRect(191, 100, 594, 366), panelAtLeft, { 141, false } },
        { QRect(60, 0, 594, 366), panelAtLeft, { 10, false } }, // just inside the side panel
        { QRect(0, 0, 594, 366), svga, { 0, true } }, // 974 can never fit in 800
        { QRect(0, 0, 644, 366), xga, { 0, false } }, // 1024 exactly fits
        { QRect(0, 0, 645, 366), xga, { 0, true } },
    };
    for (const auto& c : cases)
        EXPECT_EQ(app::choosePanePlace(c.frame, 380, c.available), c.place)
            << c.frame.x() << "," << c.frame.width() << " on " << c.available.width();
    // Beside the window where there is room, else at the screen's right edge.
    EXPECT_EQ(app::ownWindowPlace(QRect(0, 0, 300, 366), QSize(380, 400), svga), QPoint(300, 0));
    EXPECT_EQ(app::ownWindowPlace(QRect(0, 50, 594, 366), QSize(380, 400), svga), QPoint(420, 50));
    EXPECT_EQ(
        app::ownWindowPlace(QRect(0, 500, 594, 366), QSize(380, 400), svga), QPoint(420, 200));
}
