#include "app/Logo.h"

#include "credits/Logo.h"

#include <QImage>
#include <cstring>

namespace app {

QImage logoImage()
{
    const credits::LogoPicture logo = credits::creditsLogo();
    QImage image(logo.width, logo.height, QImage::Format_Mono);
    image.setColor(0, 0xFF000000 | logo.paperColour);
    image.setColor(1, 0xFF000000 | logo.inkColour);
    // Whole scan lines are written at once (most significant bit first): setPixel per pixel
    // made this picture a noticeable part of the window's start.
    for (int y = 0; y < logo.height; ++y) {
        uchar* line = image.scanLine(y);
        std::memset(line, 0, static_cast<std::size_t>(image.bytesPerLine()));
        for (int x = 0; x < logo.width; ++x) {
            if (logo.at(x, y))
                line[x >> 3] |= static_cast<uchar>(0x80 >> (x & 7));
        }
    }
    return image;
}

QPixmap logoPicture()
{
    return QPixmap::fromImage(logoImage());
}

} // namespace app
