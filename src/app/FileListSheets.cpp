#include "app/CustomTableView.h"
#include "app/FileListPanel.h"
#include "app/FilePanels.h"
#include "app/ImportFilesWindow.h"
#include "app/PDFReadPasswordWindow.h"
#include "filelist/FileListModel.h"
#include "filelist/FileListOperations.h"
#include "filelist/FolderWalk.h"
#include "platform/SystemLog.h"
#include "ui_MainWindow.h"

#include <QComboBox>

// The file list's sheets and panels: export, recent folders, import and PDF passwords.

namespace veltrane {

void FileListPanel::exportAction()
{
    guarded(QStringLiteral("Error in (export) : %@"), [this] {
        endEditing();
        QFileDialog* panel = openFilePanel(
            m_window, QStringLiteral("exportPanel"), tr("Export List To Tab Delimited Text File :"),
            tr("Text files (*.txt)"), QFileDialog::AnyFile, [this](const QStringList& chosen) {
                guarded(QStringLiteral("Error in (export) : %@"), [&] {
                    if (!chosen.isEmpty() && !exportList(m_files.items(), chosen.first())) {
                        throw std::runtime_error("could not write " + chosen.first().toStdString());
                    }
                });
            });
        panel->setAcceptMode(QFileDialog::AcceptSave);
        panel->setDefaultSuffix(QStringLiteral("txt"));
        panel->selectFile(exportFileName(QDateTime::currentDateTime()));
    });
}

void FileListPanel::loadRecentFolders()
{
    m_recent.loadRecentFolders();
    QComboBox* popup = m_ui.recentFoldersPopup;
    const QSignalBlocker quiet(popup);
    popup->clear();
    popup->addItems(m_recent.menuTitles());
    popup->setCurrentIndex(0);
}

void FileListPanel::recentFolderChanged(int index)
{
    guarded(QStringLiteral("Error in recentFolderChanged : %@"), [&] {
        if (m_hooks.isProcessing()) {
            return;
        }
        const RecentChoice choice = m_recent.recentFolderChanged(index);
        if (choice.action == RecentChoice::Gather) {
            loadRecentFolders();
            replaceItems({});
            gather({{QUrl::fromLocalFile(choice.path)}, true, inculdeSubfolders()});
        } else if (choice.action == RecentChoice::AskForFolder) {
            endEditing();
            const QString gone = choice.path;
            openItemsPanel(m_window, QStringLiteral("recentFolderPanel"), tr("Choose folder(s):"),
                           QString(), false, true, gone, [this, gone](const QStringList& chosen) {
                               m_recent.replaceGoneFolder(gone, chosen);
                               loadRecentFolders();
                               replaceItems({});
                               gather({fileUrls(chosen), true, inculdeSubfolders()});
                           });
        }
        m_ui.recentFoldersPopup->setCurrentIndex(0);
    });
}

void FileListPanel::openImportFilesPanel()
{
    if (m_hooks.isProcessing()) {
        return;
    }
    endEditing();
    if (!m_importPanel) {
        m_importPanel =
            new ImportFilesWindowController(acceptedExtensions().join(QLatin1Char(',')), m_window);
        connect(m_importPanel, &ImportFilesWindowController::ImportFilesWindowControllerDidFinish,
                this, [this] {
                    m_table->viewport()->update();
                    if (!m_importPanel->files().isEmpty()) {
                        gather({m_importPanel->files(), false, inculdeSubfolders()});
                    }
                });
    }
    m_importPanel->showSheet();
}

void FileListPanel::openPDFReadPasswordPanel()
{
    guarded(QStringLiteral("Error in (openPDFReadPasswordPanel) : %@"), [this] {
        if (!containsPDFFiles() || m_hooks.isProcessing()) {
            return;
        }
        if (!m_passwordPanel) {
            m_passwordPanel = new PDFReadPasswordWindowController(m_window);
            connect(m_passwordPanel,
                    &PDFReadPasswordWindowController::PDFReadPasswordWindowControllerDidFinish,
                    this, [this](const QString& password) {
                        guarded(QStringLiteral(
                                    "Error in [PDFReadPasswordWindowControllerDidFinish:] : %@"),
                                [&] {
                                    updatePDFReadPassword(password);
                                    m_hooks.refreshPreview();
                                });
                    });
        }
        // One file shows its own password; several keep the one entered last.
        const QList<int> rows = highlightedRows();
        if (rows.size() == 1) {
            m_passwordPanel->setPdfReadPassword(m_files.items().at(rows.first()).pdfOpenPassword());
        }
        m_passwordPanel->showSheet();
    });
}

void FileListPanel::updatePDFReadPassword(const QString& password)
{
    const QList<int> rows = highlightedRows();
    guarded(QStringLiteral("Error in (updatePDFReadPassword:) : %@"), [&] {
        QList<FileItem> items = m_files.items();
        veltrane::updatePDFReadPassword(items, rows, password);
        m_files.setItems(items);
    });
    m_table->highlightRows(rows);
    afterListChange();
}

} // namespace veltrane
