#pragma once

#include <QImage>
#include <QString>

namespace veltrane {

// Passes an opaque image through JPEG at the highest quality without chroma subsampling
// (4:4:4), as a stamped photo is stored, and returns the decoded result (RGB888); a null image
// and `error` when libjpeg-turbo fails. Any thread.
// The result is written over the image's own pixels, so pass it with std::move to keep only one
// frame in memory.
QImage jpegRoundTrip(QImage image, QString* error);

} // namespace veltrane
