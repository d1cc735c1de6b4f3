// Inputs that claim to be enormous: each either works in bounded memory or is refused with its
// operation's failure line, within seconds. The stamping runs go through veltrane-batch, so
// that the memory they take is measured on their own process.
#include "filelist/FileItem.h"
#include "filelist/FolderWalk.h"
#include "filelist/ListImport.h"
#include "model/ImageStamp.h"
#include "model/Numbering.h"
#include "support/BatchRunner.h"
#include "support/LogCapture.h"
#include "support/PdfTools.h"
#include "support/ScopedPreferences.h"
#include "support/TiffTools.h"

#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QFile>
#include <qpdf/QPDF.hh>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

using namespace veltrane;

namespace {

// Sanitizer builds run several times slower and keep shadow memory beside every allocation.
#ifdef VELTRANE_SANITIZED
constexpr int kSlowdown = 4;
#else
constexpr int kSlowdown = 1;
#endif

class ResourceLimitsTest : public ::testing::Test
{
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }

    // veltrane-batch writing into "out"; `output` holds standard error, then standard output.
    struct Run : test::BatchRun
    {
        QString output;
        long peakMiB = 0;
    };
    Run batch(const QStringList& arguments)
    {
        QDir().mkpath(path(u"out"_s));
        Run run{
            test::runBatch(QStringList{u"-q"_s, u"-o"_s, path(u"out"_s)} + arguments, m_dir.path()),
            {},
            0};
        run.output = run.err + QLatin1Char('\n') + run.out.join(QLatin1Char('\n'));
        run.peakMiB = run.peakKiB / 1024;
        return run;
    }

    QTemporaryDir m_dir;
};

// A PDF whose page tree lists its one page `listings` times and counts them so.
QByteArray pageListedOver(int listings)
{
    const QByteArray content = "BT /F1 12 Tf 20 20 Td (Body) Tj ET";
    QList<QByteArray> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Count " + QByteArray::number(listings) + " /Kids [" +
            QByteArray("3 0 R ").repeated(listings) + "] >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Contents 4 0 R >>",
        "<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content +
            "\nendstream"};
    QByteArray pdf = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        offsets << pdf.size();
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype offset : offsets) {
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    }
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

} // namespace

TEST_F(ResourceLimitsTest, PageTreeListingAMillionPagesIsRefusedAtOnce)
{
    test::writeFile(path(u"million.pdf"_s), pageListedOver(1'000'000));
    test::LogCapture logs;
    const auto item = FileItem::initWithURL(QUrl::fromLocalFile(path(u"million.pdf"_s)));
    ASSERT_TRUE(item.has_value());
    EXPECT_EQ(item->pages(), 0); // listed, but not readable

    const Run run = batch({u"--text"_s, u"<{0}/{1}>"_s, path(u"million.pdf"_s)});
    EXPECT_EQ(run.exitCode, 1);
    // Measured as unreadable when listed, so the run reports it without opening it again.
    EXPECT_TRUE(run.output.contains(QLatin1String("\nNo Pages\t0\t"))) << qPrintable(run.output);

    // Stamped directly, it is refused with the operation's line.
    Numbering job;
    EXPECT_FALSE(job.processPDF(path(u"million.pdf"_s), path(u"direct.pdf"_s), {}, 0));
    EXPECT_EQ(
        logs.lines(),
        QStringList(u"Error in [processPDF:] : the page tree lists more than 100000 pages"_s));
    EXPECT_FALSE(QFile::exists(path(u"direct.pdf"_s)));
    EXPECT_FALSE(QFile::exists(path(u"out/million.pdf"_s)));
    EXPECT_LT(run.seconds, 20.0 * kSlowdown);
    EXPECT_LT(run.peakMiB, 1024 * kSlowdown);
}

TEST_F(ResourceLimitsTest, ManyListingsBelowTheLimitAreStampedAndCountedRight)
{
    test::writeFile(path(u"many.pdf"_s), pageListedOver(2000));
    const Run run = batch({u"--text"_s, u"<{0}/{1}>"_s, path(u"many.pdf"_s)});
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.output);
    EXPECT_EQ(test::pdfFacts(path(u"out/many.pdf"_s)).pages, 2000);
    EXPECT_TRUE(
        test::pageText(path(u"out/many.pdf"_s), 2000).contains(QLatin1String("<2000/2000>")));
}

TEST_F(ResourceLimitsTest, PageCountThatLiesIsPutRightInTheOutput)
{
    // Two pages, counted as a million.
    QByteArray pdf = pageListedOver(2);
    pdf.replace("/Count 2 ", "/Count 1000000 ");
    test::writeFile(path(u"lying.pdf"_s), pdf);
    const auto item = FileItem::initWithURL(QUrl::fromLocalFile(path(u"lying.pdf"_s)));
    ASSERT_TRUE(item.has_value());
    EXPECT_EQ(item->pages(), 2); // the pages that are there, not the claim
    const Run run = batch({u"--text"_s, u"<{0}/{1}>"_s, path(u"lying.pdf"_s)});
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.output);
    // pdftotext trusts the count: with the lie kept, it would find no page 2.
    EXPECT_TRUE(test::pageText(path(u"out/lying.pdf"_s), 2).contains(QLatin1String("<2/2>")));
}

TEST_F(ResourceLimitsTest, PicturesClaimingTenBillionPixelsAreRefused)
{
    // Headers that claim 100,000 x 100,000 pixels over a few bytes of data.
    QImage small(4, 4, QImage::Format_RGB32);
    small.fill(Qt::green);
    QByteArray png = ImageStamp::encodePicture(small);
    // IHDR's width and height sit at bytes 16..23.
    const char big[8] = {0, 1, char(0x86), char(0xa0), 0, 1, char(0x86), char(0xa0)};
    png.replace(16, 8, QByteArray(big, 8));
    test::writeFile(path(u"huge.png"_s), png);

    test::claimedSizeTiff(path(u"huge.tif"_s), 100000, 100000);

    for (const QString& name : {u"huge.png"_s, u"huge.tif"_s}) {
        const auto item = FileItem::initWithURL(QUrl::fromLocalFile(path(name)));
        ASSERT_TRUE(item.has_value()) << qPrintable(name);
        const Run run = batch({u"--text"_s, u"<{0}/{1}>"_s, path(name)});
        EXPECT_EQ(run.exitCode, 1) << qPrintable(name);
        EXPECT_TRUE(run.output.contains(QLatin1String("Error in"))) << qPrintable(run.output);
        EXPECT_TRUE(QDir(path(u"out"_s)).isEmpty()) << qPrintable(name);
        EXPECT_LT(run.seconds, 20.0 * kSlowdown) << qPrintable(name);
        EXPECT_LT(run.peakMiB, 1024 * kSlowdown) << qPrintable(name);
    }
}

TEST_F(ResourceLimitsTest, ProfileWithAMillionStampsIsRefused)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<plist version=\"1.0\"><dict><key>Stamps</key><array>";
    xml.reserve(70'000'000);
    for (int i = 0; i < 1'000'000; ++i) {
        xml += "<dict><key>font</key><dict/><key>numberFormat</key><string>{0}</string></dict>";
    }
    xml += "</array></dict></plist>";
    test::writeFile(path(u"million.vtprofile"_s), xml);
    test::writeBodyPdf(path(u"doc.pdf"_s), 1, QSizeF(200, 200));
    const Run run = batch({u"--profile"_s, path(u"million.vtprofile"_s), path(u"doc.pdf"_s)});
    EXPECT_EQ(run.exitCode, 2) << qPrintable(run.output);
    EXPECT_TRUE(run.output.contains(
        QLatin1String("million.vtprofile: the array \"Stamps\" holds more than 10000 entries")))
        << qPrintable(run.output);
    // Refused while reading, at the 10,001st stamp: no more memory than starting the command
    // takes, whatever the file's size.
    const Run bare = batch({u"--version"_s});
    EXPECT_LT(run.peakMiB, bare.peakMiB + 8) << bare.peakMiB;

    // In the program itself: refused with nothing changed.
    test::ScopedPreferences preferences;
    test::LogCapture logs;
    Numbering job;
    job.setStartNumber(7);
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(job.load(path(u"million.vtprofile"_s)));
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_EQ(job.startNumber(), 7);
    EXPECT_TRUE(job.stamps().empty());
}

TEST_F(ResourceLimitsTest, ImportListOfAMillionLines)
{
    QString text;
    text.reserve(30'000'000);
    for (int i = 0; i < 1'000'000; ++i) {
        text += u"/data/scan%1.pdf\n"_s.arg(i % 500'000);
    }
    ListImport import;
    import.allowedTypes = acceptedExtensions().join(QLatin1Char(','));
    QElapsedTimer timer;
    timer.start();
    import.parseText(text);
    EXPECT_EQ(import.files.size(), 500'000); // repeats dropped
    EXPECT_EQ(import.totalFilesFoundText(), u"Total Files Found : 500000"_s);
    EXPECT_LT(timer.elapsed(), 20'000 * kSlowdown);
}
