#include "filelist/FolderWalk.h"

#include <QDir>
#include <QFileInfo>

namespace veltrane {

const QStringList& acceptedExtensions()
{
    static const QStringList list =
        QStringLiteral("pdf,PDF,tif,TIF,tiff,TIFF,bmp,BMP,jpg,JPG,jpeg,JPEG,png,PNG,gif,GIF")
            .split(QLatin1Char(','));
    return list;
}

bool hasAcceptedExtension(const QString& path, bool anyCase)
{
    return acceptedExtensions().contains(QFileInfo(path).suffix(),
                                         anyCase ? Qt::CaseInsensitive : Qt::CaseSensitive);
}

QStringList walkFolder(const QString& folder, bool includeSubfolders)
{
    QStringList files;
    QDir dir(folder);
    const QFileInfoList entries =
        dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (entry.fileName().startsWith(QLatin1Char('.'))) {
            continue;
        }
        if (entry.isDir()) {
            if (includeSubfolders && !entry.isSymLink()) {
                files += walkFolder(entry.absoluteFilePath(), true);
            }
        } else if (hasAcceptedExtension(entry.fileName(), false)) {
            files << entry.absoluteFilePath();
        }
    }
    return files;
}

} // namespace veltrane
