#include "platform/PdfInfo.h"

#include "platform/PdfPageTree.h"

#include <QFile>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>

namespace veltrane {
namespace {

// Opens quietly (warnings about damage are not ours to print); throws when it cannot.
void openPdf(QPDF& pdf, const QString& path, const QString& password)
{
    pdf.setSuppressWarnings(true);
    const QByteArray file = QFile::encodeName(path);
    const QByteArray secret = password.toUtf8();
    pdf.processFile(file.constData(), password.isEmpty() ? nullptr : secret.constData());
}

} // namespace

PdfInfo readPdfInfo(const QString& path, const QString& password)
{
    PdfInfo info;
    try {
        QPDF pdf;
        openPdf(pdf, path, password);
        info.encrypted = pdf.isEncrypted();
        std::vector<QPDFPageObjectHelper> pages = listPdfPages(pdf);
        info.pageCount = int(std::min<size_t>(pages.size(), INT32_MAX));
        if (!pages.empty()) {
            QPDFObjectHandle box = pages.front().getArtBox();
            if (box.isRectangle()) {
                const QPDFObjectHandle::Rectangle r = box.getArrayAsRectangle();
                info.artBoxSize = QSizeF(std::abs(r.urx - r.llx), std::abs(r.ury - r.lly));
            }
        }
        info.opened = true;
    } catch (const QPDFExc& e) {
        info.error = QString::fromUtf8(e.what());
        if (e.getErrorCode() == qpdf_e_password) {
            info.encrypted = true;
            info.needsPassword = true;
        }
    } catch (const std::exception& e) {
        info.error = QString::fromUtf8(e.what());
    }
    return info;
}

std::optional<PdfPageGeometry> readPdfPageGeometry(const QString& path, const QString& password,
                                                   int pageIndex)
{
    try {
        QPDF pdf;
        openPdf(pdf, path, password);
        std::vector<QPDFPageObjectHelper> pages = listPdfPages(pdf);
        if (pageIndex < 0 || size_t(pageIndex) >= pages.size()) {
            return std::nullopt;
        }
        QPDFPageObjectHelper& page = pages[size_t(pageIndex)];
        PdfPageGeometry geometry;
        QPDFObjectHandle box = page.getCropBox();
        if (box.isRectangle()) {
            const QPDFObjectHandle::Rectangle r = box.getArrayAsRectangle();
            geometry.cropBox = QRectF(QPointF(r.llx, r.lly), QPointF(r.urx, r.ury)).normalized();
        }
        QPDFObjectHandle rotate = page.getAttribute("/Rotate", false);
        if (rotate.isInteger()) {
            geometry.rotation = int(std::clamp<long long>(rotate.getIntValue(), -36000, 36000));
        }
        return geometry;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

} // namespace veltrane
