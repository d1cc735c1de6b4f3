#include "app/FilePanels.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFileInfo>

namespace veltrane {
namespace {

// Qt's own panel, so that folders can be taken together with files or several at a time.
class ItemsPanel : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const QStringList chosen = selectedFiles();
        const bool allExist =
            !chosen.isEmpty() && std::all_of(chosen.begin(), chosen.end(), [](const QString& path) {
                return QFileInfo::exists(path);
            });
        if (!allExist) {
            QFileDialog::accept();
            return;
        }
        emit filesSelected(chosen);
        QDialog::accept();
    }
};

QFileDialog* showPanel(QFileDialog* panel, const QString& objectName,
                       std::function<void(const QStringList&)> chosen)
{
    panel->setObjectName(objectName);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setWindowModality(Qt::WindowModal);
    QObject::connect(panel, &QFileDialog::filesSelected, panel->parentWidget(),
                     [chosen = std::move(chosen)](const QStringList& files) { chosen(files); });
    panel->open();
    return panel;
}

} // namespace

QFileDialog* openFilePanel(QWidget* window, const QString& objectName, const QString& title,
                           const QString& nameFilter, QFileDialog::FileMode mode,
                           std::function<void(const QStringList& files)> chosen)
{
    auto* panel = new QFileDialog(window, title);
    panel->setFileMode(mode);
    panel->setNameFilter(nameFilter);
    return showPanel(panel, objectName, std::move(chosen));
}

QFileDialog* openItemsPanel(QWidget* window, const QString& objectName, const QString& title,
                            const QString& nameFilter, bool files, bool folders,
                            const QString& startFolder,
                            std::function<void(const QStringList& items)> chosen)
{
    QFileDialog* panel = folders ? new ItemsPanel(window, title) : new QFileDialog(window, title);
    if (!startFolder.isEmpty()) {
        panel->setDirectory(startFolder);
    }
    if (folders) {
        panel->setOption(QFileDialog::DontUseNativeDialog);
        panel->setFileMode(files ? QFileDialog::ExistingFiles : QFileDialog::Directory);
        for (QAbstractItemView* view : panel->findChildren<QAbstractItemView*>()) {
            if (view->objectName() == QLatin1String("listView") ||
                view->objectName() == QLatin1String("treeView")) {
                view->setSelectionMode(QAbstractItemView::ExtendedSelection);
            }
        }
    } else {
        panel->setFileMode(QFileDialog::ExistingFiles);
    }
    if (files) {
        panel->setNameFilter(nameFilter);
    }
    return showPanel(panel, objectName, std::move(chosen));
}

QFileDialog* openFolderPanel(QWidget* window, const QString& objectName, const QString& title,
                             const QString& startFolder,
                             std::function<void(const QString& folder)> chosen)
{
    auto* panel = new ItemsPanel(window, title);
    panel->setOption(QFileDialog::DontUseNativeDialog);
    panel->setFileMode(QFileDialog::Directory);
    if (!startFolder.isEmpty()) {
        panel->setDirectory(startFolder);
    }
    return showPanel(panel, objectName, [chosen = std::move(chosen)](const QStringList& folders) {
        if (!folders.isEmpty()) {
            chosen(folders.first());
        }
    });
}

QList<QUrl> fileUrls(const QStringList& paths)
{
    QList<QUrl> urls;
    for (const QString& path : paths) {
        urls.append(QUrl::fromLocalFile(path));
    }
    return urls;
}

void endEditing()
{
    if (QWidget* focus = QApplication::focusWidget()) {
        focus->clearFocus();
        focus->setFocus();
    }
}

} // namespace veltrane
