#include "filelist/FolderWalk.h"

#include "platform/InputFile.h"
#include "platform/SystemLog.h"

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
    // A folder the user may not list gives nothing, but says so.
    if (!QFileInfo(folder).isReadable() || !QFileInfo(folder).isExecutable()) {
        systemLogError(QStringLiteral("Error in (walkFolder) : %@"),
                       QStringLiteral("folder cannot be read, not walked: %1").arg(folder));
        return files;
    }
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
    // Names that are not valid UTF-8 never reach QDir's listing. Their files are listed under
    // the name as shown, which no reader can open, so that the run reports each of them rather
    // than leaving them out without a word.
    for (const UndecodableEntry& entry : undecodableEntries(folder)) {
        const QString shown = dir.absoluteFilePath(entry.shownName);
        if (entry.isFolder) {
            if (includeSubfolders) {
                systemLogError(
                    QStringLiteral("Error in (walkFolder) : %@"),
                    QStringLiteral("folder name is not valid UTF-8, not walked: %1").arg(shown));
            }
        } else if (hasAcceptedExtension(entry.shownName, false)) {
            files << shown;
        }
    }
    return files;
}

} // namespace veltrane
