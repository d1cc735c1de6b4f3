#include "processing/BatchRun.h"

namespace veltrane {

BatchRun::BatchRun(QObject* parent) : QObject(parent) {}

BatchRun::~BatchRun()
{
    cancel();
    if (m_worker.joinable()) {
        m_worker.join();
    }
}

bool BatchRun::start(std::unique_ptr<Process> process, qint64 totalPages)
{
    if (m_running || !process) {
        return false;
    }
    if (m_worker.joinable()) {
        m_worker.join();
    }
    m_process = std::move(process);
    m_running = true;
    // Reports are copied into queued calls; the worker goes on at once.
    m_process->setFileStartHandler(
        [this, run = m_process.get(), observer = m_observer](const QString& fileName) {
            if (observer) {
                observer(*run, fileName);
            }
            QMetaObject::invokeMethod(
                this, [this, fileName] { emit fileStarted(fileName); }, Qt::QueuedConnection);
        });
    m_process->setProgressHandler([this](const RunProgress& progress) {
        QMetaObject::invokeMethod(
            this, [this, progress] { emit progressed(progress); }, Qt::QueuedConnection);
    });
    m_worker = std::thread([this, run = m_process.get(), totalPages] {
        run->start(totalPages);
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_worker.joinable()) {
                    m_worker.join();
                }
                m_running = false;
                emit finished();
            },
            Qt::QueuedConnection);
    });
    return true;
}

void BatchRun::cancel()
{
    if (m_running && m_process) {
        m_process->requestStop();
    }
}

void BatchRun::release()
{
    if (!m_running) {
        m_process.reset();
    }
}

} // namespace veltrane
