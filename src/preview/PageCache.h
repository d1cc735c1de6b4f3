#pragma once

#include <functional>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

namespace veltrane {

// Page `pageNumber` (1-based) of a listed file as the preview shows it, as a fresh copy to draw
// on; null when there is none. The last page rasterised is kept (keyed by path, page, password
// and the file's modification time and size), so that redrawing stamps over the same page does
// not rasterise it again. Main thread.
QImage cachedPreviewPage(const QString& path, qint64 pageNumber, const QString& password);

// The same page with the preview marks already drawn for the margin rectangle that `marginsFor`
// gives for the page's size; kept too, so editing stamps redraws only the stamps.
QImage cachedMarkedPreviewPage(const QString& path, qint64 pageNumber, const QString& password,
                               const std::function<QRectF(const QSize&)>& marginsFor);

// Forgets the kept pages.
void clearPreviewPageCache();

} // namespace veltrane
