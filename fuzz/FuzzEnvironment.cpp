#include "FuzzEnvironment.h"

#include "filelist/FolderWalk.h"
#include "FuzzTargets.h"
#include "platform/PreferencesStore.h"
#include "platform/SystemLog.h"

#include <cstdlib>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

namespace veltrane::fuzz {

QString workFolder()
{
    static QTemporaryDir dir;
    return dir.path();
}

void initEnvironment()
{
    static bool done = false;
    if (done) {
        return;
    }
    done = true;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("XDG_DATA_HOME", qPrintable(workFolder() + QStringLiteral("/share")), 1);
    setenv("XDG_CONFIG_HOME", qPrintable(workFolder() + QStringLiteral("/config")), 1);
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "veltrane-fuzz";
        static char* argv[] = {name, nullptr};
        new QGuiApplication(argc, argv); // lives as long as the process
    }
    PreferencesStore::shared().setFilePath(workFolder() + QStringLiteral("/Veltrane.plist"));
    // Failure lines are expected by the thousand: keep them off the fuzzer's output.
    setLogSink([](const QString&) {});
}

QString writeInput(const QString& name, const char* bytes, size_t size)
{
    const QString path = workFolder() + QLatin1Char('/') + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(bytes, qint64(size));
    }
    return path;
}

QString extensionFor(unsigned char selector)
{
    const QStringList& extensions = acceptedExtensions();
    return extensions.at(selector % extensions.size());
}

} // namespace veltrane::fuzz
