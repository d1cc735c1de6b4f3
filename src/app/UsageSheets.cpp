#include "app/UsageSheets.h"

#include "app/AlertPanels.h"
#include "ui_ReviewUs.h"
#include "ui_UsagesReporting.h"
#include "usage/UsagesReporting.h"

#include <QDesktopServices>
#include <QUrl>

namespace veltrane {

ReviewWindowController::ReviewWindowController(UsagesReporting& record, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::ReviewUs>()), m_record(record)
{
    m_ui->setupUi(this);
    setWindowModality(Qt::WindowModal);
    connect(m_ui->reviewOKButton, &QPushButton::clicked, this,
            &ReviewWindowController::reviewOKAction);
    connect(m_ui->reviewCancelButton, &QPushButton::clicked, this,
            &ReviewWindowController::reviewCancelAction);
    connect(this, &QDialog::rejected, this, &ReviewWindowController::finish);
}

ReviewWindowController::~ReviewWindowController() = default;

void ReviewWindowController::showFor(const QString& reviewURL, bool neverAskForReview)
{
    m_reviewURL = reviewURL;
    m_ui->neverAskCheckbox->setChecked(neverAskForReview);
    open();
}

void ReviewWindowController::reviewOKAction()
{
    if (!m_reviewURL.isEmpty()) {
        QDesktopServices::openUrl(QUrl(m_reviewURL));
    }
    accept();
    finish();
}

void ReviewWindowController::reviewCancelAction()
{
    reject();
}

void ReviewWindowController::finish()
{
    m_record.reviewWindowControllerDidFinished(m_ui->neverAskCheckbox->isChecked());
}

UsagesReportingWindowController::UsagesReportingWindowController(UsagesReporting& record,
                                                                 QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::UsagesReporting>()), m_record(record)
{
    m_ui->setupUi(this);
    setWindowModality(Qt::WindowModal);
    connect(m_ui->applyButton, &QPushButton::clicked, this,
            &UsagesReportingWindowController::applyAction);
    connect(m_ui->cancelButton, &QPushButton::clicked, this,
            &UsagesReportingWindowController::cancelAction);
    connect(m_ui->submitButton, &QPushButton::clicked, this,
            &UsagesReportingWindowController::submitAction);
    // The outcome is told once the server has answered, not when the upload starts: a report
    // that never arrived is not announced as sent.
    connect(
        &m_record, &UsagesReporting::reportOutcome, this, [this](bool ok, const QString& message) {
            if (!m_waitingForOutcome) {
                return;
            }
            m_waitingForOutcome = false;
            m_ui->submitButton->setEnabled(true);
            QWidget* on = isVisible() ? static_cast<QWidget*>(this) : parentWidget();
            if (ok) {
                infoAlertSheet(on, QString(kReportTitle), message);
            } else {
                criticalAlertPanel(on, QString(kReportTitle), message, tr("OK"), {}, {}, nullptr);
            }
        });
}

UsagesReportingWindowController::~UsagesReportingWindowController() = default;

void UsagesReportingWindowController::usagesAction()
{
    m_ui->enableCheckbox->setChecked(m_record.isEnabled());
    open();
}

void UsagesReportingWindowController::applyAction()
{
    m_record.applyAction(m_ui->enableCheckbox->isChecked());
    accept();
}

void UsagesReportingWindowController::cancelAction()
{
    reject();
}

void UsagesReportingWindowController::submitAction()
{
    m_waitingForOutcome = true;
    m_ui->submitButton->setEnabled(false);
    m_record.submitReport();
}

} // namespace veltrane
