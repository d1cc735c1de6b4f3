#include "model/ImageStamp.h"
#include "support/LogCapture.h"
#include "support/StampFixtures.h"

#include <gtest/gtest.h>
#include <QImage>
#include <QPainter>

using namespace Qt::StringLiterals;

using namespace veltrane;

namespace {

QImage canvas()
{
    QImage image(400, 400, QImage::Format_ARGB32);
    image.fill(Qt::white);
    return image;
}

// Yellow top half, blue bottom half: shows whether the picture stands upright.
ImageStamp pictureStamp(qint64 width, qint64 height)
{
    QImage picture(20, 20, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 20; ++x) {
            picture.setPixel(x, y, qRgb(255, 255, 0));
        }
    }
    ImageStamp stamp;
    stamp.setData(QVariantMap{{u"stampImage"_s, test::encodedPicture(picture)},
                              {u"stampImageWidth"_s, width},
                              {u"stampImageHeight"_s, height},
                              {u"stampImageOpacity"_s, qint64(100)}});
    return stamp;
}

QImage drawn(ImageStamp& stamp, qint32 anchor, bool highlight = false)
{
    QImage image = canvas();
    QPainter painter(&image);
    const QRectF rect(0, 0, 400, 400);
    stamp.draw(painter, rect, rect, anchor, 1, 1, highlight);
    return image;
}

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kYellow = qRgb(255, 255, 0);
const QRgb kBlue = qRgb(0, 0, 255);

} // namespace

TEST(ImageStampDrawing, NewStampDrawsNothingSilently)
{
    test::LogCapture log;
    ImageStamp stamp;
    EXPECT_EQ(drawn(stamp, TopLeft), canvas());
    ImageStamp undecodable = pictureStamp(50, 50);
    undecodable.setData(QVariantMap{{u"stampImage"_s, QByteArray("junk")},
                                    {u"stampImageWidth"_s, qint64(50)},
                                    {u"stampImageHeight"_s, qint64(50)},
                                    {u"stampImageOpacity"_s, qint64(100)}});
    EXPECT_EQ(drawn(undecodable, TopLeft), canvas());
    EXPECT_TRUE(log.lines().isEmpty());
}

TEST(ImageStampDrawing, WholePictureStretchedUpright)
{
    ImageStamp stamp = pictureStamp(200, 50);
    const QImage image = drawn(stamp, TopLeft);
    EXPECT_EQ(image.pixel(2, 2), kYellow);
    EXPECT_EQ(image.pixel(197, 20), kYellow);
    EXPECT_EQ(image.pixel(197, 30), kBlue);
    EXPECT_EQ(image.pixel(2, 47), kBlue);
    EXPECT_EQ(image.pixel(203, 10), kWhite);
    EXPECT_EQ(image.pixel(10, 53), kWhite);
}

TEST(ImageStampDrawing, OpacityAndHighlight)
{
    ImageStamp stamp = pictureStamp(100, 100);
    stamp.setStampImageOpacity(50);
    const QColor half = drawn(stamp, TopLeft).pixelColor(50, 80); // blue at half over white
    EXPECT_NEAR(half.red(), 127, 2);
    EXPECT_NEAR(half.green(), 127, 2);
    EXPECT_EQ(half.blue(), 255);

    const QColor marked = drawn(stamp, TopLeft, true).pixelColor(50, 80);
    EXPECT_NEAR(marked.red(), 191, 2);
    EXPECT_NEAR(marked.green(), 64, 2);
    EXPECT_NEAR(marked.blue(), 127, 2);

    stamp.setStampImageOpacity(0);
    EXPECT_EQ(drawn(stamp, TopLeft, true), canvas());
}

TEST(ImageStampDrawing, QuarterTurnAtBottomRightIsPulledInside)
{
    ImageStamp stamp = pictureStamp(200, 50);
    stamp.setStampImageRotation(90);
    const QImage image = drawn(stamp, BottomRight);
    // The turned 50 x 200 box spans x 275..325 and y 200..400.
    EXPECT_NE(image.pixel(300, 210), kWhite);
    EXPECT_NE(image.pixel(300, 390), kWhite);
    EXPECT_EQ(image.pixel(300, 190), kWhite);
    EXPECT_EQ(image.pixel(340, 300), kWhite);
    EXPECT_EQ(image.pixel(265, 300), kWhite);
    // Counter-clockwise: the picture's top (yellow) now faces left.
    EXPECT_EQ(image.pixel(280, 300), kYellow);
    EXPECT_EQ(image.pixel(320, 300), kBlue);
}
