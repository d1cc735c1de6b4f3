#pragma once

#include <QImage>
#include <QString>

namespace veltrane {

// Page `pageNumber` (1-based) of a listed file as the preview shows it, as a fresh copy to draw
// on; null when there is none. The last page rasterised is kept (keyed by path, page, password
// and the file's modification time and size), so that redrawing stamps over the same page does
// not rasterise it again. Main thread.
QImage cachedPreviewPage(const QString& path, qint64 pageNumber, const QString& password);

// Forgets the kept page.
void clearPreviewPageCache();

} // namespace veltrane
