#pragma once

#include <QRectF>
#include <QSizeF>

namespace veltrane {

class Numbering;

// Whether the page at 1-based `position` of its file gets stamps: inside startPage ... endPage
// (endPage 0 meaning the last page) and of the parity pageRange asks for; an unknown pageRange
// stamps nothing. Parity is the page's position in its own file, never the running number.
bool isPageStamped(const Numbering& job, qint64 position);

// The margin rectangle of a page whose box is `pageBox` in the stamps' frame (y downward):
// the box less the job's four margins, in points (percentages taken of the box's width for
// left and right, of its height for top and bottom). Not clamped: margins larger than the page
// give a negative width or height.
QRectF marginRect(const Numbering& job, const QRectF& pageBox);

// The margin rectangle of a picture or preview page of `size` (origin at its top-left corner):
// margins of 0 or less count as none.
QRectF imageMarginRect(const Numbering& job, const QSizeF& size);

} // namespace veltrane
