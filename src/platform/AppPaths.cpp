#include "platform/AppPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace veltrane {

QString getAppPath()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty()) {
        return {};
    }
    return data + QStringLiteral("/Orlavex/Veltrane2");
}

bool createApplicationUsersFolder(const QString& subPath, QString* error)
{
    QString path = getAppPath();
    if (!subPath.isEmpty()) {
        path += QLatin1Char('/') + subPath;
    }
    if (QFileInfo(path).isDir()) {
        return true;
    }
    if (QDir().mkpath(path)) {
        return true;
    }
    if (error) {
        *error = QStringLiteral("cannot create the folder %1").arg(path);
    }
    return false;
}

QString getAppTitle(const QString& suffix)
{
    return QStringLiteral("Veltrane") + suffix;
}

} // namespace veltrane
