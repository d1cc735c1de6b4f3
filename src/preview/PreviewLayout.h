#pragma once

#include <QList>
#include <QRectF>
#include <QSizeF>

namespace veltrane {

class Numbering;

// Where the preview image view sits in a preview box of size `box`: 15 points free above and
// below, the width 173/245 of the height, centred.
QRectF resizePreview(const QSizeF& box);

// The "{1}" total the preview prints: the first file's page count, or with continuous
// numbering every file's, never beyond a non-zero endPage; 4 for an empty list.
qint64 previewPageTotal(const Numbering& job, const QList<qint64>& filePages);

} // namespace veltrane
