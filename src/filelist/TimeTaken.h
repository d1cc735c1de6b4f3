#pragma once

#include <QDateTime>
#include <QString>

namespace veltrane {

// "1 hr(s) 2 min(s) 5 sec(s) " style duration; "" under a second or without both dates.
QString timeTakenString(const QDateTime& start, const QDateTime& end);

// The status label of a run or a gathering: "Total Time Taken : <time taken> <done>/<total>".
QString timeTakenLabel(const QString& timeTaken, qint64 done, qint64 total);

} // namespace veltrane
