#pragma once

#include <QtGlobal>

namespace veltrane {

// Where a stamp sits inside the margin rectangle, row by row; 0 means none chosen yet.
enum MarginAnchor : qint32 {
    NoAnchor = 0,
    TopLeft = 1,
    TopMiddle = 2,
    TopRight = 3,
    MiddleLeft = 4,
    MiddleMiddle = 5,
    MiddleRight = 6,
    BottomLeft = 7,
    BottomMiddle = 8,
    BottomRight = 9,
};

// Units of the job's margins; any other code counts as points.
enum MarginUnit : qint32 {
    Points = 0,
    Millimetres = 1,
    Inches = 2,
};

// Which pages of a file get stamps, by their 1-based position in that file.
enum PageRange : qint32 {
    AllPages = 0,
    OddPages = 1,
    EvenPages = 2,
};

enum class StampKind { Text, Image };

} // namespace veltrane
