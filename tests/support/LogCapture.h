#pragma once

#include "platform/SystemLog.h"

#include <mutex>
#include <QStringList>

namespace veltrane::test {

// Collects every failure line written while it lives, instead of syslog and stderr.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    QStringList lines() const;
    void clear();

private:
    mutable std::mutex m_mutex;
    QStringList m_lines;
    LogSink m_previous;
};

} // namespace veltrane::test
