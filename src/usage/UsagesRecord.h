#pragma once

#include "usage/FeatureUsages.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace veltrane {

// What the usage record holds; everything but reviewURL, isReviewEnabled and
// reviewFileCountLimit is kept in the usage file.
struct UsagesRecord
{
    QDateTime lastReviewAskDate;
    QString reviewURL;
    QString hardwareUUID; // written to the file, never read back from it
    QDateTime lastReportSentOn;
    QList<FeatureUsages> features;
    QDateTime buildDate;
    QString version;
    QString productName;
    bool isEnabled = false; // the user allows usage reporting
    bool isReviewEnabled = false;
    qint64 reviewFileCountLimit = 0;
    bool neverAskForReview = false;
    qint64 nextReviewTargetValue = 0;

    friend bool operator==(const UsagesRecord&, const UsagesRecord&) = default;
};

// The sum of the features' file counts, held at the qint64 bounds instead of overflowing (the
// counts come from a file anyone can edit).
qint64 totalFilesCount(const QList<FeatureUsages>& features);

// a + b held at the qint64 bounds.
qint64 saturatingAdd(qint64 a, qint64 b);

} // namespace veltrane
