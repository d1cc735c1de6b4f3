#include "filelist/FileListOperations.h"

#include "platform/DateFormat.h"
#include "platform/SystemLog.h"

#include <algorithm>
#include <QFileInfo>
#include <QSaveFile>

namespace veltrane {
namespace {

void applyCode(FileItem& item, int code)
{
    switch (code) {
    case 1:
        item.setIsSelected(true);
        break;
    case 2:
        item.setIsSelected(false);
        break;
    case 3:
        item.setIsSelected(!item.isSelected());
        break;
    default:
        break;
    }
}

QList<int> validRows(const QList<FileItem>& items, QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(
        std::remove_if(rows.begin(), rows.end(), [&](int r) { return r < 0 || r >= items.size(); }),
        rows.end());
    return rows;
}

// The standard date description: "2026-12-05 13:34:35 +0000" style, or "(null)".
QString describe(const std::optional<QDateTime>& when)
{
    if (!when) {
        return QStringLiteral("(null)");
    }
    return formatDate(*when, QStringLiteral("yyyy-MM-dd HH:mm:ss Z"), QStringLiteral("en_US_POSIX"))
        .value_or(QStringLiteral("(null)"));
}

bool isPdf(const FileItem& item)
{
    return item.type().toUpper() == QLatin1String("PDF");
}

} // namespace

void checkUncheckInvertSelection(QList<FileItem>& items, const QList<int>& rows, int code)
{
    for (int row : validRows(items, rows)) {
        applyCode(items[row], code);
    }
}

void checkUncheckInvertAll(QList<FileItem>& items, int code)
{
    for (FileItem& item : items) {
        applyCode(item, code);
    }
}

bool removeRows(QList<FileItem>& items, const QList<int>& rows)
{
    const QList<int> valid = validRows(items, rows);
    for (auto it = valid.crbegin(); it != valid.crend(); ++it) {
        items.removeAt(*it);
    }
    return !valid.isEmpty();
}

QList<int> moveUp(QList<FileItem>& items, const QList<int>& rows)
{
    QList<int> moved;
    for (int i : validRows(items, rows)) {
        if (i == 0) {
            moved << i;
            continue;
        }
        items.swapItemsAt(i, i - 1);
        moved << i - 1;
    }
    return moved;
}

QList<int> moveDown(QList<FileItem>& items, const QList<int>& rows)
{
    QList<int> moved;
    const QList<int> valid = validRows(items, rows);
    for (auto it = valid.crbegin(); it != valid.crend(); ++it) {
        const int i = *it;
        if (i + 1 >= items.size()) {
            break;
        }
        items.swapItemsAt(i, i + 1);
        moved.prepend(i + 1);
    }
    return moved;
}

QString totalLabelText(const QList<FileItem>& items)
{
    qint64 pdf = 0;
    qint64 tiff = 0;
    qint64 other = 0;
    for (const FileItem& item : items) {
        const QString kind = item.type().toUpper();
        if (kind == QLatin1String("TIF") || kind == QLatin1String("TIFF")) {
            tiff += item.pages();
        } else if (kind == QLatin1String("PDF")) {
            pdf += item.pages();
        } else {
            other += item.pages();
        }
    }
    return QStringLiteral("%1 Total file(s); Total page count of PDF files: %2  TIFF files: %3  "
                          "Other files: %4")
        .arg(items.size())
        .arg(pdf)
        .arg(tiff)
        .arg(other);
}

bool containsPDFFiles(const QList<FileItem>& items, const QList<int>& rows)
{
    const QList<int> valid = validRows(items, rows);
    return std::any_of(valid.cbegin(), valid.cend(), [&](int r) { return isPdf(items[r]); });
}

QString securedToolTip(const FileItem& item)
{
    if (!item.isEncrypted()) {
        return {};
    }
    return item.pdfOpenPassword().isEmpty() ? QStringLiteral("Secured.")
                                            : QStringLiteral("Secured and having password.");
}

void updatePDFReadPassword(QList<FileItem>& items, const QList<int>& rows, const QString& password)
{
    if (password.isEmpty()) {
        return;
    }
    guarded(QStringLiteral("Error in (updatePDFReadPassword:) : %@"), [&] {
        for (int row : validRows(items, rows)) {
            if (isPdf(items[row])) {
                items[row].applyPdfPassword(password);
            }
        }
    });
}

QByteArray exportText(const QList<FileItem>& items)
{
    QString text = QStringLiteral(
        "Name\tPages\tSize\tType\tModified Date\tAccessed Date\tCreated Date\tLocation\n");
    for (const FileItem& item : items) {
        // One pass over the template, so a "%1" inside a file name stays as it is.
        text += QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7\t%8\n")
                    .arg(item.name(), QString::number(item.pages()), item.sizeInKB(), item.type(),
                         describe(item.dateModified()), describe(item.dateAccessed()),
                         describe(item.dateCreated()), item.location());
    }
    return text.toUtf8();
}

bool exportList(const QList<FileItem>& items, const QString& path)
{
    QSaveFile file(path);
    const QByteArray text = exportText(items);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        return false;
    }
    return true;
}

QString exportFileName(const QDateTime& when)
{
    return QStringLiteral("Export %1.txt")
        .arg(formatDate(when, QStringLiteral("dd-MMM-yyyy hh-mm-ss a")).value_or(QString()));
}

} // namespace veltrane
