#pragma once

#include "processing/Process.h"

#include <memory>
#include <QObject>
#include <thread>

namespace veltrane {

// One batch run at a time on a worker thread, for a program with an event loop. The run's
// progress and its end arrive as signals on the thread that owns this object; the worker never
// waits for them, so showing progress never slows the run. cancel() takes effect between files.
class BatchRun : public QObject
{
    Q_OBJECT
public:
    explicit BatchRun(QObject* parent = nullptr);
    // Cancels a run still going and waits for the file being written to be finished.
    ~BatchRun() override;

    // Starts `process` (already combined) over `totalPages`; false while a run is going.
    bool start(std::unique_ptr<Process> process, qint64 totalPages);
    void cancel();
    bool isRunning() const { return m_running; }
    // The run being made or last made; none before the first start or after release().
    Process* process() const { return m_process.get(); }
    // Lets go of a finished run.
    void release();
    // Called on the run's thread as each file starts (one file at a time only): a caller that
    // must act at an exact point of the run, such as a test cancelling during a given file.
    void setFileStartObserver(std::function<void(Process& run, const QString& fileName)> observer)
    {
        m_observer = std::move(observer);
    }

signals:
    // After each file and at the end (`progress.finished`).
    void progressed(const RunProgress& progress);
    // A file is being stamped now (one file at a time only).
    void fileStarted(const QString& fileName);
    // The run is over: its log is saved and its message set.
    void finished();

private:
    std::unique_ptr<Process> m_process;
    std::thread m_worker;
    std::function<void(Process&, const QString&)> m_observer;
    bool m_running = false;
};

} // namespace veltrane
