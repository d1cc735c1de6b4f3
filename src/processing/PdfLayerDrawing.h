#pragma once

#include "platform/PdfEditor.h"
#include "processing/PdfLayerWriter.h"

#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <QByteArray>
#include <vector>

namespace veltrane {

// Layers drawn into one PDF, and where they go.
struct DrawnLayerBatch
{
    QByteArray document; // empty when none of its pages got a layer
    std::vector<PageLayers> pages;
    // `document` read back, when the drawing thread did that too.
    std::unique_ptr<PdfLayerDocument> layers;

    // `document` read back: here, unless the drawing thread did it.
    std::unique_ptr<PdfLayerDocument> takeLayers();
};

// Draws the stamp layers of a file's stamped pages off the caller's thread, in page order (stamps
// that alternate keep their turns), a batch of pages to a layer document. Handing a batch back
// begins the next one, so that the caller places each batch while the next is drawn.
// A batch embeds the fonts and pictures it uses once: more pages to a batch embed them fewer
// times, fewer pages start the placing sooner.
class PdfLayerDrawing
{
public:
    // Draws the layers of the stamped page `item` (0-based) with `writer`; no value when the
    // page gets none after all. Runs off the caller's thread, one page at a time; what it throws
    // ends the drawing and is thrown again by next().
    using DrawPage = std::function<std::optional<PageLayers>(PdfLayerWriter& writer, size_t item)>;

    // The first batch holds `firstBatchItems` items, each one after `itemsPerBatch`.
    PdfLayerDrawing(size_t items, size_t firstBatchItems, size_t itemsPerBatch, DrawPage draw);
    // Stops the drawing after the page at hand and waits for it.
    ~PdfLayerDrawing();
    PdfLayerDrawing(const PdfLayerDrawing&) = delete;
    PdfLayerDrawing& operator=(const PdfLayerDrawing&) = delete;

    // The next batch in order, waiting for it; no value once every batch was handed back.
    std::optional<DrawnLayerBatch> next();

private:
    void startBatch();
    DrawnLayerBatch drawBatch(size_t batch, size_t first, size_t end) const;

    const size_t m_items;
    const size_t m_firstBatchItems;
    const size_t m_itemsPerBatch;
    const DrawPage m_draw;

    size_t m_nextBatch = 0;
    std::future<DrawnLayerBatch> m_pending; // the batch being drawn
    std::atomic<bool> m_stopping{false};
};

} // namespace veltrane
