#include "platform/FrameBuffer.h"

#include <gtest/gtest.h>
#include <QPainter>
#include <thread>

using namespace veltrane;

TEST(FrameBuffer, LaidOutAsQImageDoesAndOnHugePageBoundaries)
{
    for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_RGB888,
                                  QImage::Format_Grayscale8, QImage::Format_Mono}) {
        const QImage reference(4001, 3, format);
        QImage frame = allocateFrame(QSize(4001, 3), format);
        ASSERT_FALSE(frame.isNull()) << format;
        EXPECT_EQ(frame.format(), format);
        EXPECT_EQ(frame.size(), QSize(4001, 3));
        EXPECT_EQ(frame.bytesPerLine(), reference.bytesPerLine()) << format;
        EXPECT_EQ(reinterpret_cast<quintptr>(frame.constBits()) % (2 * 1024 * 1024), 0u);
    }
}

TEST(FrameBuffer, BehavesAsAnyImage)
{
    QImage frame = allocateFrame(QSize(64, 32), QImage::Format_RGB32);
    frame.fill(Qt::white);
    const QImage copy = frame;
    {
        QPainter painter(&frame); // writes into the frame itself, the copy detaches
        painter.fillRect(0, 0, 8, 8, Qt::red);
    }
    EXPECT_EQ(frame.pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(copy.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(frame.convertToFormat(QImage::Format_RGB888).pixel(1, 1), qRgb(255, 0, 0));
}

TEST(FrameBuffer, ImpossibleSizesGiveNoFrame)
{
    EXPECT_TRUE(allocateFrame(QSize(0, 10), QImage::Format_RGB32).isNull());
    EXPECT_TRUE(allocateFrame(QSize(10, -1), QImage::Format_RGB32).isNull());
    EXPECT_TRUE(allocateFrame(QSize(10, 10), QImage::Format_Invalid).isNull());
    EXPECT_TRUE(allocateFrame(QSize(2'000'000'000, 2'000'000'000), QImage::Format_RGB32).isNull());
}

TEST(FrameBuffer, AFrameLetGoOfIsReusedForTheNextOfItsSize)
{
    const QSize photo(1000, 750);
    const uchar* first = nullptr;
    {
        QImage frame = allocateFrame(photo, QImage::Format_RGB32);
        first = frame.constBits();
    }
    QImage again = allocateFrame(photo, QImage::Format_RGB32);
    EXPECT_EQ(again.constBits(), first);
    const QImage other =
        allocateFrame(QSize(640, 480), QImage::Format_RGB32); // the spare is in use
    EXPECT_NE(other.constBits(), first);
    // A frame may end on another thread; it is kept or freed there.
    std::thread([frame = std::move(again)]() mutable { frame = QImage(); }).join();
    const QImage fresh = allocateFrame(photo, QImage::Format_RGB32);
    EXPECT_FALSE(fresh.isNull());
}
