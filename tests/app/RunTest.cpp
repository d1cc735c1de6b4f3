#include "app/MainWindow.h"
#include "app/OutputSettingsSheet.h"
#include "app/ProgressSheet.h"
#include "app/RunController.h"
#include "AppFixture.h"
#include "filelist/FileListModel.h"
#include "model/TextStamp.h"
#include "platform/PreferencesStore.h"
#include "processing/BatchRun.h"
#include "processing/Process.h"
#include "support/LockableFolder.h"
#include "support/PdfTools.h"
#include "ui_MainWindow.h"
#include "ui_OutputSettings.h"
#include "ui_ProgressSheet.h"
#include "usage/UsagesReporting.h"

#include <functional>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace veltrane::test {
namespace {

// Five PDFs of 1 to 5 pages listed, a page number stamp, and an output folder.
class RunTest : public AppFixture
{
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        QDir(m_dir.path()).mkdir(u"in"_s);
        QDir(m_dir.path()).mkdir(u"out"_s);
        for (int i = 1; i <= 5; ++i) {
            writeBodyPdf(in(u"doc%1.pdf"_s.arg(i)), i);
        }
        addTextStamp(u"{0}"_s);
        m_app->settings().setIsOpenFolderAfterConversion(false);
        m_app->settings().setOutputFolderPath(out());
        ASSERT_TRUE(dropOnFileTable({QUrl::fromLocalFile(in(QString()))}));
        ASSERT_EQ(m_app->files().items().size(), 5);
    }
    QString in(const QString& name) const { return m_dir.filePath(u"in/"_s + name); }
    QString out() const { return m_dir.filePath(u"out"_s); }
    RunController& runs() { return m_app->runController(); }
    bool waitForEnd()
    {
        return QTest::qWaitFor(
            [this] {
                return runs().progressSheet() && runs().progressSheet()->isVisible() &&
                       !runs().run().isRunning() &&
                       runs().progressSheet()->ui().closeProcessButton->isEnabled();
            },
            60000);
    }
    static QFileDialog* visiblePanel(const char* name)
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            for (auto* panel : widget->findChildren<QFileDialog*>(QLatin1String(name))) {
                if (panel->isVisible()) {
                    return panel;
                }
            }
        }
        return nullptr;
    }

    QTemporaryDir m_dir;
};

TEST_F(RunTest, AWholeRunShowsItsProgressAndCloseClearsTheProcessedFiles)
{
    m_app->settings().setIsClearProcessedFiles(true);
    m_app->files().setData(m_app->files().index(rowOf(u"doc3.pdf"_s), 0), Qt::Unchecked,
                           Qt::CheckStateRole);
    m_app->window().ui().startRunAction->trigger();
    EXPECT_TRUE(m_app->isProcessing());
    EXPECT_FALSE(m_app->window().ui().addFilesAction->isEnabled());
    ASSERT_TRUE(waitForEnd());
    Ui::ProgressSheet& sheet = runs().progressSheet()->ui();
    EXPECT_EQ(sheet.messageLabel->text(), u"All files processed successfully."_s);
    EXPECT_TRUE(QRegularExpression(u"^Total Time Taken : (\\d+ sec\\(s\\) )? 5/5$"_s)
                    .match(sheet.timeTakenLabel->text())
                    .hasMatch())
        << sheet.timeTakenLabel->text().toStdString();
    EXPECT_EQ(sheet.runProgressBar->value(), 5);
    EXPECT_FALSE(sheet.cancelProcessButton->isEnabled());
    // What each output holds is the engine's tests' concern; here every file got one.
    EXPECT_EQ(
        QDir(out()).entryList(QDir::Files),
        (QStringList{u"doc1.pdf"_s, u"doc2.pdf"_s, u"doc3.pdf"_s, u"doc4.pdf"_s, u"doc5.pdf"_s}));
    sheet.closeProcessButton->click();
    EXPECT_FALSE(m_app->isProcessing());
    ASSERT_EQ(m_app->files().items().size(), 1);
    EXPECT_EQ(m_app->files().items()[0].name(), u"doc3.pdf"_s);
    EXPECT_TRUE(m_app->window().ui().addFilesAction->isEnabled());
    EXPECT_EQ(runs().run().process(), nullptr);
    const QList<FeatureUsages>& features = m_app->usagesReport().record().features;
    EXPECT_TRUE(std::any_of(features.begin(), features.end(), [](const FeatureUsages& feature) {
        return feature.name == QLatin1String("Output Files") && feature.filesCount == 5;
    }));
}

TEST_F(RunTest, OutputSettingsWriteThePreferencesAndSaveAChosenFolder)
{
    m_app->settings().setOutputFolderPath(QString());
    m_app->window().ui().outputSettingsAction->trigger();
    OutputSettingsSheet& sheet = m_app->outputSettings();
    ASSERT_TRUE(sheet.isVisible());
    EXPECT_FALSE(sheet.ui().setCurrentAsDefaultOutputFolderPathBtn->isEnabled());
    sheet.ui().openFolderAfterConversionBtn->click();
    sheet.ui().clearProcessedFilesBtn->click();
    sheet.ui().keepEncryptionBtn->click();
    QTest::keyClicks(sheet.ui().pdfOpenPasswordField, u"secret"_s);
    EXPECT_TRUE(m_app->settings().isOpenFolderAfterConversion());
    EXPECT_TRUE(m_app->settings().isClearProcessedFiles());
    EXPECT_TRUE(m_app->settings().isKeepEncryption());
    EXPECT_EQ(m_app->settings().pdfOpenPassword(), u"secret"_s);

    sheet.chooseOutputFolder();
    auto* panel = sheet.findChild<QFileDialog*>(u"outputFolderPanel"_s);
    ASSERT_NE(panel, nullptr);
    panel->selectFile(out());
    QMetaObject::invokeMethod(panel, "accept");
    EXPECT_EQ(m_app->settings().outputFolderPath(), out());
    EXPECT_EQ(sheet.ui().outputFolderPath->text(), out());
    EXPECT_TRUE(sheet.ui().setCurrentAsDefaultOutputFolderPathBtn->isEnabled());
    // Saved at once, not only at quit.
    EXPECT_EQ(PreferencesStore::shared()
                  .value(u"SETTINGS"_s)
                  .toMap()
                  .value(u"outputFolderPath"_s)
                  .toString(),
              out());
    QTest::keyClick(&sheet, Qt::Key_Escape);
    EXPECT_FALSE(sheet.isVisible());
}

TEST_F(RunTest, CancelDuringTheSecondFileFinishesItAndStops)
{
    runs().setJobs(1);
    runs().run().setFileStartObserver([](Process& run, const QString& file) {
        if (file == QLatin1String("doc2.pdf")) {
            run.requestStop();
        }
    });
    m_app->window().ui().startRunAction->trigger();
    ASSERT_TRUE(waitForEnd());
    const Log& log = runs().run().process()->log();
    ASSERT_EQ(log.files.size(), 2);
    EXPECT_EQ(log.files[1].filename, u"doc2.pdf"_s);
    EXPECT_EQ(log.files[1].status, u"Completed"_s);
    EXPECT_EQ(runs().progressSheet()->ui().messageLabel->text(), u"Process cancelled!"_s);
    EXPECT_EQ(QDir(out()).entryList(QDir::Files).size(), 2);
    runs().progressSheet()->ui().closeProcessButton->click();
    EXPECT_EQ(m_app->files().items().size(), 5);
}

TEST_F(RunTest, AnUnusableOutputFolderAsksForAnotherWithTheReason)
{
    const QString gone = m_dir.filePath(u"gone"_s);
    test::LockableFolder locked;
    const bool readOnly = locked.canLock() && locked.lock();
    // The texts themselves are pinned by ProcessTest; here the kind found and its folder.
    QList<std::pair<QString, FolderProblem>> rows = {{QString(), FolderProblem::NotSet},
                                                     {gone, FolderProblem::Missing}};
    if (readOnly) {
        rows.append({locked.path(), FolderProblem::NotWritable});
    }
    for (const auto& [folder, problem] : rows) {
        const QString message = folderProblemMessage(problem, folder);
        m_app->settings().setOutputFolderPath(folder);
        m_app->window().ui().startRunAction->trigger();
        QFileDialog* panel = visiblePanel("runOutputFolderPanel");
        ASSERT_NE(panel, nullptr) << message.toStdString();
        EXPECT_EQ(panel->findChild<QLabel*>(u"folderProblemMessage"_s)->text(), message);
        panel->reject();
        EXPECT_FALSE(m_app->isProcessing());
    }
    EXPECT_TRUE(readOnly) << "the read-only case could not be set up";
}

TEST_F(RunTest, StampsThatWouldNotBeDrawnClashesAndOverwritesAreAskedAbout)
{
    QDir(m_dir.path()).mkdir(u"more"_s);
    const QString twin = m_dir.filePath(u"more/doc1.pdf"_s);
    writeBodyPdf(twin, 1);
    struct Row
    {
        const char* name;
        std::function<void()> setUp; // each row keeps the ones before it
        QString asked;               // in the alert's text
        QString question;
    };
    const QString anyway = u"Do you want to stamp the files all the same?"_s;
    const Row rows[] = {
        {"a font that is not installed",
         [this] {
             static_cast<TextStamp&>(*m_app->number().stamps()[0])
                 .font()
                 .setFontName(u"No Such Family"_s);
         },
         u"asks for the font \"No Such Family\", which is not installed"_s, anyway},
        {"two files of one name",
         [&] { ASSERT_TRUE(dropOnFileTable({QUrl::fromLocalFile(twin)})); },
         u"share a file name (doc1.pdf)"_s, anyway},
        // Asked before the other two.
        {"an output folder that holds sources",
         [this] { m_app->settings().setOutputFolderPath(in(QString())); },
         u"Output folder location matched with few of your selected source files!"_s,
         u"This will overwrite your original files. Do you want to continue?"_s},
    };
    for (const Row& row : rows) {
        row.setUp();
        QString question;
        answerNextAlert(0, &question);
        m_app->window().ui().startRunAction->trigger();
        ASSERT_TRUE(QTest::qWaitFor([] { return visibleAlert() != nullptr; })) << row.name;
        EXPECT_TRUE(visibleAlert()->text().contains(row.asked))
            << row.name << ": " << visibleAlert()->text().toStdString();
        QTRY_COMPARE(visibleAlert(), nullptr);
        EXPECT_EQ(question, row.question) << row.name;
        EXPECT_FALSE(m_app->isProcessing()) << row.name;
        EXPECT_EQ(runs().run().process(), nullptr) << row.name;
    }
    EXPECT_TRUE(QDir(out()).isEmpty());
}

TEST_F(RunTest, AnOutputFolderThatHoldsSourcesIsStampedOnYes)
{
    m_app->settings().setOutputFolderPath(in(QString()));
    answerNextAlert(1, nullptr);
    m_app->window().ui().startRunAction->trigger();
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(runs().progressSheet()->ui().messageLabel->text(),
              u"All files processed successfully."_s);
    runs().progressSheet()->ui().closeProcessButton->click();
}

} // namespace
} // namespace veltrane::test
