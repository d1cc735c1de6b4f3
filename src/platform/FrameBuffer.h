#pragma once

#include <QImage>
#include <QSize>

namespace veltrane {

// A frame for pixels that codecs stream through: its memory is aligned for, and advised to use,
// the kernel's huge pages, which spares most address translation misses on frames of tens of
// megabytes. A null image when the memory cannot be had.
QImage allocateFrame(const QSize& size, QImage::Format format);

} // namespace veltrane
