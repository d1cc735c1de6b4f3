#include "app/PDFReadPasswordWindow.h"

#include "ui_PDFReadPassword.h"

#include <QPushButton>

namespace veltrane {

PDFReadPasswordWindowController::PDFReadPasswordWindowController(QWidget* window)
    : QDialog(window), m_ui(std::make_unique<Ui::PDFReadPassword>())
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("pdfReadPasswordPanel"));
    setWindowModality(Qt::WindowModal);
    QPushButton* apply = m_ui->passwordButtons->button(QDialogButtonBox::Apply);
    apply->setObjectName(QStringLiteral("applyButton"));
    apply->setDefault(true);
    m_ui->passwordButtons->button(QDialogButtonBox::Cancel)
        ->setObjectName(QStringLiteral("cancelButton"));
    connect(apply, &QPushButton::clicked, this, &PDFReadPasswordWindowController::applyAction);
    connect(m_ui->passwordButtons, &QDialogButtonBox::rejected, this,
            &PDFReadPasswordWindowController::cancelAction);
    connect(m_ui->pdfReadPasswordField, &QLineEdit::returnPressed, this,
            &PDFReadPasswordWindowController::applyAction);
}

PDFReadPasswordWindowController::~PDFReadPasswordWindowController() = default;

void PDFReadPasswordWindowController::setPdfReadPassword(const QString& password)
{
    m_pdfReadPassword = password;
    m_ui->pdfReadPasswordField->setText(password);
}

void PDFReadPasswordWindowController::showSheet()
{
    m_ui->pdfReadPasswordField->setText(m_pdfReadPassword);
    m_ui->pdfReadPasswordField->selectAll();
    open();
    m_ui->pdfReadPasswordField->setFocus();
}

void PDFReadPasswordWindowController::applyAction()
{
    m_pdfReadPassword = m_ui->pdfReadPasswordField->text();
    accept();
    emit PDFReadPasswordWindowControllerDidFinish(m_pdfReadPassword);
}

void PDFReadPasswordWindowController::cancelAction()
{
    reject();
}

} // namespace veltrane
