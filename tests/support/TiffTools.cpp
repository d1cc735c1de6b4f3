#include "support/TiffTools.h"

#include "platform/TiffFile.h"

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

void writeOldStyleJpegTiff(const QString& path, const QImage& picture)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    picture.convertToFormat(QImage::Format_RGB32).save(&buffer, "JPEG", 95);
    if (jpeg.size() % 2 != 0) {
        jpeg.append('\0'); // the directory must start on a word boundary
    }
    struct Entry
    {
        quint16 tag, type;
        quint32 count, value;
    };
    // Little-endian header, the JPEG stream, then the directory (entries sorted by tag).
    const quint32 data = 8;
    const quint32 bits = data + quint32(jpeg.size());
    const quint32 directory = bits + 6;
    const quint32 width = quint32(picture.width()), height = quint32(picture.height());
    const QList<Entry> entries = {
        {256, 4, 1, width},
        {257, 4, 1, height},
        {258, 3, 3, bits},
        {259, 3, 1, 6},
        {262, 3, 1, 6},
        {273, 4, 1, data},
        {277, 3, 1, 3},
        {278, 4, 1, height},
        {279, 4, 1, quint32(jpeg.size())},
        {513, 4, 1, data},
        {514, 4, 1, quint32(jpeg.size())},
        {530, 3, 2, 2 | (2 << 16)},
    };
    QByteArray file("II*\0", 4);
    auto put16 = [&file](quint16 v) { file.append(char(v & 0xff)).append(char(v >> 8)); };
    auto put32 = [&](quint32 v) {
        put16(quint16(v & 0xffff));
        put16(quint16(v >> 16));
    };
    put32(directory);
    file += jpeg;
    put16(8), put16(8), put16(8);
    put16(quint16(entries.size()));
    for (const Entry& entry : entries) {
        put16(entry.tag), put16(entry.type), put32(entry.count);
        // Short values sit in the low bytes of the value field.
        put32(entry.value);
    }
    put32(0);
    QFile out(path);
    out.open(QIODevice::WriteOnly);
    out.write(file);
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
    QByteArray tiff("II*\0\x08\0\0\0", 8);
    auto entry = [&](quint16 tag, quint16 type, quint32 value) {
        const quint32 one = 1;
        tiff.append(reinterpret_cast<const char*>(&tag), 2);
        tiff.append(reinterpret_cast<const char*>(&type), 2);
        tiff.append(reinterpret_cast<const char*>(&one), 4);
        tiff.append(reinterpret_cast<const char*>(&value), 4);
    };
    const quint16 entries = 8;
    tiff.append(reinterpret_cast<const char*>(&entries), 2);
    entry(256, 4, width);  // ImageWidth
    entry(257, 4, height); // ImageLength
    entry(258, 3, 8);      // BitsPerSample
    entry(259, 3, 1);      // Compression: none
    entry(262, 3, 1);      // Photometric: min-is-black
    entry(273, 4, 200);    // StripOffsets
    entry(278, 4, height); // RowsPerStrip
    entry(279, 4, 16);     // StripByteCounts
    tiff.append(QByteArray(4 + 64, '\0'));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(tiff);
    }
    return path;
}

} // namespace veltrane::test
