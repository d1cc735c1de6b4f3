// make_icons INPUT.svg OUTPUT_FOLDER NAME SIZE...
//
// Draws an SVG icon as square PNGs for the hicolor theme, at build time and headless (Qt Gui and
// its svg image format plugin): OUTPUT_FOLDER/NxN/NAME.png for each SIZE. Each file is written
// through a temporary file and renamed into place, so a failed run never leaves a half-written
// icon behind. Exit status 0 on success, 1 (with one line on standard error) when the SVG cannot
// be read, a size is not a number from 1 to 1024, or a PNG cannot be written.

#include <cstdio>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QList>
#include <QMessageLogContext>
#include <QSaveFile>
#include <QSize>
#include <QString>

namespace {

constexpr int kLargestSize = 1024;

int fail(const QString& message)
{
    std::fprintf(stderr, "make_icons: %s\n", message.toLocal8Bit().constData());
    return 1;
}

// Build logs stay clean: the headless platform's note about a missing XDG_RUNTIME_DIR (usual in
// build containers) is dropped; every other message is printed as Qt would print it.
void quietStartupWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths: "))) {
        return;
    }
    std::fprintf(stderr, "%s\n", qFormatLogMessage(type, context, text).toLocal8Bit().constData());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        return fail(QStringLiteral("usage: make_icons INPUT.svg OUTPUT_FOLDER NAME SIZE..."));
    }
    const QString inputPath = QFile::decodeName(argv[1]);
    const QString outputFolder = QFile::decodeName(argv[2]);
    const QString name = QFile::decodeName(argv[3]);
    QList<int> sizes;
    for (int i = 4; i < argc; ++i) {
        bool ok = false;
        const int size = QByteArray(argv[i]).toInt(&ok);
        if (!ok || size < 1 || size > kLargestSize) {
            return fail(
                QStringLiteral("not an icon size: %1").arg(QString::fromLocal8Bit(argv[i])));
        }
        sizes.append(size);
    }

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    }
    qInstallMessageHandler(quietStartupWarnings);
    QGuiApplication app(argc, argv);

    for (const int size : sizes) {
        // A reader reads once, hence one per size; the SVG is drawn at that size rather than
        // scaled down from one large picture, so thin strokes stay sharp.
        QImageReader reader(inputPath, QByteArrayLiteral("svg"));
        reader.setScaledSize(QSize(size, size));
        const QImage image = reader.read();
        if (image.isNull()) {
            return fail(QStringLiteral("cannot read %1: %2").arg(inputPath, reader.errorString()));
        }

        const QString folder = QStringLiteral("%1/%2x%2").arg(outputFolder, QString::number(size));
        if (!QDir().mkpath(folder)) {
            return fail(QStringLiteral("cannot make %1").arg(folder));
        }
        const QString outputPath = QStringLiteral("%1/%2.png").arg(folder, name);
        QSaveFile output(outputPath);
        if (!output.open(QIODevice::WriteOnly)) {
            return fail(
                QStringLiteral("cannot write %1: %2").arg(outputPath, output.errorString()));
        }
        QImageWriter writer(&output, QByteArrayLiteral("png"));
        if (!writer.write(image.convertToFormat(QImage::Format_ARGB32))) {
            return fail(
                QStringLiteral("cannot write %1: %2").arg(outputPath, writer.errorString()));
        }
        if (!output.commit()) {
            return fail(
                QStringLiteral("cannot write %1: %2").arg(outputPath, output.errorString()));
        }
    }
    return 0;
}
