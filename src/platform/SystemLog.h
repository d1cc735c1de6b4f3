#pragma once

#include <exception>
#include <functional>
#include <QString>
#include <utility>

namespace veltrane {

// The one place that writes an operation's failure line. A line goes to syslog (ident
// "Veltrane", facility user) and to stderr, or, while a sink is installed, to that sink only.
// Any thread may call these functions.

using LogSink = std::function<void(const QString& line)>;

// Writes one line exactly as given.
void systemLog(const QString& line);

// Writes `format` with its "%@" placeholder replaced by `reason`, as in
// "Error in (Numbering=>setData:) : %@".
void systemLogError(const QString& format, const QString& reason);

// Installs a sink that receives every line instead of syslog and stderr; an empty sink restores
// the default. Returns the sink that was installed before.
LogSink setLogSink(LogSink sink);

// The reason text of an exception caught at a guard.
QString exceptionReason(const std::exception& e);

// Runs `work`; any exception it throws is caught and written with `format`. Returns false when
// it caught one, with its reason in `reason` when given. The work done before the failure stays
// done.
template <typename Work> bool guarded(const QString& format, QString* reason, Work&& work)
{
    QString why;
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        why = exceptionReason(e);
    } catch (...) {
        why = QStringLiteral("unknown error");
    }
    systemLogError(format, why);
    if (reason) {
        *reason = why;
    }
    return false;
}

template <typename Work> bool guarded(const QString& format, Work&& work)
{
    return guarded(format, nullptr, std::forward<Work>(work));
}

} // namespace veltrane
