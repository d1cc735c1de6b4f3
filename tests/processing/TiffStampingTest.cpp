#include "filelist/FileItem.h"
#include "model/ImageStamp.h"
#include "model/Numbering.h"
#include "model/TextStamp.h"
#include "preview/PageRaster.h"
#include "support/GifTools.h"
#include "support/LogCapture.h"
#include "support/PdfTools.h"
#include "support/ScopedPreferences.h"
#include "support/StampJobFixture.h"
#include "support/TiffTools.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

using namespace veltrane;
using test::corpusFile;
using test::tiffFacts;
using test::tiffPage;

namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kGreen = qRgb(0, 255, 0);

QImage whitePage(int w = 200, int h = 100)
{
    QImage page(w, h, QImage::Format_ARGB32);
    page.fill(Qt::white);
    return page;
}

bool near(QRgb a, QRgb b, int tolerance = 6)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

class TiffStampingTest : public test::StampJobFixture
{
protected:
    TiffStampingTest()
    {
        m_textAnchor = TopLeft;
        m_fontName = u"DejaVu Sans"_s;
        m_fontSize = 20;
        m_blockSize = 20;
    }

    // What a stamped page carrying `number` of `total` looks like, drawn the same way.
    QImage expectedPage(const QImage& page, qint64 number, qint64 total)
    {
        Numbering copy(m_job);
        copy.setNumberCounter(number);
        QImage canvas = page.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        copy.drawOnImage(canvas, number, total, -1, false);
        return canvas.convertToFormat(QImage::Format_ARGB32);
    }
};

} // namespace

TEST_F(TiffStampingTest, FramesInTheSpanCarryTheRunningNumber)
{
    // Transparent-capable pages skip the JPEG pass, so pixels can be compared exactly.
    test::writeTiff(path(u"five.tif"_s), QList<QImage>(5, whitePage()), true, 300);
    addText(u"{0}/{1}"_s);
    m_job.setStartPage(2);
    m_job.setEndPage(4);
    ASSERT_TRUE(stampTiff(path(u"five.tif"_s), path(u"out.tif"_s)));
    const auto pages = tiffFacts(path(u"out.tif"_s));
    ASSERT_EQ(pages.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(tiffPage(path(u"out.tif"_s), i), expectedPage(whitePage(), i + 1, 5)) << i;
        EXPECT_EQ(pages[i].xResolution, 300);
        EXPECT_EQ(pages[i].extraSamples, 1);
    }
    EXPECT_EQ(m_job.numberCounter(), 4);
    EXPECT_FALSE(m_job.isUpdating());
    EXPECT_NE(expectedPage(whitePage(), 1, 5), expectedPage(whitePage(), 2, 5));
}

TEST_F(TiffStampingTest, EvenRangeKeepsOddFramesUnstamped)
{
    test::writeTiff(path(u"four.tiff"_s), QList<QImage>(4, whitePage()), true);
    addText(u"{0}"_s);
    m_job.setPageRange(EvenPages);
    ASSERT_TRUE(stampTiff(path(u"four.tiff"_s), path(u"out.tiff"_s), 5));
    const QString out = path(u"out.tiff"_s);
    ASSERT_EQ(tiffFacts(out).size(), 4);
    EXPECT_EQ(tiffFacts(out)[0].compression, 5);
    EXPECT_EQ(tiffPage(out, 0), whitePage());
    EXPECT_EQ(tiffPage(out, 1), expectedPage(whitePage(), 1, 4));
    EXPECT_EQ(tiffPage(out, 2), whitePage());
    EXPECT_EQ(tiffPage(out, 3), expectedPage(whitePage(), 2, 4));
}

TEST_F(TiffStampingTest, NothingInTheSpanWritesNothing)
{
    test::writeTiff(path(u"two.tif"_s), QList<QImage>(2, whitePage()), false);
    addText(u"{0}"_s);
    m_job.setStartPage(3);
    test::LogCapture log;
    EXPECT_FALSE(stampTiff(path(u"two.tif"_s), path(u"out.tif"_s)));
    EXPECT_FALSE(QFile::exists(path(u"out.tif"_s)));
    EXPECT_EQ(folderEntries(), QStringList{u"two.tif"_s});
}

TEST_F(TiffStampingTest, MarginsAnchorsAndMirroringInPixels)
{
    test::writeTiff(path(u"in.tif"_s), QList<QImage>(2, whitePage(300, 300)), true, 300);
    m_job.setMarginLeft(10);
    m_job.setMarginTop(10);
    m_job.setMarginRight(-4); // no margin
    ImageStamp& block = addBlock(Qt::green, TopLeft);
    block.setIsSymmetry(true);
    ASSERT_TRUE(stampTiff(path(u"in.tif"_s), path(u"out.tif"_s)));
    const QImage first = tiffPage(path(u"out.tif"_s), 0);
    const QImage second = tiffPage(path(u"out.tif"_s), 1);
    // A 10-point margin is 10 pixels, whatever the file's 300 dpi.
    EXPECT_EQ(first.pixel(10, 10), kGreen);
    EXPECT_EQ(first.pixel(9, 15), kWhite);
    EXPECT_EQ(first.pixel(29, 29), kGreen);
    EXPECT_EQ(second.pixel(299, 10), kGreen); // mirrored, and no right margin
    EXPECT_EQ(second.pixel(15, 15), kWhite);
}

TEST_F(TiffStampingTest, OpaquePicturesPassThroughJpegAndKeepTheirName)
{
    addBlock(Qt::green, BottomRight, 30);
    const QString out = path(u"pillow_hopper.jpg"_s);
    ASSERT_TRUE(stampTiff(corpusFile(u"pillow_hopper.jpg"_s), out));
    const auto pages = tiffFacts(out);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pages[0].compression, 1);
    EXPECT_EQ(pages[0].samples, 3);
    EXPECT_EQ(pages[0].width, 128);
    const QImage page = tiffPage(out, 0);
    EXPECT_TRUE(near(page.pixel(120, 120), kGreen));
    const QImage source(corpusFile(u"pillow_hopper.jpg"_s));
    EXPECT_TRUE(near(page.pixel(20, 20), source.pixel(20, 20), 3)); // near lossless round trip
}

TEST_F(TiffStampingTest, TransparencyAnimationAndPaletteSurvive)
{
    addBlock(Qt::green, TopLeft, 6);
    ASSERT_TRUE(stampTiff(corpusFile(u"pngsuite_basn6a16.png"_s), path(u"a.png"_s)));
    auto pages = tiffFacts(path(u"a.png"_s));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pages[0].samples, 4);
    EXPECT_EQ(pages[0].extraSamples, 1);
    const QImage expected(corpusFile(u"pngsuite_basn6a16.png"_s));
    const QImage page = tiffPage(path(u"a.png"_s), 0);
    EXPECT_EQ(page.pixel(2, 2), kGreen);
    EXPECT_NEAR(qAlpha(page.pixel(20, 20)), qAlpha(expected.pixel(20, 20)), 1);

    ASSERT_TRUE(stampTiff(corpusFile(u"pillow_dispose_bgnd.gif"_s), path(u"g.gif"_s)));
    EXPECT_EQ(tiffFacts(path(u"g.gif"_s)).size(), 5);
    ASSERT_TRUE(stampTiff(corpusFile(u"pillow_multipage.tiff"_s), path(u"m.tiff"_s)));
    EXPECT_EQ(tiffFacts(path(u"m.tiff"_s)).size(), 3);
    for (const char* name : {"bmpsuite_pal8rle.bmp", "pngsuite_ibasn3p08.png", "pillow_hopper.gif",
                             "pillow_hopper_lzw.tif", "pillow_tiff_strip_cmyk_jpeg.tif",
                             "libtiff_minisblack-2c-8b-alpha.tiff", "pillow_pil_sample_cmyk.jpg",
                             "pillow_broken_exif_dpi.jpg"}) {
        const QString out = path(u"corpus-out"_s);
        ASSERT_TRUE(stampTiff(corpusFile(QString::fromLatin1(name)), out)) << name;
        const auto facts = tiffFacts(out);
        ASSERT_EQ(facts.size(), 1) << name;
        EXPECT_TRUE(near(tiffPage(out, 0).pixel(2, 2), kGreen)) << name;
    }
}

// Either outcome is fine here; only a half-written output or a silent failure is not.
TEST_F(TiffStampingTest, TruncatedOrCorruptPicturesAreStampedAsFarAsTheyDecodeOrRefused)
{
    addBlock(Qt::green, TopLeft);
    // A PNG with one byte of its picture data changed: the checksum no longer holds.
    QByteArray png = test::fileBytes(corpusFile(u"pngsuite_basn6a16.png"_s));
    png[png.indexOf("IDAT") + 40] = char(png[png.indexOf("IDAT") + 40] ^ 0x55);
    const struct
    {
        const char* name;
        QString source;
        bool silentWhenStamped;
    } rows[] = {
        {"truncated JPEG", corpusFile(u"pillow_truncated_jpeg.jpg"_s), true},
        {"PNG failing its checksum", test::writeFile(path(u"crc.png"_s), png), false},
    };
    for (const auto& row : rows) {
        test::LogCapture log;
        const QString out = path(u"out.tif"_s);
        if (stampTiff(row.source, out)) {
            EXPECT_EQ(tiffFacts(out).size(), 1) << row.name;
            EXPECT_TRUE(!row.silentWhenStamped || log.lines().isEmpty()) << row.name;
            QFile::remove(out);
        } else {
            EXPECT_EQ(log.lines().size(), 1) << row.name;
            EXPECT_FALSE(QFile::exists(out)) << row.name;
        }
    }
}

// A cut or damaged file gives the frames before the first one that does not decode, and says
// what was left out; when not even the first decodes, the file fails.
TEST_F(TiffStampingTest, CutFilesKeepTheFramesThatDecodeAndSayWhatWasLeftOut)
{
    addBlock(Qt::green, TopLeft);
    const QList<QColor> colours{Qt::red, Qt::blue, Qt::yellow, Qt::cyan};
    const test::GifFile gif = test::makeGif(QSize(64, 48), colours);
    auto writeGif = [&](const QString& name, qsizetype size) {
        QFile file(path(name));
        file.open(QIODevice::WriteOnly);
        file.write(gif.bytes.left(size));
        return file.fileName();
    };
    auto writeDamagedTiff = [&](const QString& name, int page, test::TiffDamage damage) {
        QList<QImage> pages;
        for (const QColor& colour : colours + QList<QColor>{Qt::magenta}) {
            pages << whitePage(64, 48);
            pages.last().fill(colour);
        }
        test::writeTiff(path(name), pages, false);
        test::damageTiff(path(name), page, damage);
        return path(name);
    };
    const struct
    {
        const char* name;
        QString source;
        int pages; // written; 0: the file fails
        QString note;
    } rows[] = {
        {"GIF cut inside its last frame", writeGif(u"cut.gif"_s, gif.frameOffsets[3] + 11), 3,
         u"frame 4 of 4 could not be read"_s},
        {"GIF cut inside its first frame",
         writeGif(u"first.gif"_s, gif.frameOffsets[0] + 11),
         0,
         {}},
        {"TIFF page data past the end",
         writeDamagedTiff(u"data.tif"_s, 3, test::TiffDamage::DataPastTheEnd), 3,
         u"frame 4 of 5 could not be read: it and the 1 after it were left out"_s},
        {"TIFF cut where a page begins",
         writeDamagedTiff(u"cut.tif"_s, 3, test::TiffDamage::CutAtPage), 3,
         QStringLiteral("the file is cut short after frame 3: the frames that should follow "
                        "could not be read")},
        {"TIFF whose first page does not decode",
         writeDamagedTiff(u"first.tif"_s, 0, test::TiffDamage::DataPastTheEnd),
         0,
         {}},
    };
    for (const auto& row : rows) {
        test::LogCapture log;
        const QString out = path(u"out.tif"_s);
        QFile::remove(out);
        EXPECT_EQ(stampTiff(row.source, out), row.pages > 0) << row.name;
        EXPECT_EQ(m_job.omissionNote(), row.note) << row.name;
        EXPECT_EQ(log.lines().size(), row.pages > 0 ? 0 : 1) << row.name;
        const auto facts = tiffFacts(out);
        ASSERT_EQ(facts.size(), row.pages) << row.name;
        for (int page = 0; page < row.pages; ++page) {
            EXPECT_TRUE(near(tiffPage(out, page).pixel(2, 2), kGreen)) << row.name;
            EXPECT_TRUE(near(tiffPage(out, page).pixel(40, 40), colours[page].rgb()))
                << row.name << " page " << page;
        }
    }
}

TEST_F(TiffStampingTest, BilevelScansStayBilevelWithTheStampVisible)
{
    addBlock(Qt::black, MiddleMiddle, 400);
    const QString out = path(u"g4.tiff"_s);
    ASSERT_TRUE(stampTiff(corpusFile(u"pillow_g4-multi.tiff"_s), out, 4));
    const auto pages = tiffFacts(out);
    ASSERT_EQ(pages.size(), 3);
    for (const auto& page : pages) {
        EXPECT_EQ(page.compression, 4);
        EXPECT_EQ(page.bitsPerSample, 1);
        EXPECT_EQ(page.samples, 1);
        EXPECT_EQ(page.width, 3307);
    }
    const QImage first = tiffPage(out, 0);
    EXPECT_EQ(first.pixel(3307 / 2, 4677 / 2), qRgb(0, 0, 0));
    EXPECT_EQ(first.pixel(3307 / 2 + 250, 4677 / 2),
              tiffPage(corpusFile(u"pillow_g4-multi.tiff"_s), 0).pixel(3307 / 2 + 250, 4677 / 2));
    EXPECT_LT(QFileInfo(out).size(),
              3 * QFileInfo(corpusFile(u"pillow_g4-multi.tiff"_s)).size() + 20000);
}

TEST_F(TiffStampingTest, FailuresLogOneLineAndLeaveNothing)
{
    addBlock(Qt::green, TopLeft);
    const QByteArray tiff = test::fileBytes(corpusFile(u"pillow_hopper_lzw.tif"_s));
    const QString prefix = u"Error in [processTIFF:] : "_s;
    const struct
    {
        const char* name;
        QString source;
        qint32 compression;
        QString line; // the log line starts so
        bool whole;   // ... or is exactly so
    } rows[] = {
        {"empty", test::writeFile(path(u"empty.png"_s), {}), 1, prefix, false},
        {"junk", test::writeFile(path(u"junk.gif"_s), QByteArray(500, 'x')), 1, prefix, false},
        {"cut", test::writeFile(path(u"cut.tif"_s), tiff.left(tiff.size() / 3)), 1, prefix, false},
        // A page that says it is 100000 x 100000 pixels.
        {"huge", test::claimedSizeTiff(path(u"huge.tif"_s), 100000, 100000), 1, {}, false},
        {"unwritable compression", corpusFile(u"pillow_hopper.jpg"_s), 34712,
         prefix + u"TIFF compression 34712 cannot be written"_s, true},
    };
    for (const auto& row : rows) {
        test::LogCapture log;
        EXPECT_FALSE(stampTiff(row.source, path(u"out.tif"_s), row.compression)) << row.name;
        ASSERT_EQ(log.lines().size(), 1) << row.name;
        const QString line = log.lines().first();
        EXPECT_EQ(row.whole ? line : line.left(row.line.size()), row.line) << row.name;
        EXPECT_FALSE(QFile::exists(path(u"out.tif"_s))) << row.name;
    }
    EXPECT_EQ(folderEntries(),
              QStringList({u"cut.tif"_s, u"empty.png"_s, u"huge.tif"_s, u"junk.gif"_s}));
}

// libtiff reads old-style JPEG pages but cannot write them: they are written as JPEG.
TEST_F(TiffStampingTest, OldStyleJpegPagesAreWrittenAsJpeg)
{
    QImage picture(96, 64, QImage::Format_RGB32);
    picture.fill(qRgb(200, 40, 40));
    const QString source = path(u"old.tif"_s);
    test::writeOldStyleJpegTiff(source, picture);
    const std::optional<FileItem> item = FileItem::initWithURL(QUrl::fromLocalFile(source));
    ASSERT_TRUE(item);
    ASSERT_EQ(item->pages(), 1) << item->problem().toStdString();
    EXPECT_EQ(item->compression(), 6);
    addBlock(Qt::green, BottomRight, 20);
    const QString out = path(u"out.tif"_s);
    ASSERT_TRUE(stampTiff(source, out, item->compression())) << m_job.failureReason().toStdString();
    const auto pages = tiffFacts(out);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pages[0].compression, 7);
    const QImage page = tiffPage(out, 0);
    EXPECT_TRUE(near(page.pixel(90, 58), kGreen, 40));
    EXPECT_TRUE(near(page.pixel(10, 10), qRgb(200, 40, 40), 24));
}

// Qt's readers stop at 128 MB of pixels by themselves; the program's own bound is far higher.
TEST_F(TiffStampingTest, PicturesAboveQtsOwnLimitAreListedStampedAndPreviewed)
{
    const QString big = path(u"big.png"_s);
    {
        QImage picture(6000, 6000, QImage::Format_RGB32);
        picture.fill(Qt::white);
        ASSERT_TRUE(picture.save(big));
    }
    const std::optional<FileItem> item = FileItem::initWithURL(QUrl::fromLocalFile(big));
    ASSERT_TRUE(item);
    EXPECT_EQ(item->pages(), 1) << item->problem().toStdString();
    EXPECT_EQ(item->imageSize(), QSizeF(6000, 6000));
    const std::optional<QImage> preview = loadPreviewPage(big, 1);
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->size(), QSize(6000, 6000));
    addBlock(Qt::green, BottomRight, 30);
    const QString out = path(u"out.png"_s);
    ASSERT_TRUE(stampTiff(big, out));
    QImageReader written(out);
    EXPECT_EQ(written.size(), QSize(6000, 6000));
    const QImage stamped = written.read();
    ASSERT_FALSE(stamped.isNull()) << written.errorString().toStdString();
    EXPECT_TRUE(near(stamped.pixel(5990, 5990), kGreen));
    EXPECT_TRUE(near(stamped.pixel(100, 100), qRgb(255, 255, 255)));
}

// Pages past a megabyte are written in several strips; JPEG strips must be whole block rows.
TEST_F(TiffStampingTest, EveryWritableCompressionReadsBack)
{
    test::writeTiff(path(u"in.tif"_s), QList<QImage>(2, whitePage(700, 900)), false);
    addBlock(Qt::black, TopLeft, 16);
    addBlock(Qt::black, BottomRight, 40);
    for (int code : {1, 2, 3, 4, 5, 7, 8, 32773, 32946}) {
        const QString out = path(u"out-%1.tif"_s.arg(code));
        ASSERT_TRUE(stampTiff(path(u"in.tif"_s), out, code)) << code;
        const auto pages = tiffFacts(out);
        ASSERT_EQ(pages.size(), 2) << code;
        EXPECT_EQ(pages[1].compression, code);
        EXPECT_EQ(pages[1].height, 900) << code;
        const bool bilevel = code >= 2 && code <= 4;
        EXPECT_EQ(pages[1].bitsPerSample, bilevel ? 1 : 8) << code;
        const QImage page = tiffPage(out, 0);
        EXPECT_TRUE(near(page.pixel(4, 4), qRgb(0, 0, 0), 8)) << code;
        EXPECT_TRUE(near(page.pixel(40, 30), kWhite, 8)) << code;
        const QImage second = tiffPage(out, 1);
        EXPECT_TRUE(near(second.pixel(680, 880), qRgb(0, 0, 0), 8)) << code;
        EXPECT_TRUE(near(second.pixel(100, 100), kWhite, 8)) << code;
    }
}

TEST_F(TiffStampingTest, PreviewShadesTheMarginsAndHighlightsOneStamp)
{
    m_job.setMarginLeft(10);
    m_job.setMarginTop(20);
    m_job.setMarginRight(30);
    m_job.setMarginBottom(40);
    ImageStamp& off = addBlock(Qt::red, MiddleMiddle);
    off.setIsSelected(false);
    addBlock(Qt::green, TopLeft);
    QImage canvas = whitePage(200, 200).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    m_job.reset();
    m_job.drawOnImage(canvas, 1, 1, 1, true);
    // Bands: black at half opacity over white.
    EXPECT_TRUE(near(canvas.pixel(5, 100), qRgb(127, 127, 127), 2));
    EXPECT_TRUE(near(canvas.pixel(100, 10), qRgb(127, 127, 127), 2));
    EXPECT_TRUE(near(canvas.pixel(190, 100), qRgb(127, 127, 127), 2));
    EXPECT_TRUE(near(canvas.pixel(100, 180), qRgb(127, 127, 127), 2));
    EXPECT_EQ(canvas.pixel(100, 100), kWhite); // the switched-off stamp stays undrawn
    // The dashed frame runs along the margin rectangle's left edge, one unit below its top.
    int dark = 0;
    for (int y = 21; y < 160; ++y) {
        dark += canvas.pixel(10, y) == qRgb(0, 0, 0);
    }
    EXPECT_GT(dark, 40);
    EXPECT_LT(dark, 100);
    // The green stamp (index 1) is highlighted: red at half over green.
    EXPECT_TRUE(near(canvas.pixel(25, 35), qRgb(127, 127, 0), 3));

    QImage plain = whitePage(200, 200).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    m_job.reset();
    m_job.drawOnImage(plain, 1, 1, 0, false); // highlight on a switched-off stamp: none
    EXPECT_EQ(plain.pixel(25, 35), kGreen);
    EXPECT_EQ(plain.pixel(5, 100), kWhite);
}
