#pragma once

#include <optional>
#include <QRectF>
#include <QSizeF>
#include <QString>

namespace veltrane {

// What a PDF file says about itself, read with QPDF.
struct PdfInfo
{
    bool opened = false;        // the document could be read (and unlocked, if it needed to be)
    bool encrypted = false;     // the document is encrypted, with or without a user password
    bool needsPassword = false; // it cannot be read without a (right) user password
    int pageCount = 0;
    QSizeF artBoxSize; // page 1's art box (falling back to crop box, media box)
    QString error;
};

// Opens the file with `password` (empty: none) and reads the facts above.
PdfInfo readPdfInfo(const QString& path, const QString& password = {});

// One page's crop box (falling back to the media box; default user space, y up, normalised)
// and /Rotate entry (inherited ones included).
struct PdfPageGeometry
{
    QRectF cropBox;
    int rotation = 0;
};

// No value when the file does not open with `password` or has no such page (0-based).
std::optional<PdfPageGeometry> readPdfPageGeometry(const QString& path, const QString& password,
                                                   int pageIndex);

} // namespace veltrane
