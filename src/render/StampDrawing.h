#pragma once

#include <QColor>
#include <QFont>
#include <QGlyphRun>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QPaintDevice;

namespace veltrane {

class TextStamp;

// The failure line of both stamps' drawing.
inline const QString kDrawFailureLine = QStringLiteral(
    "Error in [Draw:rect:marginAnchor:pageNumber:totalPages:isHighLightStamp:] : %@");

// Stamps are drawn only where every number of their place is finite and no farther than this
// from the page's origin, in points (pixels on images): past it, PDF content would carry
// invalid numbers and coordinates would wrap.
inline constexpr double kMaxStampCoordinate = 1e7;

// Whether one number of a stamp's place (a coordinate, a length, a turn) is finite and within
// kMaxStampCoordinate.
bool isSaneStampNumber(double value);

// Throws, with a reason naming the numbers, when a stamp of `box` turned by `rotation` degrees
// cannot be placed in `rect` with sane numbers; the stamp is then not drawn.
void checkStampPlace(const QRectF& rect, const QRectF& offsetRect, const QSizeF& box,
                     double rotation);

// The preview's marker over a stamp: red at half opacity.
inline const QColor kHighlightColor = QColor::fromRgbF(1.0f, 0.0f, 0.0f, 0.5f);

// A text stamp's one-line box as drawn on `device`: the resolved font, the advance width and
// line height (in the device's frame units), the ascent (baseline below the box's top edge) and
// the laid-out glyphs. Throws when the font name names no installed font.
struct TextStampGeometry
{
    QFont font;
    double fontSize = 0;
    double ascent = 0;
    QSizeF size;
    QList<QGlyphRun> glyphRuns;
};

TextStampGeometry measureTextStamp(const TextStamp& stamp, const QString& text,
                                   const QPaintDevice* device);

} // namespace veltrane
