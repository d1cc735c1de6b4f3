#include "support/TiffTools.h"

#include "platform/TiffFile.h"

#include <QFile>
#include <tiffio.h>

namespace veltrane::test {

QList<TiffPageFacts> tiffFacts(const QString& path)
{
    QList<TiffPageFacts> pages;
    TIFFSetWarningHandler(nullptr);
    TIFF* tiff = TIFFOpen(QFile::encodeName(path).constData(), "r");
    if (!tiff) {
        return pages;
    }
    do {
        TiffPageFacts f;
        uint32_t w = 0, h = 0;
        uint16_t compression = 0, samples = 0, bits = 0, extraCount = 0;
        uint16_t* extra = nullptr;
        float x = 0, y = 0;
        TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &w);
        TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &h);
        TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
        TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
        TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
        TIFFGetField(tiff, TIFFTAG_EXTRASAMPLES, &extraCount, &extra);
        TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &x);
        TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &y);
        f.width = int(w);
        f.height = int(h);
        f.compression = compression;
        f.samples = samples;
        f.bitsPerSample = bits;
        f.extraSamples = extraCount;
        f.xResolution = x;
        f.yResolution = y;
        pages.append(f);
    } while (TIFFReadDirectory(tiff));
    TIFFClose(tiff);
    return pages;
}

QImage tiffPage(const QString& path, int index)
{
    QString error;
    std::unique_ptr<TiffReader> reader = TiffReader::open(path, &error);
    return reader ? reader->readPage(index, &error).convertToFormat(QImage::Format_ARGB32)
                  : QImage();
}

void writeTiff(const QString& path, const QList<QImage>& pages, bool alpha, double dpi)
{
    QString error;
    std::unique_ptr<TiffWriter> writer = TiffWriter::create(path, &error);
    for (const QImage& page : pages) {
        writer->writePage(alpha ? page.convertToFormat(QImage::Format_ARGB32)
                                : page.convertToFormat(QImage::Format_RGB32),
                          1, dpi, dpi, &error);
    }
    writer->close(&error);
}

} // namespace veltrane::test
