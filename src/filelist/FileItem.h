#pragma once

#include <optional>
#include <QDateTime>
#include <QSizeF>
#include <QString>
#include <QUrl>
#include <QVariant>

namespace veltrane {

// One input file of the list: a PDF, a TIFF or a single picture (BMP, JPEG, PNG, GIF), measured
// once when it is made. Its kind follows from its extension, upper-cased: "PDF", "TIF"/"TIFF",
// or any other accepted extension for a picture. A plain value; any thread may make one.
class FileItem
{
public:
    // A new, checked item for a file URL; no value for an empty or non-file URL.
    static std::optional<FileItem> initWithURL(const QUrl& url);

    // Stores the URL and measures the file: size on disk, pages or frames, compression,
    // encryption, first image or page size, capture date.
    void setFilePath(const QUrl& url);

    bool isSelected() const { return m_isSelected; }
    void setIsSelected(bool on) { m_isSelected = on; }
    QUrl filePath() const { return m_filePath; }
    // Local path of filePath.
    QString path() const { return m_filePath.toLocalFile(); }
    qint32 pages() const { return m_pages; }
    // Why the file shows no pages: "not found", "permission denied", "not a regular file",
    // "file name is not valid UTF-8", "empty file", "not a PDF document", "damaged PDF
    // document", "needs a password", "wrong password", "not a readable picture (...)", ...;
    // "" when it has pages.
    QString problem() const { return m_problem; }
    void setProblem(const QString& problem) { m_problem = problem; }
    // TIFF "Compression" code of the first image; 1 when it has none (and for PDFs).
    qint32 compression() const { return m_compression; }
    // Allocated size on disk in bytes; INT32_MAX for 2 GiB and more.
    qint32 size() const { return m_size; }
    QString pdfOpenPassword() const { return m_pdfOpenPassword; }
    void setPdfOpenPassword(const QString& password);
    bool isEncrypted() const { return m_isEncrypted; }
    void setIsEncrypted(bool encrypted) { m_isEncrypted = encrypted; }
    // Pixel size of the first image, or page 1's art box in points; empty when unreadable.
    QSizeF imageSize() const { return m_imageSize; }
    void setImageSize(const QSizeF& size) { m_imageSize = size; }
    // Exif form "yyyy:MM:dd HH:mm:ss"; "" without Exif metadata; no value when the metadata
    // names no capture date.
    std::optional<QString> dateTaken() const { return m_dateTaken; }
    void setDateTaken(const std::optional<QString>& date) { m_dateTaken = date; }

    QString name() const;
    QString location() const;
    QString type() const;
    QString sizeInKB() const { return sizeInKBText(m_size); }
    // Read from the file system on every call; no value when unreadable.
    std::optional<QDateTime> dateModified() const;
    std::optional<QDateTime> dateCreated() const;
    std::optional<QDateTime> dateAccessed() const;

    // The file table's value for a column identifier (any letter case); invalid for none.
    // "SECURED" gives the padlock picture's name, "LockTemplate.pdf" or "UnlockTemplate.pdf".
    QVariant displayField(const QString& identifier) const;

    // Unlocks an encrypted PDF with `password`: on success the item keeps the password and takes
    // the page count and page size that the lock hid.
    bool applyPdfPassword(const QString& password);

    bool isEqual(const FileItem* other) const;
    bool operator==(const FileItem& other) const { return m_filePath == other.m_filePath; }

    // The display text of a size in bytes: "0 KB", "1000 KB", " 1.5 MB", "12.3 MB", ...
    static QString sizeInKBText(qint32 size);

private:
    FileItem() = default;

    bool m_isSelected = true;
    QUrl m_filePath;
    qint32 m_pages = 0;
    QString m_problem;
    qint32 m_compression = 1;
    qint32 m_size = 0;
    QString m_pdfOpenPassword = QLatin1String("");
    bool m_isEncrypted = false;
    QSizeF m_imageSize;
    std::optional<QString> m_dateTaken = QString(QLatin1String(""));
};

// Pages (or frames) of any listed kind of file, with the other measurements as out-values;
// out-values are only written when the file says something about them. `password` is unused.
qint32 getTiffPageCount(const QUrl& url, const QString& password, qint32* compression,
                        bool* isEncrypted, QSizeF* imageSize, std::optional<QString>* dateTaken);

// Whether the PDF opens with `password`; on success `size` (and `pages`, when given) take page
// 1's art box size and the page count. An unencrypted PDF always verifies.
bool verifyPDF(const QUrl& url, const QString& password, QSizeF* size, qint32* pages = nullptr);

} // namespace veltrane
