// Entry point of the desktop program's tests: a QApplication on the offscreen platform, with
// data, configuration and preferences in a folder of the run's own.
#include "platform/PreferencesStore.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QTemporaryDir home;
    setenv("XDG_DATA_HOME", home.filePath(QStringLiteral("share")).toLocal8Bit().constData(), 1);
    setenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit().constData(), 1);
    setenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit().constData(), 1);
    QApplication app(argc, argv);
    veltrane::PreferencesStore::shared().setFilePath(
        home.filePath(QStringLiteral("Veltrane.plist")));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
