#include "platform/PreferencesStore.h"

#include "platform/PropertyList.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <sys/stat.h>

using namespace veltrane;

namespace {

// Points the shared store at a fresh folder for one test and back afterwards.
class PreferencesStoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_previous = PreferencesStore::shared().filePath();
        m_path = m_dir.filePath(QStringLiteral("Orlavex/Veltrane.plist"));
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
    EXPECT_FALSE(store.value(QStringLiteral("INCLUDESUBFOLDERS")).isValid());
    store.setValue(QStringLiteral("INCLUDESUBFOLDERS"), true);
    store.setValue(QStringLiteral("RECENTITEMS"), QVariantList{QStringLiteral("/home/a")});
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
    EXPECT_EQ(store.value(QStringLiteral("INCLUDESUBFOLDERS")), QVariant(true));
    EXPECT_EQ(store.value(QStringLiteral("RECENTITEMS")).toList(),
              QVariantList{QStringLiteral("/home/a")});
    store.removeValue(QStringLiteral("RECENTITEMS"));
    EXPECT_FALSE(store.value(QStringLiteral("RECENTITEMS")).isValid());
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
    EXPECT_FALSE(store.value(QStringLiteral("SETTINGS")).isValid());
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines().first().startsWith(QStringLiteral("Error in (Preferences=>read) : ")));

    store.setValue(QStringLiteral("INCLUDESUBFOLDERS"), false);
    ASSERT_TRUE(store.synchronize());
    EXPECT_EQ(readAll(m_path + QStringLiteral(".damaged")), original);
    EXPECT_EQ(readPropertyListFile(m_path).value.toMap().value(QStringLiteral("INCLUDESUBFOLDERS")),
              QVariant(false));
}

TEST_F(PreferencesStoreTest, ArrayInsteadOfDictionaryCountsAsDamaged)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(m_path).absolutePath()));
    ASSERT_TRUE(writeXmlPropertyListFile(QVariantList{qint64(1)}, m_path));
    test::LogCapture log;
    PreferencesStore::shared().setFilePath(m_path);
    EXPECT_FALSE(PreferencesStore::shared().value(QStringLiteral("NUMBERING")).isValid());
    EXPECT_EQ(log.lines().size(), 1);
}
