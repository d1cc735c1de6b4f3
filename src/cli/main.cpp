// veltrane-batch: the stamping engine from the command line.
#include "cli/BatchCommand.h"

#include <csignal>
#include <cstdlib>
#include <malloc.h>
#include <QGuiApplication>

int main(int argc, char** argv)
{
    // Frames and pages are tens of megabytes: keep freed ones for the next file instead of
    // returning them to the kernel and faulting fresh pages in again.
    mallopt(M_MMAP_THRESHOLD, 512 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
    // Fonts and drawing need a GUI application, never a display.
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") &&
        !std::getenv("WAYLAND_DISPLAY")) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    // Past a file-size limit a write should fail (and the file be reported failed), not kill us.
    std::signal(SIGXFSZ, SIG_IGN);
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("veltrane-batch"));
    QGuiApplication::setApplicationVersion(QStringLiteral(VELTRANE_VERSION));
    return veltrane::runBatchCommand(QGuiApplication::arguments());
}
