#pragma once

#include "filelist/FileItem.h"
#include "filelist/FileListModel.h"
#include "support/PdfTools.h"

#include <QDir>
#include <QList>
#include <QStringList>
#include <utility>

namespace veltrane::test {

// The file at `path` as the list measures it.
inline FileItem listedItem(const QString& path)
{
    return *FileItem::initWithURL(QUrl::fromLocalFile(path));
}

// The names of listed items, in list order.
inline QStringList itemNames(const QList<FileItem>& items)
{
    QStringList names;
    for (const FileItem& item : items) {
        names << item.name();
    }
    return names;
}

// The table column of a column identifier ("name", "pages", ...).
inline int columnOf(const char* id)
{
    return int(FileListModel::columnIdentifiers().indexOf(QString::fromLatin1(id)));
}

// PDFs of 100 × 100 points written into `folder`, each with its page count, measured in order.
inline QList<FileItem> pdfItems(const QString& folder,
                                const QList<std::pair<const char*, int>>& files)
{
    QList<FileItem> items;
    for (const auto& [name, pages] : files) {
        const QString path = QDir(folder).filePath(QString::fromLatin1(name));
        writeBodyPdf(path, pages, QSizeF(100, 100));
        items.append(listedItem(path));
    }
    return items;
}

} // namespace veltrane::test
