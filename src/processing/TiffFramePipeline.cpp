#include "processing/TiffFramePipeline.h"

#include "platform/TiffFile.h"

#include <algorithm>

namespace veltrane {

TiffFramePipeline::TiffFramePipeline(QString source, std::vector<PlannedFrame> plan, int workers,
                                     Stamp stamp, Finish finish, Encode encode)
    : m_source(std::move(source)), m_plan(std::move(plan)), m_stamp(std::move(stamp)),
      m_finish(std::move(finish)), m_encode(std::move(encode)),
      m_ahead(size_t(std::max(workers, 1)))
{
    for (int i = 0; i < std::max(workers, 1); ++i) {
        m_workers.emplace_back([this] { work(); });
    }
}

TiffFramePipeline::~TiffFramePipeline()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    for (std::thread& worker : m_workers) {
        worker.join();
    }
}

void TiffFramePipeline::work()
{
    QString error;
    std::unique_ptr<TiffReader> reader = TiffReader::open(m_source, &error);
    for (;;) {
        size_t item;
        {
            std::unique_lock lock(m_mutex);
            // Frames before a failed one are still finished: they are handed back first.
            auto nothingToStart = [&] {
                return m_stopping || m_nextToStart >= std::min(m_plan.size(), m_failedItem);
            };
            m_changed.wait(
                lock, [&] { return nothingToStart() || m_nextToStart < m_nextToHand + m_ahead; });
            if (nothingToStart()) {
                return;
            }
            item = m_nextToStart++;
        }
        const PlannedFrame& plan = m_plan[item];
        FinishedFrame frame;
        bool undecodable = false;
        if (reader) {
            const std::optional<TiffPageInfo> info = reader->pageInfo(plan.index);
            frame.pixels = reader->readPage(plan.index, &error, &undecodable);
            frame.hasAlpha = info && info->hasAlpha;
        }
        bool made = !frame.pixels.isNull();
        if (made) {
            if (plan.stamped) {
                m_stamp(frame.pixels, plan);
            }
            frame.pixels = m_finish(std::move(frame.pixels), frame.hasAlpha, &error);
            made = !frame.pixels.isNull();
        }
        if (made && m_encode) {
            frame.encoded = m_encode(frame.pixels, plan, &error);
            frame.pixels = QImage();
            made = !frame.encoded.isEmpty();
        }
        {
            std::lock_guard lock(m_mutex);
            if (!made) {
                if (item < m_failedItem) {
                    m_failedItem = item;
                    m_failedUndecodable = undecodable;
                    m_error = error.isEmpty()
                                  ? QStringLiteral("page %1 cannot be read").arg(plan.index + 1)
                                  : error;
                }
            } else {
                m_done.emplace(item, std::move(frame));
            }
        }
        m_changed.notify_all();
    }
}

std::optional<FinishedFrame> TiffFramePipeline::next(QString* error, bool* undecodable)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock,
                   [&] { return m_nextToHand >= m_failedItem || m_done.count(m_nextToHand) > 0; });
    auto it = m_done.find(m_nextToHand);
    if (it == m_done.end()) {
        if (error) {
            *error = m_error;
        }
        if (undecodable) {
            *undecodable = m_failedUndecodable;
        }
        return std::nullopt;
    }
    FinishedFrame frame = std::move(it->second);
    m_done.erase(it);
    ++m_nextToHand;
    lock.unlock();
    m_changed.notify_all();
    return frame;
}

} // namespace veltrane
