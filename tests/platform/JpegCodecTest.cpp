#include "platform/JpegReader.h"
#include "platform/JpegRoundTrip.h"
#include "platform/TiffFile.h"
#include "support/Corpus.h"
#include "support/PatternImage.h"
#include "support/PdfTools.h"

#include <exiv2/exiv2.hpp>
#include <gtest/gtest.h>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <turbojpeg.h>

using namespace Qt::StringLiterals;

using namespace veltrane;

namespace {

QString writeJpeg(const QString& path, const QImage& image, bool progressive = false)
{
    QImageWriter writer(path, "jpeg");
    writer.setQuality(85);
    writer.setProgressiveScanWrite(progressive);
    EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
    return path;
}

// What the general reader gives, in the canvas format.
QImage qtDecoded(const QString& path)
{
    QImageReader reader(path);
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

// The whole frame through JPEG in one pass, as a reference for the strip-wise round trip.
QImage onePassRoundTrip(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    tjhandle compressor = tjInitCompress();
    tjhandle decompressor = tjInitDecompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    QImage decoded(rgb.size(), QImage::Format_RGB888);
    EXPECT_EQ(tjCompress2(compressor, rgb.constBits(), rgb.width(), int(rgb.bytesPerLine()),
                          rgb.height(), TJPF_RGB, &jpeg, &size, TJSAMP_444, 100,
                          TJFLAG_ACCURATEDCT),
              0);
    EXPECT_EQ(tjDecompress2(decompressor, jpeg, size, decoded.bits(), decoded.width(),
                            int(decoded.bytesPerLine()), decoded.height(), TJPF_RGB,
                            TJFLAG_ACCURATEDCT),
              0);
    tjFree(jpeg);
    tjDestroy(compressor);
    tjDestroy(decompressor);
    return decoded;
}

} // namespace

TEST(JpegReader, DecodesExactlyWhatTheGeneralReaderDoes)
{
    QTemporaryDir dir;
    const QImage grey = test::patternImage(33, 17).convertToFormat(QImage::Format_Grayscale8);
    QImage dense = test::patternImage(640, 481);
    dense.setDotsPerMeterX(11811); // 300 dpi
    dense.setDotsPerMeterY(5906);
    QStringList files = {
        writeJpeg(dir.filePath(u"odd.jpg"_s), test::patternImage(101, 67)),
        writeJpeg(dir.filePath(u"grey.jpg"_s), grey),
        writeJpeg(dir.filePath(u"progressive.jpg"_s), test::patternImage(250, 130), true),
        writeJpeg(dir.filePath(u"dense.jpg"_s), dense),
        test::corpusFile(u"pillow_hopper.jpg"_s),
        test::corpusFile(u"pillow_broken_exif_dpi.jpg"_s),
    };
    // A photo turned by its Exif orientation is read as stored, as the general reader does.
    const QString turned = writeJpeg(dir.filePath(u"turned.jpg"_s), test::patternImage(64, 24));
    {
        auto image = Exiv2::ImageFactory::open(turned.toStdString());
        image->readMetadata();
        Exiv2::ExifData exif;
        exif["Exif.Image.Orientation"] = uint16_t(6);
        image->setExifData(exif);
        image->writeMetadata();
    }
    files << turned;
    for (const QString& file : files) {
        const std::optional<JpegPicture> picture = readCleanJpeg(file, kMaxFramePixels);
        ASSERT_TRUE(picture) << file.toStdString();
        const QImage expected = QImageReader(file).read();
        EXPECT_EQ(picture->pixels.format(), QImage::Format_RGB32);
        EXPECT_EQ(picture->pixels, qtDecoded(file)) << file.toStdString();
        if (expected.dotsPerMeterX() != 3780 || expected.dotsPerMeterY() != 3780) {
            EXPECT_EQ(picture->dotsPerMeterX, expected.dotsPerMeterX()) << file.toStdString();
            EXPECT_EQ(picture->dotsPerMeterY, expected.dotsPerMeterY()) << file.toStdString();
        }
    }
    const std::optional<JpegPicture> denser =
        readCleanJpeg(dir.filePath(u"dense.jpg"_s), kMaxFramePixels);
    ASSERT_TRUE(denser);
    EXPECT_EQ(denser->dotsPerMeterX, 11811);
    EXPECT_EQ(denser->dotsPerMeterY, 5905);
    EXPECT_EQ(readCleanJpeg(turned, kMaxFramePixels)->pixels.size(), QSize(64, 24));
}

TEST(JpegReader, LeavesEverythingUnusualToTheGeneralReader)
{
    QTemporaryDir dir;
    const QString big = writeJpeg(dir.filePath(u"big.jpg"_s), test::patternImage(100, 50));
    EXPECT_FALSE(readCleanJpeg(big, 4999)); // over the pixel bound: not even decoded
    EXPECT_TRUE(readCleanJpeg(big, 5000));
    // Premature end: libjpeg warns and pads; the general reader decides what to make of it.
    EXPECT_FALSE(readCleanJpeg(test::corpusFile(u"pillow_truncated_jpeg.jpg"_s), kMaxFramePixels));
    EXPECT_FALSE(readCleanJpeg(test::corpusFile(u"pngsuite_basn6a16.png"_s), kMaxFramePixels));
    EXPECT_FALSE(readCleanJpeg(dir.filePath(u"missing.jpg"_s), kMaxFramePixels));
    const QString half =
        test::writeFile(dir.filePath(u"half.jpg"_s), test::fileBytes(big).left(300));
    EXPECT_FALSE(readCleanJpeg(half, kMaxFramePixels));
}

TEST(JpegRoundTrip, StripsGiveExactlyOnePassOverTheWholeFrame)
{
    // Sizes below one strip, at whole strips, and with a last strip that is not whole blocks.
    const QList<QSize> sizes = {{1, 1}, {37, 9}, {700, 1200}, {4001, 531}};
    const QList<QImage::Format> formats = {QImage::Format_RGB32, QImage::Format_RGB888,
                                           QImage::Format_RGBX8888,
                                           QImage::Format_ARGB32_Premultiplied};
    for (const QSize& size : sizes) {
        for (QImage::Format format : formats) {
            QImage image = test::patternImage(size.width(), size.height()).convertToFormat(format);
            image.setDotsPerMeterX(11811);
            image.setDotsPerMeterY(7874);
            const QImage expected = onePassRoundTrip(image);
            QString error;
            const QImage result = jpegRoundTrip(std::move(image), &error);
            ASSERT_FALSE(result.isNull()) << error.toStdString();
            EXPECT_EQ(result.format(), QImage::Format_RGB888);
            EXPECT_EQ(result, expected) << size.width() << "x" << size.height() << " " << format;
            EXPECT_EQ(result.dotsPerMeterX(), 11811);
            EXPECT_EQ(result.dotsPerMeterY(), 7874);
        }
    }
}

TEST(JpegRoundTrip, ResultOwnsItsPixelsAndSharedSourcesStayUntouched)
{
    const QImage source = test::patternImage(300, 200);
    QImage shared = source; // the round trip must not write into a copy someone still holds
    QImage result = jpegRoundTrip(shared, nullptr);
    EXPECT_EQ(shared, test::patternImage(300, 200));
    shared = QImage();
    QImage copy = result;
    result.setPixel(0, 0, qRgb(1, 2, 3)); // detaches: the copy keeps the decoded pixel
    EXPECT_NE(copy.pixel(0, 0), result.pixel(0, 0));
    EXPECT_EQ(result.pixel(0, 0), qRgb(1, 2, 3));
    QString error;
    EXPECT_TRUE(jpegRoundTrip(QImage(70000, 8, QImage::Format_RGB32), &error).isNull());
    EXPECT_FALSE(error.isEmpty()); // JPEG cannot hold more than 65535 pixels a row
}
