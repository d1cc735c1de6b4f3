#include "processing/Process.h"

#include "model/Numbering.h"
#include "model/Settings.h"
#include "platform/AppPaths.h"
#include "platform/StagedFile.h"
#include "platform/SystemLog.h"
#include "processing/RunPlan.h"

#include <condition_variable>
#include <map>
#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <QUrl>
#include <thread>

namespace veltrane {

const QString kOverwriteWarning = QStringLiteral(
    "Output folder location matched with few of your selected source files!\r\n Are you sure to "
    "stamp all the files?");
const QString kOverwriteQuestion =
    QStringLiteral("This will overwrite your original files. Do you want to continue?");

Process::Process(const Settings& settings)
    : m_job(std::make_unique<Numbering>(settings.number())),
      m_openFolderAfterConversion(settings.isOpenFolderAfterConversion())
{
    m_job->setKeepsEncryption(settings.isKeepEncryption());
}

int Process::defaultJobs()
{
    return std::max(QThread::idealThreadCount(), 1) + 1;
}

Process::~Process() = default;

void Process::combine(const QList<FileItem>& items, const QString& outputFolder)
{
    guarded(QStringLiteral("Error in (combine) : %@"), [&] {
        m_outputFolder = outputFolder;
        m_isCombining.store(true);
        m_outputFiles.clear();
        for (const FileItem& item : items) {
            OutputFile output;
            output.filename = QDir(outputFolder).filePath(item.name());
            output.fileItems.append(item);
            m_outputFiles.append(output);
        }
        m_totalFileSelected = qint32(items.size());
        m_job->reset();
    });
}

void Process::setProgressHandler(std::function<void(const RunProgress&)> handler)
{
    m_progress = std::move(handler);
}

QString Process::message() const
{
    std::lock_guard lock(m_mutex);
    return m_message;
}

QString Process::timeTaken() const
{
    std::lock_guard lock(m_mutex);
    return m_timeTaken;
}

void Process::stop()
{
    guarded(QStringLiteral("Error in (Process=>stop) : %@"), [&] { m_isCombining.store(false); });
}

void Process::report(bool finished)
{
    if (!m_progress) {
        return;
    }
    RunProgress progress;
    {
        std::lock_guard lock(m_mutex);
        progress.fileInProcess = m_fileInProcess;
        progress.text =
            timeTakenLabel(m_timeTaken, m_totalFileProcessed.load(), m_outputFiles.size());
    }
    progress.processed = m_totalFileProcessed.load();
    progress.outputs = qint32(m_outputFiles.size());
    progress.finished = finished;
    m_progress(progress);
}

Process::FileResult Process::stampOne(Numbering& job, const OutputFile& output, qint64 totalValue)
{
    FileResult result;
    const FileItem& item = output.fileItems.first();
    if (item.pages() <= 0) {
        result.status = QStringLiteral("No Pages");
        result.reason = item.problem().isEmpty() ? QStringLiteral("no pages") : item.problem();
        return result;
    }
    result.attempted = true;
    try {
        job.setDateTaken(item.dateTaken().value_or(QString()));
        const bool pdf = item.type().toUpper() == QLatin1String("PDF");
        result.created =
            pdf ? job.processPDF(item.path(), output.filename, item.pdfOpenPassword(), totalValue)
                : job.processTIFF(item.path(), output.filename, totalValue, item.compression());
        result.status = result.created ? QStringLiteral("Completed") : QStringLiteral("Failed");
        if (!result.created) {
            result.reason = job.failureReason();
        } else if (!pdf) {
            result.note = job.omissionNote();
        }
    } catch (const std::exception& e) {
        result.status = exceptionReason(e);
        result.reason = result.status;
    }
    return result;
}

void Process::finishFile(const FileResult& result, const OutputFile& output, LogFiles& record)
{
    record.status = result.status;
    record.reason = result.reason;
    record.note = result.note;
    if (!result.note.isEmpty()) {
        systemLog(QStringLiteral("%1 : %2 : %3")
                      .arg(result.status, output.fileItems.first().path(), result.note));
    }
    if (!result.created) {
        // Every file that is not created says why, in the system log and in the run's log.
        const QString word =
            result.status == QLatin1String("No Pages") ? result.status : QStringLiteral("Failed");
        systemLog(
            QStringLiteral("%1 : %2 : %3")
                .arg(word, output.fileItems.first().path(),
                     result.reason.isEmpty() ? QStringLiteral("unknown reason") : result.reason));
    }
    if (result.attempted) {
        ++m_totalFileProcessed;
        report(false);
        if (result.created) {
            ++m_totalFileCreated;
        }
    }
}

void Process::runSequential(qint64 totalPages, bool& error)
{
    qint64 totalValue = m_job->isContinuousNumbering() ? totalPages : 0;
    for (const OutputFile& output : m_outputFiles) {
        if (!m_isCombining.load()) {
            break;
        }
        LogFiles record;
        record.filename = QFileInfo(output.filename).fileName();
        record.targetPath = QFileInfo(output.filename).path();
        {
            std::lock_guard lock(m_mutex);
            m_fileInProcess = output.fileItems.first().name();
        }
        if (m_fileStarted) {
            m_fileStarted(output.fileItems.first().name());
        }
        const FileItem& item = output.fileItems.first();
        if (item.pages() > 0) {
            record.pages = item.pages();
            if (!m_job->isContinuousNumbering()) {
                totalValue = item.pages();
            }
        }
        const FileResult result = stampOne(*m_job, output, totalValue);
        if (result.attempted && !m_job->isContinuousNumbering()) {
            m_job->reset();
        }
        error |= result.attempted && !result.created && result.status != QLatin1String("Failed");
        finishFile(result, output, record);
        m_log.files.append(record);
    }
}

void Process::runParallel(qint64 totalPages, bool& error)
{
    QList<FileItem> items;
    for (const OutputFile& output : m_outputFiles) {
        items.append(output.fileItems.first());
    }
    const std::vector<FileStart> plan = planRun(*m_job, items, totalPages);
    const size_t count = size_t(m_outputFiles.size());
    std::mutex mutex;
    std::condition_variable done;
    std::map<size_t, FileResult> results;
    size_t next = 0;
    int stopped = 0;
    const int workers = std::min<int>(m_jobs, int(count));

    auto worker = [&] {
        Numbering job(*m_job);
        for (;;) {
            size_t k;
            {
                std::lock_guard lock(mutex);
                if (next >= count || !m_isCombining.load()) {
                    ++stopped;
                    done.notify_all();
                    return;
                }
                k = next++;
            }
            job.setNumberCounter(plan[k].numberCounter);
            for (const auto& stamp : job.stamps()) {
                stamp->reset();
            }
            restoreMirrorStates(job, plan[k].stampedBefore);
            FileResult result = stampOne(job, m_outputFiles[int(k)], plan[k].totalValue);
            {
                std::lock_guard lock(mutex);
                results.emplace(k, std::move(result));
            }
            done.notify_all();
        }
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < workers; ++i) {
        threads.emplace_back(worker);
    }
    // Records, counts and progress follow list order, one file at a time.
    for (size_t k = 0; k < count; ++k) {
        FileResult result;
        {
            std::unique_lock lock(mutex);
            done.wait(lock,
                      [&] { return results.count(k) > 0 || (k >= next && stopped == workers); });
            if (results.count(k) == 0) {
                break; // cancelled before this file started
            }
            result = std::move(results[k]);
        }
        const OutputFile& output = m_outputFiles[int(k)];
        LogFiles record;
        record.filename = QFileInfo(output.filename).fileName();
        record.targetPath = QFileInfo(output.filename).path();
        record.pages = std::max<qint32>(output.fileItems.first().pages(), 0);
        {
            std::lock_guard lock(m_mutex);
            m_fileInProcess = output.fileItems.first().name();
        }
        error |= result.attempted && !result.created && result.status != QLatin1String("Failed");
        finishFile(result, output, record);
        m_log.files.append(record);
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
}

void Process::start(qint64 totalPages)
{
    bool error = false;
    m_isCompleted.store(false);
    m_log.startTime = QDateTime::currentDateTime();
    {
        std::lock_guard lock(m_mutex);
        m_message.clear();
    }
    const bool ran = guarded(QStringLiteral("Error in (Process=>start) : %@"), [&] {
        QList<FileItem> items;
        for (const OutputFile& output : m_outputFiles) {
            items.append(output.fileItems.first());
        }
        // Outputs that share a name must be written in list order, as one after another.
        if (m_jobs > 1 && items.size() > 1 && outputNameClashes(items).isEmpty()) {
            runParallel(totalPages, error);
        } else {
            runSequential(totalPages, error);
        }
    });
    error |= !ran;
    m_log.endTime = QDateTime::currentDateTime();
    m_log.save();
    QString message;
    if (error) {
        message = getAppTitle(QStringLiteral(" unable able to process some of the files!\r\nPlease "
                                             "check log for more information."));
    } else if (!m_isCombining.load()) {
        message = QStringLiteral("Process cancelled!");
    } else if (m_totalFileCreated.load() == m_outputFiles.size()) {
        message = QStringLiteral("All files processed successfully.");
    } else {
        message =
            QStringLiteral("Total %1 files processed successfully.").arg(m_totalFileCreated.load());
    }
    {
        std::lock_guard lock(m_mutex);
        m_message = message;
        m_timeTaken = timeTakenString(m_log.startTime, m_log.endTime);
        m_fileInProcess.clear();
    }
    m_isCombining.store(false);
    report(true);
    if (m_openFolderAfterConversion && m_totalFileCreated.load() > 0 && m_openFolder) {
        m_openFolder(m_outputFolder);
    }
    m_isCompleted.store(true);
}

FolderProblem checkOutputFolder(const QString& folder)
{
    if (folder.isEmpty()) {
        return FolderProblem::NotSet;
    }
    const QFileInfo info(folder);
    if (!info.exists() || !info.isDir()) {
        return FolderProblem::Missing;
    }
    if (!info.isWritable()) {
        return FolderProblem::NotWritable;
    }
    return FolderProblem::None;
}

QString folderProblemMessage(FolderProblem problem, const QString& folder)
{
    switch (problem) {
    case FolderProblem::NotSet:
        return QStringLiteral("Please select output folder!");
    case FolderProblem::Missing:
        return QStringLiteral(
                   "Output folder [ %1 ] is missing!\r\nPlease select valid output folder.")
            .arg(folder);
    case FolderProblem::NotWritable:
        return QStringLiteral("Application does not have write permission for selected output "
                              "folder!\r\n[ %1 ]\r\nPlease select valid output folder.")
            .arg(folder);
    default:
        return {};
    }
}

bool outputFolderMatchesSources(const QString& outputFolder, const QList<FileItem>& items)
{
    const QString folder = QDir::cleanPath(outputFolder).toUpper();
    const QDir output(outputFolder);
    for (const FileItem& item : items) {
        // By spelling, letter case ignored, and by what the folders are: a trailing slash or a
        // symbolic link, to either folder or to a source file, names the same place.
        if (QDir::cleanPath(item.location()).toUpper() == folder ||
            isSameFile(item.location(), outputFolder) ||
            isSameFile(item.path(), output.filePath(item.name()))) {
            return true;
        }
    }
    return false;
}

QStringList outputNameClashes(const QList<FileItem>& items)
{
    QMap<QString, int> seen;
    for (const FileItem& item : items) {
        if (item.pages() > 0) { // files without pages write nothing
            ++seen[item.name()];
        }
    }
    QStringList clashes;
    for (auto it = seen.cbegin(); it != seen.cend(); ++it) {
        if (it.value() > 1) {
            clashes << it.key();
        }
    }
    return clashes;
}

qint64 totalPagesOf(const QList<FileItem>& items)
{
    qint64 total = 0;
    for (const FileItem& item : items) {
        total += std::max<qint32>(item.pages(), 0);
    }
    return total;
}

} // namespace veltrane
