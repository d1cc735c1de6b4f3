#include "platform/SystemLog.h"

#include <cstdio>
#include <mutex>
#include <new>
#include <QByteArray>
#include <syslog.h>

namespace veltrane {
namespace {

std::mutex& sinkMutex()
{
    static std::mutex m;
    return m;
}

LogSink& currentSink()
{
    static LogSink sink;
    return sink;
}

void writeToSystem(const QString& line)
{
    static std::once_flag opened;
    std::call_once(opened, [] { openlog("Veltrane", LOG_PID, LOG_USER); });
    const QByteArray utf8 = line.toUtf8();
    syslog(LOG_ERR, "%s", utf8.constData());
    std::fprintf(stderr, "%s\n", utf8.constData());
}

} // namespace

void systemLog(const QString& line)
{
    LogSink sink;
    {
        std::lock_guard lock(sinkMutex());
        sink = currentSink();
    }
    if (sink) {
        sink(line);
    } else {
        writeToSystem(line);
    }
}

void systemLogError(const QString& format, const QString& reason)
{
    QString line = format;
    const qsizetype at = line.indexOf(QLatin1String("%@"));
    if (at >= 0) {
        line.replace(at, 2, reason);
    }
    systemLog(line);
}

LogSink setLogSink(LogSink sink)
{
    std::lock_guard lock(sinkMutex());
    LogSink previous = std::move(currentSink());
    currentSink() = std::move(sink);
    return previous;
}

QString exceptionReason(const std::exception& e)
{
    if (dynamic_cast<const std::bad_alloc*>(&e)) {
        return QStringLiteral("out of memory");
    }
    return QString::fromUtf8(e.what());
}

} // namespace veltrane
