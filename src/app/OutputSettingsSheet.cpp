#include "app/OutputSettingsSheet.h"

#include "app/FilePanels.h"
#include "model/Settings.h"
#include "ui_OutputSettings.h"

#include <QPushButton>

namespace veltrane {

OutputSettingsSheet::OutputSettingsSheet(Settings& settings, QWidget* window)
    : QDialog(window), m_ui(std::make_unique<Ui::OutputSettings>()), m_settings(settings)
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("outputSettingPanel"));
    setWindowModality(Qt::WindowModal);
    connect(m_ui->chooseOutputFolderButton, &QPushButton::clicked, this,
            &OutputSettingsSheet::chooseOutputFolder);
    connect(m_ui->setCurrentAsDefaultOutputFolderPathBtn, &QCheckBox::toggled, this,
            [this](bool on) { m_settings.setIsSetCurrentAsDefaultOutputFolderPath(on); });
    connect(m_ui->openFolderAfterConversionBtn, &QCheckBox::toggled, this,
            [this](bool on) { m_settings.setIsOpenFolderAfterConversion(on); });
    connect(m_ui->clearProcessedFilesBtn, &QCheckBox::toggled, this,
            [this](bool on) { m_settings.setIsClearProcessedFiles(on); });
    connect(m_ui->keepEncryptionBtn, &QCheckBox::toggled, this,
            [this](bool on) { m_settings.setIsKeepEncryption(on); });
    connect(m_ui->pdfOpenPasswordField, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_settings.setPdfOpenPassword(text); });
    connect(m_ui->closeOutputSettingButtons, &QDialogButtonBox::rejected, this,
            &OutputSettingsSheet::closeOutputSetting);
}

OutputSettingsSheet::~OutputSettingsSheet() = default;

void OutputSettingsSheet::load()
{
    const QString folder = m_settings.outputFolderPath();
    m_ui->outputFolderPath->setText(folder);
    m_ui->outputFolderPath->setToolTip(folder);
    m_ui->setCurrentAsDefaultOutputFolderPathBtn->setEnabled(!folder.isEmpty());
    m_ui->setCurrentAsDefaultOutputFolderPathBtn->setChecked(
        m_settings.isSetCurrentAsDefaultOutputFolderPath());
    m_ui->openFolderAfterConversionBtn->setChecked(m_settings.isOpenFolderAfterConversion());
    m_ui->clearProcessedFilesBtn->setChecked(m_settings.isClearProcessedFiles());
    m_ui->keepEncryptionBtn->setChecked(m_settings.isKeepEncryption());
    m_ui->pdfOpenPasswordField->setText(m_settings.pdfOpenPassword());
}

void OutputSettingsSheet::showSheet()
{
    load();
    open();
    m_ui->chooseOutputFolderButton->setFocus();
}

void OutputSettingsSheet::chooseOutputFolder()
{
    QFileDialog* panel =
        openFolderPanel(this, QStringLiteral("outputFolderPanel"), tr("Choose Output Folder : "),
                        m_settings.outputFolderPath(), [this](const QString& folder) {
                            m_settings.setOutputFolderPath(folder);
                            m_settings.synchronize();
                            emit outputFolderPathChanged();
                            load();
                        });
    panel->setLabelText(QFileDialog::Accept, tr("Choose"));
}

void OutputSettingsSheet::closeOutputSetting()
{
    m_settings.setPdfOpenPassword(m_ui->pdfOpenPasswordField->text());
    QDialog::done(QDialog::Accepted);
    emit closed();
}

void OutputSettingsSheet::reject()
{
    closeOutputSetting();
}

} // namespace veltrane
