// Stamping a PDF: the source is edited in memory with QPDF; each stamped page gets an "under"
// and an "over" layer drawn with QPainter into in-memory PDFs (one per batch of pages), placed as
// Form XObjects before and after the page's own content. Everything else in the document is left
// as it is.
#include "model/Numbering.h"
#include "platform/InputFile.h"
#include "platform/PdfEditor.h"
#include "platform/StagedFile.h"
#include "platform/SystemLog.h"
#include "processing/PageLayout.h"
#include "processing/PdfLayerDrawing.h"
#include "processing/PdfLayerWriter.h"
#include "processing/PdfOutputOptions.h"
#include "processing/StampTarget.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace veltrane {
namespace {

// Pages larger than this (in points, either side) get no stamp layers.
constexpr double kMaxLayerSide = 200000.0;

bool usableLayerFrame(const PdfPageFrame& frame)
{
    const QSizeF size = frame.frameBox.size();
    return size.width() > 0 && size.height() > 0 && size.width() <= kMaxLayerSide &&
           size.height() <= kMaxLayerSide;
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

// A stamped page as its layers are drawn: its place in the document and its number.
struct PageDrawing
{
    int index = 0;
    PdfPageFrame frame;
    QRectF margins;
    qint64 value = 0;
};

// Pages whose layers are drawn into one layer document: large files are placed in pieces while
// the rest is drawn, at the price of their fonts being embedded once a piece.
constexpr size_t kPagesPerLayerDocument = 1024;

// The first batch, when its pages' frames are read before the page tree is listed: listing the
// rest takes about as long as drawing a fifth of the pages, which the drawing does meanwhile. A
// larger one takes more memory than it saves time.
size_t leadingBatch(size_t stamped)
{
    return std::clamp(stamped / 5, kPagesPerLayerDocument, 2 * kPagesPerLayerDocument);
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
        QString error;
        std::optional<StagedFile> output = StagedFile::create(target, &error);
        if (!output) {
            throw stampFailure(error);
        }
        PdfEditor pdf(source, password);
        // The longest step of an update, copying the source, starts now and runs meanwhile.
        pdf.beginWrite(output->temporaryPath());

        std::vector<IStampItem*> under;
        std::vector<IStampItem*> over;
        for (const auto& stamp : m_stamps) {
            if (stamp->isSelected()) {
                (stamp->isDrawUnderPDFContent() ? under : over).push_back(stamp.get());
            }
        }

        // The stamped pages of a document of `count` pages and their numbers; where each one's
        // layers go is read below.
        int pageCount = 0;
        qint64 pagesValue = 0;
        std::vector<PageDrawing> drawings;
        const auto listDrawings = [&](int count) {
            pageCount = count;
            pagesValue = totalPages > 0 ? totalPages : qint64(count);
            drawings.clear();
            qint64 value = m_numberCounter;
            for (int i = 0; i < count; ++i) {
                if (isPageStamped(*this, qint64(i + 1))) {
                    drawings.push_back({i, {}, {}, value});
                    value += m_numberSteps;
                }
            }
        };
        const auto setFrame = [&](PageDrawing& page, const PdfPageFrame& frame) {
            page.frame = frame;
            page.margins = marginRect(*this, frame.frameBox);
        };
        const auto drawPage = [&](PdfLayerWriter& writer,
                                  size_t item) -> std::optional<PageLayers> {
            const PageDrawing& page = drawings[item];
            if (!isUpdating()) {
                throw stampFailure(QStringLiteral("stopped before page %1 of %2")
                                       .arg(page.index + 1)
                                       .arg(pageCount));
            }
            std::optional<PageLayers> layers;
            if (!usableLayerFrame(page.frame)) { // left out when its frame was read
                return layers;
            }
            guarded(QStringLiteral("Error in [drawPDFNumber:] : %@"), [&] {
                PageLayers drawn;
                drawn.pageIndex = page.index;
                drawn.underLayer =
                    drawLayer(writer, under, page.frame, page.margins, page.value, pagesValue);
                drawn.overLayer =
                    drawLayer(writer, over, page.frame, page.margins, page.value, pagesValue);
                layers = drawn;
            });
            return layers;
        };

        // The layers are drawn on a second thread, a batch at a time, while this one reads the
        // rest of the source, then places each batch as it comes. The first batch starts as soon
        // as its pages' frames are read: before the page tree is listed, with the page count it
        // claims, when its first pages can be read alone; drawn again when the listing finds
        // otherwise. The drawing reads no page past the first batch until the next batch, which
        // starts once every frame is read.
        std::optional<PdfLayerDrawing> drawing;
        size_t framed = 0; // stamped pages whose frames were read before the listing
        const int declared = pdf.declaredPageCount();
        if (declared > 0) {
            listDrawings(declared);
        }
        const size_t leading = std::min(drawings.size(), leadingBatch(drawings.size()));
        if (leading > 0) {
            const size_t reach = size_t(drawings[leading - 1].index) + 1;
            const std::vector<PdfPageFrame> frames = pdf.leadingPageFrames(int(reach));
            const auto first = drawings.begin();
            const auto end = first + ptrdiff_t(leading);
            if (frames.size() == reach && std::all_of(first, end, [&](const PageDrawing& page) {
                    return usableLayerFrame(frames[size_t(page.index)]);
                })) {
                for (auto page = first; page != end; ++page) {
                    setFrame(*page, frames[size_t(page->index)]);
                }
                framed = leading;
                drawing.emplace(drawings.size(), leading, kPagesPerLayerDocument, drawPage);
            }
        }
        const int listed = pdf.pageCount();
        if (drawing && !pdf.leadingFramesHold()) {
            drawing.reset();
            framed = 0;
        }
        if (framed == 0) {
            listDrawings(listed);
        }

        const size_t firstBatch = std::min(drawings.size(), kPagesPerLayerDocument);
        size_t item = 0;
        for (int i = 0; i < pageCount; ++i) {
            if (!isUpdating()) {
                throw stampFailure(
                    QStringLiteral("stopped before page %1 of %2").arg(i + 1).arg(pageCount));
            }
            pdf.dropCropBox(i);
            if (item == drawings.size() || drawings[item].index != i) {
                continue;
            }
            if (item >= framed) {
                guarded(QStringLiteral("Error in [drawPDFNumber:] : %@"), [&] {
                    const PdfPageFrame frame = pdf.pageFrame(i);
                    if (!usableLayerFrame(frame)) {
                        throw stampFailure(
                            QStringLiteral("page %1 has no usable media box").arg(i + 1));
                    }
                    setFrame(drawings[item], frame);
                });
            }
            m_numberCounter += m_numberSteps;
            if (++item == firstBatch && !drawing) {
                drawing.emplace(drawings.size(), firstBatch, kPagesPerLayerDocument, drawPage);
            }
        }
        if (!drawing) { // no page is stamped
            drawing.emplace(0, 1, kPagesPerLayerDocument, drawPage);
        }
        pdf.readAll();
        while (std::optional<DrawnLayerBatch> batch = drawing->next()) {
            if (!batch->document.isEmpty()) {
                pdf.placeLayers(batch->takeLayers(), batch->pages);
            }
        }
        pdf.setCreator(QStringLiteral("Veltrane"));

        PdfWriteOptions options;
        options.keepEncryption = keepsEncryption();
        // A content-derived /ID costs a digest of the whole output, so it is only made when
        // asked for (tests comparing outputs byte for byte).
        options.deterministicId = deterministicPdfIds();
        pdf.write(output->temporaryPath(), options);
        if (!output->commit(&error)) {
            throw stampFailure(error);
        }
        written = true;
    });
    setIsUpdating(false);
    return written;
}

} // namespace veltrane
