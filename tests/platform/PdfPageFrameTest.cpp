#include "platform/PdfPageFrame.h"

#include "model/Numbering.h"
#include "processing/PageLayout.h"
#include "support/ScopedPreferences.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using namespace veltrane;

namespace {

// Where a displayed y-down point of the layer lands in PDF user space.
QPointF onPage(const PdfPageFrame& frame, double layerHeight, QPointF displayed)
{
    const QPointF layer(displayed.x(), layerHeight - displayed.y());
    return layerToPageMatrix(frame, layerHeight).map(layer);
}

} // namespace

TEST(PdfPageFrame, DisplayedCornersMapToThePagesCorners)
{
    const QRectF media(100, 200, 600, 800); // llx, lly, width, height
    struct Row
    {
        int rotate;
        QSizeF displayed;
        QPointF topLeft, topRight, bottomLeft; // user space of those displayed corners
    };
    const Row rows[] = {
        {0, {600, 800}, {100, 1000}, {700, 1000}, {100, 200}},
        {90, {800, 600}, {100, 200}, {100, 1000}, {700, 200}},
        {180, {600, 800}, {700, 200}, {100, 200}, {700, 1000}},
        {270, {800, 600}, {700, 1000}, {700, 200}, {100, 1000}},
        {-90, {800, 600}, {700, 1000}, {700, 200}, {100, 1000}},
        {450, {800, 600}, {100, 200}, {100, 1000}, {700, 200}},
    };
    for (const Row& row : rows) {
        const PdfPageFrame frame = pdfPageFrame(media, row.rotate);
        EXPECT_EQ(frame.frameBox, QRectF(QPointF(100, 200), row.displayed)) << row.rotate;
        const double layerHeight = row.displayed.height() + 1.5; // layers may be taller
        const double w = row.displayed.width();
        const double h = row.displayed.height();
        EXPECT_EQ(onPage(frame, layerHeight, {0, 0}), row.topLeft) << row.rotate;
        EXPECT_EQ(onPage(frame, layerHeight, {w, 0}), row.topRight) << row.rotate;
        EXPECT_EQ(onPage(frame, layerHeight, {0, h}), row.bottomLeft) << row.rotate;
    }
    EXPECT_EQ(pdfPageFrame(media, 45).rotation, 0);
    EXPECT_EQ(pdfPageFrame(QRectF(QPointF(600, 800), QPointF(0, 0)), 0).mediaBox,
              QRectF(0, 0, 600, 800));
}

TEST(PageLayout, WorkedNumberingSelection)
{
    test::ScopedPreferences preferences;
    Numbering job;
    auto stamped = [&](qint64 start, qint64 end, qint32 range) {
        job.setStartPage(start);
        job.setEndPage(end);
        job.setPageRange(range);
        QString out;
        for (qint64 i = 1; i <= 5; ++i) {
            out += isPageStamped(job, i) ? QLatin1Char('S') : QLatin1Char('-');
        }
        return out;
    };
    EXPECT_EQ(stamped(1, 0, AllPages), u"SSSSS"_s);
    EXPECT_EQ(stamped(2, 4, AllPages), u"-SSS-"_s);
    EXPECT_EQ(stamped(1, 0, OddPages), u"S-S-S"_s);
    EXPECT_EQ(stamped(1, 0, EvenPages), u"-S-S-"_s);
    EXPECT_EQ(stamped(1, 0, 3), u"-----"_s);
    EXPECT_EQ(stamped(1, 99, AllPages), u"SSSSS"_s);
    EXPECT_EQ(stamped(6, 0, AllPages), u"-----"_s);
    EXPECT_EQ(stamped(4, 2, AllPages), u"-----"_s);
}

TEST(PageLayout, MarginRectangleInPointsOrPercent)
{
    test::ScopedPreferences preferences;
    Numbering job;
    job.setMarginLeft(10);
    job.setMarginTop(20);
    job.setMarginRight(30);
    job.setMarginBottom(40);
    EXPECT_EQ(marginRect(job, QRectF(100, 200, 600, 800)), QRectF(110, 220, 560, 740));
    job.setMarginUnit(Inches);
    EXPECT_EQ(marginRect(job, QRectF(0, 0, 600, 800)),
              QRectF(720, 1440, 600 - 720 - 2160, 800 - 1440 - 2880));
    job.setIsMarginInPercentage(true);
    EXPECT_EQ(marginRect(job, QRectF(0, 0, 600, 800)),
              QRectF(60, 160, 600 - 60 - 180, 800 - 160 - 320));
}
