#include "platform/PreferencesStore.h"

#include "platform/PropertyList.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

using namespace veltrane;

namespace {

// Points the shared store at a fresh folder for one test and back afterwards.
class PreferencesStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_previous = PreferencesStore::shared().filePath();
        m_path = m_dir.filePath(u"Orlavex/Veltrane.plist"_s);
        PreferencesStore::shared().setFilePath(m_path);
    }
    void TearDown() override { PreferencesStore::shared().setFilePath(m_previous); }

    QTemporaryDir m_dir;
    QString m_path;
    QString m_previous;
};

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST_F(PreferencesStoreTest, EntriesSurviveAReloadAsAnXmlPropertyList)
{
    PreferencesStore& store = PreferencesStore::shared();
    EXPECT_FALSE(store.value(u"INCLUDESUBFOLDERS"_s).isValid());
    store.setValue(u"INCLUDESUBFOLDERS"_s, true);
    store.setValue(u"RECENTITEMS"_s, QVariantList{u"/home/a"_s});
    QString error;
    ASSERT_TRUE(store.synchronize(&error)) << error.toStdString();
    EXPECT_TRUE(readAll(m_path).startsWith("<?xml"));
    // It holds the default PDF password: the user's alone, file and the folder made for it.
    struct stat file
    {
    }, folder{};
    ASSERT_EQ(::stat(QFile::encodeName(m_path).constData(), &file), 0);
    ASSERT_EQ(::stat(QFile::encodeName(QFileInfo(m_path).path()).constData(), &folder), 0);
    EXPECT_EQ(file.st_mode & 0777, 0600u);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);

    store.setFilePath(m_path); // forget, then read back from disk
    EXPECT_EQ(store.value(u"INCLUDESUBFOLDERS"_s), QVariant(true));
    EXPECT_EQ(store.value(u"RECENTITEMS"_s).toList(), QVariantList{u"/home/a"_s});
    store.removeValue(u"RECENTITEMS"_s);
    EXPECT_FALSE(store.value(u"RECENTITEMS"_s).isValid());
}

TEST_F(PreferencesStoreTest, DamagedFileIsLoggedKeptAsideAndNotLost)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(m_path).absolutePath()));
    QFile damaged(m_path);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("<?xml version=\"1.0\"?><plist><dict><key>SETTINGS</key>");
    damaged.close();
    const QByteArray original = readAll(m_path);

    test::LogCapture log;
    PreferencesStore& store = PreferencesStore::shared();
    store.setFilePath(m_path);
    EXPECT_FALSE(store.value(u"SETTINGS"_s).isValid());
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines().first().startsWith(u"Error in (Preferences=>read) : "_s));

    store.setValue(u"INCLUDESUBFOLDERS"_s, false);
    ASSERT_TRUE(store.synchronize());
    EXPECT_EQ(readAll(m_path + u".damaged"_s), original);
    EXPECT_EQ(readPropertyListFile(m_path).value.toMap().value(u"INCLUDESUBFOLDERS"_s),
              QVariant(false));
}

TEST_F(PreferencesStoreTest, ArrayInsteadOfDictionaryCountsAsDamaged)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(m_path).absolutePath()));
    ASSERT_TRUE(writeXmlPropertyListFile(QVariantList{qint64(1)}, m_path));
    test::LogCapture log;
    PreferencesStore::shared().setFilePath(m_path);
    EXPECT_FALSE(PreferencesStore::shared().value(u"NUMBERING"_s).isValid());
    EXPECT_EQ(log.lines().size(), 1);
}
