// Preview refresh benchmark: a cold refresh (the page rasterised) against a warm one (the kept
// page, one text and one image stamp changed), on an A4 text page and an A4 scanned page.
// Usage: veltrane-bench-preview WORK-FOLDER
#include "BenchJob.h"
#include "ScannedPage.h"
#include "model/ImageStamp.h"
#include "model/Numbering.h"
#include "model/TextStamp.h"
#include "platform/PreferencesStore.h"
#include "preview/PageCache.h"

#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <QBuffer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <vector>

namespace {

void writeTextPage(const QString& path)
{
    QPdfWriter writer(path);
    writer.setResolution(72);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    QPainter painter(&writer);
    painter.setFont(QFont(QStringLiteral("DejaVu Serif"), 10));
    for (int line = 0; line < 60; ++line) {
        painter.drawText(QPointF(60, 60 + line * 12),
                         QStringLiteral("Line %1: the quick brown fox jumps over the lazy dog, "
                                        "again and again.")
                             .arg(line + 1));
    }
}

void writeScannedPage(const QString& path)
{
    const QImage scan = scannedA4Page();
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    QPainter painter(&writer);
    painter.drawImage(QRect(0, 0, 2480, 3508), scan);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    // As the programs do: big buffers stay in the heap between refreshes.
    mallopt(M_MMAP_THRESHOLD, 512 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s WORK-FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    veltrane::bench::PrivatePreferences preferences;
    veltrane::Numbering job;
    veltrane::bench::setMargins(job, 36);
    veltrane::TextStamp& label =
        veltrane::bench::addText(job, QStringLiteral("{0} of {1}"), veltrane::BottomRight);
    QImage logo(200, 100, QImage::Format_ARGB32);
    logo.fill(QColor(0, 120, 200, 180));
    veltrane::ImageStamp& picture =
        veltrane::bench::addPicture(job, logo, 120, 60, 80, veltrane::TopLeft);

    const QString textPage = folder + QStringLiteral("/text-page.pdf");
    const QString scannedPage = folder + QStringLiteral("/scanned-page.pdf");
    writeTextPage(textPage);
    writeScannedPage(scannedPage);
    for (const QString& page : {textPage, scannedPage}) {
        std::vector<double> cold;
        std::vector<double> warm;
        for (int i = 0; i < 15; ++i) {
            veltrane::clearPreviewPageCache();
            QElapsedTimer timer;
            timer.start();
            job.previewLive(page, 0, 1, {1}, 0, QSizeF(595, 842), 0);
            cold.push_back(timer.nsecsElapsed() / 1e6);
            label.setNumberFormat(QStringLiteral("Page {0} of {1} #%1").arg(i));
            picture.setStampImageRotation(i * 10);
            timer.restart();
            job.previewLive(page, 0, 1, {1}, 0, QSizeF(595, 842), 0);
            warm.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::printf("%s: cold %.1f ms, warm %.1f ms (medians of 15): warm is %.1fx faster\n",
                    qPrintable(page.section(QLatin1Char('/'), -1)), median(cold), median(warm),
                    median(cold) / median(warm));
    }
    return 0;
}
