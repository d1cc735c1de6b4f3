#include "filelist/RecentFolders.h"

#include "platform/SystemLog.h"

#include <algorithm>
#include <QFileInfo>

namespace veltrane {

QVariantMap RecentItem::getData() const
{
    QVariantMap data;
    data.insert(QStringLiteral("itemPath"), itemPath);
    if (lastUsedDate) {
        data.insert(QStringLiteral("lastUsedDate"), *lastUsedDate);
    }
    return data;
}

void RecentItem::setData(const QVariant& value)
{
    if (value.typeId() != QMetaType::QVariantMap) {
        return;
    }
    const QVariantMap data = value.toMap();
    const QVariant path = data.value(QStringLiteral("itemPath"));
    itemPath = path.typeId() == QMetaType::QString ? path.toString() : QString();
    const QVariant date = data.value(QStringLiteral("lastUsedDate"));
    lastUsedDate = date.typeId() == QMetaType::QDateTime && date.toDateTime().isValid()
                       ? std::optional<QDateTime>(date.toDateTime())
                       : std::nullopt;
}

void RecentFolders::addRecentItem(const QStringList& paths)
{
    // One date for the whole call: folders recorded together keep their given order, whatever
    // the clock's resolution.
    const QDateTime now = QDateTime::currentDateTime();
    for (const QString& path : paths) {
        const bool known = std::any_of(recentItems.cbegin(), recentItems.cend(),
                                       [&](const RecentItem& item) { return item.isEqual(path); });
        if (!known) {
            RecentItem item;
            item.itemPath = path;
            item.lastUsedDate = now;
            recentItems.append(item);
        }
    }
    loadRecentFolders();
}

void RecentFolders::loadRecentFolders()
{
    std::stable_sort(recentItems.begin(), recentItems.end(),
                     [](const RecentItem& a, const RecentItem& b) {
                         if (!a.lastUsedDate || !b.lastUsedDate) {
                             return a.lastUsedDate.has_value() && !b.lastUsedDate.has_value();
                         }
                         return *a.lastUsedDate > *b.lastUsedDate;
                     });
}

QStringList RecentFolders::menuTitles() const
{
    QStringList titles{QStringLiteral("Recent Folders...")};
    for (const RecentItem& item : recentItems) {
        titles << item.itemPath;
    }
    return titles;
}

RecentChoice RecentFolders::recentFolderChanged(int index)
{
    RecentChoice choice;
    guarded(QStringLiteral("Error in recentFolderChanged : %@"), [&] {
        if (index <= 0 || index > recentItems.size()) {
            return;
        }
        const QString title = recentItems[index - 1].itemPath;
        // The last record with that path, as a filter on the path would find it.
        qsizetype found = -1;
        for (qsizetype i = 0; i < recentItems.size(); ++i) {
            if (recentItems[i].itemPath == title) {
                found = i;
            }
        }
        if (found < 0) {
            return;
        }
        const QFileInfo folder(title);
        if (folder.isDir() && folder.isReadable()) {
            recentItems[found].lastUsedDate = QDateTime::currentDateTime();
            loadRecentFolders();
            choice = {RecentChoice::Gather, title};
        } else {
            choice = {RecentChoice::AskForFolder, title};
        }
    });
    return choice;
}

void RecentFolders::replaceGoneFolder(const QString& gonePath, const QStringList& chosen)
{
    for (RecentItem& item : recentItems) {
        if (item.isEqual(gonePath)) {
            item.lastUsedDate = QDateTime::currentDateTime();
        }
    }
    addRecentItem(chosen);
}

void RecentFolders::restore(const QVariant& stored)
{
    recentItems.clear();
    for (const QVariant& entry : stored.toList()) {
        if (entry.typeId() != QMetaType::QVariantMap) {
            continue;
        }
        RecentItem item;
        item.setData(entry);
        recentItems.append(item);
    }
    loadRecentFolders();
}

QVariantList RecentFolders::stored() const
{
    QVariantList list;
    for (const RecentItem& item : recentItems) {
        list.append(item.getData());
    }
    return list;
}

} // namespace veltrane
