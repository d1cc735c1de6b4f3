#pragma once

#include <QImage>

namespace veltrane::test {

// A picture with detail in every channel, so that any coding difference shows; `seed` varies it.
// With `alpha`, the alpha varies too, premultiplied as frames arrive.
inline QImage patternImage(int width, int height, int seed = 0, bool alpha = false)
{
    QImage image(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int v = (x * 13 + y * 7 + seed * 31) % 256;
            image.setPixel(x, y,
                           qRgba(v, (x ^ y) % 256, (v + seed) % 256, alpha ? (x + y) % 256 : 255));
        }
    }
    return alpha ? image.convertToFormat(QImage::Format_ARGB32_Premultiplied) : image;
}

} // namespace veltrane::test
