#include "app/Logo.h"

#include <QImage>
#include <QPainter>

namespace app {

QPixmap logoPicture()
{
    QImage image(413, 38, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(28);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("QUILLET"));
        painter.drawRect(image.rect().adjusted(0, 0, -1, -1));
    }
    return QPixmap::fromImage(image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither));
}

} // namespace app
