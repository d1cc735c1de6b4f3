#pragma once

#include "model/Numbering.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <QImage>
#include <QList>
#include <QObject>
#include <QSizeF>
#include <QString>
#include <thread>

namespace veltrane {

// What one preview image is made of: a copy of the job taken when it was asked for (the worker
// never sees the edited job), and either the sample page or page 1 of a listed file.
struct PreviewRequest
{
    std::shared_ptr<Numbering> job;
    bool live = false;
    // Live page: the file, its index in the list and the page counts of the whole list.
    QString filePath;
    qint64 fileIndex = -1;
    QList<qint64> filePages;
    // "{1}" of the page shown (0 on a live page: the file's own count).
    qint64 totalPages = 4;
    // Size of the sample page in points, and of the fallback when a live page cannot be shown.
    QSizeF size{595, 842};
    qint32 highlightStampIndex = -1;
    // Pixels per point of the sample page (the screen's device pixel ratio times the zoom of the
    // view), so that it is drawn sharp rather than scaled up.
    double scale = 1.0;
};

// Makes preview images on a worker thread of its own. Only the newest request is made: one that
// is replaced before the worker takes it is dropped, and previewReady() carries the generation
// that request() returned, so the receiver can drop a result older than its last request.
// request() and the destructor belong to the thread that made the renderer; previewReady()
// arrives on that thread through the event loop (queued).
class PreviewRenderer : public QObject
{
    Q_OBJECT
public:
    explicit PreviewRenderer(QObject* parent = nullptr);
    ~PreviewRenderer() override;

    quint64 request(PreviewRequest request);
    quint64 latestGeneration() const { return m_generation; }

    // Makes the image of one request on the calling thread (what the worker does).
    static QImage render(const PreviewRequest& request);

signals:
    void previewReady(quint64 generation, const QImage& image);

private:
    void work();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<std::pair<quint64, PreviewRequest>> m_pending;
    bool m_stopping = false;
    quint64 m_generation = 0;
    std::thread m_worker;
};

} // namespace veltrane
