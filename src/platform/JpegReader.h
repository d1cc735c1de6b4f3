#pragma once

#include <optional>
#include <QImage>
#include <QString>

namespace veltrane {

// A JPEG decoded straight into the canvas format: RGB32 pixels and the stored JFIF resolution.
struct JpegPicture
{
    QImage pixels;
    // Dots a metre as the file stores them; 0 when it stores none.
    int dotsPerMeterX = 0;
    int dotsPerMeterY = 0;
};

// Decodes a grey, YCbCr, RGB or CMYK JPEG file with libjpeg into Format_RGB32, with no
// intermediate copy; CMYK goes through its embedded colour profile or the standard one. No value
// for anything else, and for any file libjpeg reports a fault in (a warning included): the caller
// then reads it the general way, which recovers what it can. Pictures of more than `maxPixels`
// pixels are not decoded. Any thread.
std::optional<JpegPicture> readCleanJpeg(const QString& path, qint64 maxPixels);

} // namespace veltrane
