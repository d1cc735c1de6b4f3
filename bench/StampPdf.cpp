// Stamps one PDF the way the benchmark asks: "Page {0} of {1}" at the bottom right, 36 pt
// margins. Usage: veltrane-bench-stamp-pdf IN OUT
#include "BenchJob.h"
#include "model/Numbering.h"
#include "model/TextStamp.h"
#include "platform/PreferencesStore.h"

#include <cstdio>
#include <QGuiApplication>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s IN OUT\n", argv[0]);
        return 2;
    }
    veltrane::bench::PrivatePreferences preferences;
    veltrane::Numbering job;
    veltrane::bench::setMargins(job, 36);
    veltrane::bench::addText(job, QStringLiteral("Page {0} of {1}"), veltrane::BottomRight);
    job.reset();
    return job.processPDF(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]),
                          QString(), 0)
               ? 0
               : 1;
}
