// Stamps TIFF files and pictures the way the picture benchmark asks, JOBS files at a time, each
// on its own copy of the job:
//   veltrane-bench-stamp-images --pages JOBS OUTDIR FILE...   "Page {0} of {1}", anchor 9, 36
//   margins veltrane-bench-stamp-images --date JOBS OUTDIR FILE...    the capture date, anchor 9,
//   36 margins
#include "BenchJob.h"
#include "filelist/FileItem.h"
#include "model/Numbering.h"
#include "model/TextStamp.h"
#include "platform/PreferencesStore.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <thread>
#include <vector>

int main(int argc, char** argv)
{
    // Frames are tens of megabytes: keep freed ones in the heap for the next frame instead of
    // returning them to the kernel and faulting fresh pages in again.
    mallopt(M_MMAP_THRESHOLD, 512 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
    QGuiApplication app(argc, argv);
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s --pages|--date JOBS OUTDIR FILE...\n", argv[0]);
        return 2;
    }
    const bool date = QString::fromLocal8Bit(argv[1]) == QLatin1String("--date");
    const int jobs = std::max(1, std::atoi(argv[2]));
    const QString out = QString::fromLocal8Bit(argv[3]);
    veltrane::bench::PrivatePreferences preferences;
    veltrane::Numbering job;
    veltrane::bench::setMargins(job, 36);
    veltrane::TextStamp& stamp =
        veltrane::bench::addText(job, QStringLiteral("Page {0} of {1}"), veltrane::BottomRight);
    stamp.font().setFontSize(48);
    if (date) {
        stamp.setNumberType(veltrane::PhotoDateTime);
        stamp.setNumberFormat(QStringLiteral("yyyy:MM:dd HH:mm:ss"));
    }
    std::atomic<int> next{4};
    std::atomic<int> failures{0};
    auto work = [&] {
        veltrane::Numbering copy(job);
        for (int i = next++; i < argc; i = next++) {
            const QString source = QString::fromLocal8Bit(argv[i]);
            const auto item = veltrane::FileItem::initWithURL(QUrl::fromLocalFile(source));
            copy.setDateTaken(item->dateTaken().value_or(QString()));
            copy.reset();
            failures +=
                !copy.processTIFF(source, out + QLatin1Char('/') + QFileInfo(source).fileName(), 0,
                                  item->compression());
        }
    };
    std::vector<std::thread> threads;
    for (int j = 0; j < jobs; ++j) {
        threads.emplace_back(work);
    }
    for (std::thread& t : threads) {
        t.join();
    }
    return failures == 0 ? 0 : 1;
}
