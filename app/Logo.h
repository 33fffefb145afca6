#pragma once
// The two-colour logo picture of the hidden credits panel.

#include <QPixmap>

namespace app {

// 413 × 38 pixels, black on white, stored in the program.
QPixmap logoPicture();

} // namespace app
