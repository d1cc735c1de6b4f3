#include "app/VeltraneAppDelegate.h"

#include "app/AlertPanels.h"
#include "app/FileListPanel.h"
#include "app/JobSettingsPanel.h"
#include "app/MainWindow.h"
#include "app/OutputSettingsSheet.h"
#include "app/PreviewBox.h"
#include "app/ProfileCommands.h"
#include "app/RunController.h"
#include "app/StampListCommands.h"
#include "app/StampsTableModel.h"
#include "app/UsageSheets.h"
#include "filelist/FileListModel.h"
#include "model/ImageStamp.h"
#include "model/TextStamp.h"
#include "platform/AppPaths.h"
#include "platform/PreferencesStore.h"
#include "platform/SystemLog.h"
#include "preview/PreviewLayout.h"
#include "preview/PreviewRenderer.h"
#include "ui_MainWindow.h"
#include "usage/UsagesReporting.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QTableView>
#include <QUrl>

namespace veltrane {
namespace {

const QSizeF kSamplePage(595, 842);
const char kRecentItemsKey[] = "RECENTITEMS";

// The user guide beside the program in the build tree, or where the install put it.
QString userGuidePath()
{
    const QDir bin(QCoreApplication::applicationDirPath());
    for (const QString& candidate :
         {bin.filePath(QStringLiteral("resources/MACVeltrane2.pdf")),
          bin.filePath(QStringLiteral("../share/veltrane/MACVeltrane2.pdf"))}) {
        if (QFileInfo(candidate).isFile()) {
            return QDir::cleanPath(candidate);
        }
    }
    return {};
}

} // namespace

VeltraneAppDelegate::VeltraneAppDelegate()
{
    QString error;
    if (createApplicationUsersFolder(QString(), &error)) {
        createApplicationUsersFolder(QStringLiteral("Logs"), &error);
    }
    m_settings = std::make_unique<Settings>();
    m_window = std::make_unique<MainWindow>();
    Ui::MainWindow& ui = m_window->ui();
    m_window->setWindowTitle(getAppTitle());
    m_files = new FileListModel(this);
    ProcessingHooks processing;
    processing.isProcessing = [this] { return m_isProcessing; };
    processing.startProcess = [this] { startProcess(); };
    processing.stopProcess = [this] { stopProcess(); };
    processing.resetView = [this](bool enabled) { resetView(enabled); };
    FileListHooks hooks{processing, [this] { PropertyChanged(&number()); }};
    m_fileList = std::make_unique<FileListPanel>(ui, m_window.get(), *m_files, *m_settings,
                                                 std::move(hooks));
    m_fileList->recentFolders().restore(
        PreferencesStore::shared().value(QLatin1String(kRecentItemsKey)));
    m_fileList->loadRecentFolders();
    RunHooks runHooks{processing, [this] { m_window->ui().settingTabView->setCurrentIndex(0); },
                      [this](const QString& text) { m_fileList->updateTimeTakenLabel(text); },
                      [this](qint32 processed) {
                          m_usagesReport->updateUsages(QStringLiteral("Output Files"), processed);
                      }};
    m_runController =
        std::make_unique<RunController>(m_window.get(), *m_settings, *m_files, std::move(runHooks));
    m_outputSettings = new OutputSettingsSheet(*m_settings, m_window.get());
    connect(m_outputSettings, &OutputSettingsSheet::outputFolderPathChanged, this,
            &VeltraneAppDelegate::outputFolderPathChanged);
    number().setDelegate(this);
    m_editorFactory = std::make_unique<StampEditorFactory>(this);
    setStampEditorFactory(m_editorFactory.get());
    m_preview = std::make_unique<PreviewRenderer>();
    connect(m_preview.get(), &PreviewRenderer::previewReady, this,
            &VeltraneAppDelegate::showPreview);
    m_profiles =
        std::make_unique<ProfileCommands>(m_window.get(), number(), [this] { profileLoaded(); });

    ui.settingTabView->setReferenceSize([this] { return previewPageSize(); });
    ui.settingTabView->setJob(&number());
    ui.settingTabView->setCurrentIndex(0);

    m_stamps = new StampsTableModel(number(), this);
    m_stamps->setSwitchedHandler([this] { PropertyChanged(&number()); });
    ui.stampsTableView->setModel(m_stamps);
    ui.stampsTableView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    QHeaderView* header = ui.stampsTableView->horizontalHeader();
    header->setSectionResizeMode(StampsTableModel::IsSelectedColumn, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(StampsTableModel::DescriptionColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(StampsTableModel::AnchorColumn, QHeaderView::ResizeToContents);
    connect(ui.stampsTableView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &VeltraneAppDelegate::stampsSelectionChanged);
    connect(ui.stampsTableView, &QAbstractItemView::doubleClicked, this,
            &VeltraneAppDelegate::stampDoubleAction);
    connect(ui.stampsTableView, &QAbstractItemView::activated, this,
            &VeltraneAppDelegate::stampDoubleAction);

    // The stamp keys act while the stamps table has the focus; the file list has its own.
    for (QAction* action : {ui.removeStampAction, ui.moveStampUpAction, ui.moveStampDownAction}) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        ui.stampsTableView->addAction(action);
    }
    // A resize redraws once it has ended.
    m_resizeRefresh.setSingleShot(true);
    m_resizeRefresh.setInterval(100);
    connect(&m_resizeRefresh, &QTimer::timeout, this, [this] { PropertyChanged(&number()); });
    connect(ui.previewBox, &PreviewBox::frameChanged, this, &VeltraneAppDelegate::resizePreview);

    ui.mainSplitter->setStretchFactor(0, 3);
    ui.mainSplitter->setStretchFactor(1, 5);
    ui.settingsLayout->setStretch(0, 3);
    ui.settingsLayout->setStretch(1, 2);
    ui.settingTabView->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    wireActions();
    resetView(true);

    m_window->show();
    m_fileList->updateTotalLabel();
    if (!number().stamps().empty()) {
        selectStampRows({0});
    }
    PropertyChanged(&number());

    m_usagesReport = std::make_unique<UsagesReporting>();
    m_usagesReport->prepareForApplication();
    connect(m_usagesReport.get(), &UsagesReporting::reviewRequested, this,
            [this](const QString& url, bool neverAsk) {
                guarded(QStringLiteral("Error in submitReview : %@"), [&] {
                    if (!m_review) {
                        m_review = new ReviewWindowController(*m_usagesReport, m_window.get());
                    }
                    m_review->showFor(url, neverAsk);
                });
            });
    ui.highlightStampAction->setChecked(number().isHighlightStamp());
    ui.livePreviewAction->setChecked(number().isLivePreview());
}

VeltraneAppDelegate::~VeltraneAppDelegate()
{
    setStampEditorFactory(nullptr);
    number().setDelegate(nullptr);
}

void VeltraneAppDelegate::wireActions()
{
    Ui::MainWindow& ui = m_window->ui();
    connect(ui.loadProfileAction, &QAction::triggered, this,
            [this] { m_profiles->stampLoadAction(); });
    connect(ui.saveProfileAction, &QAction::triggered, this,
            [this] { m_profiles->stampSaveAction(); });
    connect(ui.quitAction, &QAction::triggered, m_window.get(), &QWidget::close);
    connect(m_window.get(), &MainWindow::closeRequested, this,
            &VeltraneAppDelegate::applicationShouldTerminate);
    connect(ui.newTextStampAction, &QAction::triggered, this,
            &VeltraneAppDelegate::textStampAction);
    connect(ui.newImageStampAction, &QAction::triggered, this,
            &VeltraneAppDelegate::imageStampAction);
    connect(ui.editStampAction, &QAction::triggered, this, &VeltraneAppDelegate::stampDoubleAction);
    connect(ui.removeStampAction, &QAction::triggered, this,
            &VeltraneAppDelegate::removeStampAction);
    connect(ui.moveStampUpAction, &QAction::triggered, this,
            &VeltraneAppDelegate::moveStampUpAction);
    connect(ui.moveStampDownAction, &QAction::triggered, this,
            &VeltraneAppDelegate::moveStampDownAction);
    connect(ui.highlightStampAction, &QAction::toggled, this,
            [this](bool on) { number().setIsHighlightStamp(on); });
    connect(ui.livePreviewAction, &QAction::toggled, this,
            [this](bool on) { number().setIsLivePreview(on); });
    connect(ui.userGuideAction, &QAction::triggered, this, &VeltraneAppDelegate::helpAction);
    connect(ui.websiteAction, &QAction::triggered, this,
            [] { QDesktopServices::openUrl(QUrl(UsagesSettings().homePage)); });
    connect(ui.reviewAction, &QAction::triggered, this, [this] {
        if (!m_review) {
            m_review = new ReviewWindowController(*m_usagesReport, m_window.get());
        }
        m_review->showFor(m_usagesReport->reviewURL(), m_usagesReport->neverAskForReview());
    });
    connect(ui.usageReportingAction, &QAction::triggered, this, [this] {
        if (!m_usagesSheet) {
            m_usagesSheet = new UsagesReportingWindowController(*m_usagesReport, m_window.get());
        }
        m_usagesSheet->usagesAction();
    });
    connect(ui.aboutAction, &QAction::triggered, this, [this] {
        QMessageBox::about(m_window.get(), tr("About %1").arg(getAppTitle()),
                           tr("<b>%1</b><p>Stamps page numbers, labels, dates and pictures onto "
                              "PDF, TIFF and image files, in batch.</p>")
                               .arg(getAppTitle()));
    });
    connect(ui.startRunAction, &QAction::triggered, m_runController.get(),
            &RunController::convertAction);
    connect(ui.outputSettingsAction, &QAction::triggered, m_outputSettings,
            &OutputSettingsSheet::showSheet);
    // Short labels on the buttons; the menus carry the full titles.
    const std::pair<QAction*, const char*> shortTitles[] = {
        {ui.newTextStampAction, "New Text"},    {ui.newImageStampAction, "New Image"},
        {ui.editStampAction, "Edit"},           {ui.removeStampAction, "Remove"},
        {ui.moveStampUpAction, "Up"},           {ui.moveStampDownAction, "Down"},
        {ui.highlightStampAction, "Highlight"}, {ui.loadProfileAction, "Load Profile"},
        {ui.saveProfileAction, "Save Profile"}};
    for (const auto& [action, title] : shortTitles) {
        action->setIconText(tr(title));
    }
}

QList<int> VeltraneAppDelegate::selectedStampRows() const
{
    QList<int> rows;
    for (const QModelIndex& index :
         m_window->ui().stampsTableView->selectionModel()->selectedRows()) {
        rows.append(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void VeltraneAppDelegate::selectStampRows(const QList<int>& rows)
{
    QTableView* table = m_window->ui().stampsTableView;
    QItemSelection selection;
    for (const int row : rows) {
        if (row >= 0 && row < m_stamps->rowCount()) {
            selection.select(m_stamps->index(row, 0),
                             m_stamps->index(row, StampsTableModel::ColumnCount - 1));
        }
    }
    // The command that selects refreshes the preview itself, once.
    m_selectingRows = true;
    table->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!rows.isEmpty() && rows.first() >= 0 && rows.first() < m_stamps->rowCount()) {
        table->selectionModel()->setCurrentIndex(m_stamps->index(rows.first(), 0),
                                                 QItemSelectionModel::NoUpdate);
    }
    m_selectingRows = false;
    updateStampButtons();
}

void VeltraneAppDelegate::stampsSelectionChanged()
{
    if (m_isProcessing || m_selectingRows) {
        return;
    }
    updateStampButtons();
    PropertyChanged(&number());
}

void VeltraneAppDelegate::updateStampButtons()
{
    Ui::MainWindow& ui = m_window->ui();
    const QList<int> rows = selectedStampRows();
    const StampButtonsState state = stampButtonsState(qsizetype(number().stamps().size()), rows);
    const bool idle = !m_isProcessing;
    ui.moveStampUpAction->setEnabled(idle && state.moveUp);
    ui.moveStampDownAction->setEnabled(idle && state.moveDown);
    ui.removeStampAction->setEnabled(idle && state.remove && !rows.isEmpty());
    ui.editStampAction->setEnabled(idle && !rows.isEmpty());
    ui.saveProfileAction->setEnabled(idle && !number().stamps().empty());
}

void VeltraneAppDelegate::resetView(bool enabled)
{
    guarded(QStringLiteral("Error in (resetView:) : %@"), [&] {
        Ui::MainWindow& ui = m_window->ui();
        m_fileList->updateCommands(enabled);
        for (QAction* action :
             {ui.newTextStampAction, ui.newImageStampAction, ui.highlightStampAction,
              ui.livePreviewAction, ui.loadProfileAction, ui.outputSettingsAction}) {
            action->setEnabled(enabled);
        }
        ui.settingTabView->setEnabled(enabled);
        m_stamps->setProcessing(!enabled);
        outputFolderPathChanged();
        updateStampButtons();
        m_window->update();
        PropertyChanged(&number());
    });
}

void VeltraneAppDelegate::outputFolderPathChanged()
{
    m_isOutputFolderSelected = !m_settings->outputFolderPath().isEmpty();
    if (!m_isOutputFolderSelected) {
        m_settings->setIsSetCurrentAsDefaultOutputFolderPath(false);
    }
}

void VeltraneAppDelegate::startProcess()
{
    m_processingLabelColor = m_window->palette().color(QPalette::Disabled, QPalette::WindowText);
    m_isProcessing = true;
    m_files->setProcessing(true);
    Ui::MainWindow& ui = m_window->ui();
    ui.labelTimeTaken->setForegroundRole(QPalette::PlaceholderText);
    ui.loadingIndicator->setVisible(true);
}

void VeltraneAppDelegate::stopProcess()
{
    m_processingLabelColor = m_window->palette().color(QPalette::Active, QPalette::WindowText);
    m_isProcessing = false;
    m_files->setProcessing(false);
    Ui::MainWindow& ui = m_window->ui();
    ui.labelTimeTaken->setForegroundRole(QPalette::WindowText);
    ui.loadingIndicator->setVisible(false);
    m_fileList->updateTotalLabel();
}

QSizeF VeltraneAppDelegate::previewPageSize() const
{
    // Percentages are taken against the page on show, not against the widget showing it.
    return m_shownIsLive && !m_shownLivePageSize.isEmpty() ? QSizeF(m_shownLivePageSize)
                                                           : kSamplePage;
}

void VeltraneAppDelegate::PropertyChanged(Numbering* job)
{
    if (m_isProcessing || !job) {
        return;
    }
    guarded(QStringLiteral("Error in [PropertyChanged:] : %@"), [&] {
        Ui::MainWindow& ui = m_window->ui();
        m_stamps->refreshCells();
        const QList<int> stampRows = selectedStampRows();
        PreviewRequest request;
        request.job = std::make_shared<Numbering>(*job);
        request.highlightStampIndex =
            job->isHighlightStamp() && !stampRows.isEmpty() ? stampRows.first() : -1;
        const QRectF view = ui.previewBox->imageViewFrame();
        request.size = kSamplePage;
        request.scale = ui.previewBox->devicePixelRatioF() * view.height() / kSamplePage.height();
        const QList<FileItem>& items = m_files->items();
        QList<qint64> pages;
        for (const FileItem& item : items) {
            pages.append(item.pages());
        }
        request.totalPages = previewPageTotal(*job, pages);
        const QModelIndexList fileRows = ui.mainTableView->selectionModel()
                                             ? ui.mainTableView->selectionModel()->selectedRows()
                                             : QModelIndexList();
        if (!items.isEmpty() && job->isLivePreview() && !fileRows.isEmpty()) {
            const int row = fileRows.first().row();
            const FileItem& item = items[row];
            if (!item.imageSize().isEmpty()) {
                request.size = item.imageSize();
            }
            request.job->setPdfOpenPassword(item.isEncrypted() ? item.pdfOpenPassword()
                                                               : QString());
            request.job->setDateTaken(item.dateTaken().value_or(QString()));
            request.live = true;
            request.filePath = item.filePath().toLocalFile();
            request.fileIndex = row;
            request.filePages = pages;
            if (!job->isContinuousNumbering()) {
                request.totalPages = 0;
            }
        }
        m_requestedLive = request.live;
        m_preview->request(std::move(request));
    });
}

void VeltraneAppDelegate::showPreview(quint64 generation, const QImage& image)
{
    // An older image than the last one asked for is never shown over it.
    if (generation != m_preview->latestGeneration() || image.isNull()) {
        return;
    }
    // A sample page fills the image view; a live page (or its stand-in) keeps its own size.
    m_shownGeneration = generation;
    m_shownIsLive = m_requestedLive;
    m_shownLivePageSize = m_requestedLive ? image.size() : QSize();
    m_window->ui().previewBox->showPreview(image, !m_requestedLive);
    emit previewShown();
}

void VeltraneAppDelegate::resizePreview()
{
    guarded(QStringLiteral("Error in resizePreview : %@"), [this] { m_resizeRefresh.start(); });
}

void VeltraneAppDelegate::textStampAction()
{
    guarded(QStringLiteral("Error in [textStampAction:] : %@"), [this] {
        m_tempStamps.push_back(std::make_unique<TextStamp>());
        m_tempStamps.back()->edit(&number());
    });
}

void VeltraneAppDelegate::imageStampAction()
{
    guarded(QStringLiteral("Error in [imageStampAction:] : %@"), [this] {
        m_tempStamps.push_back(std::make_unique<ImageStamp>());
        m_tempStamps.back()->edit(&number());
    });
}

void VeltraneAppDelegate::addStamp(IStampItem* stamp)
{
    guarded(QStringLiteral("Error in [addStamp:] : %@"), [&] {
        const auto it = std::find_if(m_tempStamps.begin(), m_tempStamps.end(),
                                     [stamp](const auto& item) { return item.get() == stamp; });
        if (it == m_tempStamps.end()) {
            return;
        }
        number().stamps().push_back(std::move(*it));
        m_tempStamps.erase(it);
        m_stamps->reload();
        selectStampRows({int(number().stamps().size()) - 1});
        PropertyChanged(&number());
    });
}

void VeltraneAppDelegate::stampDoubleAction()
{
    guarded(QStringLiteral("Error in [stampDoubleAction:] : %@"), [this] {
        const QList<int> rows = selectedStampRows();
        if (rows.isEmpty() || m_isProcessing) {
            return;
        }
        number().stamps()[rows.first()]->edit(&number());
        m_window->ui().mainTableView->viewport()->update();
    });
}

void VeltraneAppDelegate::removeStampAction()
{
    guarded(QStringLiteral("Error in [removeStampAction:] : %@"), [this] {
        const QList<int> rows = selectedStampRows();
        if (rows.isEmpty()) {
            return;
        }
        const QList<int> selection = removeStampRows(number().stamps(), rows);
        m_stamps->reload();
        selectStampRows(selection);
        PropertyChanged(&number());
    });
}

void VeltraneAppDelegate::removeStamp(IStampItem* stamp)
{
    guarded(QStringLiteral("Error in [removeStamp:] : %@"), [&] {
        const QList<int> selection = removeOneStamp(number().stamps(), selectedStampRows(), stamp);
        m_stamps->reload();
        selectStampRows(selection);
        PropertyChanged(&number());
    });
}

void VeltraneAppDelegate::moveStampUpAction()
{
    guarded(QStringLiteral("Error in [moveStampUpAction:] : %@"), [this] { moveStamps(true); });
}

void VeltraneAppDelegate::moveStampDownAction()
{
    guarded(QStringLiteral("Error in [moveStampDownAction:] : %@"), [this] { moveStamps(false); });
}

void VeltraneAppDelegate::moveStamps(bool up)
{
    const QList<int> rows = selectedStampRows();
    const QList<int> selection =
        up ? moveStampRowsUp(number().stamps(), rows) : moveStampRowsDown(number().stamps(), rows);
    m_stamps->reload();
    QTableView* table = m_window->ui().stampsTableView;
    table->setFocus();
    selectStampRows(selection);
    if (!selection.isEmpty()) {
        table->scrollTo(m_stamps->index(up ? selection.first() : selection.last(), 0));
    }
    PropertyChanged(&number());
}

void VeltraneAppDelegate::profileLoaded()
{
    m_stamps->reload();
    m_window->ui().settingTabView->reload();
    m_window->ui().highlightStampAction->setChecked(number().isHighlightStamp());
    m_window->ui().livePreviewAction->setChecked(number().isLivePreview());
    selectStampRows(number().stamps().empty() ? QList<int>() : QList<int>{0});
    PropertyChanged(&number());
}

bool VeltraneAppDelegate::openFile(const QString& path)
{
    openFiles({path});
    return true;
}

void VeltraneAppDelegate::openFiles(const QStringList& paths)
{
    if (m_isProcessing) {
        return;
    }
    applicationShouldHandleReopen();
    // Documents and pictures join the list together, as a drop would bring them.
    QList<QUrl> dropped;
    for (const QString& path : paths) {
        if (path.endsWith(QLatin1String(".vtprofile"), Qt::CaseInsensitive)) {
            m_profiles->openProfile(path);
        } else {
            dropped.append(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
        }
    }
    m_fileList->addDroppedItems(dropped);
}

void VeltraneAppDelegate::applicationDidFinishLaunching()
{
    m_usagesReport->validate(false);
}

void VeltraneAppDelegate::applicationShouldHandleReopen()
{
    if (m_window->isVisible() && !m_window->isMinimized()) {
        m_window->raise();
        m_window->activateWindow();
        return;
    }
    m_window->showNormal();
    m_window->raise();
    m_window->activateWindow();
}

void VeltraneAppDelegate::applicationShouldTerminate()
{
    // A value still being typed is committed first.
    if (QWidget* focus = QApplication::focusWidget()) {
        focus->clearFocus();
    }
    PreferencesStore::shared().setValue(QLatin1String(kRecentItemsKey),
                                        m_fileList->recentFolders().stored());
    m_settings->synchronize();
}

void VeltraneAppDelegate::helpAction()
{
    guarded(QStringLiteral("Error in [helpAction:] : %@"), [] {
        const QString guide = userGuidePath();
        if (guide.isEmpty()) {
            throw std::runtime_error("the user guide MACVeltrane2.pdf is not installed");
        }
        QDesktopServices::openUrl(QUrl::fromLocalFile(guide));
    });
}

} // namespace veltrane
