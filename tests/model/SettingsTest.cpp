#include "model/Settings.h"

#include "platform/PreferencesStore.h"
#include "support/ScopedPreferences.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using namespace veltrane;

namespace {

Settings restored(const QVariantMap& stored)
{
    PreferencesStore::shared().setValue(u"SETTINGS"_s, stored);
    return {};
}

} // namespace

TEST(Settings, RestoreRulesForTheOutputFolder)
{
    test::ScopedPreferences preferences;
    QVariantMap stored{{u"outputFolderPath"_s, u"/srv/out"_s},
                       {u"isSetCurrentAsDefaultOutputFolderPath"_s, false},
                       {u"isOpenFolderAfterConversion"_s, true}};
    Settings notKept = restored(stored);
    EXPECT_EQ(notKept.outputFolderPath(), QString());
    EXPECT_FALSE(notKept.isSetCurrentAsDefaultOutputFolderPath());

    stored.insert(u"isSetCurrentAsDefaultOutputFolderPath"_s, true);
    EXPECT_EQ(restored(stored).outputFolderPath(), u"/srv/out"_s);

    stored.insert(u"outputFolderPath"_s, QString());
    EXPECT_FALSE(restored(stored).isSetCurrentAsDefaultOutputFolderPath());

    stored.remove(u"isOpenFolderAfterConversion"_s);
    EXPECT_FALSE(restored(stored).isOpenFolderAfterConversion());

    PreferencesStore::shared().setValue(u"SETTINGS"_s, u"garbage"_s);
    const Settings defaults; // not a dictionary: the first-launch defaults stay
    EXPECT_TRUE(defaults.isOpenFolderAfterConversion());
    EXPECT_TRUE(defaults.isSetCurrentAsDefaultOutputFolderPath());
}

TEST(Settings, DictionaryAndSynchronizeKeepTheJobInside)
{
    test::ScopedPreferences preferences;
    {
        Settings settings;
        settings.setOutputFolderPath(u"/srv/out"_s);
        settings.setPdfOpenPassword(QString());
        settings.number().setStartNumber(42);
        settings.setIsKeepEncryption(true);
        const QVariantMap data = settings.getData();
        EXPECT_EQ(data.size(), 7);
        EXPECT_EQ(data.value(u"pdfOpenPassword"_s), QVariant(QString(QLatin1String(""))));
        EXPECT_FALSE(settings.pdfOpenPassword().isNull());
        EXPECT_EQ(data.value(u"number"_s).toMap().value(u"startNumber"_s).toLongLong(), 42);
        settings.synchronize();
    }
    PreferencesStore::shared().setFilePath(preferences.path());
    Settings again;
    EXPECT_EQ(again.outputFolderPath(), u"/srv/out"_s);
    EXPECT_EQ(again.number().startNumber(), 42);
    EXPECT_TRUE(again.isKeepEncryption());
}
