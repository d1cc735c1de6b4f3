// The placement operations of the stamp classes; all share the pure functions of Placement.h.
#include "model/ImageStamp.h"
#include "model/TextStamp.h"
#include "platform/SystemLog.h"
#include "render/Placement.h"

namespace veltrane {

qint32 StampItemBase::getNextMarginAnchor(bool mirror, qint32 anchor)
{
    return nextMarginAnchor(mirror, anchor, m_lastMarginAnchor);
}

void StampItemBase::reset()
{
    m_lastMarginAnchor = 0;
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
