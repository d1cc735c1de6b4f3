// Test entry point: a headless GUI application (fonts and images need one), and data (logs),
// configuration and preferences in a folder of the test run's own, so no test reads or writes
// the user's real files.
#include "platform/PreferencesStore.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QTemporaryDir home;
    setenv("XDG_DATA_HOME", home.filePath(QStringLiteral("share")).toLocal8Bit().constData(), 1);
    setenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit().constData(), 1);
    QGuiApplication app(argc, argv);
    veltrane::PreferencesStore::shared().setFilePath(
        home.filePath(QStringLiteral("Veltrane.plist")));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
