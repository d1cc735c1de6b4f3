#include "processing/PdfLayerDrawing.h"

#include <algorithm>

namespace veltrane {

PdfLayerDrawing::PdfLayerDrawing(size_t items, size_t firstBatchItems, size_t itemsPerBatch,
                                 DrawPage draw)
    : m_items(items), m_firstBatchItems(std::max<size_t>(1, firstBatchItems)),
      m_itemsPerBatch(std::max<size_t>(1, itemsPerBatch)), m_draw(std::move(draw))
{
    startBatch();
}

PdfLayerDrawing::~PdfLayerDrawing()
{
    m_stopping.store(true);
    if (m_pending.valid()) {
        m_pending.wait();
    }
}

void PdfLayerDrawing::startBatch()
{
    const size_t batch = m_nextBatch;
    const size_t first = batch == 0 ? 0 : m_firstBatchItems + (batch - 1) * m_itemsPerBatch;
    if (first >= m_items) {
        return;
    }
    ++m_nextBatch;
    const size_t end =
        std::min(m_items, first + (batch == 0 ? m_firstBatchItems : m_itemsPerBatch));
    // A thread of its own for each batch: the caller's wait for it is also a join, which makes
    // everything the batch wrote visible to the caller.
    m_pending = std::async(std::launch::async,
                           [this, batch, first, end] { return drawBatch(batch, first, end); });
}

DrawnLayerBatch PdfLayerDrawing::drawBatch(size_t batch, size_t first, size_t end) const
{
    PdfLayerWriter writer;
    DrawnLayerBatch drawn;
    for (size_t item = first; item < end && !m_stopping.load(); ++item) {
        if (std::optional<PageLayers> page = m_draw(writer, item)) {
            drawn.pages.push_back(*page);
        }
    }
    drawn.document = writer.finish();
    // Reading a batch back costs about a third of drawing it, or of placing it on the caller's
    // thread, which has the more to do: every other batch is read back here instead, the first
    // among them, drawn while the caller is still reading the source.
    if (!drawn.document.isEmpty() && batch % 2 == 0) {
        drawn.layers = std::make_unique<PdfLayerDocument>(drawn.document);
    }
    return drawn;
}

std::unique_ptr<PdfLayerDocument> DrawnLayerBatch::takeLayers()
{
    return layers ? std::move(layers) : std::make_unique<PdfLayerDocument>(document);
}

std::optional<DrawnLayerBatch> PdfLayerDrawing::next()
{
    if (!m_pending.valid()) {
        return std::nullopt;
    }
    DrawnLayerBatch batch = m_pending.get();
    startBatch();
    return batch;
}

} // namespace veltrane
