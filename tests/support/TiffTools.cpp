#include "support/TiffTools.h"

#include "platform/TiffFile.h"
#include "support/PdfTools.h"

#include <QBuffer>
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

namespace {

struct TiffEntry
{
    quint16 tag, type;
    quint32 count, value; // short values sit in the low bytes
};

// A little-endian TIFF of one `width` x `height` page: `data` from byte 8, then the directory,
// whose other entries come in tag order.
QByteArray onePageTiff(QByteArray data, quint32 width, quint32 height, QList<TiffEntry> entries)
{
    entries.prepend({257, 4, 1, height});
    entries.prepend({256, 4, 1, width});
    if (data.size() % 2 != 0) {
        data.append('\0'); // the directory must start on a word boundary
    }
    QByteArray file("II*\0", 4);
    auto put16 = [&file](quint16 v) { file.append(char(v & 0xff)).append(char(v >> 8)); };
    auto put32 = [&](quint32 v) { put16(quint16(v & 0xffff)), put16(quint16(v >> 16)); };
    put32(8 + quint32(data.size()));
    file += data;
    put16(quint16(entries.size()));
    for (const TiffEntry& entry : entries) {
        put16(entry.tag), put16(entry.type), put32(entry.count), put32(entry.value);
    }
    put32(0);
    return file;
}

} // namespace

void writeOldStyleJpegTiff(const QString& path, const QImage& picture)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    picture.convertToFormat(QImage::Format_RGB32).save(&buffer, "JPEG", 95);
    if (jpeg.size() % 2 != 0) {
        jpeg.append('\0');
    }
    // The JPEG stream, then the three bits-per-sample values.
    const quint32 size = quint32(jpeg.size()), bits = 8 + size;
    const quint32 width = quint32(picture.width()), height = quint32(picture.height());
    writeFile(path, onePageTiff(jpeg + QByteArray("\x08\0\x08\0\x08\0", 6), width, height,
                                {{258, 3, 3, bits},
                                 {259, 3, 1, 6},
                                 {262, 3, 1, 6},
                                 {273, 4, 1, 8},
                                 {277, 3, 1, 3},
                                 {278, 4, 1, height},
                                 {279, 4, 1, size},
                                 {513, 4, 1, 8},
                                 {514, 4, 1, size},
                                 {530, 3, 2, 2 | (2 << 16)}}));
}

void writeCmykTiff(const QString& path, const QList<std::array<quint16, 4>>& patches, int bits,
                   int compression, const QByteArray& iccProfile, int bandWidth)
{
    TIFF* tiff = TIFFOpen(QFile::encodeName(path).constData(), "w");
    const int width = int(patches.size()) * bandWidth;
    const int height = 8;
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(height));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 4);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_SEPARATED);
    TIFFSetField(tiff, TIFFTAG_INKSET, INKSET_CMYK);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, compression);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 3);
    if (!iccProfile.isEmpty()) {
        TIFFSetField(tiff, TIFFTAG_ICCPROFILE, uint32_t(iccProfile.size()), iccProfile.constData());
    }
    QByteArray row(width * 4 * (bits / 8), Qt::Uninitialized);
    for (int x = 0; x < width; ++x) {
        const std::array<quint16, 4>& patch = patches[x / bandWidth];
        for (int c = 0; c < 4; ++c) {
            if (bits == 16) {
                reinterpret_cast<quint16*>(row.data())[x * 4 + c] = patch[size_t(c)];
            } else {
                row[x * 4 + c] = char(patch[size_t(c)]);
            }
        }
    }
    for (int y = 0; y < height; ++y) {
        TIFFWriteScanline(tiff, row.data(), uint32_t(y), 0);
    }
    TIFFClose(tiff);
}

void damageTiff(const QString& path, int index, TiffDamage damage)
{
    TIFF* tiff = TIFFOpen(QFile::encodeName(path).constData(), "r");
    if (!tiff || !TIFFSetDirectory(tiff, tdir_t(index))) {
        if (tiff) {
            TIFFClose(tiff);
        }
        return;
    }
    uint64_t* offsets = nullptr;
    TIFFGetField(tiff, TIFFTAG_STRIPOFFSETS, &offsets);
    const qint64 firstStrip = offsets ? qint64(offsets[0]) : 0;
    const qint64 directory = qint64(TIFFCurrentDirOffset(tiff));
    TIFFClose(tiff);
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) {
        return;
    }
    if (damage == TiffDamage::CutAtPage) {
        file.resize(firstStrip);
        return;
    }
    // A classic little-endian directory, as libtiff writes on this machine: the strip offsets
    // entry holds its one value, or points to the list of them.
    QByteArray bytes = file.readAll();
    auto read16 = [&](qint64 at) { return quint16(uchar(bytes[at]) | uchar(bytes[at + 1]) << 8); };
    auto read32 = [&](qint64 at) { return quint32(read16(at) | quint32(read16(at + 2)) << 16); };
    auto write32 = [&](qint64 at, quint32 value) {
        for (int b = 0; b < 4; ++b) {
            bytes[at + b] = char((value >> (8 * b)) & 0xff);
        }
    };
    const quint32 pastTheEnd = quint32(bytes.size()) + 4096;
    for (int e = 0; e < read16(directory); ++e) {
        const qint64 entry = directory + 2 + 12 * e;
        if (read16(entry) != TIFFTAG_STRIPOFFSETS) {
            continue;
        }
        const quint32 count = read32(entry + 4);
        if (count == 1) {
            write32(entry + 8, pastTheEnd);
        } else {
            for (quint32 k = 0; k < count; ++k) {
                write32(read32(entry + 8) + 4 * k, pastTheEnd);
            }
        }
    }
    file.seek(0);
    file.write(bytes);
}

QString claimedSizeTiff(const QString& path, quint32 width, quint32 height)
{
    // 8-bit grey, uncompressed, min-is-black.
    return writeFile(path, onePageTiff(QByteArray(64, '\0'), width, height,
                                       {{258, 3, 1, 8},
                                        {259, 3, 1, 1},
                                        {262, 3, 1, 1},
                                        {273, 4, 1, 8},
                                        {278, 4, 1, height},
                                        {279, 4, 1, 64}}));
}

} // namespace veltrane::test
