#include "usage/FeatureUsages.h"

namespace veltrane {

QString FeatureUsages::description() const
{
    return QStringLiteral("name : %1 usagesCount:%2 filesCount:%3")
        .arg(name, QString::number(usagesCount), QString::number(filesCount));
}

} // namespace veltrane
