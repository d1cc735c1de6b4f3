#pragma once

#include <QString>

namespace veltrane {

// How often one feature was used and how many files it handled in total.
struct FeatureUsages
{
    FeatureUsages() = default;
    FeatureUsages(const QString& name, qint64 usagesCount = 0, qint64 filesCount = 0)
        : name(name), usagesCount(usagesCount), filesCount(filesCount)
    {}

    QString name;
    qint64 usagesCount = 0;
    qint64 filesCount = 0;

    // "name : <name> usagesCount:<n> filesCount:<n>"
    QString description() const;

    friend bool operator==(const FeatureUsages&, const FeatureUsages&) = default;
};

} // namespace veltrane
