#include "model/Settings.h"

#include "platform/PreferencesStore.h"
#include "support/ScopedPreferences.h"

#include <gtest/gtest.h>

using namespace veltrane;

namespace {

Settings restored(const QVariantMap& stored)
{
    PreferencesStore::shared().setValue(QStringLiteral("SETTINGS"), stored);
    return {};
}

} // namespace

TEST(Settings, FirstLaunchDefaults)
{
    test::ScopedPreferences preferences;
    Settings settings;
    EXPECT_EQ(settings.outputFolderPath(), QString());
    EXPECT_TRUE(settings.isSetCurrentAsDefaultOutputFolderPath());
    EXPECT_TRUE(settings.isOpenFolderAfterConversion());
    EXPECT_FALSE(settings.isClearProcessedFiles());
    EXPECT_EQ(settings.pdfOpenPassword(), QString());
    EXPECT_EQ(settings.number().startNumber(), 1);
}

TEST(Settings, RestoreRulesForTheOutputFolder)
{
    test::ScopedPreferences preferences;
    QVariantMap stored{{QStringLiteral("outputFolderPath"), QStringLiteral("/srv/out")},
                       {QStringLiteral("isSetCurrentAsDefaultOutputFolderPath"), false},
                       {QStringLiteral("isOpenFolderAfterConversion"), true}};
    Settings notKept = restored(stored);
    EXPECT_EQ(notKept.outputFolderPath(), QString());
    EXPECT_FALSE(notKept.isSetCurrentAsDefaultOutputFolderPath());

    stored.insert(QStringLiteral("isSetCurrentAsDefaultOutputFolderPath"), true);
    EXPECT_EQ(restored(stored).outputFolderPath(), QStringLiteral("/srv/out"));

    stored.insert(QStringLiteral("outputFolderPath"), QString());
    EXPECT_FALSE(restored(stored).isSetCurrentAsDefaultOutputFolderPath());

    stored.remove(QStringLiteral("isOpenFolderAfterConversion"));
    EXPECT_FALSE(restored(stored).isOpenFolderAfterConversion());

    PreferencesStore::shared().setValue(QStringLiteral("SETTINGS"), QStringLiteral("garbage"));
    EXPECT_TRUE(Settings().isOpenFolderAfterConversion()); // not a dictionary: defaults stay
}

TEST(Settings, DictionaryAndSynchronizeKeepTheJobInside)
{
    test::ScopedPreferences preferences;
    {
        Settings settings;
        settings.setOutputFolderPath(QStringLiteral("/srv/out"));
        settings.setPdfOpenPassword(QString());
        settings.number().setStartNumber(42);
        settings.setIsKeepEncryption(true);
        const QVariantMap data = settings.getData();
        EXPECT_EQ(data.size(), 7);
        EXPECT_EQ(data.value(QStringLiteral("pdfOpenPassword")),
                  QVariant(QString(QLatin1String(""))));
        EXPECT_FALSE(settings.pdfOpenPassword().isNull());
        EXPECT_EQ(data.value(QStringLiteral("number"))
                      .toMap()
                      .value(QStringLiteral("startNumber"))
                      .toLongLong(),
                  42);
        settings.synchronize();
    }
    PreferencesStore::shared().setFilePath(preferences.path());
    Settings again;
    EXPECT_EQ(again.outputFolderPath(), QStringLiteral("/srv/out"));
    EXPECT_EQ(again.number().startNumber(), 42);
    EXPECT_TRUE(again.isKeepEncryption());
}
