#pragma once

#include <functional>
#include <QImage>
#include <QSizeF>
#include <QString>
#include <QStringList>

class QPDF;

namespace veltrane::test {

// The folder of the shared real-world files and one file in it.
QString corpusFile(const QString& name);

// A PDF of `pages` pages of `size` points, each with a solid blue square over (0, 0)-(300, 300)
// in the displayed top-left corner and the text "Body N" below it.
void writeBodyPdf(const QString& path, int pages, const QSizeF& size = QSizeF(595, 842));

// Rewrites a PDF after `edit` changed it in memory (page boxes, /Rotate, information...).
void editPdf(const QString& path, const std::function<void(QPDF&)>& edit);

// The text of one page (1-based), as pdftotext extracts it.
QString pageText(const QString& path, int page, const QString& password = {});

// One page (0-based) rendered at one pixel per point, page rotation applied.
QImage renderPage(const QString& path, int pageIndex, const QString& password = {});

struct PdfFacts
{
    int pages = -1;
    int outlineItems = 0;
    int annotations = 0;
    int formFields = 0;
    int fontFiles = 0; // embedded font programs
    bool encrypted = false;
    QString creator;
    QString title;
    QStringList cropBoxes; // pages that still have a /CropBox
};

// Read with QPDF; pages is -1 when the file does not open.
PdfFacts pdfFacts(const QString& path, const QString& password = {});

// The "<n/t>" stamp of every page as "n/t", "-" where a page has none.
QStringList stampLabels(const QString& path, int pages);

// Empty when `qpdf --check` finds nothing wrong with the file, else what it printed.
QString qpdfCheck(const QString& path);

QByteArray fileBytes(const QString& path);

// Writes `bytes` as the whole file at `path` (a failure fails the test) and gives the path back.
QString writeFile(const QString& path, const QByteArray& bytes);

} // namespace veltrane::test
