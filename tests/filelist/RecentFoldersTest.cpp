#include "filelist/RecentFolders.h"

#include "platform/PropertyList.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>
#include <QThread>

using namespace veltrane;

TEST(RecentFolders, FoldersAreRecordedOnceNewestFirst)
{
    RecentFolders recent;
    recent.addRecentItem({QStringLiteral("/data/a")});
    const QDateTime first = *recent.recentItems.first().lastUsedDate;
    QThread::msleep(5);
    recent.addRecentItem(
        {QStringLiteral("/data/b"), QStringLiteral("/data/A"), QStringLiteral("/data/a")});
    EXPECT_EQ(recent.menuTitles(),
              QStringList({QStringLiteral("Recent Folders..."), QStringLiteral("/data/b"),
                           QStringLiteral("/data/A"), QStringLiteral("/data/a")}));
    EXPECT_EQ(*recent.recentItems.last().lastUsedDate, first); // the repeat kept its first date
    recent.addRecentItem({});
    EXPECT_EQ(recent.recentItems.size(), 3);
}

TEST(RecentFolders, ChoosingAFolderGathersItOrAsksForAnother)
{
    QTemporaryDir dir;
    const QString kept = dir.filePath(QStringLiteral("kept"));
    QDir().mkpath(kept);
    RecentFolders recent;
    recent.addRecentItem({kept});
    QThread::msleep(5);
    recent.addRecentItem({dir.filePath(QStringLiteral("gone"))});
    ASSERT_EQ(recent.menuTitles().value(2), kept);

    EXPECT_EQ(recent.recentFolderChanged(0).action, RecentChoice::Nothing);
    QThread::msleep(5);
    const RecentChoice chosen = recent.recentFolderChanged(2);
    EXPECT_EQ(chosen.action, RecentChoice::Gather);
    EXPECT_EQ(chosen.path, kept);
    EXPECT_EQ(recent.menuTitles().value(1), kept); // now the newest

    const RecentChoice gone = recent.recentFolderChanged(2);
    EXPECT_EQ(gone.action, RecentChoice::AskForFolder);
    EXPECT_EQ(gone.path, dir.filePath(QStringLiteral("gone")));
    QThread::msleep(5);
    recent.replaceGoneFolder(gone.path, {dir.filePath(QStringLiteral("other"))});
    EXPECT_EQ(recent.recentItems.size(), 3); // the stale entry stays, dated now
    EXPECT_TRUE(recent.menuTitles().mid(1, 2).contains(gone.path));
    EXPECT_EQ(recent.menuTitles().value(3), kept);
}

TEST(RecentFolders, StoredEntryRestoresTheSameMenu)
{
    RecentFolders recent;
    recent.addRecentItem({QStringLiteral("/x")});
    QThread::msleep(5);
    recent.addRecentItem({QStringLiteral("/y")});
    // Through a real property list, as the preferences keep it.
    const PlistResult read = readPropertyList(toXmlPropertyList(recent.stored()));
    ASSERT_TRUE(read.ok());
    QVariantList stored = read.value.toList();
    stored.append(QVariantMap{{QStringLiteral("itemPath"), QStringLiteral("/undated")}});
    stored.append(QStringLiteral("not a dictionary"));
    RecentFolders again;
    again.restore(stored);
    EXPECT_EQ(again.menuTitles(),
              QStringList({QStringLiteral("Recent Folders..."), QStringLiteral("/y"),
                           QStringLiteral("/x"), QStringLiteral("/undated")}));
    RecentFolders empty;
    empty.restore(QVariant());
    EXPECT_EQ(empty.menuTitles(), QStringList{QStringLiteral("Recent Folders...")});
}
