// Desktop program benchmark: launch to the first preview with a saved job of three stamps, a
// stamp edit to its preview on screen (sample page and an A4 scanned page), the longest stall
// of the GUI thread while a 1000-page PDF's page is rasterised for the live preview, and the
// idle window's resident memory. Prints each figure beside its limit.
// Usage: veltrane-bench-window WORK-FOLDER
#include "app/MainWindow.h"
#include "app/VeltraneAppDelegate.h"
#include "filelist/FileListModel.h"
#include "model/TextStamp.h"
#include "platform/PreferencesStore.h"
#include "preview/PageCache.h"
#include "preview/PreviewRenderer.h"
#include "ScannedPage.h"
#include "ui_MainWindow.h"

#include <algorithm>
#include <cstdio>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTest>
#include <QTimer>
#include <vector>

using namespace veltrane;

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool waitShown(VeltraneAppDelegate& app)
{
    return QTest::qWaitFor(
        [&] { return app.shownGeneration() == app.previewRenderer().latestGeneration(); }, 30000);
}

void writePdf(const QString& path, int pages, bool scanned)
{
    QPdfWriter writer(path);
    writer.setResolution(scanned ? 300 : 72);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    QPainter painter(&writer);
    const QImage scan = scanned ? scannedA4Page() : QImage();
    for (int page = 0; page < pages; ++page) {
        if (page > 0) {
            writer.newPage();
        }
        if (scanned) {
            painter.drawImage(QRect(0, 0, 2480, 3508), scan);
        } else {
            painter.setFont(QFont(QStringLiteral("DejaVu Serif"), 10));
            for (int line = 0; line < 60; ++line) {
                painter.drawText(QPointF(60, 60 + line * 12),
                                 QStringLiteral("Page %1, line %2: the quick brown fox.")
                                     .arg(page + 1)
                                     .arg(line + 1));
            }
        }
    }
}

// Median time from a font size change to its preview on screen, over `edits` changes.
double editLatency(VeltraneAppDelegate& app, int edits)
{
    std::vector<double> times;
    auto& stamp = static_cast<TextStamp&>(*app.number().stamps().front());
    for (int i = 0; i < edits; ++i) {
        QElapsedTimer timer;
        timer.start();
        stamp.font().setFontSize(12 + (i % 10));
        app.number().endUpdate(true);
        waitShown(app);
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return median(times);
}

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}

void report(const char* what, double value, const char* unit, double limit)
{
    std::printf("%-58s %9.1f %s   (limit %.0f %s: %s)\n", what, value, unit, limit, unit,
                value <= limit ? "met" : "NOT MET");
}

} // namespace

int main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: veltrane-bench-window WORK-FOLDER\n");
        return 2;
    }
    const QString work = QString::fromLocal8Bit(argv[1]);
    PreferencesStore::shared().setFilePath(work + QStringLiteral("/Veltrane.plist"));
    {
        // The saved job: three text stamps.
        VeltraneAppDelegate app;
        for (int i = 0; i < 3; ++i) {
            app.number().stamps().push_back(std::make_unique<TextStamp>());
        }
        app.applicationShouldTerminate();
    }

    std::vector<double> launches;
    long idleKiB = 0;
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer timer;
        timer.start();
        VeltraneAppDelegate app;
        waitShown(app);
        launches.push_back(timer.nsecsElapsed() / 1e6);
        QTest::qWait(50);
        idleKiB = residentKiB();
    }
    report("launch to the main window with its first preview (median)", median(launches), "ms",
           600);
    report("resident memory of the idle window", idleKiB / 1024.0, "MB", 150);

    VeltraneAppDelegate app;
    waitShown(app);
    report("stamp edit to preview on the sample page (median of 30)", editLatency(app, 30), "ms",
           30);

    const QString scan = work + QStringLiteral("/scan.pdf");
    writePdf(scan, 1, true);
    const QString book = work + QStringLiteral("/book.pdf");
    writePdf(book, 1000, false);
    QList<FileItem> items;
    for (const QString& path : {scan, book}) {
        items.append(*FileItem::initWithURL(QUrl::fromLocalFile(path)));
    }
    app.files().appendItems(items);
    app.number().setIsLivePreview(true);
    QTableView* table = app.window().ui().mainTableView;
    table->selectRow(0);
    QTest::qWait(600);
    waitShown(app);
    report("stamp edit to preview on an A4 scanned page (median of 30)", editLatency(app, 30), "ms",
           30);

    // The longest gap between two ticks of a 2 ms timer while the 1000-page PDF is shown.
    clearPreviewPageCache();
    QElapsedTimer gap;
    double longest = 0;
    QTimer tick;
    tick.setInterval(2);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, gap.nsecsElapsed() / 1e6);
        gap.restart();
    });
    gap.start();
    tick.start();
    table->selectRow(1);
    QTest::qWait(600);
    waitShown(app);
    tick.stop();
    report("longest GUI stall while a 1000-page PDF's page is rasterised", longest, "ms", 50);
    return 0;
}
