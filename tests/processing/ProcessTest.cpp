#include "processing/Process.h"

#include "model/ImageStamp.h"
#include "model/Settings.h"
#include "model/TextStamp.h"
#include "processing/BatchRun.h"
#include "processing/PdfOutputOptions.h"
#include "processing/RunChecks.h"
#include "support/GifTools.h"
#include "support/LogCapture.h"
#include "support/PdfTools.h"
#include "support/RunFixture.h"
#include "support/ScopedPreferences.h"
#include "support/TiffTools.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <unistd.h>

using namespace Qt::StringLiterals;

using namespace veltrane;

using test::listedItem;
using ProcessTest = test::RunFixture;

TEST_F(ProcessTest, EmptyListEndsAtOnceWithASavedLog)
{
    auto process = run({});
    EXPECT_EQ(process->message(), u"All files processed successfully."_s);
    EXPECT_TRUE(process->isCompleted());
    EXPECT_FALSE(process->isCombining());
    EXPECT_EQ(m_reports, QStringList{u"Total Time Taken :  0/0"_s});
    EXPECT_TRUE(QFile::exists(process->log().logFilePath()));
    EXPECT_TRUE(process->log().files.isEmpty());
}

TEST_F(ProcessTest, NumberingRestartsWithEachFileUnlessContinuous)
{
    const QList<FileItem> items = pdfs({3, 2});
    m_settings.number().setStartNumber(10);
    m_settings.number().setNumberSteps(2);
    for (int jobs : {1, 2}) {
        run(items, jobs);
        EXPECT_EQ(test::stampLabels(out(u"doc2.pdf"_s), 2), QStringList({u"10/2"_s, u"12/2"_s}))
            << jobs << " jobs";
    }
}

TEST_F(ProcessTest, StatusesCountsAndMessages)
{
    QList<FileItem> items = pdfs({2, 1});
    items.append(listedItem(test::corpusFile(u"qpdf_empty.pdf"_s)));
    const QString vanishing = in(u"gone.pdf"_s);
    test::writeBodyPdf(vanishing, 2);
    items.append(listedItem(vanishing));
    QFile::remove(vanishing); // it disappears after being listed
    test::LogCapture log;
    auto process = run(items);
    ASSERT_EQ(process->log().files.size(), 4);
    EXPECT_EQ(process->log().files[0].status, u"Completed"_s);
    EXPECT_EQ(process->log().files[2].status, u"No Pages"_s);
    EXPECT_EQ(process->log().files[2].pages, 0);
    EXPECT_EQ(process->log().files[3].status, u"Failed"_s);
    EXPECT_EQ(process->log().files[3].pages, 2);
    // Each file that is not created says why, in the run's log and in one line.
    EXPECT_EQ(process->log().files[0].reason, QString());
    EXPECT_EQ(process->log().files[2].reason, u"the document has no pages"_s);
    EXPECT_EQ(process->log().files[3].reason, u"not found"_s);
    EXPECT_EQ(log.lines(),
              QStringList({u"No Pages : "_s + items[2].path() + u" : the document has no pages"_s,
                           u"Failed : "_s + vanishing + u" : not found"_s}));
    EXPECT_EQ(process->totalFileSelected(), 4);
    EXPECT_EQ(process->totalFileProcessed(), 3);
    EXPECT_EQ(process->totalFileCreated(), 2);
    EXPECT_EQ(process->message(), u"Total 2 files processed successfully."_s);
    EXPECT_EQ(m_reports.first(), u"Total Time Taken : In Process... 1/4"_s);
    EXPECT_EQ(m_reports.size(), 4); // three processed files, then the end
    EXPECT_TRUE(m_reports.last().startsWith(u"Total Time Taken : "_s));
    EXPECT_TRUE(m_reports.last().endsWith(u" 3/4"_s));
}

TEST_F(ProcessTest, ACutAnimationIsCompletedAndItsLogLineSaysWhatWasLeftOut)
{
    const test::GifFile gif = test::makeGif(QSize(40, 30), {Qt::red, Qt::green, Qt::blue});
    const QString cut = test::writeFile(in(u"cut.gif"_s), gif.bytes.left(gif.frameOffsets[2] + 11));
    const FileItem listed = listedItem(cut);
    EXPECT_EQ(listed.pages(), 3);
    test::LogCapture log;
    auto process = run({listed});
    ASSERT_EQ(process->log().files.size(), 1);
    EXPECT_EQ(process->log().files[0].status, u"Completed"_s);
    EXPECT_EQ(process->log().files[0].note, u"frame 3 of 3 could not be read"_s);
    EXPECT_EQ(log.lines(),
              QStringList{u"Completed : "_s + cut + u" : frame 3 of 3 could not be read"_s});
    EXPECT_TRUE(process->log().toXml().contains(
        R"(Status="Completed" Pages="3" Note="frame 3 of 3 could not be read")"));
    EXPECT_EQ(test::tiffFacts(out(u"cut.gif"_s)).size(), 2);
    EXPECT_EQ(process->message(), u"All files processed successfully."_s);
}

TEST_F(ProcessTest, CancelDuringTheSecondFileFinishesItAndStops)
{
    const QList<FileItem> items = pdfs({1, 1, 1, 1, 1});
    auto process = run(items, 1, [](Process& p, const RunProgress& progress) {
        if (progress.processed == 2) {
            p.stop();
        }
    });
    EXPECT_EQ(process->message(), u"Process cancelled!"_s);
    EXPECT_EQ(process->log().files.size(), 2);
    EXPECT_TRUE(QFile::exists(out(u"doc2.pdf"_s)));
    EXPECT_FALSE(QFile::exists(out(u"doc3.pdf"_s)));
}

// The window's run: on its worker, reporting through queued signals, one file at a time or
// several at once.
TEST_F(ProcessTest, BatchRunReportsOnItsOwnThreadAndEndsOnce)
{
    const QList<FileItem> items = pdfs({1, 2, 1});
    for (const int jobs : {1, 3}) {
        BatchRun batch;
        QSignalSpy progressed(&batch, &BatchRun::progressed);
        QSignalSpy finished(&batch, &BatchRun::finished);
        QStringList started;
        batch.setFileStartObserver([&started](Process&, const QString& file) { started << file; });
        auto process = std::make_unique<Process>(m_settings);
        process->setJobs(jobs);
        process->combine(items, out());
        ASSERT_TRUE(batch.start(std::move(process), totalPagesOf(items)));
        EXPECT_FALSE(batch.start(std::make_unique<Process>(m_settings), 0));
        ASSERT_TRUE(finished.wait(30000)) << jobs;
        EXPECT_FALSE(batch.isRunning());
        EXPECT_EQ(finished.size(), 1);
        ASSERT_EQ(progressed.size(), 4) << jobs; // each file, then the end
        const auto last = progressed.last().first().value<RunProgress>();
        EXPECT_TRUE(last.finished);
        EXPECT_EQ(last.processed, 3);
        EXPECT_EQ(batch.process()->message(), u"All files processed successfully."_s);
        EXPECT_EQ(started, jobs == 1 ? QStringList({u"doc1.pdf"_s, u"doc2.pdf"_s, u"doc3.pdf"_s})
                                     : QStringList());
    }
}

TEST_F(ProcessTest, ParallelRunWritesExactlyWhatTheSequentialRunWrites)
{
    QList<FileItem> items = pdfs({3, 4, 1, 2});
    test::writeTiff(in(u"scan.tif"_s), QList<QImage>(3, QImage(120, 90, QImage::Format_RGB32)),
                    true);
    items.insert(2, listedItem(in(u"scan.tif"_s)));
    QFile::copy(test::corpusFile(u"pillow_hopper.jpg"_s), in(u"photo.jpg"_s));
    items.append(listedItem(in(u"photo.jpg"_s)));
    Numbering& job = m_settings.number();
    job.setIsContinuousNumbering(true);
    job.setStartNumber(10);
    job.setNumberSteps(2);
    job.setPageRange(OddPages);
    auto mirrored = std::make_unique<TextStamp>();
    mirrored->setNumberFormat(u"M{0}"_s);
    mirrored->setMarginAnchor(TopLeft);
    mirrored->setIsSymmetry(true);
    job.stamps().push_back(std::move(mirrored));

    setDeterministicPdfIds(true);
    auto one = run(items, 1);
    QMap<QString, QByteArray> sequential;
    for (const QString& name : QDir(out()).entryList(QDir::Files)) {
        sequential.insert(name, test::fileBytes(out(name)));
        QFile::remove(out(name));
    }
    auto two = run(items, 2);
    setDeterministicPdfIds(false);
    ASSERT_EQ(sequential.size(), 6);
    for (auto it = sequential.cbegin(); it != sequential.cend(); ++it) {
        EXPECT_TRUE(test::fileBytes(out(it.key())) == it.value()) << it.key().toStdString();
    }
    ASSERT_EQ(one->log().files.size(), two->log().files.size());
    for (qsizetype i = 0; i < one->log().files.size(); ++i) {
        EXPECT_EQ(one->log().files[i].filename, two->log().files[i].filename);
        EXPECT_EQ(one->log().files[i].status, two->log().files[i].status);
        EXPECT_EQ(one->log().files[i].pages, two->log().files[i].pages);
    }
    // The count carries across files, stamped pages only, from the start number by the step.
    EXPECT_EQ(test::stampLabels(out(u"doc1.pdf"_s), 3),
              QStringList({u"10/14"_s, u"-"_s, u"12/14"_s}));
    EXPECT_EQ(test::stampLabels(out(u"doc2.pdf"_s), 4),
              QStringList({u"14/14"_s, u"-"_s, u"16/14"_s, u"-"_s}));
}

TEST_F(ProcessTest, RunChecksAndTexts)
{
    EXPECT_EQ(checkOutputFolder(QString()), FolderProblem::NotSet);
    EXPECT_EQ(checkOutputFolder(m_dir.filePath(u"nope"_s)), FolderProblem::Missing);
    EXPECT_EQ(checkOutputFolder(m_dir.path()), FolderProblem::None);
    EXPECT_EQ(folderProblemMessage(FolderProblem::NotSet, {}), u"Please select output folder!"_s);
    EXPECT_EQ(folderProblemMessage(FolderProblem::Missing, u"/x"_s),
              u"Output folder [ /x ] is missing!\r\nPlease select valid output folder."_s);
    EXPECT_EQ(folderProblemMessage(FolderProblem::NotWritable, u"/x"_s),
              QStringLiteral("Application does not have write permission for selected output "
                             "folder!\r\n[ /x ]\r\nPlease select valid output folder."));

    const QList<FileItem> items = pdfs({1});
    // The source folder however it is spelt: letter case and a slash, a trailing slash, "..", a
    // link to the folder, a link to the source file elsewhere, the source through a folder link.
    const QString source = in();
    const QByteArray linked = QFile::encodeName(m_dir.filePath(u"linked"_s));
    ASSERT_EQ(::symlink(QFile::encodeName(source).constData(), linked.constData()), 0);
    QDir().mkpath(m_dir.filePath(u"links"_s));
    ASSERT_EQ(::symlink(QFile::encodeName(items[0].path()).constData(),
                        QFile::encodeName(m_dir.filePath(u"links/doc1.pdf"_s)).constData()),
              0);
    for (const QString& spelling :
         {source.toUpper() + QLatin1Char('/'), source + QLatin1Char('/'), source + u"/../in/"_s,
          m_dir.filePath(u"linked"_s), m_dir.filePath(u"linked/"_s)}) {
        EXPECT_TRUE(outputFolderMatchesSources(spelling, items)) << qPrintable(spelling);
    }
    EXPECT_TRUE(
        outputFolderMatchesSources(source, {listedItem(m_dir.filePath(u"links/doc1.pdf"_s))}));
    EXPECT_TRUE(
        outputFolderMatchesSources(source, {listedItem(m_dir.filePath(u"linked/doc1.pdf"_s))}));
    EXPECT_TRUE(outputFolderMatchesSources(m_dir.filePath(u"links"_s),
                                           items)); // the output would be the source
    EXPECT_FALSE(outputFolderMatchesSources(out(), items));
    QDir().mkpath(m_dir.filePath(u"other"_s));
    test::writeBodyPdf(m_dir.filePath(u"other/doc1.pdf"_s), 1);
    EXPECT_EQ(
        outputNameClashes(items + QList<FileItem>{listedItem(m_dir.filePath(u"other/doc1.pdf"_s))}),
        QStringList{u"doc1.pdf"_s});
    // A file without pages writes nothing, so it clashes with nothing.
    EXPECT_EQ(
        outputNameClashes(items + QList<FileItem>{listedItem(m_dir.filePath(u"gone/doc1.pdf"_s))}),
        QStringList());

    const QDateTime start(QDate(2026, 12, 5), QTime(10, 0, 0));
    EXPECT_EQ(timeTakenString(start, start.addMSecs(900)), QString());
    EXPECT_EQ(timeTakenString(start, start.addSecs(65)), u"1 min(s) 5 sec(s) "_s);
    EXPECT_EQ(timeTakenString(start, start.addSecs(7200)), u"2 hr(s) "_s);
    EXPECT_EQ(timeTakenString(start, start.addSecs(3661)), u"1 hr(s) 1 min(s) 1 sec(s) "_s);
    EXPECT_EQ(timeTakenString(QDateTime(), start), QString());
}

TEST(RunChecks, JobsThatWouldComeOutWrongAreNamedBeforeTheRun)
{
    test::ScopedPreferences preferences;
    const double inf = std::numeric_limits<double>::infinity();
    const struct
    {
        const char* name;
        std::function<void(Numbering&, TextStamp&)> change;
        QStringList problems;
        QStringList missingFonts;
    } rows[] = {
        {"sound", [](Numbering&, TextStamp&) {}, {}, {}},
        {"huge margin",
         [](Numbering& job, TextStamp&) { job.setMarginLeft(1e19); },
         {u"The left margin (1e+19) is out of range."_s},
         {}},
        {"huge margin once in inches",
         [](Numbering& job, TextStamp&) {
             job.setMarginUnit(Inches);
             job.setMarginBottom(2e6);
         },
         {u"The bottom margin (2e+06) is out of range."_s},
         {}},
        {"margin not a number",
         [](Numbering& job, TextStamp&) { job.setMarginTop(std::nan("")); },
         {u"The top margin (nan) is out of range."_s},
         {}},
        {"turn beyond the range",
         [](Numbering&, TextStamp& stamp) { stamp.setTextRotation(5e7); },
         {u"Stamp 1 \"Numbers [{0}]\" is turned by 5e+07 degrees, out of range."_s},
         {}},
        {"turn not finite",
         [inf](Numbering&, TextStamp& stamp) { stamp.setTextRotation(inf); },
         {u"Stamp 1 \"Numbers [{0}]\" is turned by inf degrees, out of range."_s},
         {}},
        {"font not installed",
         [](Numbering&, TextStamp& stamp) {
             PDFFont font = stamp.font();
             font.setFontName(u"No Such Family 7"_s);
             stamp.setFont(font);
         },
         {},
         {QStringLiteral("Stamp 1 \"Numbers [{0}]\" asks for the font \"No Such Family 7\", "
                         "which is not installed.")}},
        {"switched-off stamps are not asked about",
         [inf](Numbering&, TextStamp& stamp) {
             PDFFont font = stamp.font();
             font.setFontName(u"No Such Family 7"_s);
             stamp.setFont(font);
             stamp.setTextRotation(inf);
             stamp.setIsSelected(false);
         },
         {},
         {}},
    };
    for (const auto& row : rows) {
        Numbering job;
        job.stamps().clear();
        auto stamp = std::make_unique<TextStamp>();
        stamp->setNumberFormat(u"{0}"_s);
        row.change(job, *stamp);
        job.stamps().push_back(std::move(stamp));
        EXPECT_EQ(jobRangeProblems(job), row.problems) << row.name;
        QStringList fonts;
        for (const MissingFont& missing : stampsWithMissingFonts(job)) {
            fonts << missingFontMessage(missing);
        }
        EXPECT_EQ(fonts, row.missingFonts) << row.name;
    }
}
