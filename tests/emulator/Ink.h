#pragma once
// Where a rendered receipt has ink.

#include "emulator/ReceiptRenderer.h"

#include <QImage>
#include <QRect>

// The smallest box around the dots of one colour index (1, black; 2, the second colour), in dots
// of the paper.
inline QRect ink(const QImage& picture, int index = 1)
{
    QRect box;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixelIndex(x, y) == index)
                box |= QRect(x - emulator::kPaperMargin, y - emulator::kPaperMargin, 1, 1);
    return box;
}
