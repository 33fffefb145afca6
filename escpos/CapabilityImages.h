#pragma once

#include "escpos/ImageCommands.h"


namespace escpos {

// The capability page's test picture, 192 x 72 dots: a frame, a checkerboard, a staircase and a
// diagonal, so that a picture turned, mirrored, cut short or misaligned shows. Its rows come in
// threes, so 8-dot bit images (three dots tall a row) print it the same as the other ways.
DotImage testImage();

// The QR code of the page's "QR code as an image" item (PageSymbols::qrImage), each module
// `moduleDots` square, with the quiet zone of four modules around it.
DotImage pageQrCodeImage(int moduleDots);

} // namespace escpos
