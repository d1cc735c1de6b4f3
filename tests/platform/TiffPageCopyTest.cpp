#include "platform/TiffFile.h"
#include "support/PdfTools.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

using namespace veltrane;

namespace {

QImage page(int width, int height, bool alpha, int seed)
{
    QImage image(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int v = (x * 13 + y * 7 + seed * 31) % 256;
            image.setPixel(x, y,
                           qRgba(v, (x ^ y) % 256, (v + seed) % 256, alpha ? (x + y) % 256 : 255));
        }
    }
    return alpha ? image.convertToFormat(QImage::Format_ARGB32_Premultiplied) : image;
}

struct Page
{
    QImage image;
    double xDpi;
    double yDpi;
};

const QList<Page> kPages = {
    {page(700, 900, false, 1), 300, 300}, // several strips
    {page(31, 7, true, 2), 72, 144},      // alpha, one short strip
    {page(1, 1, false, 3), 96, 96},
};

} // namespace

TEST(TiffPageCopy, AppendedPagesGiveTheSameFileAsPagesWrittenDirectly)
{
    QTemporaryDir dir;
    for (qint32 code : {1, 5, 8, 32946, 32773}) {
        ASSERT_TRUE(TiffWriter::canAppendEncoded(code)) << code;
        QString error;
        const QString direct = dir.filePath(QStringLiteral("direct-%1.tif").arg(code));
        {
            auto writer = TiffWriter::create(direct, &error);
            ASSERT_TRUE(writer);
            for (const Page& p : kPages) {
                ASSERT_TRUE(writer->writePage(p.image, code, p.xDpi, p.yDpi, &error));
            }
            ASSERT_TRUE(writer->close(&error));
        }
        // Page 1 compressed on its own, pages 2 and 3 together in a second memory TIFF, as
        // workers hand them over.
        const QString copied = dir.filePath(QStringLiteral("copied-%1.tif").arg(code));
        QByteArray first;
        QByteArray rest;
        {
            auto one = TiffWriter::createInMemory(&first, &error);
            ASSERT_TRUE(one);
            ASSERT_TRUE(one->writePage(kPages[0].image, code, 300, 300, &error));
            ASSERT_TRUE(one->close(&error));
            auto two = TiffWriter::createInMemory(&rest, &error);
            ASSERT_TRUE(two);
            for (int i = 1; i < kPages.size(); ++i) {
                ASSERT_TRUE(
                    two->writePage(kPages[i].image, code, kPages[i].xDpi, kPages[i].yDpi, &error));
            }
            ASSERT_TRUE(two->close(&error));
        }
        auto writer = TiffWriter::create(copied, &error);
        ASSERT_TRUE(writer);
        ASSERT_TRUE(writer->appendEncodedPages(first, &error)) << error.toStdString();
        ASSERT_TRUE(writer->appendEncodedPages(rest, &error)) << error.toStdString();
        ASSERT_TRUE(writer->close(&error));
        EXPECT_TRUE(test::fileBytes(copied) == test::fileBytes(direct)) << "code " << code;
    }
}

TEST(TiffPageCopy, CodesWithSideTablesAndDamagedInputAreNotCopied)
{
    for (qint32 code : {2, 3, 4, 7, 34712, 0, -1}) {
        EXPECT_FALSE(TiffWriter::canAppendEncoded(code)) << code;
    }
    QTemporaryDir dir;
    QString error;
    auto writer = TiffWriter::create(dir.filePath(QStringLiteral("out.tif")), &error);
    ASSERT_TRUE(writer);
    EXPECT_FALSE(writer->appendEncodedPages(QByteArray("II*\0garbage", 11), &error));
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_FALSE(writer->appendEncodedPages(QByteArray(), &error));
    EXPECT_FALSE(error.isEmpty());
    // Cut short: the strips point past the end.
    QByteArray whole;
    {
        auto memory = TiffWriter::createInMemory(&whole, &error);
        ASSERT_TRUE(memory->writePage(kPages[0].image, 1, 72, 72, &error));
        ASSERT_TRUE(memory->close(&error));
    }
    QByteArray cut = whole;
    cut.truncate(whole.size() / 2);
    error.clear();
    EXPECT_FALSE(writer->appendEncodedPages(cut, &error));
    EXPECT_FALSE(error.isEmpty());
}
