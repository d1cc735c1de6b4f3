#include "platform/DesktopShell.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileInfo>
#include <QSet>
#include <QVariantMap>

namespace veltrane {
namespace {

const char kApplicationId[] = "org.orlavex.Veltrane";

bool serviceRegistered(const QString& service)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()) {
        return false;
    }
    // Activatable services count too: the bus starts them on the first call.
    if (bus.interface()->isServiceRegistered(service).value()) {
        return true;
    }
    return bus.interface()->activatableServiceNames().value().contains(service);
}

void openFolders(const QStringList& paths)
{
    QSet<QString> opened;
    for (const QString& path : paths) {
        const QString folder = QFileInfo(path).absolutePath();
        if (!opened.contains(folder)) {
            opened.insert(folder);
            QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
        }
    }
}

// Asked without waiting: the bus starts an activatable file manager itself, and answers with an
// error when there is none, which opens the folders instead.
void callFileManager(const char* method, const QStringList& paths)
{
    if (paths.isEmpty()) {
        return;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFolders(paths);
        return;
    }
    QStringList uris;
    for (const QString& path : paths) {
        uris.append(QUrl::fromLocalFile(path).toString());
    }
    const QString service = QStringLiteral("org.freedesktop.FileManager1");
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, QStringLiteral("/org/freedesktop/FileManager1"), service, QLatin1String(method));
    call << uris << QString();
    auto* answer = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(answer, &QDBusPendingCallWatcher::finished, answer,
                     [paths](QDBusPendingCallWatcher* done) {
                         if (done->isError()) {
                             openFolders(paths);
                         }
                         done->deleteLater();
                     });
}

} // namespace

bool openWithDefaultApplication(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

void showItemsInFileManager(const QStringList& paths)
{
    callFileManager("ShowItems", paths);
}

void showItemPropertiesInFileManager(const QStringList& paths)
{
    callFileManager("ShowItemProperties", paths);
}

bool notifyDesktop(const QString& summary, const QString& body)
{
    const QString service = QStringLiteral("org.freedesktop.Notifications");
    if (!serviceRegistered(service)) {
        return false;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/Notifications"),
                                       service, QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QLatin1String(kApplicationId));
    call << QStringLiteral("Veltrane") << uint(0) << QLatin1String(kApplicationId) << summary
         << body << QStringList() << hints << int(-1);
    return QDBusConnection::sessionBus().send(call);
}

} // namespace veltrane
