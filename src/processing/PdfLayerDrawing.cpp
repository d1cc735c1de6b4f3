#include "processing/PdfLayerDrawing.h"

#include <algorithm>

namespace veltrane {

PdfLayerDrawing::PdfLayerDrawing(size_t items, size_t itemsPerBatch, DrawPage draw)
    : m_items(items), m_itemsPerBatch(std::max<size_t>(1, itemsPerBatch)), m_draw(std::move(draw))
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
    const size_t first = m_nextBatch * m_itemsPerBatch;
    if (first >= m_items) {
        return;
    }
    ++m_nextBatch;
    // A thread of its own for each batch: the caller's wait for it is also a join, which makes
    // everything the batch wrote visible to the caller.
    m_pending = std::async(std::launch::async, [this, first] {
        return drawBatch(first, std::min(m_items, first + m_itemsPerBatch));
    });
}

DrawnLayerBatch PdfLayerDrawing::drawBatch(size_t first, size_t end) const
{
    PdfLayerWriter writer;
    DrawnLayerBatch batch;
    for (size_t item = first; item < end && !m_stopping.load(); ++item) {
        if (std::optional<PageLayers> page = m_draw(writer, item)) {
            batch.pages.push_back(*page);
        }
    }
    batch.document = writer.finish();
    // Reading a batch back costs about a third of drawing it, or of placing it on the caller's
    // thread, which has the more to do: every other batch is read back here instead.
    if (!batch.document.isEmpty() && (first / m_itemsPerBatch) % 2 == 1) {
        batch.layers = std::make_unique<PdfLayerDocument>(batch.document);
    }
    return batch;
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
