#include "filelist/GatheringRun.h"

#include "filelist/FileListModel.h"
#include "filelist/TimeTaken.h"
#include "platform/SystemLog.h"

#include <algorithm>
#include <thread>

namespace veltrane {

GatheringRun::GatheringRun(FileListModel* list, QObject* parent)
    : QObject(parent), m_list(list), m_jobs(int(std::max(1u, std::thread::hardware_concurrency())))
{}

GatheringRun::~GatheringRun()
{
    cancel();
    if (m_worker.joinable()) {
        m_worker.join();
    }
    if (m_running && m_list) {
        m_list->setProcessing(false);
    }
}

bool GatheringRun::loadURLs(const Arguments& request, const QString& readPassword)
{
    if (m_running || !m_list) {
        return false;
    }
    if (m_worker.joinable()) {
        m_worker.join();
    }
    m_running = true;
    m_added = 0;
    m_start = QDateTime::currentDateTime();
    m_processing.store(true);
    m_list->setProcessing(true);
    emit runningChanged(true);
    emit statusTextChanged(timeTakenLabel(QStringLiteral("In Process..."), 0, 0));
    // The worker gets its own copies: the list is only touched on this object's thread.
    m_worker = std::thread(&GatheringRun::work, this, request, readPassword, m_list->items(),
                           m_jobs, m_batchSize);
    return true;
}

void GatheringRun::work(Arguments request, QString readPassword, QList<FileItem> existing, int jobs,
                        int batchSize)
{
    guarded(QStringLiteral("Error in (loadURLs:) : %@"), [&] {
        QStringList paths;
        guarded(request.isFolders ? QStringLiteral("Error in (addFolderToList:) : %@")
                                  : QStringLiteral("Error in (addFilesToList:) : %@"),
                [&] {
                    paths = unlistedPaths(gatherPaths(request, m_processing), existing);
                    // Each append checks the whole list for repeats: a large gathering comes in
                    // at most about 32 batches so that this stays linear in practice.
                    batchSize = int(std::max<qsizetype>(batchSize, paths.size() / 32));
                    for (qsizetype at = 0; at < paths.size() && m_processing.load();
                         at += batchSize) {
                        QList<FileItem> items = measureFiles(paths.mid(at, batchSize), readPassword,
                                                             jobs, {}, m_processing);
                        if (!items.isEmpty()) {
                            QMetaObject::invokeMethod(
                                this, [this, items = std::move(items)] { append(items); },
                                Qt::QueuedConnection);
                        }
                    }
                });
    });
    // Queued after every append, so the sort sees the whole list.
    QMetaObject::invokeMethod(
        this, [this] { finish(); }, Qt::QueuedConnection);
}

void GatheringRun::append(const QList<FileItem>& items)
{
    if (m_list) {
        m_added += m_list->appendItems(items);
    }
}

void GatheringRun::finish()
{
    if (m_worker.joinable()) {
        m_worker.join();
    }
    if (m_added > 0 && m_list) {
        m_list->applySortDescriptors();
    }
    if (m_list) {
        m_list->setProcessing(false);
    }
    m_processing.store(false);
    m_running = false;
    emit runningChanged(false);
    emit statusTextChanged(
        timeTakenLabel(timeTakenString(m_start, QDateTime::currentDateTime()), 0, 0));
    emit finished(m_added > 0);
}

} // namespace veltrane
