#include "render/PreviewMarks.h"

#include <QPainter>

namespace veltrane {

void drawPreviewMarks(QPainter& painter, const QSizeF& size, const QRectF& r)
{
    painter.save();
    const double W = size.width();
    const double H = size.height();
    // Four bands that do not overlap, so each pixel is washed once.
    const QColor wash = QColor::fromRgbF(0, 0, 0, 0.5);
    painter.fillRect(QRectF(0, 0, r.left(), H), wash);
    painter.fillRect(QRectF(r.left(), 0, r.width(), r.top()), wash);
    painter.fillRect(QRectF(r.left() + r.width(), 0, W - (r.left() + r.width()), H), wash);
    painter.fillRect(QRectF(r.left(), r.top() + r.height(), r.width(), H - (r.top() + r.height())),
                     wash);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen dash(Qt::black);
    dash.setWidthF(1);
    dash.setDashPattern({2, 2, 2, 2});
    painter.setPen(dash);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(r.left(), r.top() + 1, r.width() - 1, r.height() - 1));
    painter.restore();
}

} // namespace veltrane
