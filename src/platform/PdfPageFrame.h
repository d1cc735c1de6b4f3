#pragma once

#include <QRectF>
#include <QTransform>

namespace veltrane {

// Where a PDF page's stamps are drawn. Stamps are placed on the page as it is displayed: after
// its /Rotate, y downward from the displayed top edge, in points. The frame's coordinates are
// offset by the media box origin, so the displayed top-left corner of the page is
// (mediaBox.left, mediaBox.bottom-in-PDF) and `frameBox` spans the displayed page.
struct PdfPageFrame
{
    QRectF mediaBox;  // normalised, PDF user space (y up)
    int rotation = 0; // 0, 90, 180 or 270, clockwise as displayed
    QRectF frameBox;  // origin = media box origin, size = displayed width x height
};

// `rotate` is the page's /Rotate, any multiple of 90 (others count as 0).
PdfPageFrame pdfPageFrame(const QRectF& mediaBox, int rotate);

// The matrix (PDF user-space convention, as for the "cm" operator) that puts a layer page onto
// the PDF page. The layer was drawn with its top-left corner at the displayed page's top-left
// corner, y downward, in points; `layerHeight` is the layer page's own media box height.
QTransform layerToPageMatrix(const PdfPageFrame& frame, double layerHeight);

} // namespace veltrane
