#include "platform/PreferencesStore.h"

#include "platform/PropertyList.h"
#include "support/LogCapture.h"
#include "support/PdfTools.h"
#include "support/ScopedPreferences.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

using namespace veltrane;

namespace {

class PreferencesStoreTest : public ::testing::Test
{
protected:
    // A subfolder of its own: the store sets the folder mode only on a folder it makes.
    test::ScopedPreferences m_preferences{u"Orlavex/Veltrane.plist"_s};
    const QString m_path = m_preferences.path();
};

unsigned modeOf(const QString& path)
{
    struct stat st
    {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 0777 : 0;
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
    EXPECT_TRUE(test::fileBytes(m_path).startsWith("<?xml"));
    // It holds the default PDF password: the user's alone, file and the folder made for it.
    EXPECT_EQ(modeOf(m_path), 0600u);
    EXPECT_EQ(modeOf(QFileInfo(m_path).path()), 0700u);

    store.setFilePath(m_path); // forget, then read back from disk
    EXPECT_EQ(store.value(u"INCLUDESUBFOLDERS"_s), QVariant(true));
    EXPECT_EQ(store.value(u"RECENTITEMS"_s).toList(), QVariantList{u"/home/a"_s});
    store.removeValue(u"RECENTITEMS"_s);
    EXPECT_FALSE(store.value(u"RECENTITEMS"_s).isValid());
}

TEST_F(PreferencesStoreTest, DamagedFilesAreLoggedKeptAsideAndNotLost)
{
    const struct
    {
        const char* name;
        QByteArray bytes;
    } rows[] = {
        {"CutShort", "<?xml version=\"1.0\"?><plist><dict><key>SETTINGS</key>"},
        {"ArrayInsteadOfDictionary", toXmlPropertyList(QVariantList{qint64(1)})},
    };
    ASSERT_TRUE(QDir().mkpath(QFileInfo(m_path).absolutePath()));
    PreferencesStore& store = PreferencesStore::shared();
    for (const auto& row : rows) {
        test::writeFile(m_path, row.bytes);
        test::LogCapture log;
        store.setFilePath(m_path);
        EXPECT_FALSE(store.value(u"SETTINGS"_s).isValid()) << row.name;
        ASSERT_EQ(log.lines().size(), 1) << row.name;
        EXPECT_TRUE(log.lines().first().startsWith(u"Error in (Preferences=>read) : "_s))
            << row.name;

        store.setValue(u"INCLUDESUBFOLDERS"_s, false);
        ASSERT_TRUE(store.synchronize()) << row.name;
        EXPECT_EQ(test::fileBytes(m_path + u".damaged"_s), row.bytes) << row.name;
        EXPECT_EQ(modeOf(m_path + u".damaged"_s), 0600u) << row.name;
        EXPECT_EQ(readPropertyListFile(m_path).value.toMap().value(u"INCLUDESUBFOLDERS"_s),
                  QVariant(false))
            << row.name;
    }
}
