// The desktop program: one window per user session; files handed to it are profiles to load.
#include "app/SingleInstance.h"
#include "app/VeltraneAppDelegate.h"
#include "platform/AppPaths.h"

#include <cstdio>
#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>

namespace {

// Without a display Qt would abort with a message about platform plugins; say what to do.
bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char** argv)
{
    if (!hasDisplay()) {
        std::fprintf(stderr, "veltrane: no display to show the window on (neither DISPLAY nor "
                             "WAYLAND_DISPLAY is set); to stamp files without one, use "
                             "veltrane-batch (veltrane-batch --help)\n");
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veltrane"));
    QApplication::setApplicationDisplayName(veltrane::getAppTitle());
    QApplication::setOrganizationName(QStringLiteral("Orlavex"));
    QApplication::setApplicationVersion(QStringLiteral(VELTRANE_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.orlavex.Veltrane"));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("org.orlavex.Veltrane"),
                         QIcon(QStringLiteral(":/icons/org.orlavex.Veltrane.svg"))));

    QStringList files;
    for (const QString& argument : QApplication::arguments().mid(1)) {
        files.append(QFileInfo(argument).absoluteFilePath());
    }
    veltrane::SingleInstance instance;
    if (instance.handOver(files)) {
        return 0;
    }

    veltrane::VeltraneAppDelegate delegate;
    instance.listen([&delegate](const QStringList& handed) {
        if (handed.isEmpty()) {
            delegate.applicationShouldHandleReopen();
        } else {
            delegate.openFiles(handed);
        }
    });
    QTimer::singleShot(0, &delegate, [&delegate, files] {
        delegate.applicationDidFinishLaunching();
        if (!files.isEmpty()) {
            delegate.openFiles(files);
        }
    });
    return QApplication::exec();
}
