#include "model/ImageStamp.h"
#include "model/Numbering.h"
#include "model/TextStamp.h"
#include "support/LogCapture.h"
#include "support/PdfTools.h"
#include "support/ScopedPreferences.h"
#include "support/StampJobFixture.h"
#include "support/TiffTools.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <QDir>
#include <QFile>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

using namespace veltrane;
using test::corpusFile;
using test::pageText;
using test::pdfFacts;
using test::renderPage;
using test::stampLabels;

namespace {

class PdfStampingTest : public test::StampJobFixture
{
protected:
    QString bodyPdf(int pages, const QString& name = u"in.pdf"_s, QSizeF size = QSizeF(595, 842))
    {
        test::writeBodyPdf(path(name), pages, size);
        return path(name);
    }
};

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kRed = qRgb(255, 0, 0);

} // namespace

// Characters the stamp's font lacks come from the fallback fonts; each font is embedded once per
// file, not once per page.
TEST_F(PdfStampingTest, StampTextLandsOnEveryPageWithEachFontEmbeddedOnce)
{
    const QString mixed = u"Příliš žluťoučký кириллица Ελληνικά 日本語 ✓"_s;
    const struct
    {
        const char* name;
        int pages;
        QString format;
        QString text;  // on page %1
        int fontFiles; // embedded beside the body's
    } rows[] = {
        {"page of total", 12, u"{0} of {1}"_s, u"%1 of 12"_s, 1},
        // The stamp's own face (Nimbus Sans: Latin, Cyrillic, Greek), DejaVu Sans for the tick
        // and the CJK face.
        {"any script", 3, mixed + u" {0}"_s, mixed + u" %1"_s, 3},
    };
    for (const auto& row : rows) {
        m_job.stamps().clear();
        const QString in = bodyPdf(row.pages);
        addText(row.format);
        const QString out = path(u"out.pdf"_s);
        ASSERT_TRUE(stampPdf(in, out)) << row.name;
        for (int page = 1; page <= row.pages; ++page) {
            const QString text = pageText(out, page);
            EXPECT_TRUE(text.contains(row.text.arg(page))) << row.name << text.toStdString();
            EXPECT_TRUE(text.contains(u"Body %1"_s.arg(page))) << row.name;
        }
        EXPECT_EQ(m_job.numberCounter(), row.pages + 1) << row.name;
        EXPECT_FALSE(m_job.isUpdating()) << row.name;
        const test::PdfFacts facts = pdfFacts(out);
        EXPECT_EQ(facts.pages, row.pages) << row.name;
        EXPECT_EQ(facts.creator, u"Veltrane"_s) << row.name;
        EXPECT_EQ(facts.title, u"Body fixture"_s) << row.name;
        EXPECT_EQ(facts.fontFiles, pdfFacts(in).fontFiles + row.fontFiles) << row.name;
    }
}

TEST_F(PdfStampingTest, WorkedNumberingTable)
{
    const QString in = bodyPdf(5);
    addText(u"<{0}/{1}>"_s);
    struct Row
    {
        qint64 startPage, endPage;
        qint32 range;
        qint64 steps;
        QStringList expected;
    };
    const QStringList d = {u"-"_s};
    const Row rows[] = {
        {1, 0, AllPages, 1, u"1/5 2/5 3/5 4/5 5/5"_s.split(QLatin1Char(' '))},
        {2, 4, AllPages, 1, u"- 1/5 2/5 3/5 -"_s.split(QLatin1Char(' '))},
        {1, 0, OddPages, 1, u"1/5 - 2/5 - 3/5"_s.split(QLatin1Char(' '))},
        {1, 0, EvenPages, 1, u"- 1/5 - 2/5 -"_s.split(QLatin1Char(' '))},
        {1, 0, AllPages, 10, u"1/5 11/5 21/5 31/5 41/5"_s.split(QLatin1Char(' '))},
        {6, 0, AllPages, 1, u"- - - - -"_s.split(QLatin1Char(' '))},
    };
    for (const Row& row : rows) {
        m_job.setStartPage(row.startPage);
        m_job.setEndPage(row.endPage);
        m_job.setPageRange(row.range);
        m_job.setNumberSteps(row.steps);
        ASSERT_TRUE(stampPdf(in, path(u"out.pdf"_s)));
        EXPECT_EQ(stampLabels(path(u"out.pdf"_s), 5), row.expected)
            << row.startPage << " " << row.endPage << " " << row.range;
        EXPECT_TRUE(pageText(path(u"out.pdf"_s), 5).contains(u"Body 5"_s));
    }
    // A positive total is used as given.
    m_job.setStartPage(1);
    m_job.setEndPage(0);
    m_job.setPageRange(AllPages);
    m_job.setNumberSteps(1);
    ASSERT_TRUE(stampPdf(in, path(u"out.pdf"_s), 3));
    EXPECT_EQ(stampLabels(path(u"out.pdf"_s), 2), QStringList({u"1/3"_s, u"2/3"_s}));
}

// Long files have their layers drawn and placed in pieces of 1024 pages, each piece with its own
// copy of the font: the numbers run on across the seam.
TEST_F(PdfStampingTest, LongFilesAreStampedInPiecesWithoutASeam)
{
    const int pages = 1100;
    const QString in = bodyPdf(pages);
    addText(u"<{0}/{1}>"_s);
    ASSERT_TRUE(stampPdf(in, path(u"out.pdf"_s)));
    QStringList expected;
    for (int page = 1; page <= pages; ++page) {
        expected << u"%1/%2"_s.arg(page).arg(pages);
    }
    EXPECT_EQ(stampLabels(path(u"out.pdf"_s), pages), expected);
    EXPECT_EQ(pdfFacts(path(u"out.pdf"_s)).fontFiles, pdfFacts(in).fontFiles + 2);
}

TEST_F(PdfStampingTest, UnderAndOverThePageContent)
{
    const QString in = bodyPdf(1);
    ImageStamp& block = addBlock(Qt::green, TopLeft, 100);
    ASSERT_TRUE(stampPdf(in, path(u"over.pdf"_s)));
    block.setIsDrawUnderPDFContent(true);
    ASSERT_TRUE(stampPdf(in, path(u"under.pdf"_s)));

    const QImage over = renderPage(path(u"over.pdf"_s), 0);
    const QImage under = renderPage(path(u"under.pdf"_s), 0);
    EXPECT_EQ(over.pixel(50, 50), kGreen); // output never carries the highlight
    EXPECT_EQ(under.pixel(50, 50), kBlue);
    EXPECT_EQ(over.pixel(150, 150), kBlue);
    EXPECT_EQ(over.pixel(400, 600), kWhite);
}

TEST_F(PdfStampingTest, AnchorsAndMarginsOnThePage)
{
    const QString in = bodyPdf(1);
    m_job.setMarginLeft(36);
    m_job.setMarginTop(36);
    m_job.setMarginRight(36);
    m_job.setMarginBottom(36);
    addBlock(Qt::green, TopLeft);
    addBlock(Qt::red, MiddleMiddle);
    addBlock(Qt::green, BottomRight);
    ASSERT_TRUE(stampPdf(in, path(u"out.pdf"_s)));
    const QImage page = renderPage(path(u"out.pdf"_s), 0);
    EXPECT_EQ(page.pixel(37, 37), kGreen);
    EXPECT_EQ(page.pixel(74, 74), kGreen);
    EXPECT_EQ(page.pixel(34, 50), kBlue);
    EXPECT_EQ(page.pixel(297, 421), kRed);
    EXPECT_EQ(page.pixel(595 - 37, 842 - 37), kGreen);
    EXPECT_EQ(page.pixel(595 - 34, 842 - 50), kWhite);
}

TEST_F(PdfStampingTest, MirroredStampAlternatesOverStampedPages)
{
    const QString in = bodyPdf(4, u"in.pdf"_s, QSizeF(400, 400));
    ImageStamp& block = addBlock(Qt::green, TopRight);
    block.setIsSymmetry(true);
    ImageStamp& off = addBlock(Qt::red, BottomMiddle);
    off.setIsSelected(false);
    ASSERT_TRUE(stampPdf(in, path(u"out.pdf"_s)));
    for (int i = 0; i < 4; ++i) {
        const QImage page = renderPage(path(u"out.pdf"_s), i);
        const bool own = i % 2 == 0;
        EXPECT_EQ(page.pixel(380, 20), own ? kGreen : kWhite) << i;
        EXPECT_EQ(page.pixel(20, 20), own ? kBlue : kGreen) << i;
        EXPECT_EQ(page.pixel(200, 380), kWhite) << i; // switched off: never drawn
    }
}

TEST_F(PdfStampingTest, RotatedPagesAndOffsetMediaBoxesGetUprightStamps)
{
    const QString in = bodyPdf(4, u"in.pdf"_s, QSizeF(400, 600));
    test::editPdf(in, [](QPDF& pdf) {
        auto pages = QPDFPageDocumentHelper(pdf).getAllPages();
        const int rotations[] = {0, 90, 180, 270};
        for (size_t i = 0; i < pages.size(); ++i) {
            pages[i].getObjectHandle().replaceKey("/Rotate",
                                                  QPDFObjectHandle::newInteger(rotations[i]));
        }
        // Page 1: the same visible page, its box and content moved by (100, 200).
        QPDFObjectHandle first = pages[0].getObjectHandle();
        first.replaceKey("/MediaBox", QPDFObjectHandle::parse("[100 200 500 800]"));
        first.replaceKey("/CropBox", QPDFObjectHandle::parse("[150 250 450 750]"));
        pages[0].addPageContents(QPDFObjectHandle::newStream(&pdf, "q 1 0 0 1 100 200 cm\n"), true);
        pages[0].addPageContents(QPDFObjectHandle::newStream(&pdf, "\nQ\n"), false);
    });
    addBlock(Qt::green, TopLeft, 60);
    addBlock(Qt::red, BottomRight, 30);
    ASSERT_TRUE(stampPdf(in, path(u"out.pdf"_s)));
    const QString out = path(u"out.pdf"_s);
    EXPECT_TRUE(pdfFacts(out).cropBoxes.isEmpty());
    for (int i = 0; i < 4; ++i) {
        const QImage page = renderPage(out, i);
        ASSERT_FALSE(page.isNull());
        const bool sideways = i % 2 == 1;
        EXPECT_EQ(page.size(), sideways ? QSize(600, 400) : QSize(400, 600)) << i;
        EXPECT_EQ(page.pixel(2, 2), kGreen) << i;
        EXPECT_EQ(page.pixel(57, 57), kGreen) << i;
        EXPECT_EQ(page.pixel(page.width() - 3, page.height() - 3), kRed) << i;
        EXPECT_NE(page.pixel(page.width() - 40, page.height() - 3), kRed) << i;
    }
    // The moved page still shows its content where it was.
    EXPECT_EQ(renderPage(out, 0).pixel(100, 100), kBlue);
}

TEST_F(PdfStampingTest, BookmarksLinksAnnotationsAndFormsStay)
{
    addText(u"<{0}/{1}>"_s);
    for (const char* name :
         {"qpdf_outlines-with-actions.pdf", "qpdf_form-fields-and-annotations.pdf",
          "qpdf_c-object-streams.pdf", "qpdf_page-inherit-mediabox.pdf", "qpdf_good13.pdf",
          "qpdf_boxes.pdf"}) {
        const QString source = corpusFile(QString::fromLatin1(name));
        const QString out = path(u"corpus-out.pdf"_s);
        ASSERT_TRUE(stampPdf(source, out)) << name;
        const test::PdfFacts before = pdfFacts(source);
        const test::PdfFacts after = pdfFacts(out);
        EXPECT_EQ(after.pages, before.pages) << name;
        EXPECT_EQ(after.outlineItems, before.outlineItems) << name;
        EXPECT_EQ(after.annotations, before.annotations) << name;
        EXPECT_EQ(after.formFields, before.formFields) << name;
        EXPECT_EQ(after.creator, u"Veltrane"_s) << name;
        EXPECT_EQ(stampLabels(out, 1).first(), u"1/%1"_s.arg(before.pages)) << name;
    }
}

TEST_F(PdfStampingTest, InheritedResourcesKeepTheOriginalText)
{
    addText(u"<{0}/{1}>"_s);
    const QString source = corpusFile(u"qpdf_page-inherit-mediabox.pdf"_s);
    const QString out = path(u"out.pdf"_s);
    ASSERT_TRUE(stampPdf(source, out));
    int withText = 0;
    for (int page = 1; page <= 3; ++page) {
        const QString before = pageText(source, page).simplified();
        const QString after = pageText(out, page).simplified();
        withText += before.contains(u"Potato"_s);
        EXPECT_TRUE(after.contains(before)) << after.toStdString();
        EXPECT_TRUE(after.contains(u"<%1/3>"_s.arg(page)));
    }
    EXPECT_GE(withText, 2);
}

TEST_F(PdfStampingTest, EncryptedSourcesNeedTheirPasswordAndComeOutOpenUnlessKept)
{
    addText(u"<{0}/{1}>"_s);
    struct Case
    {
        const char* file;
        const char* password;
        bool keep;
        const char* user; // the copy's open password when kept
    };
    for (const Case c : {Case{"qpdf_c-r6-in.pdf", "user4", false, ""},
                         Case{"qpdf_enc-R3_V2_U-view_O-master.pdf", "view", false, ""},
                         Case{"qpdf_enc-R3_V2_U-view_O-master.pdf", "master", false, ""},
                         Case{"qpdf_c-r6-in.pdf", "user4", true, "user4"},
                         Case{"qpdf_c-r6-in.pdf", "owner4", true, "user4"},
                         Case{"qpdf_enc-R3_V2_U-view_O-master.pdf", "view", true, "view"}}) {
        const std::string row = std::string(c.file) + " " + c.password + (c.keep ? " kept" : "");
        m_job.setKeepsEncryption(c.keep);
        const QString out = path(u"open.pdf"_s);
        ASSERT_TRUE(stampPdf(corpusFile(QString::fromLatin1(c.file)), out, 0,
                             QString::fromLatin1(c.password)))
            << row;
        const QString user = QString::fromLatin1(c.user);
        const test::PdfFacts facts = pdfFacts(out, user);
        EXPECT_EQ(facts.encrypted, c.keep) << row;
        EXPECT_EQ(facts.pages, 30) << row;
        EXPECT_EQ(facts.outlineItems, 11) << row;
        EXPECT_EQ(facts.creator, u"Veltrane"_s) << row;
        EXPECT_TRUE(pageText(out, 2, user).contains(u"<2/30>"_s)) << row;
        if (c.keep) {
            EXPECT_EQ(pdfFacts(out).pages, -1) << row << ": opened without its password";
            EXPECT_EQ(pageText(out, 2), QString()) << row;
        }
    }
    m_job.setKeepsEncryption(false);
    for (const char* wrong : {"", "nope"}) {
        test::LogCapture log;
        const QString out = path(u"locked.pdf"_s);
        EXPECT_FALSE(
            stampPdf(corpusFile(u"qpdf_c-r6-in.pdf"_s), out, 0, QString::fromLatin1(wrong)));
        EXPECT_FALSE(QFile::exists(out));
        ASSERT_EQ(log.lines().size(), 1);
        EXPECT_TRUE(log.lines().first().startsWith(u"Error in [processPDF:] : "_s));
    }
}

TEST_F(PdfStampingTest, DamagedAndEmptySources)
{
    addText(u"<{0}/{1}>"_s);
    const QString out = path(u"out.pdf"_s);
    {
        test::LogCapture log;
        ASSERT_TRUE(stampPdf(corpusFile(u"qpdf_append-page-content-damaged.pdf"_s), out));
        EXPECT_EQ(pdfFacts(out).pages, 30);
        EXPECT_EQ(pdfFacts(out).outlineItems, 11);
    }
    ASSERT_TRUE(stampPdf(corpusFile(u"qpdf_empty.pdf"_s), out));
    EXPECT_EQ(pdfFacts(out).pages, 0);
}

// Both writers share the target and staged-file code: in place, missing and undecodable sources
// behave alike.
TEST_F(PdfStampingTest, InPlaceKeepsABackupAndFailuresKeepTheEarlierOutput)
{
    addText(u"<{0}/{1}>"_s);
    addBlock(Qt::green, TopLeft);
    QImage white(200, 100, QImage::Format_ARGB32);
    white.fill(Qt::white);
    for (const QString& suffix : {u"pdf"_s, u"tif"_s}) {
        const bool pdf = suffix == u"pdf"_s;
        const std::string row = suffix.toStdString();
        auto stamp = [&](const QString& source, const QString& target) {
            return pdf ? stampPdf(source, target) : stampTiff(source, target, 5);
        };
        auto pages = [&](const QString& file) {
            return pdf ? pdfFacts(file).pages : int(test::tiffFacts(file).size());
        };
        const QDir folder(path(suffix));
        QDir().mkpath(folder.filePath(u"sub"_s));
        auto entries = [&] {
            return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        };
        const QString in = folder.filePath(u"report."_s + suffix);
        pdf ? test::writeBodyPdf(in, 3) : test::writeTiff(in, QList<QImage>(3, white), true);
        const QByteArray original = test::fileBytes(in);
        m_job.setIsBackupFile(true);
        // Another spelling of the same file.
        ASSERT_TRUE(stamp(in, folder.path() + u"/./sub/../report."_s + suffix)) << row;
        EXPECT_EQ(test::fileBytes(in + u".bak"_s), original) << row;
        if (pdf) {
            EXPECT_EQ(stampLabels(in, 3), QStringList({u"1/3"_s, u"2/3"_s, u"3/3"_s}));
        } else {
            ASSERT_EQ(pages(in), 3);
            EXPECT_EQ(test::tiffFacts(in)[0].compression, 5);
            EXPECT_EQ(test::tiffPage(in, 1).pixel(5, 5), kGreen);
        }
        EXPECT_FALSE(m_job.isUpdating()) << row;
        EXPECT_EQ(entries(),
                  QStringList({u"report."_s + suffix, u"report."_s + suffix + u".bak"_s}))
            << row;

        // Again, without a backup: the old backup stays as it was, the file is stamped twice.
        m_job.setIsBackupFile(false);
        ASSERT_TRUE(stamp(in, in)) << row;
        EXPECT_EQ(test::fileBytes(in + u".bak"_s), original) << row;
        EXPECT_EQ(pages(in), 3) << row;
        // A copy written elsewhere makes no backup, even when one is asked for.
        m_job.setIsBackupFile(true);
        ASSERT_TRUE(stamp(in, folder.filePath(u"sub/report."_s + suffix))) << row;
        EXPECT_EQ(test::fileBytes(in + u".bak"_s), original) << row;
        m_job.setIsBackupFile(false);

        const QString out = test::writeFile(folder.filePath(u"out."_s + suffix), original);
        EXPECT_FALSE(stamp(folder.filePath(u"missing."_s + suffix), out)) << row;
        EXPECT_EQ(m_job.failureReason(), u"not found"_s) << row;
        const QString junk =
            test::writeFile(folder.filePath(u"junk."_s + suffix), QByteArray(5000, 'x'));
        {
            test::LogCapture log;
            EXPECT_FALSE(stamp(junk, out)) << row;
            ASSERT_EQ(log.lines().size(), 1) << row;
            EXPECT_TRUE(log.lines().first().startsWith(pdf ? u"Error in [processPDF:] : "_s
                                                           : u"Error in [processTIFF:] : "_s));
            EXPECT_FALSE(m_job.failureReason().isEmpty()) << row;
        }
        EXPECT_EQ(test::fileBytes(out), original) << row; // the earlier output stays
        // No temporaries left.
        EXPECT_EQ(entries(),
                  QStringList({u"junk."_s + suffix, u"out."_s + suffix, u"report."_s + suffix,
                               u"report."_s + suffix + u".bak"_s}))
            << row;
    }
}

TEST_F(PdfStampingTest, BrokenStampsDrawNothingButTheRestOfThePage)
{
    const QString in = bodyPdf(2);
    TextStamp& bad = addText(u"<{0}/{1}>"_s);
    bad.font().setFontName(u"No Such Family 1234"_s);
    addBlock(Qt::green, BottomLeft);
    test::LogCapture log;
    ASSERT_TRUE(stampPdf(in, path(u"out.pdf"_s)));
    EXPECT_EQ(log.lines().size(), 2); // the unknown font, once per page
    const QImage page = renderPage(path(u"out.pdf"_s), 1);
    EXPECT_EQ(page.pixel(20, 842 - 20), kGreen);
    EXPECT_EQ(page.pixel(20, 20), kBlue);
    EXPECT_EQ(stampLabels(path(u"out.pdf"_s), 2), QStringList({u"-"_s, u"-"_s}));
}

TEST_F(PdfStampingTest, StampsWithoutASanePlaceAreLeftOutAndTheFileStaysValid)
{
    const QString in = bodyPdf(2, u"in.pdf"_s, QSizeF(300, 300));
    const struct
    {
        const char* name;
        std::function<void(Numbering&, TextStamp&, ImageStamp&)> change;
    } rows[] = {
        {"margin far off the page",
         [](Numbering& job, TextStamp&, ImageStamp&) { job.setMarginLeft(1e19); }},
        {"largest margin",
         [](Numbering& job, TextStamp&, ImageStamp&) { job.setMarginTop(1e308); }},
        {"margin not a number",
         [](Numbering& job, TextStamp&, ImageStamp&) { job.setMarginRight(std::nan("")); }},
        {"turn not finite",
         [](Numbering&, TextStamp& text, ImageStamp& image) {
             text.setTextRotation(std::numeric_limits<double>::infinity());
             image.setStampImageRotation(qint64(4e18));
         }},
    };
    for (const auto& row : rows) {
        m_job.stamps().clear();
        m_job.setMarginLeft(0);
        m_job.setMarginTop(0);
        m_job.setMarginRight(0);
        TextStamp& text = addText(u"<{0}/{1}>"_s);
        ImageStamp& image = addBlock(Qt::red, TopLeft);
        row.change(m_job, text, image);
        const QString out = path(u"out.pdf"_s);
        test::LogCapture log;
        ASSERT_TRUE(stampPdf(in, out)) << row.name;
        EXPECT_EQ(stampLabels(out, 2), QStringList({u"-"_s, u"-"_s})) << row.name;
        EXPECT_EQ(renderPage(out, 0).pixel(5, 5), kBlue) << row.name; // no red block
        // Two stamps on two pages, each left out with its reason.
        ASSERT_EQ(log.lines().size(), 4) << row.name;
        for (const QString& line : log.lines()) {
            EXPECT_TRUE(line.startsWith(QStringLiteral(
                "Error in [Draw:rect:marginAnchor:pageNumber:totalPages:isHighLightStamp:] : "
                "stamp not drawn: its place is out of range")))
                << row.name << ": " << line.toStdString();
        }
    }
}

// A page whose box cannot carry a layer is left without one, with its reason (its number is
// used up all the same), wherever it is: among the first pages, whose frames are read before the
// page tree is listed, or after them.
TEST_F(PdfStampingTest, PagesWithoutAUsableMediaBoxAreLeftBare)
{
    addText(u"<{0}/{1}>"_s);
    for (const char* box : {"[0 0 0 0]", "[0 0 300000 300]"}) {
        for (const int bare : {2, 1100}) {
            const QString in = bodyPdf(1100, u"in.pdf"_s, QSizeF(300, 300));
            test::editPdf(in, [&](QPDF& pdf) {
                QPDFPageDocumentHelper(pdf)
                    .getAllPages()[size_t(bare - 1)]
                    .getObjectHandle()
                    .replaceKey("/MediaBox", QPDFObjectHandle::parse(box));
            });
            test::LogCapture log;
            ASSERT_TRUE(stampPdf(in, path(u"out.pdf"_s))) << box << bare;
            QStringList labels;
            for (int page = 1; page <= 1100; ++page) {
                labels << (page == bare ? u"-"_s : u"%1/1100"_s.arg(page));
            }
            EXPECT_EQ(stampLabels(path(u"out.pdf"_s), 1100), labels) << box << bare;
            EXPECT_EQ(
                log.lines(),
                QStringList(
                    u"Error in [drawPDFNumber:] : page %1 has no usable media box"_s.arg(bare)))
                << box << bare;
        }
    }
}
