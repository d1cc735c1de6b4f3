#include "filelist/Gathering.h"

#include "filelist/FolderWalk.h"
#include "platform/PreferencesStore.h"
#include "platform/SystemLog.h"

#include <optional>
#include <QFileInfo>
#include <QSet>
#include <thread>
#include <vector>

namespace veltrane {

QStringList addFilesToList(const QList<QUrl>& urls, const std::atomic<bool>& processing)
{
    QStringList paths;
    for (const QUrl& url : urls) {
        if (!processing.load()) {
            break;
        }
        if (url.isLocalFile()) {
            paths << url.toLocalFile();
        }
    }
    return paths;
}

QStringList addFolderToList(const QList<QUrl>& urls, bool includeSubdirectories,
                            const std::atomic<bool>& processing)
{
    QStringList paths;
    for (const QUrl& url : urls) {
        if (!processing.load()) {
            break;
        }
        if (!url.isLocalFile()) {
            continue;
        }
        const QString path = url.toLocalFile();
        const QFileInfo info(path);
        if (!info.isDir() && hasAcceptedExtension(path, false)) {
            paths << path;
        } else if (info.isDir()) {
            paths += walkFolder(path, includeSubdirectories);
        }
    }
    return paths;
}

QStringList gatherPaths(const Arguments& request, const std::atomic<bool>& processing)
{
    return request.isFolders
               ? addFolderToList(request.urls, request.isIncludeSubdirectories, processing)
               : addFilesToList(request.urls, processing);
}

QStringList unlistedPaths(const QStringList& paths, const QList<FileItem>& existing)
{
    // Duplicates are known from the URL alone: skip them before opening anything.
    QSet<QUrl> seen;
    for (const FileItem& item : existing) {
        seen.insert(item.filePath());
    }
    QStringList fresh;
    for (const QString& path : paths) {
        const QUrl url = QUrl::fromLocalFile(path);
        if (!seen.contains(url)) {
            seen.insert(url);
            fresh << path;
        }
    }
    return fresh;
}

QList<FileItem> measureFiles(const QStringList& paths, const QString& readPassword, int jobs,
                             const QList<FileItem>& existing, const std::atomic<bool>& processing)
{
    const QStringList fresh = unlistedPaths(paths, existing);
    std::vector<std::optional<FileItem>> measured(size_t(fresh.size()));
    std::atomic<qsizetype> next{0};
    auto work = [&] {
        for (qsizetype i = next++; i < fresh.size() && processing.load(); i = next++) {
            std::optional<FileItem> item = FileItem::initWithURL(QUrl::fromLocalFile(fresh[i]));
            if (item && !(item->isEncrypted() && !readPassword.isEmpty() &&
                          item->applyPdfPassword(readPassword))) {
                item->setPdfOpenPassword(readPassword);
                if (item->isEncrypted() && item->pages() <= 0 && !readPassword.isEmpty()) {
                    item->setProblem(QStringLiteral("wrong password"));
                }
            }
            measured[size_t(i)] = std::move(item);
        }
    };
    std::vector<std::thread> threads;
    for (int j = 1; j < std::min<qsizetype>(std::max(jobs, 1), fresh.size()); ++j) {
        threads.emplace_back(work);
    }
    work();
    for (std::thread& thread : threads) {
        thread.join();
    }
    // In order, up to the first file a stop left unmeasured.
    QList<FileItem> items;
    for (std::optional<FileItem>& item : measured) {
        if (!item) {
            if (!processing.load()) {
                break;
            }
            continue;
        }
        items.append(std::move(*item));
    }
    return items;
}

bool inculdeSubfolders()
{
    return PreferencesStore::shared().value(QStringLiteral("INCLUDESUBFOLDERS")).toBool();
}

void setInculdeSubfolders(bool include)
{
    PreferencesStore& store = PreferencesStore::shared();
    store.setValue(QStringLiteral("INCLUDESUBFOLDERS"), include);
    QString error;
    if (!store.synchronize(&error)) {
        systemLogError(QStringLiteral("Error in (setInculdeSubfolders:) : %@"), error);
    }
}

} // namespace veltrane
