#include "render/Placement.h"

#include "model/ImageStamp.h"
#include "model/TextStamp.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

using namespace veltrane;

namespace {

struct PlacementCase
{
    const char* name;
    QRectF rect;
    QSizeF box;
    qint64 angle;
    qint32 anchor;
    qint32 corner;
    QPointF expected;
};

class TurnedBox : public ::testing::TestWithParam<PlacementCase>
{};

TEST_P(TurnedBox, CornerLandsExactly)
{
    const PlacementCase& c = GetParam();
    const QPointF p = turnedBoxCorner(c.box, c.angle, c.rect, c.anchor, c.corner);
    EXPECT_NEAR(p.x(), c.expected.x(), 1e-4);
    EXPECT_NEAR(p.y(), c.expected.y(), 1e-4);
}

const QRectF kLetter(36, 36, 540, 720);
const QSizeF kBox(100, 20);

const PlacementCase kCases[] = {
    {"TopLeft", kLetter, kBox, 0, 1, 0, {0, 0}},
    {"TopMiddle", kLetter, kBox, 0, 2, 0, {220, 0}},
    {"TopRight", kLetter, kBox, 0, 3, 0, {440, 0}},
    {"MiddleLeft", kLetter, kBox, 0, 4, 0, {0, 350}},
    {"MiddleMiddle", kLetter, kBox, 0, 5, 0, {220, 350}},
    {"MiddleRight", kLetter, kBox, 0, 6, 0, {440, 350}},
    {"BottomLeft", kLetter, kBox, 0, 7, 0, {0, 700}},
    {"BottomMiddle", kLetter, kBox, 0, 8, 0, {220, 700}},
    {"BottomRight", kLetter, kBox, 0, 9, 0, {440, 700}},
    {"BottomRightCorner2", kLetter, kBox, 0, 9, 2, {540, 720}},
    // Turned a quarter: the corner that crosses the top edge decides the shift, sy = -40.
    {"QuarterTurnCorner0", kLetter, kBox, 90, 1, 0, {40, 100}},
    {"QuarterTurnCorner1", kLetter, kBox, 90, 1, 1, {40, 0}},
    {"QuarterTurnCorner2", kLetter, kBox, 90, 1, 2, {60, 0}},
    {"QuarterTurnCorner3", kLetter, kBox, 90, 1, 3, {60, 100}},
    {"HalfTurnStaysInside", kLetter, kBox, 180, 1, 0, {100, 20}},
    {"NoAnchorShiftsInByWholePoints", kLetter, QSizeF(101, 21), 0, 0, 0, {-0.5, -0.5}},
    {"NoAnchorWholeBox", kLetter, kBox, 0, 0, 0, {0, 0}},
    {"UnknownAnchorActsAsNone", kLetter, kBox, 0, 42, 0, {0, 0}},
    // Wider than the rectangle: corner 1 decides, the left part sticks out.
    {"WiderThanRect", kLetter, QSizeF(600, 20), 0, 1, 0, {-60, 0}},
    // Both shifts from the back of the scan order (3 then 2).
    {"EighthTurnCentred", QRectF(0, 0, 100, 100), QSizeF(100, 100), 45, 5, 0, {-40.710678, 30.0}},
    {"LessThanAPointDecidesNothing", QRectF(0, 0, 100, 100), QSizeF(100.5, 10), 0, 1, 0, {0, 0}},
    {"ZeroRect", QRectF(0, 0, 0, 0), kBox, 33, 9, 2, {0, 0}},
    // Not the zero rectangle: an empty one at an offset pushes the box out by its whole size.
    {"EmptyRectAtOffset", QRectF(10, 10, 0, 0), kBox, 0, 1, 0, {-100, -20}},
};

INSTANTIATE_TEST_SUITE_P(Placement, TurnedBox, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

std::vector<qint32> anchorsOverPages(IStampItem& stamp, bool mirror, qint32 anchor, int pages)
{
    std::vector<qint32> out;
    for (int i = 0; i < pages; ++i) {
        out.push_back(stamp.getNextMarginAnchor(mirror, anchor));
    }
    return out;
}

} // namespace

TEST(Placement, MirroredAnchorsAlternateFromTheStampsOwn)
{
    TextStamp text;
    EXPECT_EQ(anchorsOverPages(text, true, TopRight, 5), (std::vector<qint32>{3, 1, 3, 1, 3}));
    text.reset();
    EXPECT_EQ(text.lastMarginAnchor(), 0);
    EXPECT_EQ(anchorsOverPages(text, true, BottomMiddle, 3), (std::vector<qint32>{8, 8, 8}));
    text.reset();
    EXPECT_EQ(anchorsOverPages(text, true, MiddleLeft, 3), (std::vector<qint32>{4, 6, 4}));
    text.reset();
    EXPECT_EQ(anchorsOverPages(text, true, NoAnchor, 3), (std::vector<qint32>{0, 0, 0}));

    ImageStamp image;
    EXPECT_EQ(anchorsOverPages(image, false, BottomLeft, 3), (std::vector<qint32>{7, 7, 7}));
    EXPECT_EQ(image.lastMarginAnchor(), 0);
    // The given anchor is read only on the first page after a reset.
    EXPECT_EQ(image.getNextMarginAnchor(true, BottomLeft), 7);
    EXPECT_EQ(image.getNextMarginAnchor(true, TopLeft), 9);
    EXPECT_EQ(image.getNextMarginAnchor(true, TopLeft), 7);
}

TEST(Placement, BothStampsShareTheComputationAndLogTheirOwnLine)
{
    TextStamp text;
    ImageStamp image;
    EXPECT_EQ(text.getTransformedPoint(kBox, 90, kLetter, 1, 0),
              image.getTransformedPoint(kBox, 90, kLetter, 1, 0));

    test::LogCapture log;
    EXPECT_EQ(text.getTransformedPoint(kBox, 0, kLetter, 1, 4), QPointF(0, 0));
    EXPECT_EQ(image.getTransformedPoint(kBox, 0, kLetter, 1, -1), QPointF(0, 0));
    EXPECT_EQ(log.lines(),
              QStringList({QStringLiteral("Error in "
                                          "[getTransformedPoint:textSize:angle:rect:marginAnchor:"
                                          "pointIndex] : corner index must be 0 to 3"),
                           QStringLiteral("Error in "
                                          "[getTransformedPoint:imageSize:angle:rect:"
                                          "marginAnchor:pointIndex] : corner index must be 0 to "
                                          "3")}));
}
