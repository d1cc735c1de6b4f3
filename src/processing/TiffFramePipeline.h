#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <QImage>
#include <QString>
#include <thread>
#include <vector>

namespace veltrane {

// One frame of a TIFF as the stamping plans it: which page, and what to draw on it.
struct PlannedFrame
{
    int index = 0; // page of the source, 0-based
    bool stamped = false;
    qint64 number = 0;           // the running number it prints
    std::vector<qint32> anchors; // one per switched-on stamp, in list order
    double xDpi = 72;            // the resolution its page is written with
    double yDpi = 72;
};

// A finished frame: its pixels, or, when the pipeline compresses, a one-page TIFF in memory.
struct FinishedFrame
{
    QImage pixels;
    bool hasAlpha = false;
    QByteArray encoded;
};

// Decodes, stamps and finishes the planned pages of a TIFF on worker threads, each with its own
// reader, and hands them back in plan order. At most a few frames are in flight at once, so
// memory stays flat however many pages the file has. The stamp and finish functions run on the
// workers and must only read shared state.
class TiffFramePipeline
{
public:
    using Stamp = std::function<void(QImage&, const PlannedFrame&)>;
    using Finish = std::function<QImage(QImage, bool hasAlpha, QString* error)>;
    // Compresses a finished frame into a one-page TIFF; an empty result (and `error`) on failure.
    using Encode = std::function<QByteArray(const QImage&, const PlannedFrame&, QString* error)>;

    // With `encode`, frames are handed back compressed, their pixels let go of.
    TiffFramePipeline(QString source, std::vector<PlannedFrame> plan, int workers, Stamp stamp,
                      Finish finish, Encode encode = {});
    ~TiffFramePipeline();
    TiffFramePipeline(const TiffFramePipeline&) = delete;
    TiffFramePipeline& operator=(const TiffFramePipeline&) = delete;

    // The next frame in plan order; no value (and `error`) when it failed, with `undecodable`
    // set when its data did not decode. Frames after a failed one are not made.
    std::optional<FinishedFrame> next(QString* error, bool* undecodable = nullptr);

private:
    void work();

    const QString m_source;
    const std::vector<PlannedFrame> m_plan;
    const Stamp m_stamp;
    const Finish m_finish;
    const Encode m_encode;
    const size_t m_ahead;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    size_t m_nextToStart = 0;
    size_t m_nextToHand = 0;
    std::map<size_t, FinishedFrame> m_done;
    size_t m_failedItem = SIZE_MAX; // the first frame in plan order that failed
    bool m_failedUndecodable = false;
    QString m_error;
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};

} // namespace veltrane
