#include "render/Placement.h"

#include "model/StampTypes.h"

#include <array>
#include <cmath>
#include <stdexcept>

namespace veltrane {
namespace {

constexpr double kDegreesToRadians = 0.017453292519943295;

QPointF anchorCentre(const QSizeF& box, const QRectF& rect, qint32 anchor)
{
    const double w = box.width();
    const double h = box.height();
    const double W = rect.width();
    const double H = rect.height();
    switch (anchor) {
    case TopLeft:
        return {w / 2, h / 2};
    case TopMiddle:
        return {W / 2, h / 2};
    case TopRight:
        return {W - w / 2, h / 2};
    case MiddleLeft:
        return {w / 2, H / 2};
    case MiddleMiddle:
        return {W / 2, H / 2};
    case MiddleRight:
        return {W - w / 2, H / 2};
    case BottomLeft:
        return {w / 2, H - h / 2};
    case BottomMiddle:
        return {W / 2, H - h / 2};
    case BottomRight:
        return {W - w / 2, H - h / 2};
    default:
        return {0, 0};
    }
}

// Corners scanned in this order decide the shift; the first one that sticks out wins.
bool scanFromCornerZero(qint32 anchor, qint64 angle)
{
    const bool f =
        anchor == TopLeft || anchor == TopMiddle ||
        (anchor == TopRight && ((angle >= 26 && angle <= 154) || (angle >= 206 && angle <= 334)));
    if (angle >= 91 && angle <= 269) {
        return !f;
    }
    return f;
}

// trunc toward zero into a signed 32-bit shift, saturating for absurd geometry.
qint32 wholePoints(double v)
{
    const double t = std::trunc(v);
    if (!(t > -2147483648.0)) {
        return INT32_MIN;
    }
    if (!(t < 2147483647.0)) {
        return INT32_MAX;
    }
    return qint32(t);
}

} // namespace

qint32 mirroredMarginAnchor(qint32 anchor)
{
    switch (anchor) {
    case TopLeft:
        return TopRight;
    case TopRight:
        return TopLeft;
    case MiddleLeft:
        return MiddleRight;
    case MiddleRight:
        return MiddleLeft;
    case BottomLeft:
        return BottomRight;
    case BottomRight:
        return BottomLeft;
    default:
        return anchor;
    }
}

qint32 nextMarginAnchor(bool mirror, qint32 anchor, qint32& lastMarginAnchor)
{
    if (!mirror) {
        return anchor;
    }
    lastMarginAnchor = lastMarginAnchor == 0 ? anchor : mirroredMarginAnchor(lastMarginAnchor);
    return lastMarginAnchor;
}

QPointF turnedBoxCorner(const QSizeF& box, qint64 angle, const QRectF& rect, qint32 anchor,
                        qint32 pointIndex)
{
    if (pointIndex < 0 || pointIndex > 3) {
        throw std::out_of_range("corner index must be 0 to 3");
    }
    if (rect.x() == 0 && rect.y() == 0 && rect.width() == 0 && rect.height() == 0) {
        return {0, 0};
    }
    const QPointF centre = anchorCentre(box, rect, anchor);
    const double r = double(angle) * kDegreesToRadians;
    // Double precision: with single-precision trigonometry a quarter turn lands a corner a
    // hair inside a whole point and the truncated shift comes out one point short.
    const double c = std::cos(-r);
    const double s = std::sin(-r);
    const double hw = box.width() / 2;
    const double hh = box.height() / 2;
    const std::array<QPointF, 4> offsets = {QPointF(-hw, -hh), QPointF(hw, -hh), QPointF(hw, hh),
                                            QPointF(-hw, hh)};
    std::array<QPointF, 4> corners;
    for (int i = 0; i < 4; ++i) {
        const double dx = offsets[i].x();
        const double dy = offsets[i].y();
        corners[i] = QPointF(dx * c - dy * s + centre.x(), dx * s + dy * c + centre.y());
    }

    const double W = rect.width();
    const double H = rect.height();
    const bool forward = scanFromCornerZero(anchor, angle);
    qint32 sx = 0;
    qint32 sy = 0;
    for (int n = 0; n < 4; ++n) {
        const QPointF& p = corners[forward ? n : 3 - n];
        if (sx == 0) {
            if (p.x() > W && wholePoints(p.x() - W) != 0) {
                sx = wholePoints(p.x() - W);
            } else if (p.x() < 0) {
                sx = wholePoints(p.x());
            }
        }
        if (sy == 0) {
            if (p.y() > H && wholePoints(p.y() - H) != 0) {
                sy = wholePoints(p.y() - H);
            } else if (p.y() < 0) {
                sy = wholePoints(p.y());
            }
        }
    }
    return corners[pointIndex] - QPointF(sx, sy);
}

} // namespace veltrane
