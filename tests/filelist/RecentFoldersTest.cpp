#include "filelist/RecentFolders.h"

#include "platform/PropertyList.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>
#include <QThread>

using namespace Qt::StringLiterals;

using namespace veltrane;

TEST(RecentFolders, FoldersAreRecordedOnceNewestFirst)
{
    RecentFolders recent;
    recent.addRecentItem({u"/data/a"_s});
    const QDateTime first = *recent.recentItems.first().lastUsedDate;
    QThread::msleep(5);
    recent.addRecentItem({u"/data/b"_s, u"/data/A"_s, u"/data/a"_s});
    EXPECT_EQ(recent.menuTitles(),
              QStringList({u"Recent Folders..."_s, u"/data/b"_s, u"/data/A"_s, u"/data/a"_s}));
    EXPECT_EQ(*recent.recentItems.last().lastUsedDate, first); // the repeat kept its first date
    recent.addRecentItem({});
    EXPECT_EQ(recent.recentItems.size(), 3);
}

TEST(RecentFolders, ChoosingAFolderGathersItOrAsksForAnother)
{
    QTemporaryDir dir;
    const QString kept = dir.filePath(u"kept"_s);
    QDir().mkpath(kept);
    RecentFolders recent;
    recent.addRecentItem({kept});
    QThread::msleep(5);
    recent.addRecentItem({dir.filePath(u"gone"_s)});
    ASSERT_EQ(recent.menuTitles().value(2), kept);

    EXPECT_EQ(recent.recentFolderChanged(0).action, RecentChoice::Nothing);
    QThread::msleep(5);
    const RecentChoice chosen = recent.recentFolderChanged(2);
    EXPECT_EQ(chosen.action, RecentChoice::Gather);
    EXPECT_EQ(chosen.path, kept);
    EXPECT_EQ(recent.menuTitles().value(1), kept); // now the newest

    const RecentChoice gone = recent.recentFolderChanged(2);
    EXPECT_EQ(gone.action, RecentChoice::AskForFolder);
    EXPECT_EQ(gone.path, dir.filePath(u"gone"_s));
    QThread::msleep(5);
    recent.replaceGoneFolder(gone.path, {dir.filePath(u"other"_s)});
    EXPECT_EQ(recent.recentItems.size(), 3); // the stale entry stays, dated now
    EXPECT_TRUE(recent.menuTitles().mid(1, 2).contains(gone.path));
    EXPECT_EQ(recent.menuTitles().value(3), kept);
}

TEST(RecentFolders, StoredEntryRestoresTheSameMenu)
{
    RecentFolders recent;
    recent.addRecentItem({u"/x"_s});
    QThread::msleep(5);
    recent.addRecentItem({u"/y"_s});
    // Through a real property list, as the preferences keep it.
    const PlistResult read = readPropertyList(toXmlPropertyList(recent.stored()));
    ASSERT_TRUE(read.ok());
    QVariantList stored = read.value.toList();
    stored.append(QVariantMap{{u"itemPath"_s, u"/undated"_s}});
    stored.append(u"not a dictionary"_s);
    RecentFolders again;
    again.restore(stored);
    EXPECT_EQ(again.menuTitles(),
              QStringList({u"Recent Folders..."_s, u"/y"_s, u"/x"_s, u"/undated"_s}));
    RecentFolders empty;
    empty.restore(QVariant());
    EXPECT_EQ(empty.menuTitles(), QStringList{u"Recent Folders..."_s});
}
