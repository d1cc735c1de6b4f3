// The placement operations of the stamp classes; all share the pure functions of Placement.h.
#include "model/ImageStamp.h"
#include "model/TextStamp.h"
#include "platform/SystemLog.h"
#include "render/Placement.h"
#include "render/StampDrawing.h"

#include <cmath>
#include <stdexcept>

namespace veltrane {

qint32 StampItemBase::getNextMarginAnchor(bool mirror, qint32 anchor)
{
    return nextMarginAnchor(mirror, anchor, m_lastMarginAnchor);
}

void StampItemBase::reset()
{
    m_lastMarginAnchor = 0;
}

bool isSaneStampNumber(double value)
{
    return std::isfinite(value) && std::abs(value) <= kMaxStampCoordinate;
}

void checkStampPlace(const QRectF& rect, const QRectF& offsetRect, const QSizeF& box,
                     double rotation)
{
    const double numbers[] = {rect.x(),      rect.y(),       rect.width(),
                              rect.height(), offsetRect.x(), offsetRect.y(),
                              box.width(),   box.height(),   rotation};
    for (double value : numbers) {
        if (!isSaneStampNumber(value)) {
            throw std::runtime_error(
                QStringLiteral("stamp not drawn: its place is out of range (margin rectangle "
                               "%1, %2, %3 x %4; stamp %5 x %6; turned %7 degrees)")
                    .arg(rect.x())
                    .arg(rect.y())
                    .arg(rect.width())
                    .arg(rect.height())
                    .arg(box.width())
                    .arg(box.height())
                    .arg(rotation)
                    .toStdString());
        }
    }
}

namespace {

QPointF guardedCorner(const QString& format, const QSizeF& size, qint64 angle, const QRectF& rect,
                      qint32 anchor, qint32 pointIndex)
{
    QPointF corner;
    guarded(format, [&] { corner = turnedBoxCorner(size, angle, rect, anchor, pointIndex); });
    return corner;
}

} // namespace

QPointF TextStamp::getTransformedPoint(const QSizeF& textSize, qint64 angle, const QRectF& rect,
                                       qint32 marginAnchor, qint32 pointIndex) const
{
    return guardedCorner(QStringLiteral("Error in "
                                        "[getTransformedPoint:textSize:angle:rect:marginAnchor:"
                                        "pointIndex] : %@"),
                         textSize, angle, rect, marginAnchor, pointIndex);
}

QPointF ImageStamp::getTransformedPoint(const QSizeF& imageSize, qint64 angle, const QRectF& rect,
                                        qint32 marginAnchor, qint32 pointIndex) const
{
    return guardedCorner(QStringLiteral("Error in "
                                        "[getTransformedPoint:imageSize:angle:rect:marginAnchor:"
                                        "pointIndex] : %@"),
                         imageSize, angle, rect, marginAnchor, pointIndex);
}

} // namespace veltrane
