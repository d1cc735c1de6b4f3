#pragma once

#include <array>
#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

namespace veltrane::test {

struct TiffPageFacts
{
    int width = 0;
    int height = 0;
    int compression = 0;
    int samples = 0;
    int bitsPerSample = 0;
    int extraSamples = 0;
    double xResolution = 0;
    double yResolution = 0;
};

// Every page's tags, read with libtiff; empty when the file is not a TIFF.
QList<TiffPageFacts> tiffFacts(const QString& path);

// Page `index` as RGBA pixels (top-left origin), read with libtiff.
QImage tiffPage(const QString& path, int index);

// Writes `pages` as an uncompressed RGBA (or RGB, when `alpha` is off) TIFF at `dpi`.
void writeTiff(const QString& path, const QList<QImage>& pages, bool alpha, double dpi = 72);

// Writes `picture` as a one-page old-style JPEG TIFF (Compression 6): the whole JPEG stream is
// the page's strip and its JPEGInterchangeFormat. libtiff reads such files but cannot write
// them, so the file is laid out here byte by byte.
void writeOldStyleJpegTiff(const QString& path, const QImage& picture);

// A one-page CMYK ("separated") TIFF of vertical bands, one per ink patch (C, M, Y, K samples
// of `bits` bits, 8 or 16), each `bandWidth` pixels wide and 8 high, with TIFF "Compression"
// `compression` and `iccProfile` embedded when it is not empty.
void writeCmykTiff(const QString& path, const QList<std::array<quint16, 4>>& patches, int bits,
                   int compression, const QByteArray& iccProfile, int bandWidth = 4);

// Two ways a multi-page TIFF written by libtiff gets damaged, at page `index` (0-based):
// `CutAtPage` ends the file where that page's data begins, so the chain of pages breaks after
// the one before; `DataPastTheEnd` keeps every page listed but points that page's strips past
// the end of the file.
enum class TiffDamage { CutAtPage, DataPastTheEnd };
void damageTiff(const QString& path, int index, TiffDamage damage);

// A one-page 8-bit grey TIFF whose header claims `width` x `height` pixels over 64 bytes of
// data; gives the path back.
QString claimedSizeTiff(const QString& path, quint32 width, quint32 height);

} // namespace veltrane::test
