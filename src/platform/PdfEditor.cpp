#include "platform/PdfEditor.h"

#include "platform/CheckedFilePipeline.h"
#include "platform/PdfLayerPlacer.h"
#include "platform/PdfPageTree.h"

#include <optional>
#include <QFile>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

namespace veltrane {

struct PdfEditor::Document
{
    QPDF pdf;
    std::vector<QPDFPageObjectHelper> pages;
    // Copied streams are read from the layers while the document is written: the placer lives
    // as long as the document.
    std::optional<PdfLayerPlacer> placer;
};

PdfEditor::PdfEditor(const QString& path, const QString& password)
    : m_document(std::make_unique<Document>())
{
    QPDF& pdf = m_document->pdf;
    pdf.setSuppressWarnings(true);
    const QByteArray file = QFile::encodeName(path);
    const QByteArray secret = password.toUtf8();
    pdf.processFile(file.constData(), password.isNull() ? nullptr : secret.constData());
    m_document->pages = listPdfPages(pdf);
    repairPageCount(pdf, m_document->pages);
}

PdfEditor::~PdfEditor() = default;

int PdfEditor::pageCount() const
{
    return int(m_document->pages.size());
}

bool PdfEditor::isEncrypted() const
{
    return m_document->pdf.isEncrypted();
}

PdfPageFrame PdfEditor::pageFrame(int index)
{
    QPDFPageObjectHelper& page = m_document->pages.at(size_t(index));
    QPDFObjectHandle box = page.getMediaBox();
    QRectF media;
    if (box.isRectangle()) {
        const QPDFObjectHandle::Rectangle r = box.getArrayAsRectangle();
        media = QRectF(QPointF(r.llx, r.lly), QPointF(r.urx, r.ury)).normalized();
    }
    int rotate = 0;
    QPDFObjectHandle rotation = page.getAttribute("/Rotate", false);
    if (rotation.isInteger()) {
        rotate = int(rotation.getIntValue() % 360);
    }
    return pdfPageFrame(media, rotate);
}

void PdfEditor::dropCropBox(int index)
{
    QPDFObjectHandle node = m_document->pages.at(size_t(index)).getObjectHandle();
    for (int depth = 0; depth < 64 && node.isDictionary(); ++depth) {
        if (node.hasKey("/CropBox")) {
            node.removeKey("/CropBox");
        }
        node = node.getKey("/Parent");
    }
}

void PdfEditor::placeLayers(const QByteArray& layerDocument, const std::vector<PageLayers>& pages)
{
    PdfLayerPlacer& placer = m_document->placer.emplace(m_document->pdf, layerDocument);
    for (const PageLayers& page : pages) {
        placer.place(m_document->pages.at(size_t(page.pageIndex)), pageFrame(page.pageIndex),
                     page.underLayer, page.overLayer);
    }
}

void PdfEditor::setCreator(const QString& creator)
{
    QPDF& pdf = m_document->pdf;
    QPDFObjectHandle trailer = pdf.getTrailer();
    QPDFObjectHandle info = trailer.getKey("/Info");
    if (!info.isDictionary()) {
        info = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        trailer.replaceKey("/Info", info);
    }
    info.replaceKey("/Creator", QPDFObjectHandle::newUnicodeString(creator.toStdString()));
}

void PdfEditor::write(const QString& path, const PdfWriteOptions& options)
{
    CheckedFilePipeline file(path);
    QPDFWriter writer(m_document->pdf);
    writer.setOutputPipeline(&file);
    const bool keepEncryption = options.keepEncryption && isEncrypted();
    writer.setPreserveEncryption(keepEncryption);
    writer.setStreamDataMode(qpdf_s_preserve);
    writer.setObjectStreamMode(qpdf_o_preserve);
    writer.setDeterministicID(options.deterministicId && !keepEncryption);
    writer.write();
    file.finish();
    file.check();
}

} // namespace veltrane
