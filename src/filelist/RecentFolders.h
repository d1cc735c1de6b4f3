#pragma once

#include <optional>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

namespace veltrane {

// One folder the user added to the file list, and when.
struct RecentItem
{
    std::optional<QDateTime> lastUsedDate = QDateTime::currentDateTime();
    QString itemPath = QLatin1String("");

    // "itemPath" and "lastUsedDate"; a missing date is left out.
    QVariantMap getData() const;
    // Takes both entries as they are (missing ones leave the field absent); anything but a
    // dictionary changes nothing.
    void setData(const QVariant& data);
    // Exactly the same path text (letter case counts).
    bool isEqual(const QString& path) const { return itemPath == path; }
};

// What choosing an entry of the recent-folders menu asks the window to do.
struct RecentChoice
{
    enum Action { Nothing, Gather, AskForFolder } action = Nothing;
    QString path; // the folder to gather, or where the folder chooser starts
};

// The recent folders, newest first, as the main window's menu offers them. Main thread.
class RecentFolders
{
public:
    QList<RecentItem> recentItems;

    // Records folders not yet recorded (exact text), dated now, then re-sorts.
    void addRecentItem(const QStringList& paths);
    // Newest first; entries without a date go last, in their order.
    void loadRecentFolders();
    // "Recent Folders..." then the paths, in list order.
    QStringList menuTitles() const;
    // The user chose menu entry `index`: a readable folder is dated now and gathered; a folder
    // that is gone asks for another one, starting where it was.
    RecentChoice recentFolderChanged(int index);
    // After the folder chooser of a gone folder: the stale entry is dated now and the chosen
    // folders recorded.
    void replaceGoneFolder(const QString& gonePath, const QStringList& chosen);

    // The "RECENTITEMS" entry: restored at start, written at quit.
    void restore(const QVariant& stored);
    QVariantList stored() const;
};

} // namespace veltrane
