#include "platform/FrameBuffer.h"

#include <cstdlib>
#include <limits>
#include <sys/mman.h>

namespace veltrane {
namespace {

constexpr qsizetype kHugePage = 2 * 1024 * 1024;

} // namespace

QImage allocateFrame(const QSize& size, QImage::Format format)
{
    const QImage probe(1, 1, format);
    const qint64 depth = probe.depth();
    if (size.isEmpty() || depth <= 0) {
        return {};
    }
    // Rows padded to 32 bits, as QImage lays them out itself.
    const qint64 stride = (qint64(size.width()) * depth + 31) / 32 * 4;
    if (stride > std::numeric_limits<qsizetype>::max() / size.height() - kHugePage) {
        return {};
    }
    const qsizetype bytes =
        qsizetype(stride * size.height() + kHugePage - 1) / kHugePage * kHugePage;
    void* memory = nullptr;
    if (posix_memalign(&memory, size_t(kHugePage), size_t(bytes)) != 0) {
        return {};
    }
    ::madvise(memory, size_t(bytes), MADV_HUGEPAGE);
    QImage image(
        static_cast<uchar*>(memory), size.width(), size.height(), qsizetype(stride), format,
        [](void* data) { std::free(data); }, memory);
    if (image.isNull()) {
        std::free(memory);
    }
    return image;
}

} // namespace veltrane
