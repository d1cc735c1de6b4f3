// Appending pages that were compressed elsewhere: tags and raw strips are copied, so the
// compression work can be spread over threads while one thread writes the file.
#include "platform/TiffFile.h"
#include "platform/TiffHandles.h"

#include <memory>

namespace veltrane {
namespace {

struct Closer
{
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

template <typename T> void copyTag(TIFF* from, TIFF* to, uint32_t tag)
{
    T value{};
    if (TIFFGetField(from, tag, &value)) {
        TIFFSetField(to, tag, value);
    }
}

bool copyPage(TIFF* from, TIFF* to)
{
    for (uint32_t tag : {TIFFTAG_IMAGEWIDTH, TIFFTAG_IMAGELENGTH, TIFFTAG_ROWSPERSTRIP}) {
        copyTag<uint32_t>(from, to, tag);
    }
    for (uint32_t tag :
         {TIFFTAG_BITSPERSAMPLE, TIFFTAG_SAMPLESPERPIXEL, TIFFTAG_PHOTOMETRIC, TIFFTAG_PLANARCONFIG,
          TIFFTAG_ORIENTATION, TIFFTAG_COMPRESSION, TIFFTAG_RESOLUTIONUNIT}) {
        copyTag<uint16_t>(from, to, tag);
    }
    for (uint32_t tag : {TIFFTAG_XRESOLUTION, TIFFTAG_YRESOLUTION}) {
        copyTag<float>(from, to, tag);
    }
    uint16_t extraCount = 0;
    uint16_t* extra = nullptr;
    if (TIFFGetField(from, TIFFTAG_EXTRASAMPLES, &extraCount, &extra) && extraCount > 0) {
        TIFFSetField(to, TIFFTAG_EXTRASAMPLES, extraCount, extra);
    }
    const uint32_t strips = TIFFNumberOfStrips(from);
    QByteArray strip;
    for (uint32_t s = 0; s < strips; ++s) {
        const tmsize_t size = TIFFRawStripSize(from, s);
        if (size < 0) {
            return false;
        }
        strip.resize(qsizetype(size));
        if (TIFFReadRawStrip(from, s, strip.data(), size) != size ||
            TIFFWriteRawStrip(to, s, strip.data(), size) != size) {
            return false;
        }
    }
    return TIFFWriteDirectory(to) != 0;
}

} // namespace

bool TiffWriter::canAppendEncoded(qint32 compression)
{
    switch (compression) {
    case COMPRESSION_NONE:
    case COMPRESSION_LZW:
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE:
    case COMPRESSION_PACKBITS:
        return canWrite(compression);
    default:
        return false;
    }
}

bool TiffWriter::appendEncodedPages(const QByteArray& tiff, QString* error)
{
    QByteArray bytes = tiff; // shared, never written: the reader only reads
    QString message;
    std::unique_ptr<TIFF, Closer> from(openTiffMemory(&bytes, "rm", &message));
    if (!from) {
        if (error) {
            *error = message.isEmpty() ? QStringLiteral("cannot read a compressed page") : message;
        }
        return false;
    }
    m_error.clear();
    do {
        if (!copyPage(from.get(), static_cast<TIFF*>(m_tiff))) {
            if (error) {
                *error = !m_error.isEmpty()   ? m_error
                         : !message.isEmpty() ? message
                                              : QStringLiteral("cannot write a TIFF page");
            }
            return false;
        }
    } while (TIFFReadDirectory(from.get()));
    return true;
}

} // namespace veltrane
