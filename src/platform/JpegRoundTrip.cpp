#include "platform/JpegRoundTrip.h"

#include <algorithm>
#include <memory>
#include <turbojpeg.h>
#include <utility>

namespace veltrane {
namespace {

struct TurboDeleter
{
    void operator()(void* handle) const { tjDestroy(handle); }
};
using Turbo = std::unique_ptr<void, TurboDeleter>;

struct BufferDeleter
{
    void operator()(unsigned char* buffer) const { tjFree(buffer); }
};

// Rows per strip: a multiple of 8 and about 2 MB of pixels, so that the JPEG of one strip is all
// that is held besides the frame.
int stripRows(const QImage& image)
{
    constexpr qsizetype kStripBytes = 2 * 1024 * 1024;
    const qsizetype rows = kStripBytes / std::max<qsizetype>(image.bytesPerLine(), 1);
    return int(std::max<qsizetype>(8, rows / 8 * 8));
}

} // namespace

QImage jpegRoundTrip(QImage image, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error) {
            *error = why;
        }
        return QImage();
    };
    if (image.format() != QImage::Format_RGB888 && image.format() != QImage::Format_RGB32 &&
        image.format() != QImage::Format_RGBX8888) {
        image = image.convertToFormat(QImage::Format_RGB888);
    }
    // Format_RGB32 is B, G, R, X in memory on little-endian machines.
    const int pixelFormat = image.format() == QImage::Format_RGB888     ? TJPF_RGB
                            : image.format() == QImage::Format_RGBX8888 ? TJPF_RGBX
                            : Q_BYTE_ORDER == Q_LITTLE_ENDIAN           ? TJPF_BGRX
                                                                        : TJPF_XRGB;
    Turbo compressor(tjInitCompress());
    Turbo decompressor(tjInitDecompress());
    if (!compressor || !decompressor) {
        return fail(QStringLiteral("JPEG codec unavailable"));
    }
    const int rows = stripRows(image);
    const unsigned long capacity = tjBufSize(image.width(), rows, TJSAMP_444);
    if (image.isNull() || capacity == static_cast<unsigned long>(-1) || capacity > 0x7fffffffUL) {
        return fail(QStringLiteral("cannot pass a %1 x %2 frame through JPEG")
                        .arg(image.width())
                        .arg(image.height()));
    }
    std::unique_ptr<unsigned char, BufferDeleter> jpeg(tjAlloc(int(capacity)));
    // The result is written over the frame's own buffer, which the returned image keeps alive:
    // an RGB888 row is never longer than the row it replaces, so a decoded strip never reaches
    // pixels not yet encoded.
    auto owner = std::make_unique<QImage>(std::move(image));
    uchar* pixels = owner->bits();
    if (!jpeg || !pixels) {
        return fail(QStringLiteral("no memory to pass a frame through JPEG"));
    }
    const int width = owner->width();
    const int height = owner->height();
    const qsizetype inStride = owner->bytesPerLine();
    const qsizetype outStride = (qsizetype(width) * 3 + 3) / 4 * 4;
    // Without chroma subsampling every 8 x 8 block is coded on its own, so strips of whole
    // block rows give exactly the pixels of one pass over the whole frame.
    for (int y = 0; y < height; y += rows) {
        const int count = std::min(rows, height - y);
        unsigned char* buffer = jpeg.get();
        unsigned long size = capacity;
        if (tjCompress2(compressor.get(), pixels + inStride * y, width, int(inStride), count,
                        pixelFormat, &buffer, &size, TJSAMP_444, 100,
                        TJFLAG_ACCURATEDCT | TJFLAG_NOREALLOC) != 0) {
            return fail(QString::fromUtf8(tjGetErrorStr2(compressor.get())));
        }
        if (tjDecompress2(decompressor.get(), buffer, size, pixels + outStride * y, width,
                          int(outStride), count, TJPF_RGB, TJFLAG_ACCURATEDCT) != 0) {
            return fail(QString::fromUtf8(tjGetErrorStr2(decompressor.get())));
        }
    }
    const int dotsX = owner->dotsPerMeterX();
    const int dotsY = owner->dotsPerMeterY();
    QImage decoded(
        pixels, width, height, outStride, QImage::Format_RGB888,
        [](void* frame) { delete static_cast<QImage*>(frame); }, owner.release());
    decoded.setDotsPerMeterX(dotsX);
    decoded.setDotsPerMeterY(dotsY);
    return decoded;
}

} // namespace veltrane
