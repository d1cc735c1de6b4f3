// Test entry point: a headless GUI application (fonts and images need one), and data (logs),
// configuration and preferences in a folder of the test run's own, so no test reads or writes
// the user's real files.
#include "platform/PreferencesStore.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QTemporaryDir home;
    setenv("XDG_DATA_HOME", home.filePath(u"share"_s).toLocal8Bit().constData(), 1);
    setenv("XDG_CONFIG_HOME", home.filePath(u"config"_s).toLocal8Bit().constData(), 1);
    QGuiApplication app(argc, argv);
    veltrane::PreferencesStore::shared().setFilePath(home.filePath(u"Veltrane.plist"_s));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
