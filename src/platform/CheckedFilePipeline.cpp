#include "platform/CheckedFilePipeline.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <QFile>
#include <stdexcept>
#include <unistd.h>

namespace veltrane {
namespace {

// QPDFWriter hands over many small pieces: they are gathered into writes of this size.
constexpr size_t kBufferBytes = 1 << 20;
// A source is copied in pieces of this size.
constexpr size_t kCopyBytes = 8 << 20;

} // namespace

CheckedFilePipeline::CheckedFilePipeline(const QString& path)
    : Pipeline("output file", nullptr), m_path(path)
{
    m_fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (m_fd < 0) {
        recordFailure(errno);
        check();
    }
    m_buffer.reserve(kBufferBytes);
}

CheckedFilePipeline::~CheckedFilePipeline()
{
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

void CheckedFilePipeline::recordFailure(int error)
{
    if (m_failure.isEmpty()) {
        m_failure = QStringLiteral("cannot write %1: %2")
                        .arg(m_path, QString::fromLocal8Bit(std::strerror(error)));
    }
}

void CheckedFilePipeline::writeOut(const unsigned char* data, size_t length)
{
    while (length > 0 && m_failure.isEmpty()) {
        const ssize_t written = ::write(m_fd, data, length);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            // A write that took nothing without an error is a full device.
            recordFailure(written < 0 ? errno : ENOSPC);
            break;
        }
        data += written;
        length -= size_t(written);
    }
}

void CheckedFilePipeline::flushBuffer()
{
    writeOut(m_buffer.data(), m_buffer.size());
    m_buffer.clear();
}

void CheckedFilePipeline::write(unsigned char const* data, size_t length)
{
    if (!m_failure.isEmpty()) {
        return;
    }
    if (m_buffer.size() + length > kBufferBytes) {
        flushBuffer();
    }
    if (length >= kBufferBytes) {
        writeOut(data, length);
        return;
    }
    m_buffer.insert(m_buffer.end(), data, data + length);
}

void CheckedFilePipeline::copyFrom(int fd, qint64 length, const std::atomic<bool>* stop)
{
    flushBuffer();
    const off_t base = ::lseek(m_fd, 0, SEEK_CUR);
    off_t offset = 0;
    off_t flushed = 0;
    bool inKernel = true;
    while (offset < length && m_failure.isEmpty()) {
        if (stop && stop->load()) {
            recordFailure(ECANCELED);
            break;
        }
        ssize_t copied = -1;
        if (inKernel) {
            const size_t chunk = size_t(std::min<qint64>(length - offset, kCopyBytes));
            copied = ::copy_file_range(fd, &offset, m_fd, nullptr, chunk, 0);
            // Another file system, a kernel without it, or one that copies nothing instead of
            // saying so: the bytes go through this process.
            if (copied == 0 ||
                (copied < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS ||
                                errno == EOPNOTSUPP || errno == EBADF))) {
                inKernel = false;
                continue;
            }
        } else {
            const size_t chunk = size_t(std::min<qint64>(length - offset, kBufferBytes));
            m_buffer.resize(chunk);
            copied = ::pread(fd, m_buffer.data(), chunk, offset);
            if (copied > 0) {
                writeOut(m_buffer.data(), size_t(copied));
                offset += copied;
            }
            m_buffer.clear();
        }
        if (copied < 0 && errno == EINTR) {
            continue;
        }
        if (copied < 0) {
            recordFailure(errno);
        } else if (copied == 0) {
            // The source ended early: it changed since it was read.
            recordFailure(EIO);
        } else if (base >= 0 && offset - flushed >= off_t(kCopyBytes)) {
            // The disk starts on what is copied while the rest is: the flush before the output
            // is renamed into place then has little left to wait for.
            ::sync_file_range(m_fd, base + flushed, offset - flushed, SYNC_FILE_RANGE_WRITE);
            flushed = offset;
        }
    }
}

void CheckedFilePipeline::finish()
{
    if (m_failure.isEmpty()) {
        flushBuffer();
    }
}

void CheckedFilePipeline::check() const
{
    if (!m_failure.isEmpty()) {
        throw std::runtime_error(m_failure.toStdString());
    }
}

} // namespace veltrane
