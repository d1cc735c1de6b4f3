#pragma once

#include <QRectF>
#include <QSizeF>

class QPainter;

namespace veltrane {

// The preview's marks on a page of `size`: black at half opacity over everything outside the
// margin rectangle `margins`, and a dashed one-unit outline along it, starting one unit below
// its top. The painter's state is left as it was.
void drawPreviewMarks(QPainter& painter, const QSizeF& size, const QRectF& margins);

} // namespace veltrane
