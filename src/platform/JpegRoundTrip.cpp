#include "platform/JpegRoundTrip.h"

#include <memory>
#include <utility>
#include <turbojpeg.h>

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

} // namespace

QImage jpegRoundTrip(QImage image, QString* error)
{
    const int dotsX = image.dotsPerMeterX();
    const int dotsY = image.dotsPerMeterY();
    const QSize pixels = image.size();
    QImage source = image.format() == QImage::Format_RGB888 ||
                            image.format() == QImage::Format_RGB32 ||
                            image.format() == QImage::Format_RGBX8888
                        ? std::move(image)
                        : image.convertToFormat(QImage::Format_RGB888);
    image = QImage();
    Turbo compressor(tjInitCompress());
    Turbo decompressor(tjInitDecompress());
    if (!compressor || !decompressor) {
        if (error) {
            *error = QStringLiteral("JPEG codec unavailable");
        }
        return {};
    }
    // Format_RGB32 is B, G, R, X in memory on little-endian machines.
    const int pixelFormat = source.format() == QImage::Format_RGB888     ? TJPF_RGB
                            : source.format() == QImage::Format_RGBX8888 ? TJPF_RGBX
                            : Q_BYTE_ORDER == Q_LITTLE_ENDIAN            ? TJPF_BGRX
                                                                         : TJPF_XRGB;
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    if (tjCompress2(compressor.get(), source.constBits(), source.width(),
                    int(source.bytesPerLine()), source.height(), pixelFormat, &jpeg, &size,
                    TJSAMP_444, 100, TJFLAG_ACCURATEDCT) != 0) {
        if (error) {
            *error = QString::fromUtf8(tjGetErrorStr2(compressor.get()));
        }
        tjFree(jpeg);
        return {};
    }
    std::unique_ptr<unsigned char, BufferDeleter> encoded(jpeg);
    source = QImage();
    QImage decoded(pixels, QImage::Format_RGB888);
    if (decoded.isNull() || tjDecompress2(decompressor.get(), encoded.get(), size, decoded.bits(),
                                          decoded.width(), int(decoded.bytesPerLine()),
                                          decoded.height(), TJPF_RGB, TJFLAG_ACCURATEDCT) != 0) {
        if (error) {
            *error = QString::fromUtf8(tjGetErrorStr2(decompressor.get()));
        }
        return {};
    }
    decoded.setDotsPerMeterX(dotsX);
    decoded.setDotsPerMeterY(dotsY);
    return decoded;
}

} // namespace veltrane
