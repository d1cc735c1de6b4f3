#pragma once

#include "model/ImageStamp.h"

#include <memory>
#include <QByteArray>
#include <QColor>
#include <QImage>

namespace veltrane::test {

// `image` encoded in `format` ("PNG", "TIFF", ...).
QByteArray encodedPicture(const QImage& image, const char* format = "PNG");

// An image stamp of one solid colour, `size` x `size` units, switched on, fully opaque.
std::unique_ptr<ImageStamp> blockStamp(QColor colour, qint32 anchor, qint64 size);

} // namespace veltrane::test
