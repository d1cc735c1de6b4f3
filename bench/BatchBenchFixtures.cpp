// Writes the batch benchmark's inputs into OUTPUT-FOLDER:
//   in/doc000.pdf ... doc199.pdf   200 three-page text PDFs
//   in/img00.jpg ... img19.jpg     20 photos of 1600 x 1200
//   logo.png                       the stamp picture
//   job.vtprofile                  "Page {0} of {1}" at the bottom right and the logo at the
//                                  top left, 36 pt margins
#include "BenchJob.h"
#include "model/ImageStamp.h"
#include "model/Numbering.h"
#include "model/TextStamp.h"
#include "platform/PreferencesStore.h"

#include <cstdio>
#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder + QStringLiteral("/in"));
    for (int i = 0; i < 200; ++i) {
        QPdfWriter writer(folder + QStringLiteral("/in/doc%1.pdf").arg(i, 3, 10, QLatin1Char('0')));
        writer.setResolution(72);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter(&writer);
        painter.setFont(QFont(QStringLiteral("DejaVu Serif"), 11));
        for (int page = 0; page < 3; ++page) {
            if (page > 0) {
                writer.newPage();
            }
            for (int line = 0; line < 40; ++line) {
                painter.drawText(
                    QPointF(72, 90 + line * 17),
                    QStringLiteral("Document %1, page %2, line %3: lorem ipsum dolor sit amet.")
                        .arg(i)
                        .arg(page + 1)
                        .arg(line + 1));
            }
        }
    }
    for (int i = 0; i < 20; ++i) {
        QImage photo(1600, 1200, QImage::Format_RGB32);
        QPainter painter(&photo);
        QLinearGradient gradient(0, 0, 1600, 1200);
        gradient.setColorAt(0, QColor::fromHsv((i * 18) % 360, 120, 220));
        gradient.setColorAt(1, QColor::fromHsv((i * 18 + 90) % 360, 160, 90));
        painter.fillRect(photo.rect(), gradient);
        painter.end();
        photo.save(folder + QStringLiteral("/in/img%1.jpg").arg(i, 2, 10, QLatin1Char('0')), "JPEG",
                   90);
    }
    QImage logo(120, 60, QImage::Format_ARGB32);
    logo.fill(QColor(200, 30, 30, 200));
    logo.save(folder + QStringLiteral("/logo.png"));

    veltrane::bench::PrivatePreferences preferences;
    veltrane::Numbering job;
    veltrane::bench::setMargins(job, 36);
    veltrane::bench::addText(job, QStringLiteral("Page {0} of {1}"), veltrane::BottomRight);
    veltrane::bench::addPicture(job, logo, 120, 60, 100, veltrane::TopLeft);
    return job.save(folder + QStringLiteral("/job.vtprofile")) ? 0 : 1;
}
