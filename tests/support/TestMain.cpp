// Test entry point: a headless GUI application (fonts and images need one) and a preferences
// store in a temporary folder, so no test reads or writes the user's real preferences.
#include "platform/PreferencesStore.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QStandardPaths::setTestModeEnabled(true);
    QGuiApplication app(argc, argv);
    QTemporaryDir config;
    veltrane::PreferencesStore::shared().setFilePath(
        config.filePath(QStringLiteral("Veltrane.plist")));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
