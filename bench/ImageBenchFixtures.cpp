// Writes the picture benchmark's inputs:
//   scan.tif          20 pages of 2480 x 3508 RGB at 300 dpi, LZW (about 70 MB)
//   photos/NN.jpg     30 photos of 4000 x 3000 with an Exif capture date
#include "platform/TiffFile.h"

#include <cstdio>
#include <exiv2/exiv2.hpp>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

namespace {

// A typed page: grey lines of "text" on slightly noisy paper, as a colour scan looks.
QImage scannedPage(QRandomGenerator& random)
{
    QImage page(2480, 3508, QImage::Format_RGB32);
    for (int y = 0; y < page.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(page.scanLine(y));
        for (int x = 0; x < page.width(); ++x) {
            const int v = 245 + int(random.bounded(8));
            line[x] = qRgb(v, v, v - 3);
        }
    }
    QPainter painter(&page);
    for (int row = 300; row < 3300; row += 60) {
        for (int x = 300; x < 2180;) {
            const int word = 40 + int(random.bounded(160));
            painter.fillRect(QRect(x, row, std::min(word, 2180 - x), 28), QColor(40, 40, 50));
            x += word + 25;
        }
    }
    return page;
}

QImage photo(QRandomGenerator& random, int index)
{
    QImage image(4000, 3000, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int n = int(random.bounded(24));
            line[x] = qRgb((x / 16 + index * 20) % 200 + n, (y / 12) % 200 + n, 120 + n);
        }
    }
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder + QStringLiteral("/photos"));
    QRandomGenerator random(7);
    QString error;
    auto writer = veltrane::TiffWriter::create(folder + QStringLiteral("/scan.tif"), &error);
    for (int i = 0; i < 20; ++i) {
        if (!writer || !writer->writePage(scannedPage(random), 5, 300, 300, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
    }
    writer->close(&error);
    for (int i = 0; i < 30; ++i) {
        const QString path =
            folder + QStringLiteral("/photos/%1.jpg").arg(i, 2, 10, QLatin1Char('0'));
        photo(random, i).save(path, "JPEG", 90);
        auto image = Exiv2::ImageFactory::open(path.toStdString());
        image->readMetadata();
        Exiv2::ExifData& exif = image->exifData();
        exif["Exif.Image.Make"] = "Bench";
        exif["Exif.Photo.DateTimeOriginal"] = QStringLiteral("2011:07:%1 15:30:00")
                                                  .arg(i % 28 + 1, 2, 10, QLatin1Char('0'))
                                                  .toStdString();
        image->writeMetadata();
    }
    return 0;
}
