#pragma once

#include "escpos/ImageCommands.h"

#include <string_view>

namespace escpos {

// The capability page's test picture, 192 x 72 dots: a frame, a checkerboard, a staircase and a
// diagonal, so that a picture turned, mirrored, cut short or misaligned shows. Its rows come in
// threes, so 8-dot bit images (three dots tall a row) print it the same as the other ways.
DotImage testImage();

// A QR code (model 2, error correction M) of `text`, each module `moduleDots` square, with the
// quiet zone of four modules around it; an empty image when the text does not fit.
DotImage qrCodeImage(std::string_view text, int moduleDots);

} // namespace escpos
