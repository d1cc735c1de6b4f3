#include "filelist/FileItem.h"

#include "platform/DateFormat.h"
#include "platform/ImageMetadata.h"
#include "platform/ImageReaderLimit.h"
#include "platform/InputFile.h"
#include "platform/PdfInfo.h"
#include "platform/SystemLog.h"
#include "platform/TiffFile.h"

#include <cmath>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <sys/stat.h>

namespace veltrane {
namespace {

const QString kTableDatePattern = QStringLiteral("dd-MMM-yyyy h:mm a");

std::optional<QDateTime> validDate(const QDateTime& date)
{
    return date.isValid() ? std::optional<QDateTime>(date) : std::nullopt;
}

qint32 countPicture(const QString& path, bool isTiff, qint32* compression, QSizeF* imageSize,
                    std::optional<QString>* dateTaken, QString* problem)
{
    qint32 count = 0;
    QSize size;
    QString tiffError;
    if (isTiff) {
        if (auto reader = TiffReader::open(path, &tiffError)) {
            count = reader->pageCount();
            if (auto info = reader->pageInfo(0)) {
                size = info->size;
                *compression = info->compression;
            }
        }
    }
    if (count == 0) {
        // Not a TIFF after all, or a picture: Qt's readers, by content rather than extension.
        matchImageReaderLimit();
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        if (reader.canRead()) {
            size = reader.size();
            count = std::max(reader.imageCount(), 1);
        } else if (problem) {
            *problem =
                isTiff && !tiffError.isEmpty()
                    ? QStringLiteral("not a readable TIFF file (%1)").arg(tiffError)
                    : QStringLiteral("not a readable picture (%1)").arg(reader.errorString());
        }
    }
    if (size.width() > 0 && size.height() > 0) {
        *imageSize = QSizeF(size);
    }
    if (count > 0) {
        const std::optional<ImageMetadata> metadata = readImageMetadata(path);
        *dateTaken = captureDate(metadata);
        if (!isTiff && metadata && metadata->compression) {
            *compression = *metadata->compression;
        }
    }
    return count;
}

bool startsLikePdf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(1024).contains("%PDF-");
}

// getTiffPageCount, with the reason when the file shows no pages.
qint32 measurePages(const QUrl& url, qint32* compression, bool* isEncrypted, QSizeF* imageSize,
                    std::optional<QString>* dateTaken, QString* problem)
{
    qint32 count = 0;
    guarded(QStringLiteral("Error in getTiffPageCount : %@"), [&] {
        if (url.isEmpty()) {
            return;
        }
        const QString path = url.toLocalFile();
        const QString kind = QFileInfo(path).suffix().toUpper();
        if (kind != QLatin1String("PDF")) {
            const bool isTiff = kind == QLatin1String("TIF") || kind == QLatin1String("TIFF");
            count = countPicture(path, isTiff, compression, imageSize, dateTaken, problem);
            return;
        }
        const PdfInfo info = readPdfInfo(path);
        if (!info.opened && !info.needsPassword) {
            if (problem) {
                *problem = startsLikePdf(path) ? QStringLiteral("damaged PDF document")
                                               : QStringLiteral("not a PDF document");
            }
            return;
        }
        // A document locked by a user password shows neither pages nor size until unlocked.
        *isEncrypted = info.encrypted;
        count = info.pageCount;
        if (info.opened) {
            *imageSize = info.artBoxSize;
        }
        if (problem && count == 0) {
            *problem = info.needsPassword ? QStringLiteral("needs a password")
                                          : QStringLiteral("the document has no pages");
        }
    });
    return count;
}

} // namespace

std::optional<FileItem> FileItem::initWithURL(const QUrl& url)
{
    if (url.isEmpty() || !url.isLocalFile()) {
        return std::nullopt;
    }
    FileItem item;
    item.setFilePath(QUrl(url.toString(QUrl::FullyEncoded), QUrl::StrictMode));
    return item;
}

void FileItem::setFilePath(const QUrl& url)
{
    m_filePath = url;
    struct stat st;
    const bool found = ::stat(QFile::encodeName(url.toLocalFile()).constData(), &st) == 0;
    if (found) {
        const qint64 allocated = qint64(st.st_blocks) * 512;
        m_size = qint32(std::min<qint64>(allocated, INT32_MAX));
    }
    m_problem = url.isEmpty() ? QString() : inputFileProblem(url.toLocalFile());
    if (!m_problem.isEmpty()) {
        m_pages = 0;
        return;
    }
    if (found && st.st_size == 0) {
        m_pages = 0;
        m_problem = QStringLiteral("empty file");
        return;
    }
    qint32 compression = 1;
    m_pages =
        measurePages(url, &compression, &m_isEncrypted, &m_imageSize, &m_dateTaken, &m_problem);
    m_compression = compression;
    if (m_pages > 0) {
        m_problem.clear();
    } else if (m_problem.isEmpty()) {
        m_problem = QStringLiteral("no pages");
    }
}

void FileItem::setPdfOpenPassword(const QString& password)
{
    m_pdfOpenPassword = password.isNull() ? QString(QLatin1String("")) : password;
}

QString FileItem::name() const
{
    return m_filePath.isEmpty() ? QString() : QFileInfo(path()).fileName();
}

QString FileItem::location() const
{
    return m_filePath.isEmpty() ? QString() : QFileInfo(path()).path();
}

QString FileItem::type() const
{
    return m_filePath.isEmpty() ? QString() : QFileInfo(path()).suffix();
}

std::optional<QDateTime> FileItem::dateModified() const
{
    return validDate(QFileInfo(path()).lastModified());
}

std::optional<QDateTime> FileItem::dateCreated() const
{
    return validDate(QFileInfo(path()).birthTime());
}

std::optional<QDateTime> FileItem::dateAccessed() const
{
    return validDate(QFileInfo(path()).lastRead());
}

QString FileItem::sizeInKBText(qint32 size)
{
    static const char* const units[] = {"B", "KB", "MB", "GB", "TB"};
    float v = float(size);
    int i = 0;
    while (v > 1000.0f && i < 4) {
        v = v / 1000.0f;
        ++i;
    }
    if (i <= 1) {
        return QStringLiteral("%1 KB").arg(qint64(std::round(double(size) / 1000.0)));
    }
    const QString unit = QLatin1String(units[i]);
    const QString text = QString::asprintf("%4.1f", double(v));
    const QStringList pieces = text.split(QLatin1Char('.'));
    if (pieces.size() == 2 && pieces[1].toInt() == 0) {
        return pieces[0] + QLatin1Char(' ') + unit;
    }
    return text + QLatin1Char(' ') + unit;
}

QVariant FileItem::displayField(const QString& identifier) const
{
    if (identifier.isNull()) {
        return {};
    }
    const QString id = identifier.toUpper();
    auto date = [](const std::optional<QDateTime>& when) -> QVariant {
        if (!when) {
            return {};
        }
        const std::optional<QString> text = formatDate(*when, kTableDatePattern);
        return text ? QVariant(*text) : QVariant();
    };
    if (id == QLatin1String("ISSELECTED")) {
        return m_isSelected;
    }
    if (id == QLatin1String("NAME")) {
        return name();
    }
    if (id == QLatin1String("PAGES")) {
        return m_pages;
    }
    if (id == QLatin1String("SIZEINKB")) {
        return sizeInKB();
    }
    if (id == QLatin1String("TYPE")) {
        return type();
    }
    if (id == QLatin1String("DATEMODIFIED")) {
        return date(dateModified());
    }
    if (id == QLatin1String("DATECREATED")) {
        return date(dateCreated());
    }
    if (id == QLatin1String("DATEACCESSED")) {
        return date(dateAccessed());
    }
    if (id == QLatin1String("LOCATION")) {
        return location();
    }
    if (id == QLatin1String("SECURED")) {
        if (!m_isEncrypted) {
            return {};
        }
        return m_pdfOpenPassword.isEmpty() ? QStringLiteral("LockTemplate.pdf")
                                           : QStringLiteral("UnlockTemplate.pdf");
    }
    return {};
}

bool FileItem::applyPdfPassword(const QString& password)
{
    QSizeF size = m_imageSize;
    qint32 pages = m_pages;
    if (!verifyPDF(m_filePath, password, &size, &pages)) {
        return false;
    }
    setPdfOpenPassword(password);
    m_imageSize = size;
    m_pages = pages;
    m_problem = pages > 0 ? QString() : QStringLiteral("the document has no pages");
    return true;
}

bool FileItem::isEqual(const FileItem* other) const
{
    if (other == this) {
        return true;
    }
    return other && m_filePath == other->m_filePath;
}

qint32 getTiffPageCount(const QUrl& url, const QString& password, qint32* compression,
                        bool* isEncrypted, QSizeF* imageSize, std::optional<QString>* dateTaken)
{
    Q_UNUSED(password);
    return measurePages(url, compression, isEncrypted, imageSize, dateTaken, nullptr);
}

bool verifyPDF(const QUrl& url, const QString& password, QSizeF* size, qint32* pages)
{
    if (url.isEmpty() || password.isNull()) {
        return false;
    }
    const PdfInfo info = readPdfInfo(url.toLocalFile(), password);
    if (!info.opened) {
        return false;
    }
    if (size) {
        *size = info.artBoxSize;
    }
    if (pages) {
        *pages = info.pageCount;
    }
    return true;
}

} // namespace veltrane
