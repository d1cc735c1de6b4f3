#include "app/FilePanels.h"

namespace veltrane {

QFileDialog* openFilePanel(QWidget* window, const QString& objectName, const QString& title,
                           const QString& nameFilter, QFileDialog::FileMode mode,
                           std::function<void(const QStringList& files)> chosen)
{
    auto* panel = new QFileDialog(window, title);
    panel->setObjectName(objectName);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setFileMode(mode);
    panel->setNameFilter(nameFilter);
    panel->setWindowModality(Qt::WindowModal);
    QObject::connect(panel, &QFileDialog::filesSelected, window,
                     [chosen = std::move(chosen)](const QStringList& files) { chosen(files); });
    panel->open();
    return panel;
}

} // namespace veltrane
