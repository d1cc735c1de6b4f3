// Entry point of the desktop program's tests: a QApplication on the offscreen platform, with
// data, configuration and preferences in a folder of the run's own, and a session bus of its
// own (when dbus-daemon is there), so that nothing reaches the desktop the tests run on.
#include "platform/PreferencesStore.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QTemporaryDir home;
    setenv("XDG_DATA_HOME", home.filePath(u"share"_s).toLocal8Bit().constData(), 1);
    setenv("XDG_CONFIG_HOME", home.filePath(u"config"_s).toLocal8Bit().constData(), 1);
    setenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit().constData(), 1);
    QProcess bus;
    bus.start(u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address=1"_s});
    if (bus.waitForStarted() && bus.waitForReadyRead(5000)) {
        setenv("DBUS_SESSION_BUS_ADDRESS", bus.readLine().trimmed().constData(), 1);
    } else {
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
    QApplication app(argc, argv);
    veltrane::PreferencesStore::shared().setFilePath(home.filePath(u"Veltrane.plist"_s));
    ::testing::InitGoogleTest(&argc, argv);
    const int failed = RUN_ALL_TESTS();
    bus.kill();
    bus.waitForFinished();
    return failed;
}
