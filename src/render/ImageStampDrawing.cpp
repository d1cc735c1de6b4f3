// Drawing an image stamp: the whole picture stretched into its box, turned, at its opacity.
#include "model/ImageStamp.h"
#include "platform/SystemLog.h"
#include "render/StampDrawing.h"

#include <QPainter>

namespace veltrane {

void ImageStamp::draw(QPainter& context, const QRectF& rect, const QRectF& offsetRect,
                      qint32 marginAnchor, qint64 pageNumber, qint64 totalPages,
                      bool isHighLightStamp)
{
    Q_UNUSED(pageNumber);
    Q_UNUSED(totalPages);
    if (m_cacheImage.isNull() || m_stampImage.isEmpty() || m_stampImageWidth <= 0 ||
        m_stampImageHeight <= 0 || m_stampImageOpacity <= 0) {
        return;
    }
    context.save();
    guarded(kDrawFailureLine, [&] {
        const QSizeF size{double(m_stampImageWidth), double(m_stampImageHeight)};
        checkStampPlace(rect, offsetRect, size, double(m_stampImageRotation));
        const QPointF at = getTransformedPoint(size, m_stampImageRotation, rect, marginAnchor, 0);
        context.translate(offsetRect.x() + at.x(), offsetRect.y() + at.y());
        context.rotate(double(-m_stampImageRotation));
        context.setRenderHint(QPainter::SmoothPixmapTransform, true);
        // Logos and signatures must not pick up JPEG artefacts in PDF output.
        context.setRenderHint(QPainter::LosslessImageRendering, true);
        context.setOpacity(double(std::min<qint64>(m_stampImageOpacity, 100)) * 0.01);
        context.drawImage(QRectF(QPointF(0, 0), size), m_cacheImage);
        context.setOpacity(1.0);
        if (isHighLightStamp) {
            context.fillRect(QRectF(QPointF(0, 0), size), kHighlightColor);
        }
    });
    context.restore();
}

} // namespace veltrane
