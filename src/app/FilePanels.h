#pragma once

#include <functional>
#include <QFileDialog>

namespace veltrane {

// A file panel shown as a sheet on `window` (window-modal, deleted when closed); returns at once.
// `chosen` receives the chosen files when the user confirms; cancelling calls nothing.
QFileDialog* openFilePanel(QWidget* window, const QString& objectName, const QString& title,
                           const QString& nameFilter, QFileDialog::FileMode mode,
                           std::function<void(const QStringList& files)> chosen);

// The same for choosing files, folders or both, several at once, starting in `startFolder`
// (none: where the panel was last). Folders are taken as they are, not opened, when the Open
// button is pressed on them.
QFileDialog* openItemsPanel(QWidget* window, const QString& objectName, const QString& title,
                            const QString& nameFilter, bool files, bool folders,
                            const QString& startFolder,
                            std::function<void(const QStringList& items)> chosen);

// One folder, starting in `startFolder`, new folders allowed.
QFileDialog* openFolderPanel(QWidget* window, const QString& objectName, const QString& title,
                             const QString& startFolder,
                             std::function<void(const QString& folder)> chosen);

// The chosen paths as file URLs, in order.
QList<QUrl> fileUrls(const QStringList& paths);

// Commits the value still being typed in the window before a command acts on it.
void endEditing();

} // namespace veltrane
