#pragma once

#include "app/ProcessingHooks.h"

#include <functional>
#include <QDateTime>
#include <QObject>

namespace veltrane {

class BatchRun;
class FileListModel;
class ProgressSheet;
class Settings;
struct RunProgress;

// What a run asks of the window around it.
struct RunHooks : ProcessingHooks
{
    std::function<void()> showSettingsFirstPage;
    // The window's status label, after each file and at the end.
    std::function<void(const QString& text)> updateTimeTakenLabel;
    // After Close: the run's files for the usage record.
    std::function<void(qint32 totalFileProcessed)> runClosed;
};

// The stamp command: it checks the output folder (asking for one when needed), warns before
// originals would be overwritten, before two files would write one output and before stamps
// that would not be drawn, then runs the batch on its worker with the progress sheet, and on
// Close clears the processed files when asked. Main thread.
class RunController : public QObject
{
    Q_OBJECT
public:
    RunController(QWidget* window, Settings& settings, FileListModel& files, RunHooks hooks);
    ~RunController() override;

    void convertAction();
    void doStamp();
    void combine();
    void cancelProcessAction();
    void closeProcessAction();
    void viewLogAction();

    // Files stamped at once; the engine's default (as the command line uses) unless set.
    void setJobs(int jobs) { m_jobs = jobs; }
    BatchRun& run() { return *m_run; }
    ProgressSheet* progressSheet() const { return m_sheet; }

private:
    void chooseOutputFolder(const QString& message);
    void confirmJob();
    void progressed(const RunProgress& progress);
    void finished();

    QWidget* m_window;
    Settings& m_settings;
    FileListModel& m_files;
    RunHooks m_hooks;
    BatchRun* m_run;
    ProgressSheet* m_sheet = nullptr;
    QString m_outputFolder;
    QDateTime m_started;
    int m_jobs = 0;
};

} // namespace veltrane
