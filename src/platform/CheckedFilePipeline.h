#pragma once

#include <atomic>
#include <qpdf/Pipeline.hh>
#include <QString>
#include <QtGlobal>
#include <vector>

namespace veltrane {

// QPDFWriter's output into a file that notices every failed or short write (a full disk, a
// file-size limit), so an incomplete PDF is never taken for a written one, and keeps the
// system's reason ("No space left on device", "File too large"). QPDFWriter calls the pipeline
// from destructors too, where nothing may throw: failures are recorded, later data is dropped,
// and check() reports them once writing is over.
class CheckedFilePipeline : public Pipeline
{
public:
    // Opens (truncating) `path`; throws when it cannot be opened.
    explicit CheckedFilePipeline(const QString& path);
    ~CheckedFilePipeline() override;
    CheckedFilePipeline(const CheckedFilePipeline&) = delete;
    CheckedFilePipeline& operator=(const CheckedFilePipeline&) = delete;

    void write(unsigned char const* data, size_t length) override;
    void finish() override;
    // Writes the first `length` bytes of the file open at `fd` (its own offset untouched),
    // copied inside the kernel where the file systems allow it. A source shorter than `length`
    // is a failure, and so is `stop` set meanwhile.
    void copyFrom(int fd, qint64 length, const std::atomic<bool>* stop = nullptr);

    // Throws with a message naming the file when any write or flush failed.
    void check() const;

private:
    void writeOut(const unsigned char* data, size_t length);
    void flushBuffer();
    void recordFailure(int error);

    QString m_path;
    int m_fd = -1;
    std::vector<unsigned char> m_buffer;
    QString m_failure;
};

} // namespace veltrane
