#include "app/ImportFilesWindow.h"

#include "app/AlertPanels.h"
#include "app/FilePanels.h"
#include "platform/AppPaths.h"
#include "platform/SystemLog.h"
#include "ui_ImportFiles.h"

#include <QClipboard>
#include <QGuiApplication>

namespace veltrane {

ImportFilesWindowController::ImportFilesWindowController(const QString& allowedTypes,
                                                         QWidget* window)
    : QDialog(window), m_ui(std::make_unique<Ui::ImportFiles>())
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("importFilesPanel"));
    setWindowModality(Qt::WindowModal);
    m_import.allowedTypes = allowedTypes;
    connect(m_ui->importFromFileBtn, &QRadioButton::clicked, this,
            [this] { importMethodChanged(0); });
    connect(m_ui->importFromTextBtn, &QRadioButton::clicked, this,
            [this] { importMethodChanged(1); });
    connect(m_ui->browseBtn, &QPushButton::clicked, this,
            &ImportFilesWindowController::browseImportFileAction);
    connect(m_ui->pasteFromClipboardBtn, &QPushButton::clicked, this,
            &ImportFilesWindowController::pasetFromClipboardAction);
    connect(m_ui->importBtn, &QPushButton::clicked, this,
            &ImportFilesWindowController::importAction);
    connect(m_ui->cancelBtn, &QPushButton::clicked, this,
            &ImportFilesWindowController::cancelAction);
    importMethodChanged(0);
    resetView();
}

ImportFilesWindowController::~ImportFilesWindowController() = default;

bool ImportFilesWindowController::fileMode() const
{
    return m_ui->importFromFileBtn->isChecked();
}

void ImportFilesWindowController::resetView()
{
    m_ui->importFile->clear();
    m_ui->importText->clear();
    m_import.files.clear();
    m_ui->totalFilesFound->setText(m_import.totalFilesFoundText());
}

void ImportFilesWindowController::showSheet()
{
    resetView();
    open();
    (fileMode() ? static_cast<QWidget*>(m_ui->importFromFileBtn) : m_ui->importFromTextBtn)
        ->setFocus();
}

void ImportFilesWindowController::importMethodChanged(int tag)
{
    // Switching discards what was typed or chosen in either mode.
    m_ui->importFile->clear();
    m_ui->importText->clear();
    m_ui->importFile->setEnabled(tag == 0);
    m_ui->browseBtn->setEnabled(tag == 0);
    m_ui->importText->setReadOnly(tag != 1);
    m_ui->importText->setEnabled(tag == 1);
    m_ui->pasteFromClipboardBtn->setEnabled(tag == 1);
    m_ui->importFromFileBtn->setChecked(tag == 0);
    m_ui->importFromTextBtn->setChecked(tag == 1);
    if (tag == 0) {
        m_ui->importFromFileBtn->setFocus();
    } else if (tag == 1) {
        m_ui->importFromTextBtn->setFocus();
    }
}

void ImportFilesWindowController::browseImportFileAction()
{
    openFilePanel(this, QStringLiteral("importTextFilePanel"), tr("Select Text File To Import:"),
                  tr("Text files (*.txt)"), QFileDialog::ExistingFile,
                  [this](const QStringList& chosen) {
                      if (!chosen.isEmpty()) {
                          m_ui->importFile->setText(chosen.first());
                      }
                  });
}

void ImportFilesWindowController::pasetFromClipboardAction()
{
    const QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty()) {
        return;
    }
    guarded(QStringLiteral("Error in (parseText:) : %@"), [&] { m_import.parseText(text); });
    // The view then shows the accepted paths only.
    QStringList paths;
    for (const QUrl& url : m_import.files) {
        paths << url.toLocalFile();
    }
    m_ui->importText->setPlainText(paths.join(QLatin1Char('\n')));
    m_ui->totalFilesFound->setText(m_import.totalFilesFoundText());
}

void ImportFilesWindowController::importAction()
{
    const bool file = fileMode();
    const QString input = file ? m_ui->importFile->text() : m_ui->importText->toPlainText();
    if (const QString problem = ListImport::problemBeforeParsing(file, input); !problem.isEmpty()) {
        informationAlertPanel(this, getAppTitle(), problem);
        (file ? static_cast<QWidget*>(m_ui->browseBtn) : m_ui->importText)->setFocus();
        return;
    }
    if (file) {
        guarded(QStringLiteral("Error in (parseFile:) : %@"), [&] { m_import.parseFile(input); });
    } else {
        guarded(QStringLiteral("Error in (parseText:) : %@"), [&] { m_import.parseText(input); });
    }
    m_ui->totalFilesFound->setText(m_import.totalFilesFoundText());
    if (const QString problem = m_import.problemAfterParsing(); !problem.isEmpty()) {
        informationAlertPanel(this, getAppTitle(), problem);
        return;
    }
    accept();
    emit ImportFilesWindowControllerDidFinish();
}

void ImportFilesWindowController::cancelAction()
{
    m_import.files.clear();
    QDialog::reject();
    emit ImportFilesWindowControllerDidFinish();
}

} // namespace veltrane
