#pragma once

#include "emulator/Receipt.h"

#include <QImage>

namespace emulator {

// The white paper around the printable area, in dots on each side.
inline constexpr int kPaperMargin = 32;

// Draws a receipt as the paper would look, one bit a dot: black dots on white, text in DejaVu
// Sans Mono (Debian's fonts-dejavu-core) fitted to the printer's character cells, a line where it
// was cut, and a tab in the margin where a drawer pulse was sent. Needs a QGuiApplication (fonts).
QImage renderReceipt(const Receipt& receipt);

} // namespace emulator
