#pragma once

#include "emulator/Receipt.h"
#include "escpos/Command.h"

#include <string>
#include <string_view>

namespace emulator {

// A bitmap built from a command, or the reason it was refused (its size is checked against the
// limits before anything is allocated).
struct BitmapResult {
    Bitmap bitmap;
    std::string refusal; // empty when the bitmap was made
    std::string note; // how it was made other than asked (cut to the print area)
};

// The tallest single image, barcode or QR code the printer accepts, in dots (1 m of paper).
inline constexpr int kMaxImageHeight = 1000 * kDotsPerMm;

// Refuses a size wider than maxWidth or taller than kMaxImageHeight; otherwise an empty bitmap
// of that size.
BitmapResult blankBitmap(long long width, long long height, int maxWidth, const char* what);

// How the dots of an image are packed, a bit a dot with the high bit first: rows of
// (width + 7) / 8 bytes left to right, or columns of (height + 7) / 8 bytes top to bottom.
enum class DotOrder { Rows, Columns };

// The bytes a packed image of that size takes.
long long packedBytes(long long width, long long height, DotOrder order);

// A packed image, each dot drawn scaleX by scaleY dots; refused when its size is out of bounds or
// `dots` holds fewer bytes than it needs. With `cutToWidth`, an image wider than maxWidth is
// not refused: only the part that fits is drawn (and allocated).
BitmapResult packedImage(std::string_view dots, long long width, long long height, DotOrder order,
    int scaleX, int scaleY, int maxWidth, const char* what, bool cutToWidth = false);

// The bitmap turned clockwise by quarter turns (0 to 3), at the same (x, y).
Bitmap turned(const Bitmap& bitmap, int quarterTurns);

// GS v 0 m xL xH yL yH d...: rows of bytes, the high bit leftmost; m doubles width and height.
// An image wider than the print area is cut to it, as printers do.
BitmapResult rasterImage(const escpos::Command& command, int maxWidth);
// ESC * m nL nH d...: columns of 8 or 24 dots, the high bit on top, in the printer's densities.
BitmapResult bitImage(const escpos::Command& command, int maxWidth);

} // namespace emulator
