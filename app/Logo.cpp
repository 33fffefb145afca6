#include "app/Logo.h"

#include "credits/Logo.h"

#include <QImage>

namespace app {

QImage logoImage()
{
    const credits::LogoPicture logo = credits::creditsLogo();
    QImage image(logo.width, logo.height, QImage::Format_Mono);
    image.setColor(0, 0xFF000000 | logo.paperColour);
    image.setColor(1, 0xFF000000 | logo.inkColour);
    for (int y = 0; y < logo.height; ++y) {
        for (int x = 0; x < logo.width; ++x)
            image.setPixel(x, y, logo.at(x, y));
    }
    return image;
}

QPixmap logoPicture()
{
    return QPixmap::fromImage(logoImage());
}

} // namespace app
