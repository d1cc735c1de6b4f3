#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

namespace veltrane {

// Stamp placement in the page frame: origin at the page's top-left corner, x to the right,
// y downward, in points on PDF pages and pixels on images. Angles are whole degrees, positive
// turning counter-clockwise as seen on the page. Pure functions; any thread.

// The left-right mirror of an anchor: 1<->3, 4<->6, 7<->9; every other code is its own mirror.
qint32 mirroredMarginAnchor(qint32 anchor);

// The anchor for the stamped page now being drawn. Without mirroring it is `anchor` and the
// state is untouched; with it, the first page after a reset (state 0) takes `anchor` and each
// later page the mirror of the previous one. `lastMarginAnchor` is the stamp's mirror state.
qint32 nextMarginAnchor(bool mirror, qint32 anchor, qint32& lastMarginAnchor);

// Corner `pointIndex` (0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left of the unturned
// box) of a `box` placed at `anchor` inside `rect`, turned by `angle` about its centre, then
// pulled back inside rect by whole points where the turn pushed it across an edge. Relative to
// rect's origin; (0, 0) for a zero rect. Sine and cosine are taken
// in double precision.
QPointF turnedBoxCorner(const QSizeF& box, qint64 angle, const QRectF& rect, qint32 anchor,
                        qint32 pointIndex);

} // namespace veltrane
