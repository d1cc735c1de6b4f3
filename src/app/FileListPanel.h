#pragma once

#include "app/ProcessingHooks.h"
#include "filelist/Gathering.h"
#include "filelist/RecentFolders.h"

#include <functional>
#include <QObject>
#include <QTimer>

namespace Ui {
class MainWindow;
}

namespace veltrane {

class CustomTableView;
class FileListModel;
class GatheringRun;
class ImportFilesWindowController;
class PDFReadPasswordWindowController;
class Settings;

// What the file list asks of the window around it.
struct FileListHooks : ProcessingHooks
{
    std::function<void()> refreshPreview;
};

// The file list's commands: adding files and folders (panels, drops, recent folders), the
// gathering with its status and cancel, check marks, highlight, moves, removal, export, and
// opening files through the desktop. The list itself is the model; the commands' rules are the
// filelist functions; this wires them to the window. Main thread.
class FileListPanel : public QObject
{
    Q_OBJECT
public:
    FileListPanel(Ui::MainWindow& ui, QWidget* window, FileListModel& files, Settings& settings,
                  FileListHooks hooks);
    ~FileListPanel() override;

    // Starts a gathering; false while one runs (the request is then dropped).
    bool gather(const Arguments& request);
    bool isGathering() const;
    void cancelAction();

    void addFiles();
    void addFolder();
    // Adds dropped (or handed over) files and folders, recording the folders.
    void addDroppedItems(const QList<QUrl>& urls);
    // Files and folders on the clipboard (copied in a file manager, or paths a line), as a
    // drop.
    void pasteAction();
    void removeAction();
    // 1 highlights every row, 2 the first only, 3 removes all after asking, 4 removes the
    // highlighted rows.
    void selectDeselectRemoveAll(int code);
    void checkUncheckInvertSelection(int code);
    void checkUncheckInvertAll(int code);
    void moveUp();
    void moveDown();
    void exportAction();
    void openFiles();
    void getInfo();
    void openEnclodingFolder();
    void fileDoubleClicked(int row);
    void openLogsFolder();
    void recentFolderChanged(int index);
    // The import sheet; what it finds is gathered as chosen files.
    void openImportFilesPanel();
    ImportFilesWindowController* importPanel() const { return m_importPanel; }
    // The password sheet, for the highlighted PDF files only.
    void openPDFReadPasswordPanel();
    void updatePDFReadPassword(const QString& password);
    PDFReadPasswordWindowController* passwordPanel() const { return m_passwordPanel; }

    void updateTotalLabel();
    void updateTimeTakenLabel(const QString& text);
    // The commands' enabled state; `enabled` is false during a run or a gathering.
    void updateCommands(bool enabled);
    bool containsPDFFiles() const;
    QList<int> highlightedRows() const;
    QStringList highlightedPaths() const;

    RecentFolders& recentFolders() { return m_recent; }
    void loadRecentFolders();

private:
    void wire();
    void highlightChanged();
    void moveFiles(bool up);
    void gatherItems(const QList<QUrl>& urls, bool isFolders);
    void changeChecks(const QString& errorFormat,
                      const std::function<void(QList<FileItem>&, const QList<int>&)>& change);
    void afterListChange();
    void replaceItems(const QList<FileItem>& items);

    Ui::MainWindow& m_ui;
    QWidget* m_window;
    FileListModel& m_files;
    Settings& m_settings;
    FileListHooks m_hooks;
    CustomTableView* m_table;
    GatheringRun* m_gathering;
    PDFReadPasswordWindowController* m_passwordPanel = nullptr;
    ImportFilesWindowController* m_importPanel = nullptr;
    RecentFolders m_recent;
    QTimer m_highlightRefresh;
    bool m_enabled = true;
};

} // namespace veltrane
