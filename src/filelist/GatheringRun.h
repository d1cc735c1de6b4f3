#pragma once

#include "filelist/Gathering.h"

#include <atomic>
#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <thread>

namespace veltrane {

class FileListModel;

// One gathering at a time into a file list: paths are found and file items measured on a
// worker, and appended to the list on the thread that owns this object, in order, a batch at a
// time. After the last append the list is sorted by its sort keys. The list is marked as
// processing throughout, so the user's check edits and sorting wait; cancel() stops the
// worker at its next test and keeps what was already appended.
class GatheringRun : public QObject
{
    Q_OBJECT

public:
    explicit GatheringRun(FileListModel* list, QObject* parent = nullptr);
    ~GatheringRun() override;

    // Starts gathering `request`; new items get `readPassword`. False while one is running.
    bool loadURLs(const Arguments& request, const QString& readPassword);
    void cancel() noexcept { m_processing.store(false); }
    bool isRunning() const { return m_running; }

    // Measuring threads (at least 1).
    void setJobs(int jobs) { m_jobs = std::max(jobs, 1); }
    // Files measured per appended batch, at least (large gatherings use larger batches).
    void setBatchSize(int size) { m_batchSize = std::max(size, 1); }

signals:
    // The status label: "Total Time Taken : In Process... 0/0" at the start, the time taken at
    // the end.
    void statusTextChanged(const QString& text);
    void runningChanged(bool running);
    // After the last append and the sort; `grew` tells whether the list has new items.
    void finished(bool grew);

private:
    void work(Arguments request, QString readPassword, QList<FileItem> existing, int jobs,
              int batchSize);
    void append(const QList<FileItem>& items);
    void finish();

    QPointer<FileListModel> m_list;
    std::thread m_worker;
    std::atomic<bool> m_processing{false};
    bool m_running = false;
    int m_added = 0;
    int m_jobs = 1;
    int m_batchSize = 64;
    QDateTime m_start;
};

} // namespace veltrane
