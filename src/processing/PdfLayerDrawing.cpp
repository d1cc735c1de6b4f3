#include "processing/PdfLayerDrawing.h"

#include <algorithm>

namespace veltrane {

PdfLayerDrawing::PdfLayerDrawing(size_t items, size_t itemsPerBatch, DrawPage draw)
    : m_items(items), m_itemsPerBatch(std::max<size_t>(1, itemsPerBatch)), m_draw(std::move(draw))
{
    m_thread = std::thread([this] { work(); });
}

PdfLayerDrawing::~PdfLayerDrawing()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_thread.join();
}

void PdfLayerDrawing::work()
{
    try {
        for (size_t first = 0; first < m_items; first += m_itemsPerBatch) {
            PdfLayerWriter writer;
            DrawnLayerBatch batch;
            const size_t end = std::min(m_items, first + m_itemsPerBatch);
            for (size_t item = first; item < end; ++item) {
                {
                    std::lock_guard lock(m_mutex);
                    if (m_stopping) {
                        return;
                    }
                }
                if (std::optional<PageLayers> page = m_draw(writer, item)) {
                    batch.pages.push_back(*page);
                }
            }
            batch.document = writer.finish();
            std::lock_guard lock(m_mutex);
            m_ready.push_back(std::move(batch));
            m_changed.notify_all();
        }
    } catch (...) {
        std::lock_guard lock(m_mutex);
        m_failure = std::current_exception();
    }
    std::lock_guard lock(m_mutex);
    m_finished = true;
    m_changed.notify_all();
}

std::optional<DrawnLayerBatch> PdfLayerDrawing::next()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_failure || !m_ready.empty() || m_finished; });
    if (m_failure) {
        std::rethrow_exception(m_failure);
    }
    if (m_ready.empty()) {
        return std::nullopt;
    }
    DrawnLayerBatch batch = std::move(m_ready.front());
    m_ready.pop_front();
    return batch;
}

} // namespace veltrane
