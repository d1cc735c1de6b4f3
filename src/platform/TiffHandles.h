#pragma once

#include <QByteArray>
#include <QString>
#include <tiffio.h>

namespace veltrane {

// libtiff handles whose errors land in `message` (the last one wins) and whose warnings are
// dropped; `message` must outlive the handle. No handle when the file cannot be opened.
TIFF* openTiffFile(const QString& path, const char* mode, QString* message);
// A TIFF read from or written into `bytes`, which must outlive the handle.
TIFF* openTiffMemory(QByteArray* bytes, const char* mode, QString* message);

} // namespace veltrane
