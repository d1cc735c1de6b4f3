// Desktop program benchmark of the file list and the run, in process:
//   veltrane-bench-window-list drop TREE
//     drops TREE on the file table (subfolders included): the longest GUI stall, whether rows show
//     while the gathering runs, and the time to the sorted, complete list against the engine's own
//     gathering of the same tree;
//   veltrane-bench-window-list run IN PROFILE OUT
//     lists the files of IN, loads the job of PROFILE and runs it into OUT from the Start
//     command; prints the seconds from Start to the end of the run.
#include "app/MainWindow.h"
#include "app/RunController.h"
#include "app/VeltraneAppDelegate.h"
#include "filelist/FileListModel.h"
#include "filelist/Gathering.h"
#include "model/Numbering.h"
#include "platform/PreferencesStore.h"
#include "processing/BatchRun.h"
#include "ui_MainWindow.h"

#include <algorithm>
#include <cstdio>
#include <QApplication>
#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <thread>

using namespace veltrane;

namespace {

// Drops `folder` on the table as the file manager would.
void drop(VeltraneAppDelegate& app, const QString& folder)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(folder)});
    QWidget* viewport = app.window().ui().mainTableView->viewport();
    QDragEnterEvent enter(viewport->rect().center(), Qt::CopyAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDropEvent dropped(QPointF(viewport->rect().center()), Qt::CopyAction, &data, Qt::LeftButton,
                       Qt::NoModifier);
    QApplication::sendEvent(viewport, &dropped);
}

int dropBench(const QString& tree)
{
    // The engine alone: the same walk and measuring as the window's gathering.
    QElapsedTimer engine;
    engine.start();
    const std::atomic<bool> going{true};
    const QStringList paths = gatherPaths({{QUrl::fromLocalFile(tree)}, true, true}, going);
    const QList<FileItem> items = measureFiles(
        paths, QString(), int(std::max(1u, std::thread::hardware_concurrency())), {}, going);
    const double engineSeconds = engine.nsecsElapsed() / 1e9;

    // The tree keeps its files in subfolders.
    setInculdeSubfolders(true);
    VeltraneAppDelegate app;
    QElapsedTimer gap;
    double longest = 0;
    int rowsWhileGathering = 0;
    QTimer tick;
    tick.setInterval(2);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, gap.nsecsElapsed() / 1e6);
        if (app.isProcessing()) {
            rowsWhileGathering = std::max(rowsWhileGathering, app.files().rowCount());
        }
        gap.restart();
    });
    QElapsedTimer window;
    window.start();
    gap.start();
    tick.start();
    drop(app, tree);
    (void)QTest::qWaitFor([&] { return !app.isProcessing(); }, 600000);
    const double windowSeconds = window.nsecsElapsed() / 1e9;
    tick.stop();
    std::printf("files listed: %lld (engine found %lld)\n", qlonglong(app.files().rowCount()),
                qlonglong(items.size()));
    std::printf("engine gathering alone:             %7.2f s\n", engineSeconds);
    std::printf("window drop to the complete list:   %7.2f s   ratio %.2fx (limit 1.5x)\n",
                windowSeconds, windowSeconds / engineSeconds);
    std::printf("longest GUI stall during the drop:  %7.1f ms  (limit 100 ms)\n", longest);
    std::printf("most rows shown while gathering:    %7d of %lld\n", rowsWhileGathering,
                qlonglong(app.files().rowCount()));
    return 0;
}

int runBench(const QString& in, const QString& profile, const QString& out)
{
    VeltraneAppDelegate app;
    if (!app.number().load(profile)) {
        std::fprintf(stderr, "cannot read the profile %s\n", qPrintable(profile));
        return 2;
    }
    app.settings().setOutputFolderPath(out);
    app.settings().setIsOpenFolderAfterConversion(false);
    drop(app, in);
    (void)QTest::qWaitFor([&] { return !app.isProcessing(); }, 600000);
    QElapsedTimer timer;
    timer.start();
    app.window().ui().startRunAction->trigger();
    (void)QTest::qWaitFor(
        [&] {
            RunController& runs = app.runController();
            return runs.run().process() && !runs.run().isRunning();
        },
        600000);
    std::printf("%.3f\n", timer.nsecsElapsed() / 1e9);
    return app.runController().run().process()->totalFileCreated() == app.files().rowCount() ? 0
                                                                                             : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    QTemporaryDir preferences;
    PreferencesStore::shared().setFilePath(preferences.filePath(QStringLiteral("Veltrane.plist")));
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "drop" && argc == 3) {
        return dropBench(QString::fromLocal8Bit(argv[2]));
    }
    if (mode == "run" && argc == 5) {
        return runBench(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                        QString::fromLocal8Bit(argv[4]));
    }
    std::fprintf(stderr, "usage: %s drop TREE | run IN PROFILE OUT\n", argv[0]);
    return 2;
}
