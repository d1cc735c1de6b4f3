#pragma once

#include "filelist/FileItem.h"

#include <atomic>
#include <QList>
#include <QStringList>
#include <QUrl>

namespace veltrane {

// One gathering request: the items chosen, dropped or imported, in order.
struct Arguments
{
    QList<QUrl> urls;
    bool isFolders = false;               // the items may be folders, walked
    bool isIncludeSubdirectories = false; // walks go into subfolders
};

// The paths of the files to add for chosen files, taken as they come (the open panel and the
// list import have already filtered them), in order.
QStringList addFilesToList(const QList<QUrl>& urls, const std::atomic<bool>& processing);
// The paths of the files to add for chosen or dropped items that may be folders, in order.
QStringList addFolderToList(const QList<QUrl>& urls, bool includeSubdirectories,
                            const std::atomic<bool>& processing);

// The files a request names, in order: with isFolders, a top-level file with an accepted
// extension (exact case) is taken and anything else walked as a folder (hidden entries
// skipped, subfolders only when asked); without it, every URL is taken as a file. Stops as soon
// as `processing` is cleared. Any thread.
QStringList gatherPaths(const Arguments& request, const std::atomic<bool>& processing);

// `paths` without repeats and without those whose item would `isEqual` one of `existing`.
QStringList unlistedPaths(const QStringList& paths, const QList<FileItem>& existing);

// File items for `paths`, in order, measured on up to `jobs` threads; each new item gets
// `readPassword` (an encrypted PDF is unlocked with it when it fits). Paths whose item `isEqual`
// one of `existing` are skipped, as are repeats. Stops early when `processing` is cleared.
QList<FileItem> measureFiles(const QStringList& paths, const QString& readPassword, int jobs,
                             const QList<FileItem>& existing, const std::atomic<bool>& processing);

// The include-subfolders preference ("INCLUDESUBFOLDERS"; off when missing). Setting it writes
// the preferences store at once.
bool inculdeSubfolders();
void setInculdeSubfolders(bool include);

} // namespace veltrane
