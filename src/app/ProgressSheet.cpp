#include "app/ProgressSheet.h"

#include "processing/Process.h"
#include "ui_ProgressSheet.h"

#include <QDir>

namespace veltrane {

ProgressSheet::ProgressSheet(QWidget* window)
    : QDialog(window), m_ui(std::make_unique<Ui::ProgressSheet>())
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("progressSheet"));
    setWindowModality(Qt::WindowModal);
    connect(m_ui->cancelProcessButton, &QPushButton::clicked, this,
            &ProgressSheet::cancelProcessAction);
    connect(m_ui->closeProcessButton, &QPushButton::clicked, this, [this] {
        if (m_finished) {
            accept();
            emit closeProcessAction();
        }
    });
    connect(m_ui->viewLogButton, &QPushButton::clicked, this, &ProgressSheet::viewLogAction);
}

ProgressSheet::~ProgressSheet() = default;

void ProgressSheet::begin(qint32 outputs, const QString& outputFolder)
{
    m_finished = false;
    m_outputFolder = outputFolder;
    m_ui->fileInProcessLabel->clear();
    m_ui->outputFileLabel->clear();
    m_ui->messageLabel->clear();
    m_ui->runProgressBar->setRange(0, std::max(outputs, 0));
    m_ui->runProgressBar->setValue(0);
    m_ui->timeTakenLabel->setText(timeTakenLabel(QStringLiteral("In Process..."), 0, outputs));
    m_ui->cancelProcessButton->setEnabled(true);
    m_ui->closeProcessButton->setEnabled(false);
    m_ui->viewLogButton->setEnabled(false);
}

void ProgressSheet::showProgress(const RunProgress& progress)
{
    m_ui->fileInProcessLabel->setText(progress.fileInProcess);
    m_ui->outputFileLabel->setText(progress.fileInProcess.isEmpty()
                                       ? QString()
                                       : QDir(m_outputFolder).filePath(progress.fileInProcess));
    m_ui->runProgressBar->setValue(progress.processed);
    m_ui->timeTakenLabel->setText(progress.text);
}

void ProgressSheet::showFileStarted(const QString& fileName)
{
    m_ui->fileInProcessLabel->setText(fileName);
    m_ui->outputFileLabel->setText(QDir(m_outputFolder).filePath(fileName));
}

void ProgressSheet::showFinished(const QString& message, const QString& timeTakenText)
{
    m_finished = true;
    m_ui->fileInProcessLabel->clear();
    m_ui->outputFileLabel->setText(m_outputFolder);
    m_ui->messageLabel->setText(message);
    m_ui->timeTakenLabel->setText(timeTakenText);
    m_ui->cancelProcessButton->setEnabled(false);
    m_ui->closeProcessButton->setEnabled(true);
    m_ui->viewLogButton->setEnabled(true);
    m_ui->closeProcessButton->setFocus();
}

void ProgressSheet::reject()
{
    if (m_finished) {
        accept();
        emit closeProcessAction();
    } else {
        emit cancelProcessAction();
    }
}

} // namespace veltrane
