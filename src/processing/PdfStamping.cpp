// Stamping a PDF: the source is edited in memory with QPDF; each stamped page gets an "under"
// and an "over" layer drawn with QPainter into one in-memory PDF, placed as Form XObjects
// before and after the page's own content. Everything else in the document is left as it is.
#include "model/Numbering.h"
#include "platform/InputFile.h"
#include "platform/PdfPageTree.h"
#include "platform/StagedFile.h"
#include "platform/SystemLog.h"
#include "processing/CheckedFilePipeline.h"
#include "processing/PageLayout.h"
#include "processing/PdfLayerPlacer.h"
#include "processing/PdfLayerWriter.h"
#include "processing/PdfOutputOptions.h"
#include "processing/PdfPageFrame.h"
#include "processing/StampTarget.h"

#include <atomic>
#include <QFile>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <stdexcept>
#include <vector>

namespace veltrane {
namespace {

// Pages larger than this (in points, either side) get no stamp layers.
constexpr double kMaxLayerSide = 200000.0;

struct StampedPage
{
    size_t pageIndex = 0;
    PdfPageFrame frame;
    int underLayer = -1;
    int overLayer = -1;
};

PdfPageFrame frameOf(QPDFPageObjectHelper& page)
{
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

// Draws one layer of a stamped page; -1 when the page has no stamp in it.
int drawLayer(PdfLayerWriter& layers, const std::vector<IStampItem*>& stamps,
              const PdfPageFrame& frame, const QRectF& margins, qint64 pageValue, qint64 pagesValue)
{
    if (stamps.empty()) {
        return -1;
    }
    const int layer = layers.beginLayer(frame.frameBox.size());
    QPainter& painter = layers.painter();
    painter.translate(-frame.frameBox.topLeft());
    for (IStampItem* stamp : stamps) {
        const qint32 anchor =
            stamp->getNextMarginAnchor(stamp->isSymmetry(), stamp->marginAnchor());
        stamp->draw(painter, margins, margins, anchor, pageValue, pagesValue, false);
    }
    return layer;
}

// Output pages show their whole media box: the crop box goes, from the page and from the page
// tree nodes it would be inherited from.
void dropCropBox(QPDFPageObjectHelper& page)
{
    QPDFObjectHandle node = page.getObjectHandle();
    for (int depth = 0; depth < 64 && node.isDictionary(); ++depth) {
        if (node.hasKey("/CropBox")) {
            node.removeKey("/CropBox");
        }
        node = node.getKey("/Parent");
    }
}

void setCreator(QPDF& pdf)
{
    QPDFObjectHandle trailer = pdf.getTrailer();
    QPDFObjectHandle info = trailer.getKey("/Info");
    if (!info.isDictionary()) {
        info = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        trailer.replaceKey("/Info", info);
    }
    info.replaceKey("/Creator", QPDFObjectHandle::newUnicodeString("Veltrane"));
}

std::atomic<bool> g_deterministicIds{false};

} // namespace

void setDeterministicPdfIds(bool on)
{
    g_deterministicIds.store(on);
}

bool deterministicPdfIds()
{
    return g_deterministicIds.load();
}

bool Numbering::processPDF(const QString& source, const QString& target, const QString& password,
                           qint64 totalPages)
{
    m_failureReason = inputFileProblem(source);
    if (!m_failureReason.isEmpty()) {
        return false;
    }
    const StampTarget stampTarget(source, target);
    bool written = false;
    setIsUpdating(true);
    guarded(QStringLiteral("Error in [processPDF:] : %@"), &m_failureReason, [&] {
        stampTarget.backUpSource(m_isBackupFile);
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        const QByteArray path = QFile::encodeName(source);
        const QByteArray secret = password.toUtf8();
        pdf.processFile(path.constData(), password.isNull() ? nullptr : secret.constData());

        std::vector<QPDFPageObjectHelper> pages = listPdfPages(pdf);
        repairPageCount(pdf, pages);
        const qint64 pagesValue = totalPages > 0 ? totalPages : qint64(pages.size());

        std::vector<IStampItem*> under;
        std::vector<IStampItem*> over;
        for (const auto& stamp : m_stamps) {
            if (stamp->isSelected()) {
                (stamp->isDrawUnderPDFContent() ? under : over).push_back(stamp.get());
            }
        }

        PdfLayerWriter layers;
        std::vector<StampedPage> stamped;
        for (size_t i = 0; i < pages.size(); ++i) {
            if (!isUpdating()) {
                throw stampFailure(
                    QStringLiteral("stopped before page %1 of %2").arg(i + 1).arg(pages.size()));
            }
            dropCropBox(pages[i]);
            if (!isPageStamped(*this, qint64(i + 1))) {
                continue;
            }
            guarded(QStringLiteral("Error in [drawPDFNumber:] : %@"), [&] {
                StampedPage page;
                page.pageIndex = i;
                page.frame = frameOf(pages[i]);
                const QSizeF size = page.frame.frameBox.size();
                if (size.width() <= 0 || size.height() <= 0 || size.width() > kMaxLayerSide ||
                    size.height() > kMaxLayerSide) {
                    throw stampFailure(
                        QStringLiteral("page %1 has no usable media box").arg(i + 1));
                }
                const QRectF margins = marginRect(*this, page.frame.frameBox);
                page.underLayer =
                    drawLayer(layers, under, page.frame, margins, m_numberCounter, pagesValue);
                page.overLayer =
                    drawLayer(layers, over, page.frame, margins, m_numberCounter, pagesValue);
                stamped.push_back(page);
            });
            m_numberCounter += m_numberSteps;
        }

        // The placer must outlive the write: copied streams are read from its layers then.
        std::optional<PdfLayerPlacer> placer;
        const QByteArray layerBytes = layers.finish();
        if (!layerBytes.isEmpty()) {
            placer.emplace(pdf, layerBytes);
            for (const StampedPage& page : stamped) {
                placer->place(pages[page.pageIndex], page.frame, page.underLayer, page.overLayer);
            }
        }
        setCreator(pdf);

        QString error;
        std::optional<StagedFile> output = StagedFile::create(target, &error);
        if (!output) {
            throw stampFailure(error);
        }
        CheckedFilePipeline file(output->temporaryPath());
        QPDFWriter writer(pdf);
        writer.setOutputPipeline(&file);
        const bool keepEncryption = keepsEncryption() && pdf.isEncrypted();
        writer.setPreserveEncryption(keepEncryption);
        writer.setStreamDataMode(qpdf_s_preserve);
        writer.setObjectStreamMode(qpdf_o_preserve);
        // A content-derived /ID costs a digest of the whole output, so it is only made when
        // asked for (tests comparing outputs byte for byte). An encrypted copy keeps the
        // source's /ID, which its keys are derived from.
        writer.setDeterministicID(deterministicPdfIds() && !keepEncryption);
        writer.write();
        file.finish();
        file.check();
        if (!output->commit(&error)) {
            throw stampFailure(error);
        }
        written = true;
    });
    setIsUpdating(false);
    return written;
}

} // namespace veltrane
