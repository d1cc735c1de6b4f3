#include "platform/PdfPageFrame.h"

namespace veltrane {

PdfPageFrame pdfPageFrame(const QRectF& mediaBox, int rotate)
{
    PdfPageFrame frame;
    frame.mediaBox = mediaBox.normalized();
    int r = rotate % 360;
    if (r < 0) {
        r += 360;
    }
    frame.rotation = (r % 90 == 0) ? r : 0;
    const bool sideways = frame.rotation == 90 || frame.rotation == 270;
    const QSizeF displayed = sideways ? frame.mediaBox.size().transposed() : frame.mediaBox.size();
    frame.frameBox = QRectF(frame.mediaBox.topLeft(), displayed);
    return frame;
}

QTransform layerToPageMatrix(const PdfPageFrame& frame, double layerHeight)
{
    // A layer point (a, b), y up, is (u, v) = (a, layerHeight - b) from the displayed top-left
    // corner, y down. Each rotation maps (u, v) onto user space differently.
    const double x0 = frame.mediaBox.left();
    const double y0 = frame.mediaBox.top(); // QRectF top = smallest y = PDF bottom edge
    const double w = frame.mediaBox.width();
    const double h = frame.mediaBox.height();
    const double hl = layerHeight;
    switch (frame.rotation) {
    case 90: // displayed top-left is the lower-left corner; u runs up, v runs right
        return QTransform(0, 1, -1, 0, x0 + hl, y0);
    case 180: // displayed top-left is the lower-right corner
        return QTransform(-1, 0, 0, -1, x0 + w, y0 + hl);
    case 270: // displayed top-left is the upper-right corner; u runs down, v runs left
        return QTransform(0, -1, 1, 0, x0 + w - hl, y0 + h);
    default:
        return QTransform(1, 0, 0, 1, x0, y0 + h - hl);
    }
}

} // namespace veltrane
