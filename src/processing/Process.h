#pragma once

#include "filelist/FileItem.h"
#include "filelist/TimeTaken.h"
#include "processing/ProcessLog.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace veltrane {

class Numbering;
class Settings;

// One file a run writes.
struct OutputFile
{
    QList<FileItem> fileItems; // the run always puts exactly one
    QString filename;          // full path of the output
};

// What the progress panel shows after each file and at the end.
struct RunProgress
{
    QString text; // "Total Time Taken : <time taken> <processed>/<outputs>"
    qint32 processed = 0;
    qint32 outputs = 0;
    QString fileInProcess;
    bool finished = false;
};

// One batch run over a file list. It works on its own deep copy of the stamp job, taken when it
// is made, so editing the job meanwhile never changes the run. start() runs the whole batch on
// the calling thread (a worker); stop() may be called from any thread and takes effect between
// files. Progress reaches the handler on the run's thread.
class Process
{
public:
    explicit Process(const Settings& settings);
    ~Process();

    // One output per item, in list order, named by the item's file name in `outputFolder`;
    // resets the run's job.
    void combine(const QList<FileItem>& items, const QString& outputFolder);
    // Up to `jobs` files stamped at once (1: one after another). Outputs and log records are
    // the same either way; outputs whose names clash always run one at a time.
    void setJobs(int jobs) { m_jobs = std::max(jobs, 1); }
    // One file more than there are cores: a core never waits while a finished file is flushed
    // to disk.
    static int defaultJobs();
    void setProgressHandler(std::function<void(const RunProgress&)> handler);
    // Called on the run's thread as each file starts, when files are stamped one after another.
    void setFileStartHandler(std::function<void(const QString& fileName)> handler)
    {
        m_fileStarted = std::move(handler);
    }
    // Called with the output folder at the end of a run that created files, when the
    // preferences ask to open it; none by default (the command line opens nothing).
    void setOpenFolderHandler(std::function<void(const QString&)> handler)
    {
        m_openFolder = std::move(handler);
    }

    void start(qint64 totalPages);
    void stop();
    // stop() for signal handlers: nothing but an atomic store.
    void requestStop() noexcept { m_isCombining.store(false); }

    const QList<OutputFile>& outputFiles() const { return m_outputFiles; }
    const Log& log() const { return m_log; }
    QString outputFolder() const { return m_outputFolder; }
    QString message() const;
    QString timeTaken() const;
    bool isCombining() const { return m_isCombining.load(); }
    bool isCompleted() const { return m_isCompleted.load(); }
    qint32 totalFileSelected() const { return m_totalFileSelected; }
    qint32 totalFileProcessed() const { return m_totalFileProcessed.load(); }
    qint32 totalFileCreated() const { return m_totalFileCreated.load(); }
    // The job the run works on (its own copy).
    Numbering& job() { return *m_job; }

private:
    struct FileResult
    {
        bool attempted = false;
        bool created = false;
        QString status;
        QString reason; // why it was not created
        QString note;   // what a created output had to leave out
    };
    FileResult stampOne(Numbering& job, const OutputFile& output, qint64 totalValue);
    void runSequential(qint64 totalPages, bool& error);
    void runParallel(qint64 totalPages, bool& error);
    void finishFile(const FileResult& result, const OutputFile& output, LogFiles& record);
    void report(bool finished);

    std::unique_ptr<Numbering> m_job;
    bool m_openFolderAfterConversion = false;
    QString m_outputFolder;
    QList<OutputFile> m_outputFiles;
    Log m_log;
    int m_jobs = 1;
    std::function<void(const RunProgress&)> m_progress;
    std::function<void(const QString&)> m_openFolder;
    std::function<void(const QString&)> m_fileStarted;

    mutable std::mutex m_mutex; // guards the texts below, read by other threads
    QString m_message;
    QString m_timeTaken = QStringLiteral("In Process...");
    QString m_fileInProcess;

    std::atomic<bool> m_isCombining{false};
    std::atomic<bool> m_isCompleted{false};
    qint32 m_totalFileSelected = 1;
    std::atomic<qint32> m_totalFileProcessed{0};
    std::atomic<qint32> m_totalFileCreated{0};
};

// Checks of the output folder before a run, with the texts the user is shown.
enum class FolderProblem { None, NotSet, Missing, NotWritable };
FolderProblem checkOutputFolder(const QString& folder);
QString folderProblemMessage(FolderProblem problem, const QString& folder);

// Whether the output folder is the folder of a listed file: the same text with letter case
// ignored, or the same folder on disk however spelt (trailing slashes, symbolic links), or an
// output that would be the source file itself. Stamping would then overwrite originals, which
// the user must confirm.
bool outputFolderMatchesSources(const QString& outputFolder, const QList<FileItem>& items);
extern const QString kOverwriteWarning;
extern const QString kOverwriteQuestion;

// File names that more than one listed file with pages has: their outputs would overwrite
// each other.
QStringList outputNameClashes(const QList<FileItem>& items);

// The sum of the items' page counts.
qint64 totalPagesOf(const QList<FileItem>& items);

} // namespace veltrane
