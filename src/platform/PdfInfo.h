#pragma once

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

} // namespace veltrane
