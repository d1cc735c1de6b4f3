// Stamps TIFF files and pictures the way the picture benchmark asks, one file after another:
//   veltrane-bench-stamp-images --pages OUTDIR FILE...   "Page {0} of {1}", anchor 9, 36 margins
//   veltrane-bench-stamp-images --date OUTDIR FILE...    the capture date, anchor 9, 36 margins
#include "filelist/FileItem.h"
#include "model/Numbering.h"
#include "model/TextStamp.h"
#include "platform/PreferencesStore.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s --pages|--date OUTDIR FILE...\n", argv[0]);
        return 2;
    }
    const bool date = QString::fromLocal8Bit(argv[1]) == QLatin1String("--date");
    const QString out = QString::fromLocal8Bit(argv[2]);
    QTemporaryDir preferences;
    veltrane::PreferencesStore::shared().setFilePath(preferences.filePath(QStringLiteral("p.plist")));
    veltrane::Numbering job;
    job.setMarginLeft(36);
    job.setMarginTop(36);
    job.setMarginRight(36);
    job.setMarginBottom(36);
    auto stamp = std::make_unique<veltrane::TextStamp>();
    stamp->setMarginAnchor(veltrane::BottomRight);
    stamp->font().setFontSize(48);
    if (date) {
        stamp->setNumberType(veltrane::PhotoDateTime);
        stamp->setNumberFormat(QStringLiteral("yyyy:MM:dd HH:mm:ss"));
    } else {
        stamp->setNumberFormat(QStringLiteral("Page {0} of {1}"));
    }
    job.stamps().push_back(std::move(stamp));
    int failures = 0;
    for (int i = 3; i < argc; ++i) {
        const QString source = QString::fromLocal8Bit(argv[i]);
        const auto item = veltrane::FileItem::initWithURL(QUrl::fromLocalFile(source));
        job.setDateTaken(item->dateTaken().value_or(QString()));
        job.reset();
        failures += !job.processTIFF(source, out + QLatin1Char('/') + QFileInfo(source).fileName(),
                                     0, item->compression());
    }
    return failures == 0 ? 0 : 1;
}
