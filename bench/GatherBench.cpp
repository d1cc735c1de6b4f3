// Gathering benchmark: makes a folder tree of 5,000 mixed files (PDF, JPEG, TIFF, PNG, with
// subfolders and hidden entries), then gathers it as a dropped folder with subfolders into the
// file list model, as the desktop program does, timing the whole until the sorted list is ready.
//   veltrane-bench-gather make FOLDER      writes the tree
//   veltrane-bench-gather gather FOLDER    gathers it and prints the time and counts
#include "filelist/FileListModel.h"
#include "filelist/GatheringRun.h"
#include "platform/TiffFile.h"

#include <cstdio>
#include <exiv2/exiv2.hpp>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace {

void makeTree(const QString& root)
{
    QImage picture(320, 240, QImage::Format_RGB32);
    picture.fill(QColor(90, 140, 200));
    QByteArray pdf;
    for (int i = 0; i < 5000; ++i) {
        const QString folder = root + QStringLiteral("/set%1/part%2").arg(i / 500).arg(i / 100 % 5);
        QDir().mkpath(folder);
        const QString base = folder + QStringLiteral("/file%1").arg(i, 4, 10, QLatin1Char('0'));
        switch (i % 4) {
        case 0: {
            QPdfWriter writer(base + QStringLiteral(".pdf"));
            writer.setPageLayout(
                QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Portrait, QMarginsF()));
            QPainter painter(&writer);
            painter.drawText(QPointF(50, 50), QStringLiteral("Page one"));
            writer.newPage();
            painter.drawText(QPointF(50, 50), QStringLiteral("Page two"));
            break;
        }
        case 1: {
            const QString path = base + QStringLiteral(".jpg");
            picture.save(path, "JPEG", 80);
            auto image = Exiv2::ImageFactory::open(path.toStdString());
            image->readMetadata();
            image->exifData()["Exif.Photo.DateTimeOriginal"] = "2020:05:06 07:08:09";
            image->writeMetadata();
            break;
        }
        case 2: {
            QString error;
            auto writer = veltrane::TiffWriter::create(base + QStringLiteral(".tif"), &error);
            writer->writePage(picture, 5, 72, 72, &error);
            writer->writePage(picture, 5, 72, 72, &error);
            writer->close(&error);
            break;
        }
        default:
            picture.save(base + QStringLiteral(".png"), "PNG");
        }
    }
    QDir().mkpath(root + QStringLiteral("/.hidden"));
    picture.save(root + QStringLiteral("/.hidden/skipped.png"), "PNG");
    picture.save(root + QStringLiteral("/.skipped.png"), "PNG");
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s make|gather FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[2]);
    if (QByteArray(argv[1]) == "make") {
        makeTree(folder);
        return 0;
    }
    QElapsedTimer timer;
    timer.start();
    veltrane::FileListModel model;
    model.setSortDescriptors({{1, Qt::AscendingOrder}});
    veltrane::GatheringRun run(&model);
    QObject::connect(&run, &veltrane::GatheringRun::finished, &app, &QCoreApplication::quit);
    run.loadURLs({{QUrl::fromLocalFile(folder)}, true, true}, QString());
    app.exec();
    qint64 pages = 0;
    int dated = 0;
    for (const veltrane::FileItem& item : model.items()) {
        pages += item.pages();
        dated += item.dateTaken().value_or(QString()).isEmpty() ? 0 : 1;
    }
    std::printf("%d files, %lld pages, %d capture dates, ready in %.2f s\n", model.rowCount(),
                pages, dated, timer.elapsed() / 1000.0);
    return 0;
}
