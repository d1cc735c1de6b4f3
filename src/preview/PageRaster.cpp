#include "preview/PageRaster.h"

#include "platform/ImageReaderLimit.h"
#include "platform/JpegReader.h"
#include "platform/PdfInfo.h"
#include "platform/TiffFile.h"

#include <cmath>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPdfDocument>

namespace veltrane {

int PDFPageGetRotation(const PdfPageBox& page)
{
    const int a = page.rotation;
    const int q = a / 90;
    if (q * 90 != a) {
        return 0;
    }
    return ((q % 4) + 4) % 4;
}

QSizeF PDFPageGetSize(const PdfPageBox& page)
{
    const QSizeF size(std::abs(page.box.width()), std::abs(page.box.height()));
    return PDFPageGetRotation(page) % 2 == 1 ? size.transposed() : size;
}

QTransform PDFPageGetDrawingTransform(const PdfPageBox& page, float scale)
{
    const double s = double(scale);
    const double x0 = page.box.x();
    const double y0 = page.box.y();
    const double w = std::abs(page.box.width());
    const double h = std::abs(page.box.height());
    // Bitmap point of page point (x, y), with u = x - x0 and v = y - y0, per quarter turn.
    switch (PDFPageGetRotation(page)) {
    case 1: // (s v, s (w - u))
        return QTransform(0, -s, s, 0, -s * y0, s * (w + x0));
    case 2: // (s (w - u), s (h - v))
        return QTransform(-s, 0, 0, -s, s * (w + x0), s * (h + y0));
    case 3: // (s (h - v), s u)
        return QTransform(0, s, -s, 0, s * (h + y0), -s * x0);
    default: // (s u, s v)
        return QTransform(s, 0, 0, s, -s * x0, -s * y0);
    }
}

QSize pagePixelSize(const QSizeF& points, double scale)
{
    auto side = [scale](double v) {
        const double floored = double(std::floor(float(v)));
        const double pixels = std::trunc(floored * scale);
        return pixels > 0 && pixels < 1e6 ? int(pixels) : 0;
    };
    return QSize(side(points.width()), side(points.height()));
}

QImage CreatePDFPageImage(const QString& path, int pageIndex, const QString& password,
                          bool transparent, double scale)
{
    const std::optional<PdfPageGeometry> geometry = readPdfPageGeometry(path, password, pageIndex);
    if (!geometry) {
        return {};
    }
    const PdfPageBox page{geometry->cropBox, geometry->rotation};
    const QSize pixels = pagePixelSize(PDFPageGetSize(page), scale);
    if (pixels.isEmpty() || qint64(pixels.width()) * pixels.height() > kMaxPreviewPixels) {
        return {};
    }
    QPdfDocument document;
    if (!password.isEmpty()) {
        document.setPassword(password);
    }
    if (document.load(path) != QPdfDocument::Error::None || pageIndex >= document.pageCount()) {
        return {};
    }
    // The renderer shows the crop box upright; scaled to the whole page, with the last partial
    // pixel of the right and top edges cut off by the floored bitmap size.
    const QSizeF full = PDFPageGetSize(page) * scale;
    const QImage rendered = document.render(
        pageIndex, QSize(int(std::ceil(full.width())), int(std::ceil(full.height()))));
    if (rendered.isNull()) {
        return {};
    }
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(transparent ? Qt::transparent : Qt::white);
    QPainter painter(&image);
    // Keep the bottom-left of the page at the bitmap's bottom-left, as the page's own
    // coordinates do.
    painter.drawImage(QPointF(0, pixels.height() - rendered.height()), rendered);
    painter.end();
    return image;
}

std::optional<QImage> loadPreviewPage(const QString& path, int pageNumber, const QString& password)
{
    if (pageNumber < 1) {
        return std::nullopt;
    }
    if (QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0) {
        QImage page = CreatePDFPageImage(path, pageNumber - 1, password, false, 1.0);
        return page.isNull() ? std::nullopt : std::optional<QImage>(page);
    }
    QString error;
    if (auto tiff = TiffReader::open(path, &error); tiff && tiff->pageCount() > 0) {
        if (pageNumber > tiff->pageCount()) {
            return std::nullopt;
        }
        QImage frame = tiff->readPage(pageNumber - 1, &error);
        return frame.isNull() ? std::nullopt : std::optional<QImage>(frame);
    }
    matchImageReaderLimit();
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead() || std::max(reader.imageCount(), 1) < pageNumber) {
        return std::nullopt;
    }
    if (reader.format() == "jpeg") {
        // As the stamping reads it: CMYK photos through their colour profile.
        if (std::optional<JpegPicture> jpeg = readCleanJpeg(path, kMaxFramePixels)) {
            return std::move(jpeg->pixels);
        }
    }
    if (pageNumber > 1 && !reader.jumpToImage(pageNumber - 1)) {
        for (int i = 1; i < pageNumber; ++i) {
            if (reader.read().isNull()) {
                return std::nullopt;
            }
        }
    }
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxFramePixels) {
        return std::nullopt;
    }
    QImage frame = reader.read();
    return frame.isNull() ? std::nullopt : std::optional<QImage>(frame);
}

} // namespace veltrane
