#pragma once

#include <memory>
#include <optional>
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace veltrane {

class CmykToRgb;

// Frames larger than this many pixels are refused instead of exhausting memory.
inline constexpr qint64 kMaxFramePixels = 500'000'000;

// One page (directory) of a TIFF file.
struct TiffPageInfo
{
    QSize size;
    bool hasAlpha = false;
    qint32 compression = 1;
    double xDpi = 72;
    double yDpi = 72;
};

// Reads the pages of a TIFF file through libtiff. Errors from libtiff are collected into the
// reader's message instead of being printed. One thread at a time.
class TiffReader
{
public:
    static std::unique_ptr<TiffReader> open(const QString& path, QString* error);
    ~TiffReader();

    int pageCount() const { return m_pages; }
    // Whether the chain of pages breaks after the last one counted: the file was cut short, or
    // a link points outside it, so pages that should follow cannot be reached.
    bool isCutShort();
    std::optional<TiffPageInfo> pageInfo(int index);
    // The page in top-left orientation, whatever its pixel format: RGB888 when it has no alpha,
    // else premultiplied RGBA8888; a null image (and `error`) when it cannot be read or is too
    // large. A page whose data cannot all be read (a strip past the end of a cut file) does not
    // decode: it is never handed back partly filled, and `undecodable` tells this failure from
    // the others (too large, out of memory).
    QImage readPage(int index, QString* error, bool* undecodable = nullptr);

    QString lastError() const { return m_error; }

private:
    TiffReader() = default;
    QImage readPlainRgb(int index, const QSize& size);
    QImage readCmyk(int index, const QSize& size, QString* error, bool* handled, bool* undecodable);

    void* m_tiff = nullptr;
    int m_pages = 0;
    QString m_error;
    std::unique_ptr<CmykToRgb> m_cmyk; // kept from page to page
};

// Writes a multi-page TIFF through libtiff, one page at a time, so memory does not grow with
// the page count.
class TiffWriter
{
public:
    static std::unique_ptr<TiffWriter> create(const QString& path, QString* error);
    // A TIFF made in `bytes` (which must outlive the writer): pages can be compressed on other
    // threads this way and then appended to a file with appendEncodedPages.
    static std::unique_ptr<TiffWriter> createInMemory(QByteArray* bytes, QString* error);
    ~TiffWriter();

    // Whether pages can be written with this TIFF "Compression" code.
    static bool canWrite(qint32 compression);
    // The code a page read with `compression` is written with: old-style JPEG (6), which
    // libtiff reads but cannot write, becomes JPEG (7); every other code stays.
    static qint32 writtenCompression(qint32 compression);
    // Whether pages of this code can be appended as they were compressed: codes whose strips
    // need no tables kept beside them (none, LZW, Deflate, PackBits).
    static bool canAppendEncoded(qint32 compression);

    // Appends `image` as the next page. Bilevel codes (2, 3, 4) store a 1-bit page; JPEG (7)
    // stores RGB; other codes store RGB, or RGBA with unassociated alpha when the image has an
    // alpha channel.
    bool writePage(const QImage& image, qint32 compression, double xDpi, double yDpi,
                   QString* error);
    // Appends the pages of a TIFF made by a writer from createInMemory, their compressed strips
    // copied as they are.
    bool appendEncodedPages(const QByteArray& tiff, QString* error);
    bool close(QString* error);

private:
    TiffWriter() = default;

    void* m_tiff = nullptr;
    QString m_error;
};

} // namespace veltrane
