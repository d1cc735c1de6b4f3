#include "processing/CheckedFilePipeline.h"

#include <stdexcept>

namespace veltrane {

CheckedFilePipeline::CheckedFilePipeline(const QString& path)
    : Pipeline("output file", nullptr), m_file(path)
{
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        recordFailure();
        check();
    }
}

void CheckedFilePipeline::recordFailure()
{
    if (m_failure.isEmpty()) {
        m_failure =
            QStringLiteral("cannot write %1: %2").arg(m_file.fileName(), m_file.errorString());
    }
}

void CheckedFilePipeline::write(unsigned char const* data, size_t length)
{
    if (!m_failure.isEmpty()) {
        return;
    }
    if (m_file.write(reinterpret_cast<const char*>(data), qint64(length)) != qint64(length)) {
        recordFailure();
    }
}

void CheckedFilePipeline::finish()
{
    if (m_failure.isEmpty() && !m_file.flush()) {
        recordFailure();
    }
}

void CheckedFilePipeline::check() const
{
    if (!m_failure.isEmpty()) {
        throw std::runtime_error(m_failure.toStdString());
    }
}

} // namespace veltrane
