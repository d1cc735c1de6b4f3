#include "platform/FrameBuffer.h"

#include <cstdlib>
#include <limits>
#include <sys/mman.h>

namespace veltrane {
namespace {

constexpr qsizetype kHugePage = 2 * 1024 * 1024;

struct Block
{
    void* memory = nullptr;
    size_t bytes = 0;
};

// The last frame let go of on this thread, kept for the next one of the same size: a batch
// decodes frame after frame of one size, and fresh memory would have to be faulted in and
// zeroed by the kernel each time. Freed when the thread ends.
struct Spare
{
    Block block;
    ~Spare() { std::free(block.memory); }
};
thread_local Spare t_spare;

void release(void* info)
{
    auto* block = static_cast<Block*>(info);
    if (!t_spare.block.memory) {
        t_spare.block = *block;
    } else {
        std::free(block->memory);
    }
    delete block;
}

void* take(size_t bytes)
{
    if (t_spare.block.memory && t_spare.block.bytes == bytes) {
        void* memory = t_spare.block.memory;
        t_spare.block = {};
        return memory;
    }
    std::free(t_spare.block.memory); // another size: keep no more than one frame idle
    t_spare.block = {};
    void* memory = nullptr;
    if (posix_memalign(&memory, size_t(kHugePage), bytes) != 0) {
        return nullptr;
    }
    ::madvise(memory, bytes, MADV_HUGEPAGE);
    return memory;
}

} // namespace

QImage allocateFrame(const QSize& size, QImage::Format format)
{
    const qint64 depth = QImage::toPixelFormat(format).bitsPerPixel();
    if (size.isEmpty() || depth <= 0) {
        return {};
    }
    // Rows padded to 32 bits, as QImage lays them out itself.
    const qint64 stride = (qint64(size.width()) * depth + 31) / 32 * 4;
    if (stride > std::numeric_limits<qsizetype>::max() / size.height() - kHugePage) {
        return {};
    }
    const size_t bytes = size_t((stride * size.height() + kHugePage - 1) / kHugePage * kHugePage);
    void* memory = take(bytes);
    if (!memory) {
        return {};
    }
    auto* block = new Block{memory, bytes};
    QImage image(static_cast<uchar*>(memory), size.width(), size.height(), qsizetype(stride),
                 format, release, block);
    if (image.isNull()) {
        release(block);
    }
    return image;
}

} // namespace veltrane
