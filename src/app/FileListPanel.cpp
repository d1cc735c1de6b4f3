#include "app/FileListPanel.h"

#include "app/AlertPanels.h"
#include "app/CustomTableView.h"
#include "app/FilePanels.h"
#include "app/ImportFilesWindow.h"
#include "app/PDFReadPasswordWindow.h"
#include "filelist/FileListModel.h"
#include "filelist/FileListOperations.h"
#include "filelist/FolderWalk.h"
#include "filelist/GatheringRun.h"
#include "model/Settings.h"
#include "platform/AppPaths.h"
#include "platform/DesktopShell.h"
#include "platform/SystemLog.h"
#include "processing/Process.h"
#include "ui_MainWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>

namespace veltrane {
namespace {

// The panels' type filter: the accepted extensions, exactly as written.
QString fileFilter()
{
    QStringList patterns;
    for (const QString& extension : acceptedExtensions()) {
        patterns << QStringLiteral("*.") + extension;
    }
    return QObject::tr("Documents and pictures (%1)").arg(patterns.join(QLatin1Char(' ')));
}

QStringList foldersAmong(const QList<QUrl>& urls)
{
    QStringList folders;
    for (const QUrl& url : urls) {
        if (QFileInfo(url.toLocalFile()).isDir()) {
            folders.append(url.toLocalFile());
        }
    }
    return folders;
}

} // namespace

FileListPanel::FileListPanel(Ui::MainWindow& ui, QWidget* window, FileListModel& files,
                             Settings& settings, FileListHooks hooks)
    : m_ui(ui), m_window(window), m_files(files), m_settings(settings), m_hooks(std::move(hooks)),
      m_table(ui.mainTableView), m_gathering(new GatheringRun(&files, this))
{
    m_table->setModel(&m_files);
    m_table->setSortingEnabled(true);
    m_table->horizontalHeader()->setSortIndicatorShown(true);
    QHeaderView* header = m_table->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(false);
    header->setDefaultSectionSize(m_table->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 10);
    header->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    header->resizeSection(1, m_table->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 28);
    m_table->setWordWrap(false);
    m_table->setTextElideMode(Qt::ElideMiddle);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 8);
    m_table->sortByColumn(-1, Qt::AscendingOrder);
    auto* rowMenu = new QMenu(m_table);
    rowMenu->setObjectName(QStringLiteral("filesContextMenu"));
    rowMenu->addActions(
        {ui.pdfPasswordAction, ui.openFileAction, ui.getInfoAction, ui.openEnclosingFolderAction});
    rowMenu->addSeparator();
    rowMenu->addActions(
        {ui.checkHighlightedAction, ui.uncheckHighlightedAction, ui.invertHighlightedAction});
    rowMenu->addSeparator();
    rowMenu->addActions({ui.removeFilesAction, ui.removeAllFilesAction});
    m_table->setContextMenu(rowMenu);
    // The list's keys act while the list has the focus; the stamps table has its own.
    for (QAction* action : {ui.removeFilesAction, ui.moveFilesUpAction, ui.moveFilesDownAction,
                            ui.pdfPasswordAction, ui.highlightAllAction, ui.pasteFilesAction}) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        m_table->addAction(action);
    }
    // Short labels on the buttons; the menus carry the full titles.
    const std::pair<QAction*, const char*> shortTitles[] = {
        {ui.addFilesAction, "Add Files"},
        {ui.addFolderAction, "Add Folder"},
        {ui.importListAction, "Import"},
        {ui.exportListAction, "Export"},
        {ui.includeSubfoldersAction, "Subfolders"},
        {ui.moveFilesUpAction, "Up"},
        {ui.moveFilesDownAction, "Down"},
        {ui.pdfPasswordAction, "Password"},
        {ui.removeFilesAction, "Remove"},
        {ui.removeAllFilesAction, "Remove All"}};
    for (const auto& [action, title] : shortTitles) {
        action->setIconText(tr(title));
    }
    ui.cancelGatheringButton->setDefaultAction(ui.cancelGatheringAction);
    ui.cancelGatheringButton->setVisible(false);
    ui.loadingIndicator->setVisible(false);
    ui.includeSubfoldersAction->setChecked(inculdeSubfolders());
    m_highlightRefresh.setSingleShot(true);
    m_highlightRefresh.setInterval(500);
    connect(&m_highlightRefresh, &QTimer::timeout, this, [this] { m_hooks.refreshPreview(); });
    wire();
    loadRecentFolders();
    updateTimeTakenLabel(QString());
}

FileListPanel::~FileListPanel()
{
    m_gathering->cancel();
}

void FileListPanel::wire()
{
    Ui::MainWindow& ui = m_ui;
    const std::pair<QAction*, void (FileListPanel::*)()> commands[] = {
        {ui.addFilesAction, &FileListPanel::addFiles},
        {ui.addFolderAction, &FileListPanel::addFolder},
        {ui.removeFilesAction, &FileListPanel::removeAction},
        {ui.pasteFilesAction, &FileListPanel::pasteAction},
        {ui.moveFilesUpAction, &FileListPanel::moveUp},
        {ui.moveFilesDownAction, &FileListPanel::moveDown},
        {ui.exportListAction, &FileListPanel::exportAction},
        {ui.openFileAction, &FileListPanel::openFiles},
        {ui.getInfoAction, &FileListPanel::getInfo},
        {ui.openEnclosingFolderAction, &FileListPanel::openEnclodingFolder},
        {ui.openLogsFolderAction, &FileListPanel::openLogsFolder},
        {ui.pdfPasswordAction, &FileListPanel::openPDFReadPasswordPanel},
        {ui.importListAction, &FileListPanel::openImportFilesPanel},
        {ui.cancelGatheringAction, &FileListPanel::cancelAction}};
    for (const auto& [action, command] : commands) {
        connect(action, &QAction::triggered, this, command);
    }
    const std::tuple<QAction*, void (FileListPanel::*)(int), int> coded[] = {
        {ui.highlightAllAction, &FileListPanel::selectDeselectRemoveAll, 1},
        {ui.highlightFirstAction, &FileListPanel::selectDeselectRemoveAll, 2},
        {ui.removeAllFilesAction, &FileListPanel::selectDeselectRemoveAll, 3},
        {ui.checkHighlightedAction, &FileListPanel::checkUncheckInvertSelection, 1},
        {ui.uncheckHighlightedAction, &FileListPanel::checkUncheckInvertSelection, 2},
        {ui.invertHighlightedAction, &FileListPanel::checkUncheckInvertSelection, 3},
        {ui.checkAllAction, &FileListPanel::checkUncheckInvertAll, 1},
        {ui.uncheckAllAction, &FileListPanel::checkUncheckInvertAll, 2},
        {ui.invertAllAction, &FileListPanel::checkUncheckInvertAll, 3}};
    for (const auto& [action, command, code] : coded) {
        connect(action, &QAction::triggered, this,
                [this, command = command, code = code] { (this->*command)(code); });
    }
    connect(ui.includeSubfoldersAction, &QAction::toggled, this, [this](bool on) {
        setInculdeSubfolders(on);
        m_ui.includeSubfoldersAction->setChecked(inculdeSubfolders());
    });
    connect(m_table, &CustomTableView::urlsDropped, this, &FileListPanel::addDroppedItems);
    connect(m_table, &CustomTableView::toggleChecksRequested, this,
            [this] { checkUncheckInvertSelection(3); });
    connect(m_table, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { fileDoubleClicked(index.row()); });
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FileListPanel::highlightChanged);
    connect(m_table->contextMenu(), &QMenu::aboutToShow, this,
            [this] { updateCommands(m_enabled); });
    // Check edits in the table, and a sort by a header click.
    connect(&m_files, &QAbstractItemModel::dataChanged, this, &FileListPanel::updateTotalLabel);
    connect(&m_files, &QAbstractItemModel::layoutChanged, this, [this] {
        if (!m_hooks.isProcessing()) {
            m_hooks.refreshPreview();
        }
    });
    connect(m_ui.recentFoldersPopup, &QComboBox::activated, this,
            &FileListPanel::recentFolderChanged);
    connect(m_gathering, &GatheringRun::statusTextChanged, this,
            &FileListPanel::updateTimeTakenLabel);
    connect(m_gathering, &GatheringRun::finished, this, [this] {
        m_ui.cancelGatheringButton->setVisible(false);
        m_hooks.stopProcess();
        m_hooks.resetView(true);
    });
}

bool FileListPanel::gather(const Arguments& request)
{
    if (m_hooks.isProcessing() || !m_gathering->loadURLs(request, m_settings.pdfOpenPassword())) {
        return false;
    }
    m_hooks.startProcess();
    m_hooks.resetView(false);
    m_ui.cancelGatheringButton->setVisible(true);
    m_ui.cancelGatheringAction->setEnabled(true);
    return true;
}

bool FileListPanel::isGathering() const
{
    return m_gathering->isRunning();
}

void FileListPanel::cancelAction()
{
    m_gathering->cancel();
}

void FileListPanel::addFiles()
{
    endEditing();
    const bool folders = inculdeSubfolders();
    openItemsPanel(
        m_window, QStringLiteral("addFilesPanel"),
        tr("Select ( BMP,JPG,PNG,GIF,TIFF,PDF ) File(s):"), fileFilter(), true, folders, QString(),
        [this, folders](const QStringList& chosen) { gatherItems(fileUrls(chosen), folders); });
}

void FileListPanel::addFolder()
{
    endEditing();
    openItemsPanel(m_window, QStringLiteral("addFolderPanel"),
                   tr("Select folder(s) contains ( BMP,JPG,PNG,GIF,TIFF,PDF ) File(s):"), QString(),
                   false, true, QString(),
                   [this](const QStringList& chosen) { gatherItems(fileUrls(chosen), true); });
}

void FileListPanel::addDroppedItems(const QList<QUrl>& urls)
{
    if (urls.isEmpty() || m_hooks.isProcessing()) {
        return;
    }
    endEditing();
    gatherItems(urls, true);
}

// Chosen or dropped items: their folders are recorded as recent ones, then they are gathered.
void FileListPanel::gatherItems(const QList<QUrl>& urls, bool isFolders)
{
    m_recent.addRecentItem(foldersAmong(urls));
    loadRecentFolders();
    gather({urls, isFolders, inculdeSubfolders()});
}

void FileListPanel::pasteAction()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data) {
        return;
    }
    QList<QUrl> urls;
    if (data->hasUrls()) {
        for (const QUrl& url : data->urls()) {
            if (url.isLocalFile()) {
                urls.append(url);
            }
        }
    } else {
        for (const QString& line : data->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            if (QFileInfo::exists(line)) {
                urls.append(QUrl::fromLocalFile(QFileInfo(line).absoluteFilePath()));
            }
        }
    }
    addDroppedItems(urls);
}

void FileListPanel::replaceItems(const QList<FileItem>& items)
{
    m_files.setItems(items);
    afterListChange();
}

void FileListPanel::afterListChange()
{
    m_hooks.resetView(true);
    updateTotalLabel();
}

void FileListPanel::removeAction()
{
    guarded(QStringLiteral("Error in (remove) : %@"), [this] {
        if (m_hooks.isProcessing()) {
            return;
        }
        endEditing();
        QList<FileItem> items = m_files.items();
        if (removeRows(items, highlightedRows())) {
            replaceItems(items);
        }
    });
}

void FileListPanel::selectDeselectRemoveAll(int code)
{
    guarded(QStringLiteral("Error in (selectDeselectRemoveAll:) : %@"), [&] {
        if (code == 1) {
            m_table->selectAll();
        } else if (code == 2) {
            m_table->highlightRows({0});
        } else if (code == 3 && !m_hooks.isProcessing()) {
            criticalAlertPanel(m_window, tr("Are you sure to remove all the file(s)?"),
                               tr("This will remove all the files from current list."), tr("Yes"),
                               tr("No"), QString(), [this](int answer) {
                                   if (answer == 1 && !m_hooks.isProcessing()) {
                                       replaceItems({});
                                   }
                               });
        } else if (code == 4 && !m_hooks.isProcessing()) {
            QList<FileItem> items = m_files.items();
            removeRows(items, highlightedRows());
            replaceItems(items);
        }
    });
}

void FileListPanel::checkUncheckInvertSelection(int code)
{
    changeChecks(QStringLiteral("Error in (checkUncheckInvertSelection:) : %@"),
                 [code](QList<FileItem>& items, const QList<int>& rows) {
                     veltrane::checkUncheckInvertSelection(items, rows, code);
                 });
}

void FileListPanel::checkUncheckInvertAll(int code)
{
    changeChecks(QStringLiteral("Error in (checkUncheckInvertAll:) : %@"),
                 [code](QList<FileItem>& items, const QList<int>&) {
                     veltrane::checkUncheckInvertAll(items, code);
                 });
}

void FileListPanel::changeChecks(
    const QString& errorFormat,
    const std::function<void(QList<FileItem>&, const QList<int>&)>& change)
{
    guarded(errorFormat, [&] {
        if (m_hooks.isProcessing()) {
            return;
        }
        const QList<int> rows = highlightedRows();
        QList<FileItem> items = m_files.items();
        change(items, rows);
        replaceItems(items);
        m_table->highlightRows(rows);
    });
}

void FileListPanel::moveUp()
{
    moveFiles(true);
}

void FileListPanel::moveDown()
{
    moveFiles(false);
}

void FileListPanel::moveFiles(bool up)
{
    if (m_hooks.isProcessing()) {
        return;
    }
    QList<FileItem> items = m_files.items();
    const QList<int> rows = up ? veltrane::moveUp(items, highlightedRows())
                               : veltrane::moveDown(items, highlightedRows());
    m_files.setItems(items);
    m_table->setFocus();
    m_table->highlightRows(rows);
    if (!rows.isEmpty()) {
        m_table->scrollTo(m_files.index(rows.first(), 0));
    }
    afterListChange();
}

void FileListPanel::openFiles()
{
    guarded(QStringLiteral("Error in (openFiles) : %@"), [this] {
        for (const int row : highlightedRows()) {
            openWithDefaultApplication(m_files.items().at(row).filePath());
        }
    });
}

QStringList FileListPanel::highlightedPaths() const
{
    QStringList paths;
    for (const int row : highlightedRows()) {
        paths.append(m_files.items().at(row).path());
    }
    return paths;
}

void FileListPanel::getInfo()
{
    guarded(QStringLiteral("Error in (getInfo) : %@"),
            [this] { showItemPropertiesInFileManager(highlightedPaths()); });
}

void FileListPanel::openEnclodingFolder()
{
    guarded(QStringLiteral("Error in (openEnclodingFolder) : %@"),
            [this] { showItemsInFileManager(highlightedPaths()); });
}

void FileListPanel::fileDoubleClicked(int row)
{
    guarded(QStringLiteral("Error in fileDoubleClicked : %@"), [&] {
        if (row < 0 || row >= m_files.items().size()) {
            return;
        }
        const FileItem& item = m_files.items().at(row);
        if (!openWithDefaultApplication(item.filePath())) {
            showItemsInFileManager({item.path()});
        }
    });
}

void FileListPanel::openLogsFolder()
{
    QString error;
    if (createApplicationUsersFolder(QStringLiteral("Logs"), &error)) {
        openWithDefaultApplication(
            QUrl::fromLocalFile(QDir(getAppPath()).filePath(QStringLiteral("Logs"))));
    }
}

QList<int> FileListPanel::highlightedRows() const
{
    return m_table->highlightedRows();
}

bool FileListPanel::containsPDFFiles() const
{
    return veltrane::containsPDFFiles(m_files.items(), highlightedRows());
}

void FileListPanel::highlightChanged()
{
    if (m_hooks.isProcessing()) {
        return;
    }
    updateCommands(m_enabled);
    // Moving quickly through the list renders only the file it stops at.
    if (highlightedRows().size() == 1) {
        m_highlightRefresh.start();
    }
}

void FileListPanel::updateTotalLabel()
{
    guarded(QStringLiteral("Error in (updateTotalLabel:) : %@"), [this] {
        m_ui.labelTotalFiles->setText(totalLabelText(m_files.items()));
        m_ui.startRunAction->setEnabled(m_enabled && !m_files.items().isEmpty());
        updateTimeTakenLabel(QString());
    });
}

void FileListPanel::updateTimeTakenLabel(const QString& text)
{
    guarded(QStringLiteral("Error in (updateTimeTakenLabel:) : %@"), [&] {
        m_ui.labelTimeTaken->setText(text.isNull() ? timeTakenLabel(QStringLiteral("00:00"), 0, 0)
                                                   : text);
        m_ui.labelTimeTaken->repaint();
    });
}

void FileListPanel::updateCommands(bool enabled)
{
    m_enabled = enabled;
    Ui::MainWindow& ui = m_ui;
    const bool listed = !m_files.items().isEmpty();
    const QList<int> rows = highlightedRows();
    const bool highlighted = !rows.isEmpty();
    m_table->setEnabled(enabled);
    ui.recentFoldersPopup->setEnabled(enabled);
    for (QAction* action : {ui.addFilesAction, ui.addFolderAction, ui.includeSubfoldersAction,
                            ui.importListAction, ui.openLogsFolderAction, ui.pasteFilesAction}) {
        action->setEnabled(enabled);
    }
    for (QAction* action :
         {ui.exportListAction, ui.removeAllFilesAction, ui.checkAllAction, ui.uncheckAllAction,
          ui.invertAllAction, ui.highlightAllAction, ui.highlightFirstAction}) {
        action->setEnabled(enabled && listed);
    }
    for (QAction* action :
         {ui.removeFilesAction, ui.openFileAction, ui.getInfoAction, ui.openEnclosingFolderAction,
          ui.checkHighlightedAction, ui.uncheckHighlightedAction, ui.invertHighlightedAction}) {
        action->setEnabled(enabled && highlighted);
    }
    ui.pdfPasswordAction->setEnabled(enabled && containsPDFFiles());
    ui.moveFilesUpAction->setEnabled(enabled && highlighted && rows.first() > 0);
    ui.moveFilesDownAction->setEnabled(enabled && highlighted &&
                                       rows.last() < m_files.items().size() - 1);
    ui.startRunAction->setEnabled(enabled && listed);
}

} // namespace veltrane
