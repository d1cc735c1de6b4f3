#include "app/RunController.h"

#include "app/AlertPanels.h"
#include "app/FilePanels.h"
#include "app/ProgressSheet.h"
#include "filelist/FileListModel.h"
#include "model/Numbering.h"
#include "model/Settings.h"
#include "platform/AppPaths.h"
#include "platform/DesktopShell.h"
#include "platform/SystemLog.h"
#include "processing/BatchRun.h"
#include "processing/RunChecks.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>

namespace veltrane {
namespace {

// A run that ends unseen after this long is told by a desktop notification.
constexpr qint64 kNotifyAfterMs = 5000;

} // namespace

RunController::RunController(QWidget* window, Settings& settings, FileListModel& files,
                             RunHooks hooks)
    : m_window(window), m_settings(settings), m_files(files), m_hooks(std::move(hooks)),
      m_run(new BatchRun(this))
{
    connect(m_run, &BatchRun::progressed, this, &RunController::progressed);
    connect(m_run, &BatchRun::finished, this, &RunController::finished);
    connect(m_run, &BatchRun::fileStarted, this, [this](const QString& fileName) {
        if (m_sheet) {
            m_sheet->showFileStarted(fileName);
        }
    });
}

RunController::~RunController() = default;

void RunController::convertAction()
{
    guarded(QStringLiteral("Error in convertAction : %@"), [this] {
        if (m_run->isRunning() || m_run->process()) {
            return;
        }
        endEditing();
        m_outputFolder = m_settings.outputFolderPath();
        const FolderProblem problem = checkOutputFolder(m_outputFolder);
        if (problem == FolderProblem::None) {
            doStamp();
        } else {
            chooseOutputFolder(folderProblemMessage(problem, m_outputFolder));
        }
    });
}

void RunController::chooseOutputFolder(const QString& message)
{
    QFileDialog* panel = openFolderPanel(m_window, QStringLiteral("runOutputFolderPanel"),
                                         tr("Choose Output Folder : "),
                                         m_settings.outputFolderPath(), [](const QString&) {});
    // The message and the two choices sit under the folder list.
    auto* text = new QLabel(message, panel);
    text->setObjectName(QStringLiteral("folderProblemMessage"));
    text->setWordWrap(true);
    auto* keep = new QCheckBox(tr("Make this the &default output folder"), panel);
    keep->setObjectName(QStringLiteral("setCurrentAsDefaultOutputFolderPathBtn"));
    auto* open = new QCheckBox(tr("O&pen the folder after the run"), panel);
    open->setObjectName(QStringLiteral("openFolderAfterConversionBtn"));
    open->setChecked(m_settings.isOpenFolderAfterConversion());
    if (auto* grid = qobject_cast<QGridLayout*>(panel->layout())) {
        const int row = grid->rowCount();
        grid->addWidget(text, row, 0, 1, -1);
        grid->addWidget(keep, row + 1, 0, 1, -1);
        grid->addWidget(open, row + 2, 0, 1, -1);
    }
    connect(panel, &QFileDialog::filesSelected, this,
            [this, keep, open](const QStringList& chosen) {
                if (chosen.isEmpty()) {
                    return;
                }
                const QString folder = chosen.first();
                if (checkOutputFolder(folder) != FolderProblem::None) {
                    informationAlertPanel(
                        m_window, getAppTitle(),
                        QStringLiteral("Application does not have write permission for selected "
                                       "output folder!\r\n[ %1 ]\r\nPlease try again or later.")
                            .arg(folder));
                    return;
                }
                m_outputFolder = folder;
                if (keep->isChecked()) {
                    m_settings.setOutputFolderPath(folder);
                    m_settings.setIsSetCurrentAsDefaultOutputFolderPath(true);
                }
                if (open->isChecked()) {
                    m_settings.setIsOpenFolderAfterConversion(true);
                }
                doStamp();
            });
}

void RunController::doStamp()
{
    guarded(QStringLiteral("Error in doStamp : %@"), [this] {
        if (!outputFolderMatchesSources(m_outputFolder, m_files.items())) {
            confirmJob();
            return;
        }
        criticalAlertPanel(m_window, kOverwriteWarning, kOverwriteQuestion, tr("Yes"), tr("No"),
                           QString(), [this](int answer) {
                               if (answer == 1) {
                                   confirmJob();
                               }
                           });
    });
}

// Outputs that would replace each other and stamps that would be left out are asked about
// before anything is written.
void RunController::confirmJob()
{
    QStringList problems;
    const QStringList clashes = outputNameClashes(m_files.items());
    if (!clashes.isEmpty()) {
        problems << tr("Several files in the list share a file name (%1): each one's stamped copy "
                       "would replace the one before in the output folder.")
                        .arg(clashes.join(QStringLiteral(", ")));
    }
    for (const MissingFont& missing : stampsWithMissingFonts(m_settings.number())) {
        problems << missingFontMessage(missing);
    }
    problems << jobRangeProblems(m_settings.number());
    if (problems.isEmpty()) {
        combine();
        return;
    }
    criticalAlertPanel(m_window, problems.join(QStringLiteral("\n")),
                       tr("Do you want to stamp the files all the same?"), tr("Yes"), tr("No"),
                       QString(), [this](int answer) {
                           if (answer == 1) {
                               combine();
                           }
                       });
}

void RunController::combine()
{
    guarded(QStringLiteral("Error in (combine) : %@"), [this] {
        endEditing();
        // The run works on its own copy of the job, taken now.
        auto process = std::make_unique<Process>(m_settings);
        process->setJobs(m_jobs > 0 ? m_jobs : Process::defaultJobs());
        process->setOpenFolderHandler([this](const QString& folder) {
            QMetaObject::invokeMethod(
                this, [folder] { openWithDefaultApplication(QUrl::fromLocalFile(folder)); },
                Qt::QueuedConnection);
        });
        m_hooks.showSettingsFirstPage();
        process->combine(m_files.items(), m_outputFolder);
        const qint32 outputs = qint32(process->outputFiles().size());
        const qint64 totalPages = totalPagesOf(m_files.items());
        m_hooks.resetView(false);
        m_hooks.startProcess();
        m_started = QDateTime::currentDateTime();
        if (!m_sheet) {
            m_sheet = new ProgressSheet(m_window);
            connect(m_sheet, &ProgressSheet::cancelProcessAction, this,
                    &RunController::cancelProcessAction);
            connect(m_sheet, &ProgressSheet::closeProcessAction, this,
                    &RunController::closeProcessAction);
            connect(m_sheet, &ProgressSheet::viewLogAction, this, &RunController::viewLogAction);
        }
        m_sheet->begin(outputs, m_outputFolder);
        m_run->start(std::move(process), totalPages);
        m_sheet->open();
    });
}

void RunController::progressed(const RunProgress& progress)
{
    guarded(QStringLiteral("Error in (updateTimeTakenLabel:) : %@"), [&] {
        if (m_sheet) {
            m_sheet->showProgress(progress);
        }
        m_hooks.updateTimeTakenLabel(progress.text);
    });
}

void RunController::finished()
{
    Process* process = m_run->process();
    if (!process || !m_sheet) {
        return;
    }
    m_sheet->showFinished(process->message(),
                          timeTakenLabel(process->timeTaken(), process->totalFileProcessed(),
                                         process->outputFiles().size()));
    // A long run that ends while the user looks elsewhere says so on the desktop.
    if (m_started.msecsTo(QDateTime::currentDateTime()) > kNotifyAfterMs &&
        !m_window->isActiveWindow()) {
        const qint32 failed = process->totalFileProcessed() - process->totalFileCreated();
        notifyDesktop(tr("Stamping finished"), tr("%1 of %2 files stamped, %3 failed.")
                                                   .arg(process->totalFileCreated())
                                                   .arg(process->outputFiles().size())
                                                   .arg(failed));
    }
}

void RunController::cancelProcessAction()
{
    guarded(QStringLiteral("Error in (Process=>stop) : %@"), [this] { m_run->cancel(); });
}

void RunController::viewLogAction()
{
    guarded(QStringLiteral("Error in (Process=>viewLog) : %@"), [this] {
        if (Process* process = m_run->process();
            process && !process->log().logFilePath().isEmpty()) {
            openWithDefaultApplication(QUrl::fromLocalFile(process->log().logFilePath()));
        }
    });
}

void RunController::closeProcessAction()
{
    Process* process = m_run->process();
    if (m_run->isRunning() || !process) {
        return;
    }
    const qint32 processed = process->totalFileProcessed();
    if (m_settings.isClearProcessedFiles()) {
        QList<FileItem> kept;
        for (const FileItem& item : m_files.items()) {
            if (!item.isSelected()) {
                kept.append(item);
            }
        }
        m_files.setItems(kept);
    }
    m_hooks.stopProcess();
    m_hooks.resetView(true);
    m_run->release();
    m_hooks.runClosed(processed);
}

} // namespace veltrane
