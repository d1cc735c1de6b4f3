#include "platform/TiffFile.h"

#include "platform/CmykColour.h"
#include "platform/TiffHandles.h"

#include <cstring>
#include <QPainter>
#include <tiffio.h>

namespace veltrane {
namespace {

TIFF* handle(void* p)
{
    return static_cast<TIFF*>(p);
}

void setError(QString* error, const QString& message)
{
    if (error) {
        *error = message;
    }
}

double dpi(float value, uint16_t unit)
{
    if (!(value > 0)) {
        return 72;
    }
    return unit == RESUNIT_CENTIMETER ? value * 2.54 : value;
}

} // namespace

std::unique_ptr<TiffReader> TiffReader::open(const QString& path, QString* error)
{
    std::unique_ptr<TiffReader> reader(new TiffReader);
    reader->m_tiff = openTiffFile(path, "rm", &reader->m_error);
    if (!reader->m_tiff) {
        setError(error, reader->m_error.isEmpty() ? QStringLiteral("cannot open %1").arg(path)
                                                  : reader->m_error);
        return nullptr;
    }
    // libtiff stops at a directory loop or a broken link: count what can be reached.
    reader->m_pages = int(TIFFNumberOfDirectories(handle(reader->m_tiff)));
    return reader;
}

TiffReader::~TiffReader()
{
    if (m_tiff) {
        TIFFClose(handle(m_tiff));
    }
}

bool TiffReader::isCutShort()
{
    TIFF* tiff = handle(m_tiff);
    return m_pages > 0 && TIFFSetDirectory(tiff, tdir_t(m_pages - 1)) && !TIFFLastDirectory(tiff);
}

std::optional<TiffPageInfo> TiffReader::pageInfo(int index)
{
    TIFF* tiff = handle(m_tiff);
    if (index < 0 || index >= m_pages || !TIFFSetDirectory(tiff, tdir_t(index))) {
        return std::nullopt;
    }
    TiffPageInfo info;
    uint32_t w = 0, h = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &h);
    info.size = QSize(int(std::min<uint32_t>(w, INT32_MAX)), int(std::min<uint32_t>(h, INT32_MAX)));
    uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
    info.compression = compression;
    uint16_t extraCount = 0;
    uint16_t* extra = nullptr;
    if (TIFFGetField(tiff, TIFFTAG_EXTRASAMPLES, &extraCount, &extra) && extraCount > 0) {
        info.hasAlpha = extra[0] == EXTRASAMPLE_ASSOCALPHA || extra[0] == EXTRASAMPLE_UNASSALPHA;
    }
    float x = 0, y = 0;
    uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
    if (TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &x) &&
        TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &y) && unit != RESUNIT_NONE) {
        info.xDpi = dpi(x, unit);
        info.yDpi = dpi(y, unit);
    }
    return info;
}

QImage TiffReader::readPage(int index, QString* error, bool* undecodable)
{
    if (undecodable) {
        *undecodable = false;
    }
    const std::optional<TiffPageInfo> info = pageInfo(index);
    if (!info || info->size.isEmpty()) {
        if (undecodable) {
            *undecodable = true;
        }
        setError(error, QStringLiteral("page %1 cannot be read").arg(index + 1));
        return {};
    }
    if (qint64(info->size.width()) * info->size.height() > kMaxFramePixels) {
        setError(error, QStringLiteral("page %1 is too large (%2 x %3 pixels)")
                            .arg(index + 1)
                            .arg(info->size.width())
                            .arg(info->size.height()));
        return {};
    }
    if (!info->hasAlpha) {
        QImage plain = readPlainRgb(index, info->size);
        if (!plain.isNull()) {
            return plain;
        }
        bool handled = false;
        QImage cmyk = readCmyk(index, info->size, error, &handled, undecodable);
        if (handled) {
            return cmyk;
        }
    }
    // libtiff converts every photometric, bit depth and orientation to 8-bit RGBA with
    // premultiplied alpha: R, G, B, A bytes in memory, as QImage's RGBA8888 formats are.
    QImage image(info->size, QImage::Format_RGBA8888_Premultiplied);
    if (image.isNull()) {
        setError(error, QStringLiteral("out of memory for page %1").arg(index + 1));
        return {};
    }
    m_error.clear();
    if (!TIFFReadRGBAImageOriented(
            handle(m_tiff), uint32_t(info->size.width()), uint32_t(info->size.height()),
            reinterpret_cast<uint32_t*>(image.bits()), ORIENTATION_TOPLEFT, 1)) {
        if (undecodable) {
            *undecodable = true;
        }
        setError(error, m_error.isEmpty()
                            ? QStringLiteral("page %1 cannot be decoded").arg(index + 1)
                            : m_error);
        return {};
    }
    return info->hasAlpha ? image : image.convertToFormat(QImage::Format_RGB888);
}

QImage TiffReader::readCmyk(int index, const QSize& size, QString* error, bool* handled,
                            bool* undecodable)
{
    // libtiff's RGBA reader knows only 8-bit CMYK and converts it without colour management:
    // CMYK strips of 8 or 16 bits go through the colour profile instead.
    TIFF* tiff = handle(m_tiff);
    uint16_t photometric = 0, samples = 0, bits = 0, planar = 0, orientation = 0, inkSet = 0;
    uint16_t compression = 0;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ORIENTATION, &orientation);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_INKSET, &inkSet);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
    *handled = photometric == PHOTOMETRIC_SEPARATED && inkSet == INKSET_CMYK && samples == 4 &&
               (bits == 8 || bits == 16) && planar == PLANARCONFIG_CONTIG &&
               orientation == ORIENTATION_TOPLEFT && !TIFFIsTiled(tiff) &&
               compression != COMPRESSION_JPEG && compression != COMPRESSION_OJPEG;
    if (!*handled) {
        return {};
    }
    m_error.clear();
    uint32_t profileSize = 0;
    void* profileData = nullptr;
    QByteArray profile;
    if (TIFFGetField(tiff, TIFFTAG_ICCPROFILE, &profileSize, &profileData) && profileData) {
        profile = QByteArray(static_cast<const char*>(profileData), qsizetype(profileSize));
    }
    if (!m_cmyk || !m_cmyk->fits(profile, bits == 16)) {
        m_cmyk = CmykToRgb::create(profile, bits == 16, false, CmykToRgb::Output::Rgb888, error);
        if (!m_cmyk) {
            return {};
        }
    }
    QImage image(size, QImage::Format_RGB888);
    if (image.isNull()) {
        setError(error, QStringLiteral("out of memory for page %1").arg(index + 1));
        return {};
    }
    uint32_t rowsPerStrip = 0;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    const tmsize_t stripBytes = TIFFStripSize(tiff);
    const tmsize_t rowBytes = TIFFScanlineSize(tiff);
    if (rowBytes != tmsize_t(size.width()) * 4 * (bits / 8) || rowsPerStrip == 0 ||
        stripBytes <= 0) {
        setError(error, QStringLiteral("page %1 has an unusable strip layout").arg(index + 1));
        return {};
    }
    QByteArray strip(stripBytes, Qt::Uninitialized);
    const uint32_t strips = TIFFNumberOfStrips(tiff);
    for (uint32_t s = 0; s < strips; ++s) {
        const tmsize_t got = TIFFReadEncodedStrip(tiff, s, strip.data(), stripBytes);
        const uint32_t first = s * rowsPerStrip;
        for (uint32_t r = 0; r < rowsPerStrip && first + r < uint32_t(size.height()); ++r) {
            if (got < 0 || tmsize_t(r + 1) * rowBytes > got) {
                if (undecodable) {
                    *undecodable = true;
                }
                setError(error, m_error.isEmpty()
                                    ? QStringLiteral("page %1 cannot be decoded").arg(index + 1)
                                    : m_error);
                return {};
            }
            m_cmyk->convert(strip.constData() + r * rowBytes, image.scanLine(int(first + r)),
                            size.width());
        }
    }
    return image;
}

QImage TiffReader::readPlainRgb(int index, const QSize& size)
{
    // The common scan layout (8-bit RGB, interleaved, in strips, top-left) decodes straight
    // into the frame's rows, skipping the general RGBA conversion.
    TIFF* tiff = handle(m_tiff);
    uint16_t photometric = 0, samples = 0, bits = 0, planar = 0, orientation = 0;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ORIENTATION, &orientation);
    uint16_t compression = 0;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
    if (photometric != PHOTOMETRIC_RGB || samples != 3 || bits != 8 ||
        planar != PLANARCONFIG_CONTIG || orientation != ORIENTATION_TOPLEFT || TIFFIsTiled(tiff) ||
        compression == COMPRESSION_JPEG || compression == COMPRESSION_OJPEG || index < 0) {
        return {};
    }
    QImage image(size, QImage::Format_RGB888);
    if (image.isNull()) {
        return {};
    }
    uint32_t rowsPerStrip = 0;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    const tmsize_t stripBytes = TIFFStripSize(tiff);
    const tmsize_t rowBytes = TIFFScanlineSize(tiff);
    if (rowBytes != tmsize_t(size.width()) * 3 || rowsPerStrip == 0 || stripBytes <= 0) {
        return {};
    }
    QByteArray strip(stripBytes, Qt::Uninitialized);
    const uint32_t strips = TIFFNumberOfStrips(tiff);
    for (uint32_t s = 0; s < strips; ++s) {
        const tmsize_t got = TIFFReadEncodedStrip(tiff, s, strip.data(), stripBytes);
        if (got < 0) {
            return {};
        }
        const uint32_t first = s * rowsPerStrip;
        for (uint32_t r = 0; r < rowsPerStrip && first + r < uint32_t(size.height()); ++r) {
            if (tmsize_t(r + 1) * rowBytes > got) {
                return {};
            }
            std::memcpy(image.scanLine(int(first + r)), strip.constData() + r * rowBytes,
                        size_t(rowBytes));
        }
    }
    return image;
}

std::unique_ptr<TiffWriter> TiffWriter::create(const QString& path, QString* error)
{
    std::unique_ptr<TiffWriter> writer(new TiffWriter);
    writer->m_tiff = openTiffFile(path, "w", &writer->m_error);
    if (!writer->m_tiff) {
        setError(error, writer->m_error.isEmpty() ? QStringLiteral("cannot write %1").arg(path)
                                                  : writer->m_error);
        return nullptr;
    }
    return writer;
}

std::unique_ptr<TiffWriter> TiffWriter::createInMemory(QByteArray* bytes, QString* error)
{
    std::unique_ptr<TiffWriter> writer(new TiffWriter);
    writer->m_tiff = openTiffMemory(bytes, "w", &writer->m_error);
    if (!writer->m_tiff) {
        setError(error, writer->m_error.isEmpty() ? QStringLiteral("cannot make a TIFF page")
                                                  : writer->m_error);
        return nullptr;
    }
    return writer;
}

TiffWriter::~TiffWriter()
{
    if (m_tiff) {
        TIFFClose(handle(m_tiff));
    }
}

bool TiffWriter::canWrite(qint32 compression)
{
    switch (compression) {
    case COMPRESSION_NONE:
    case COMPRESSION_CCITTRLE:
    case COMPRESSION_CCITTFAX3:
    case COMPRESSION_CCITTFAX4:
    case COMPRESSION_LZW:
    case COMPRESSION_JPEG:
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE:
    case COMPRESSION_PACKBITS:
        return TIFFIsCODECConfigured(uint16_t(compression)) != 0;
    default:
        return false;
    }
}

qint32 TiffWriter::writtenCompression(qint32 compression)
{
    return compression == COMPRESSION_OJPEG ? COMPRESSION_JPEG : compression;
}

bool TiffWriter::writePage(const QImage& image, qint32 compression, double xDpi, double yDpi,
                           QString* error)
{
    TIFF* tiff = handle(m_tiff);
    if (!canWrite(compression)) {
        setError(error, QStringLiteral("TIFF compression %1 cannot be written").arg(compression));
        return false;
    }
    const bool bilevel = compression == COMPRESSION_CCITTRLE ||
                         compression == COMPRESSION_CCITTFAX3 ||
                         compression == COMPRESSION_CCITTFAX4;
    const bool alpha = !bilevel && compression != COMPRESSION_JPEG && image.hasAlphaChannel();
    QImage rows;
    uint16_t samples = 3;
    uint16_t bits = 8;
    uint16_t photometric = PHOTOMETRIC_RGB;
    if (bilevel) {
        // One bit a pixel, thresholded: bit 0 is black, as MINISBLACK says.
        rows = image.convertToFormat(QImage::Format_Mono, {qRgb(0, 0, 0), qRgb(255, 255, 255)},
                                     Qt::ThresholdDither);
        samples = 1;
        bits = 1;
        photometric = PHOTOMETRIC_MINISBLACK;
    } else if (alpha) {
        rows = image;
        samples = 4;
    } else {
        // JPEG pages cannot hold alpha: flatten onto white paper.
        if (image.hasAlphaChannel()) {
            QImage flat(image.size(), QImage::Format_RGB888);
            flat.fill(Qt::white);
            QPainter painter(&flat);
            painter.drawImage(0, 0, image);
            rows = flat;
        } else {
            rows = image;
        }
    }
    // Rows in another format are converted a strip at a time, while the strip is in cache.
    const QImage::Format stripFormat = bilevel ? QImage::Format_Mono
                                       : alpha ? QImage::Format_RGBA8888
                                               : QImage::Format_RGB888;
    if (rows.format() != stripFormat && !rows.colorTable().isEmpty()) {
        // A strip of an indexed image would lose its colour table.
        rows = rows.convertToFormat(stripFormat);
    }
    m_error.clear();
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(rows.width()));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(rows.height()));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, photometric);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, uint16_t(compression));
    if (alpha) {
        const uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
        TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, extra);
    }
    if (compression == COMPRESSION_JPEG) {
        TIFFSetField(tiff, TIFFTAG_JPEGQUALITY, 100);
    }
    TIFFSetField(tiff, TIFFTAG_XRESOLUTION, float(xDpi));
    TIFFSetField(tiff, TIFFTAG_YRESOLUTION, float(yDpi));
    TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    // Strips of about a megabyte: few writes, and small enough for any reader.
    const tmsize_t rowBytes = TIFFScanlineSize(tiff);
    const uint32_t height = uint32_t(rows.height());
    uint32_t rowsPerStrip =
        bilevel ? height
                : std::clamp<uint32_t>(uint32_t((1 << 20) / std::max<tmsize_t>(rowBytes, 1)), 1,
                                       std::max<uint32_t>(height, 1));
    if (compression == COMPRESSION_JPEG && rowsPerStrip < height) {
        // JPEG strips must be whole rows of blocks (16 rows covers any chroma sampling).
        rowsPerStrip = std::min(std::max<uint32_t>(rowsPerStrip / 16 * 16, 16), height);
    }
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
    // Uncompressed strips are the rows themselves: they go out as they lie in the image when
    // its rows have no padding, without a copy into libtiff's own buffer. Codecs get a copy,
    // which they may change in place.
    const bool raw = compression == COMPRESSION_NONE;
    QByteArray strip;
    for (uint32_t first = 0, index = 0; first < height; first += rowsPerStrip, ++index) {
        const uint32_t count = std::min(rowsPerStrip, height - first);
        QImage part = rows;
        int top = int(first);
        if (rows.format() != stripFormat) {
            part = QImage(rows.constScanLine(top), rows.width(), int(count), rows.bytesPerLine(),
                          rows.format())
                       .convertToFormat(stripFormat);
            top = 0;
        }
        const tmsize_t size = tmsize_t(count) * rowBytes;
        void* data = nullptr;
        if (raw && part.bytesPerLine() == rowBytes) {
            data = const_cast<uchar*>(part.constScanLine(top));
        } else {
            strip.resize(qsizetype(size));
            for (uint32_t r = 0; r < count; ++r) {
                std::memcpy(strip.data() + tmsize_t(r) * rowBytes, part.constScanLine(top + int(r)),
                            size_t(rowBytes));
            }
            data = strip.data();
        }
        const tmsize_t done = raw ? TIFFWriteRawStrip(tiff, index, data, size)
                                  : TIFFWriteEncodedStrip(tiff, index, data, size);
        if (done < 0) {
            setError(error,
                     m_error.isEmpty() ? QStringLiteral("cannot write a TIFF page") : m_error);
            return false;
        }
    }
    if (!TIFFWriteDirectory(tiff)) {
        setError(error, m_error.isEmpty() ? QStringLiteral("cannot write a TIFF page") : m_error);
        return false;
    }
    return true;
}

bool TiffWriter::close(QString* error)
{
    if (!m_tiff) {
        return true;
    }
    m_error.clear();
    TIFFClose(handle(m_tiff));
    m_tiff = nullptr;
    if (!m_error.isEmpty()) {
        setError(error, m_error);
        return false;
    }
    return true;
}

} // namespace veltrane
