#pragma once

#include "app/StampEditorWindow.h"
#include "model/NumberingDelegate.h"
#include "model/Settings.h"

#include <memory>
#include <QColor>
#include <QObject>
#include <QTimer>

class QItemSelection;

namespace veltrane {

class FileListModel;
class FileListPanel;
class MainWindow;
class OutputSettingsSheet;
class PreviewRenderer;
class ProfileCommands;
class ReviewWindowController;
class RunController;
class StampEditorFactory;
class StampsTableModel;
class UsagesReporting;
class UsagesReportingWindowController;

// The main window's controller: it holds the program's state (the preferences with the job,
// the file list, the stamps not yet added, the processing flag), wires the panels to it, keeps
// the commands' enabled state in one place and refreshes the preview. It does the panels' work
// through them, never itself. Main thread.
class VeltraneAppDelegate : public QObject, public NumberingDelegate, public StampListOwner
{
    Q_OBJECT
public:
    // Sets everything up in start-up order and shows the main window.
    VeltraneAppDelegate();
    ~VeltraneAppDelegate() override;

    // Launching finished: the review check.
    void applicationDidFinishLaunching();
    // The user re-activated the program (a second launch without files).
    void applicationShouldHandleReopen();
    // A file handed to the program; true when taken (always: other files are ignored).
    bool openFile(const QString& path);
    // Files handed over together: profiles are offered one by one, the others gathered at once.
    // Ignored while processing.
    void openFiles(const QStringList& paths);
    // Saves the recent folders and the preferences with the job; never asks.
    void applicationShouldTerminate();

    void PropertyChanged(Numbering* number) override;
    void addStamp(IStampItem* stamp) override;
    void removeStamp(IStampItem* stamp) override;

    void textStampAction();
    void imageStampAction();
    void stampDoubleAction();
    void removeStampAction();
    void moveStampUpAction();
    void moveStampDownAction();
    void resetView(bool enabled);
    void startProcess();
    void stopProcess();
    void helpAction();

    MainWindow& window() { return *m_window; }
    Settings& settings() { return *m_settings; }
    Numbering& number() { return m_settings->number(); }
    FileListModel& files() { return *m_files; }
    FileListPanel& fileList() { return *m_fileList; }
    RunController& runController() { return *m_runController; }
    OutputSettingsSheet& outputSettings() { return *m_outputSettings; }
    UsagesReporting& usagesReport() { return *m_usagesReport; }
    PreviewRenderer& previewRenderer() { return *m_preview; }
    const StampList& tempStamps() const { return m_tempStamps; }
    bool isProcessing() const { return m_isProcessing; }
    // The generation of the preview image on screen.
    quint64 shownGeneration() const { return m_shownGeneration; }
    bool isOutputFolderSelected() const { return m_isOutputFolderSelected; }
    QColor processingLabelColor() const { return m_processingLabelColor; }
    // The rows selected in the stamps table, ascending.
    QList<int> selectedStampRows() const;
    void selectStampRows(const QList<int>& rows);

signals:
    // A preview image is on screen (after every refresh that was not superseded).
    void previewShown();

private:
    void wireActions();
    void stampsSelectionChanged();
    void moveStamps(bool up);
    void updateStampButtons();
    void profileLoaded();
    void showPreview(quint64 generation, const QImage& image);
    void resizePreview();
    void outputFolderPathChanged();
    QSizeF previewPageSize() const;

    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<MainWindow> m_window;
    FileListModel* m_files = nullptr;
    StampsTableModel* m_stamps = nullptr;
    std::unique_ptr<StampEditorFactory> m_editorFactory;
    std::unique_ptr<ProfileCommands> m_profiles;
    std::unique_ptr<PreviewRenderer> m_preview;
    std::unique_ptr<UsagesReporting> m_usagesReport;
    std::unique_ptr<FileListPanel> m_fileList;
    std::unique_ptr<RunController> m_runController;
    OutputSettingsSheet* m_outputSettings = nullptr;
    ReviewWindowController* m_review = nullptr;
    UsagesReportingWindowController* m_usagesSheet = nullptr;
    StampList m_tempStamps;
    QTimer m_resizeRefresh;
    QColor m_processingLabelColor;
    QSize m_shownLivePageSize;
    bool m_isProcessing = false;
    bool m_isOutputFolderSelected = false;
    bool m_shownIsLive = false;
    bool m_requestedLive = false;
    bool m_selectingRows = false;
    quint64 m_shownGeneration = 0;
};

} // namespace veltrane
