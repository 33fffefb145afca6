#pragma once
// The logo picture of the hidden credits panel (Image1), from the credits mode's drawing.

#include <QImage>
#include <QPixmap>

namespace app {

// 413 x 38 pixels in two colours: index 0 the paper, index 1 the ink.
QImage logoImage();
QPixmap logoPicture();

} // namespace app
