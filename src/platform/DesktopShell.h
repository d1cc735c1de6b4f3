#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace veltrane {

// The desktop's own services: the default application for a file, the file manager, and
// notifications. The file manager and notifications are asked over the session bus
// (org.freedesktop.FileManager1, org.freedesktop.Notifications); without one the folder is
// opened instead, or nothing is shown. Main thread; none of these waits for the answer.

// Opens `url` with the desktop's default application; false when none could be started.
bool openWithDefaultApplication(const QUrl& url);

// Shows the files selected in the file manager ("ShowItems"), or opens their folders.
void showItemsInFileManager(const QStringList& paths);

// Shows the files' properties in the file manager ("ShowItemProperties"), or opens their
// folders.
void showItemPropertiesInFileManager(const QStringList& paths);

// A desktop notification from the program; false when no notification service answers.
bool notifyDesktop(const QString& summary, const QString& body);

} // namespace veltrane
