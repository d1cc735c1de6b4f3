#pragma once

#include <memory>
#include <QDialog>

namespace Ui {
class PDFReadPassword;
}

namespace veltrane {

// The sheet that takes one password for the highlighted PDF files. It keeps the last value
// entered between uses; Apply hands it over, Cancel changes nothing.
class PDFReadPasswordWindowController : public QDialog
{
    Q_OBJECT
public:
    explicit PDFReadPasswordWindowController(QWidget* window);
    ~PDFReadPasswordWindowController() override;

    QString pdfReadPassword() const { return m_pdfReadPassword; }
    void setPdfReadPassword(const QString& password);
    void showSheet();
    void applyAction();
    void cancelAction();
    Ui::PDFReadPassword& ui() { return *m_ui; }

signals:
    void PDFReadPasswordWindowControllerDidFinish(const QString& password);

private:
    std::unique_ptr<Ui::PDFReadPassword> m_ui;
    QString m_pdfReadPassword = QLatin1String("");
};

} // namespace veltrane
