#include "support/LogCapture.h"

namespace veltrane::test {

LogCapture::LogCapture()
{
    m_previous = setLogSink([this](const QString& line) {
        std::lock_guard lock(m_mutex);
        m_lines.append(line);
    });
}

LogCapture::~LogCapture()
{
    setLogSink(std::move(m_previous));
}

QStringList LogCapture::lines() const
{
    std::lock_guard lock(m_mutex);
    return m_lines;
}

void LogCapture::clear()
{
    std::lock_guard lock(m_mutex);
    m_lines.clear();
}

} // namespace veltrane::test
