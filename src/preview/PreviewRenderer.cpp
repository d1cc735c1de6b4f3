#include "preview/PreviewRenderer.h"

#include "platform/SystemLog.h"

namespace veltrane {

PreviewRenderer::PreviewRenderer(QObject* parent) : QObject(parent)
{
    m_worker = std::thread([this] { work(); });
}

PreviewRenderer::~PreviewRenderer()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_pending.reset();
    }
    m_wake.notify_one();
    m_worker.join();
}

quint64 PreviewRenderer::request(PreviewRequest request)
{
    const quint64 generation = ++m_generation;
    {
        std::lock_guard lock(m_mutex);
        m_pending.emplace(generation, std::move(request));
    }
    m_wake.notify_one();
    return generation;
}

QImage PreviewRenderer::render(const PreviewRequest& request)
{
    QImage image;
    if (!request.job) {
        return image;
    }
    Numbering& job = *request.job;
    if (request.live) {
        guarded(QStringLiteral("Error in (Numbering=>previewLive:filePath:fileIndex:pageIndex:"
                               "filePagesList:totalPages:size:highlightStampIndex:) : %@"),
                [&] {
                    image = job.previewLive(request.filePath, request.fileIndex, 1,
                                            request.filePages, request.totalPages, request.size,
                                            request.highlightStampIndex);
                });
    } else {
        guarded(QStringLiteral("Error in (Numbering=>preview2) : %@"), [&] {
            image = job.preview2(request.totalPages, request.size, request.highlightStampIndex,
                                 request.scale);
        });
    }
    return image;
}

void PreviewRenderer::work()
{
    for (;;) {
        std::pair<quint64, PreviewRequest> next;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || m_pending.has_value(); });
            if (m_stopping) {
                return;
            }
            next = std::move(*m_pending);
            m_pending.reset();
        }
        const QImage image = render(next.second);
        {
            // A newer request is already waiting: this image would be dropped anyway.
            std::lock_guard lock(m_mutex);
            if (m_stopping || m_pending.has_value()) {
                continue;
            }
        }
        emit previewReady(next.first, image);
    }
}

} // namespace veltrane
