// Stamps one PDF the way the benchmark asks: "Page {0} of {1}" at the bottom right, 36 pt
// margins. Usage: veltrane-bench-stamp-pdf IN OUT
#include "model/Numbering.h"
#include "model/TextStamp.h"
#include "platform/PreferencesStore.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s IN OUT\n", argv[0]);
        return 2;
    }
    QTemporaryDir preferences; // never read or touch the user's own
    veltrane::PreferencesStore::shared().setFilePath(preferences.filePath(QStringLiteral("p.plist")));
    veltrane::Numbering job;
    job.setMarginLeft(36);
    job.setMarginTop(36);
    job.setMarginRight(36);
    job.setMarginBottom(36);
    auto stamp = std::make_unique<veltrane::TextStamp>();
    stamp->setNumberFormat(QStringLiteral("Page {0} of {1}"));
    stamp->setMarginAnchor(veltrane::BottomRight);
    job.stamps().push_back(std::move(stamp));
    job.reset();
    return job.processPDF(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]),
                          QString(), 0)
               ? 0
               : 1;
}
