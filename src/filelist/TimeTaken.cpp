#include "filelist/TimeTaken.h"

namespace veltrane {

QString timeTakenLabel(const QString& timeTaken, qint64 done, qint64 total)
{
    return QStringLiteral("Total Time Taken : %1 %2/%3").arg(timeTaken).arg(done).arg(total);
}

QString timeTakenString(const QDateTime& start, const QDateTime& end)
{
    if (!start.isValid() || !end.isValid()) {
        return {};
    }
    const qint64 seconds = start.secsTo(end);
    const qint64 hours = seconds / 3600;
    const qint64 minutes = (seconds % 3600) / 60;
    const qint64 secs = seconds % 60;
    QString text;
    if (hours > 0) {
        text += QStringLiteral("%1 hr(s) ").arg(hours);
    }
    if (minutes > 0) {
        text += QStringLiteral("%1 min(s) ").arg(minutes);
    }
    if (secs >= 1) {
        text += QStringLiteral("%1 sec(s) ").arg(secs);
    }
    return text;
}

} // namespace veltrane
