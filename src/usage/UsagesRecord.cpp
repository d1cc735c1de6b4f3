#include "usage/UsagesRecord.h"

#include <limits>
#include <QtNumeric>

namespace veltrane {

qint64 saturatingAdd(qint64 a, qint64 b)
{
    qint64 sum = 0;
    if (!qAddOverflow(a, b, &sum)) {
        return sum;
    }
    return b > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
}

qint64 totalFilesCount(const QList<FeatureUsages>& features)
{
    qint64 total = 0;
    for (const FeatureUsages& feature : features) {
        total = saturatingAdd(total, feature.filesCount);
    }
    return total;
}

} // namespace veltrane
