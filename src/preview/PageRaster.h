#pragma once

#include <optional>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QTransform>

namespace veltrane {

// Turning one page of a listed file into a bitmap for the live preview. PDF pages are shown
// through their crop box, upright as a viewer shows them, at `scale` pixels per point; frames
// of TIFF files and pictures at their own pixel size. Main thread (PDF rendering is not
// re-entrant).

// Pages whose bitmap would be larger than this many pixels are not rasterised (a 200 x 200 inch
// page would need over 800 MB).
inline constexpr qint64 kMaxPreviewPixels = 64'000'000;

// What the rasterising needs of a PDF page: its crop box in default user space (y up, points)
// and its /Rotate entry in degrees.
struct PdfPageBox
{
    QRectF box;
    int rotation = 0;
};

// The quarter turn 0..3 of a /Rotate entry; angles that are not whole quarter turns count as 0.
int PDFPageGetRotation(const PdfPageBox& page);

// The page's size in points after its rotation.
QSizeF PDFPageGetSize(const PdfPageBox& page);

// The transform from page user space to bitmap space (origin at the lower-left pixel, y up):
// the rotated page fills (0, 0) - (scale x width, scale x height).
QTransform PDFPageGetDrawingTransform(const PdfPageBox& page, float scale);

// Bitmap size for a page size: each side floored in single precision, times the scale, cut to
// a whole number.
QSize pagePixelSize(const QSizeF& points, double scale);

// Page `pageIndex` (0-based) of the PDF at `path`, unlocked with `password`, on white (or
// transparent) paper; a null image when the page cannot be read or its bitmap would be empty.
QImage CreatePDFPageImage(const QString& path, int pageIndex, const QString& password,
                          bool transparent, double scale);

// Page `pageNumber` (1-based) of any listed file as the preview shows it: a PDF page at one
// pixel per point, or a picture's frame at its pixel size. No value when there is none to show.
std::optional<QImage> loadPreviewPage(const QString& path, int pageNumber,
                                      const QString& password = {});

} // namespace veltrane
