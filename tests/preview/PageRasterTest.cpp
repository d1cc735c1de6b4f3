#include "preview/PageRaster.h"

#include "support/PdfTools.h"
#include "support/TiffTools.h"

#include <gtest/gtest.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

using namespace veltrane;

TEST(PageRaster, QuarterTurnsOfRotateEntries)
{
    const std::pair<int, int> rows[] = {{0, 0},   {90, 1},   {180, 2}, {270, 3}, {450, 1},
                                        {-90, 3}, {-180, 2}, {45, 0},  {100, 0}, {360, 0}};
    for (const auto& [degrees, quarter] : rows) {
        EXPECT_EQ(PDFPageGetRotation({QRectF(0, 0, 10, 10), degrees}), quarter) << degrees;
    }
    EXPECT_EQ(PDFPageGetSize({QRectF(0, 0, 612, 792), 90}), QSizeF(792, 612));
    EXPECT_EQ(PDFPageGetSize({QRectF(0, 0, 612, 792), -180}), QSizeF(612, 792));
}

TEST(PageRaster, DrawingTransformPutsTheRotatedPageAtTheOrigin)
{
    const QRectF box(36, 36, 540, 720);
    const double s = 2;
    const QPointF p(100, 50); // u = 64, v = 14
    const double u = 64, v = 14, w = 540, h = 720;
    EXPECT_EQ(PDFPageGetDrawingTransform({box, 0}, 2).map(p), QPointF(s * u, s * v));
    EXPECT_EQ(PDFPageGetDrawingTransform({box, 90}, 2).map(p), QPointF(s * v, s * (w - u)));
    EXPECT_EQ(PDFPageGetDrawingTransform({box, 180}, 2).map(p), QPointF(s * (w - u), s * (h - v)));
    EXPECT_EQ(PDFPageGetDrawingTransform({box, 270}, 2).map(p), QPointF(s * (h - v), s * u));
    // Rotation 90, 612 x 792: the page's lower-left corner is the bitmap's top-left corner.
    EXPECT_EQ(PDFPageGetDrawingTransform({QRectF(0, 0, 612, 792), 90}, 1).map(QPointF(0, 0)),
              QPointF(0, 612));
}

TEST(PageRaster, PixelSizeFloorsInSinglePrecision)
{
    EXPECT_EQ(pagePixelSize(QSizeF(595.3, 841.9), 1.0), QSize(595, 841));
    EXPECT_EQ(pagePixelSize(QSizeF(595.3, 841.9), 2.0), QSize(1190, 1682));
    EXPECT_EQ(pagePixelSize(QSizeF(0.5, 100), 1.0), QSize(0, 100));
}

TEST(PageRaster, RendersPdfPagesUprightThroughTheCropBox)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"pages.pdf"_s);
    test::writeBodyPdf(path, 3, QSizeF(400, 600));
    test::editPdf(path, [](QPDF& pdf) {
        auto pages = QPDFPageDocumentHelper(pdf).getAllPages();
        pages[1].getObjectHandle().replaceKey("/Rotate", QPDFObjectHandle::newInteger(90));
        pages[2].getObjectHandle().replaceKey("/CropBox",
                                              QPDFObjectHandle::parse("[0 300 300 600]"));
    });
    const QImage first = CreatePDFPageImage(path, 0, {}, false, 1.0);
    ASSERT_EQ(first.size(), QSize(400, 600));
    EXPECT_EQ(first.pixel(10, 10), qRgb(0, 0, 255));       // the blue square, top-left
    EXPECT_EQ(first.pixel(390, 590), qRgb(255, 255, 255)); // white paper
    const QImage turned = CreatePDFPageImage(path, 1, {}, false, 1.0);
    ASSERT_EQ(turned.size(), QSize(600, 400));
    EXPECT_EQ(turned.pixel(590, 10), qRgb(0, 0, 255)); // turned clockwise: now top-right
    EXPECT_EQ(turned.pixel(10, 10), qRgb(255, 255, 255));
    const QImage cropped = CreatePDFPageImage(path, 2, {}, false, 1.0);
    ASSERT_EQ(cropped.size(), QSize(300, 300));
    EXPECT_EQ(cropped.pixel(150, 150), qRgb(0, 0, 255)); // the crop box is the square
    const QImage clear = CreatePDFPageImage(path, 0, {}, true, 1.0);
    EXPECT_EQ(qAlpha(clear.pixel(390, 590)), 0);
    EXPECT_TRUE(CreatePDFPageImage(path, 3, {}, false, 1.0).isNull());
}

TEST(PageRaster, PreviewPagesOfEveryKindOrNone)
{
    QTemporaryDir dir;
    const QString tiff = dir.filePath(u"four.tif"_s);
    QList<QImage> frames;
    for (int i = 0; i < 4; ++i) {
        QImage frame(30 + i, 20, QImage::Format_RGB32);
        frame.fill(Qt::red);
        frames << frame;
    }
    test::writeTiff(tiff, frames, false);
    EXPECT_EQ(loadPreviewPage(tiff, 4)->width(), 33);
    EXPECT_FALSE(loadPreviewPage(tiff, 5).has_value());
    EXPECT_EQ(loadPreviewPage(test::corpusFile(u"pillow_dispose_bgnd.gif"_s), 5)->size(),
              QSize(100, 100));
    EXPECT_FALSE(loadPreviewPage(test::corpusFile(u"pillow_dispose_bgnd.gif"_s), 6).has_value());
    EXPECT_EQ(loadPreviewPage(test::corpusFile(u"qpdf_c-r6-in.pdf"_s), 2, u"user4"_s)->size(),
              QSize(612, 792));
    EXPECT_FALSE(loadPreviewPage(test::corpusFile(u"qpdf_c-r6-in.pdf"_s), 2, u"no"_s).has_value());
    EXPECT_FALSE(loadPreviewPage(dir.filePath(u"missing.pdf"_s), 1).has_value());
    EXPECT_FALSE(loadPreviewPage(tiff, 0).has_value());
}
