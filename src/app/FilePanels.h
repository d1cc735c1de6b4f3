#pragma once

#include <functional>
#include <QFileDialog>

namespace veltrane {

// A file panel shown as a sheet on `window` (window-modal, deleted when closed); returns at once.
// `chosen` receives the chosen files when the user confirms; cancelling calls nothing.
QFileDialog* openFilePanel(QWidget* window, const QString& objectName, const QString& title,
                           const QString& nameFilter, QFileDialog::FileMode mode,
                           std::function<void(const QStringList& files)> chosen);

} // namespace veltrane
