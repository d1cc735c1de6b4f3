#include "platform/TiffFile.h"
#include "support/PatternImage.h"
#include "support/PdfTools.h"
#include "support/TiffTools.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <tiffio.h>

using namespace Qt::StringLiterals;

using namespace veltrane;

namespace {

// The rows of a picture as a TIFF stores them, without row padding.
QByteArray rowBytes(const QImage& image)
{
    QByteArray bytes;
    const int length = image.width() * image.depth() / 8;
    for (int y = 0; y < image.height(); ++y) {
        bytes.append(reinterpret_cast<const char*>(image.constScanLine(y)), length);
    }
    return bytes;
}

// The decoded sample rows of one page, as stored.
QByteArray storedRows(const QString& path, int page)
{
    QByteArray bytes;
    TIFF* tiff = TIFFOpen(QFile::encodeName(path).constData(), "r");
    if (!tiff || !TIFFSetDirectory(tiff, tdir_t(page))) {
        return bytes;
    }
    uint32_t height = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    QByteArray row(TIFFScanlineSize(tiff), Qt::Uninitialized);
    for (uint32_t y = 0; y < height; ++y) {
        if (TIFFReadScanline(tiff, row.data(), y) < 0) {
            break;
        }
        bytes.append(row);
    }
    TIFFClose(tiff);
    return bytes;
}

struct Page
{
    QImage image;
    double xDpi;
    double yDpi;
};

const QList<Page> kPages = {
    {test::patternImage(700, 900, 1), 300, 300},   // several strips
    {test::patternImage(31, 7, 2, true), 72, 144}, // alpha, one short strip
    {test::patternImage(1, 1, 3), 96, 96},
};

} // namespace

// Every code written here gives the same bytes in memory as in a file; the codes whose strips
// need no side tables also give the same file when encoded pages are appended.
TEST(TiffPageCopy, MemoryFileAndAppendedPagesGiveTheSameBytes)
{
    const struct
    {
        qint32 code;
        bool written, appendable;
    } rows[] = {{1, true, true},     {5, true, true},       {8, true, true},   {32946, true, true},
                {32773, true, true}, {7, true, false},      {4, true, false},  {2, false, false},
                {3, false, false},   {34712, false, false}, {0, false, false}, {-1, false, false}};
    QTemporaryDir dir;
    for (const auto& row : rows) {
        const qint32 code = row.code;
        EXPECT_EQ(TiffWriter::canAppendEncoded(code), row.appendable) << "code " << code;
        if (!row.written) {
            continue;
        }
        QString error;
        const QString direct = dir.filePath(u"direct-%1.tif"_s.arg(code));
        QByteArray memory;
        {
            auto file = TiffWriter::create(direct, &error);
            auto inMemory = TiffWriter::createInMemory(&memory, &error);
            ASSERT_TRUE(file && inMemory);
            for (const Page& p : kPages) {
                ASSERT_TRUE(file->writePage(p.image, code, p.xDpi, p.yDpi, &error))
                    << code << " " << error.toStdString();
                ASSERT_TRUE(inMemory->writePage(p.image, code, p.xDpi, p.yDpi, &error));
            }
            ASSERT_TRUE(file->close(&error));
            ASSERT_TRUE(inMemory->close(&error));
        }
        EXPECT_TRUE(memory == test::fileBytes(direct)) << "code " << code;
        if (!row.appendable) {
            continue;
        }
        // Page 1 compressed on its own, pages 2 and 3 together in a second memory TIFF, as
        // workers hand them over.
        const QString copied = dir.filePath(u"copied-%1.tif"_s.arg(code));
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

TEST(TiffPageCopy, DamagedInputIsNotCopied)
{
    QTemporaryDir dir;
    QString error;
    auto writer = TiffWriter::create(dir.filePath(u"out.tif"_s), &error);
    ASSERT_TRUE(writer);
    QByteArray whole;
    {
        auto memory = TiffWriter::createInMemory(&whole, &error);
        ASSERT_TRUE(memory->writePage(kPages[0].image, 1, 72, 72, &error));
        ASSERT_TRUE(memory->close(&error));
    }
    // The last one is cut short: its strips point past the end.
    for (const QByteArray& bad :
         {QByteArray("II*\0garbage", 11), QByteArray(), whole.left(whole.size() / 2)}) {
        error.clear();
        EXPECT_FALSE(writer->appendEncodedPages(bad, &error)) << bad.size() << " bytes";
        EXPECT_FALSE(error.isEmpty()) << bad.size() << " bytes";
    }
}

TEST(TiffWriterStrips, EveryPixelFormatIsWrittenRowForRow)
{
    QTemporaryDir dir;
    // Several strips each (about a megabyte a strip), in the formats frames arrive in.
    QImage translucent(900, 700, QImage::Format_ARGB32);
    for (int y = 0; y < translucent.height(); ++y) {
        for (int x = 0; x < translucent.width(); ++x) {
            translucent.setPixel(x, y, qRgba(x % 256, y % 256, 200, (x + y) % 256));
        }
    }
    QImage indexed(800, 900, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(255, 0, 0), qRgb(0, 128, 255), qRgb(10, 20, 30)});
    for (int y = 0; y < indexed.height(); ++y) {
        for (int x = 0; x < indexed.width(); ++x) {
            indexed.setPixel(x, y, uint((x / 10 + y) % 3));
        }
    }
    // 901 pixels of RGB888 leave a padding byte at the end of every row in memory.
    const QList<QImage> pages = {
        test::patternImage(900, 700, 1).convertToFormat(QImage::Format_RGB32),
        test::patternImage(900, 700, 2).convertToFormat(QImage::Format_RGB888),
        test::patternImage(901, 700, 3).convertToFormat(QImage::Format_RGB888),
        translucent.convertToFormat(QImage::Format_ARGB32_Premultiplied), indexed};
    for (qint32 code : {1, 5}) {
        const QString path = dir.filePath(u"pages-%1.tif"_s.arg(code));
        QString error;
        auto writer = TiffWriter::create(path, &error);
        ASSERT_TRUE(writer) << error.toStdString();
        for (const QImage& page : pages) {
            ASSERT_TRUE(writer->writePage(page, code, 72, 72, &error)) << error.toStdString();
        }
        ASSERT_TRUE(writer->close(&error));
        const QList<test::TiffPageFacts> facts = test::tiffFacts(path);
        ASSERT_EQ(facts.size(), pages.size());
        for (int i = 0; i < pages.size(); ++i) {
            const QImage expected = pages[i].convertToFormat(
                pages[i].hasAlphaChannel() ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
            EXPECT_EQ(facts[i].samples, pages[i].hasAlphaChannel() ? 4 : 3);
            EXPECT_EQ(facts[i].compression, code);
            EXPECT_EQ(storedRows(path, i), rowBytes(expected)) << "code " << code << " page " << i;
        }
    }
}
