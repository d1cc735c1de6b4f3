#pragma once

#include "platform/PdfEditor.h"
#include "processing/PdfLayerWriter.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <QByteArray>
#include <thread>
#include <vector>

namespace veltrane {

// Layers drawn into one PDF, and where they go.
struct DrawnLayerBatch
{
    QByteArray document; // empty when none of its pages got a layer
    std::vector<PageLayers> pages;
};

// Draws the stamp layers of a file's stamped pages on a thread of its own, in page order (stamps
// that alternate keep their turns), a batch of pages to a layer document. Each batch is handed
// back as soon as it is drawn, so that the caller can place it while the next one is drawn.
// A batch embeds the fonts and pictures it uses once: more pages to a batch embed them fewer
// times, fewer pages start the placing sooner.
class PdfLayerDrawing
{
public:
    // Draws the layers of the stamped page `item` (0-based) with `writer`; no value when the
    // page gets none after all. Runs on the drawing thread; what it throws ends the drawing and
    // is thrown again by next().
    using DrawPage = std::function<std::optional<PageLayers>(PdfLayerWriter& writer, size_t item)>;

    PdfLayerDrawing(size_t items, size_t itemsPerBatch, DrawPage draw);
    // Stops the drawing after the page at hand and waits for it.
    ~PdfLayerDrawing();
    PdfLayerDrawing(const PdfLayerDrawing&) = delete;
    PdfLayerDrawing& operator=(const PdfLayerDrawing&) = delete;

    // The next batch in order, waiting for it; no value once every batch was handed back.
    std::optional<DrawnLayerBatch> next();

private:
    void work();

    const size_t m_items;
    const size_t m_itemsPerBatch;
    const DrawPage m_draw;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<DrawnLayerBatch> m_ready;
    std::exception_ptr m_failure;
    bool m_finished = false;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace veltrane
