#include "platform/ImageReaderLimit.h"

#include "platform/TiffFile.h"

#include <QImageReader>

namespace veltrane {

void matchImageReaderLimit()
{
    static const bool raised = [] {
        constexpr qint64 kBytesPerPixel = 8; // 16-bit RGBA, as 16-bit PNGs decode
        constexpr qint64 kMegabyte = 1024 * 1024;
        QImageReader::setAllocationLimit(
            int((kMaxFramePixels * kBytesPerPixel + kMegabyte - 1) / kMegabyte));
        return true;
    }();
    (void)raised;
}

} // namespace veltrane
