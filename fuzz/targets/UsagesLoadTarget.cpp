#include "FuzzEnvironment.h"
#include "FuzzTargets.h"
#include "usage/UsagesFile.h"

#include <stdexcept>

namespace veltrane::fuzz {

int usagesLoad(const uint8_t* data, size_t size)
{
    const QString path =
        writeInput(QStringLiteral("Usages.Log"), reinterpret_cast<const char*>(data), size);
    UsagesRecord record;
    try {
        loadUsagesFile(path, record);
    } catch (const std::runtime_error&) {
        return 0; // refused, as it should be
    }
    // Whatever was read must write back as a document that reads back the same.
    UsagesRecord again;
    if (!readUsagesXml(usagesToXml(record), again, nullptr) || again.features != record.features) {
        __builtin_trap();
    }
    return 0;
}

QByteArray sampleUsagesLog()
{
    UsagesRecord record;
    record.productName = QStringLiteral("Veltrane");
    record.version = QStringLiteral("0.1");
    record.buildDate = QDateTime::fromSecsSinceEpoch(1'700'000'000);
    record.lastReportSentOn = record.buildDate;
    record.lastReviewAskDate = record.buildDate;
    record.features << FeatureUsages{QStringLiteral("Output Files"), 3, 1600};
    return usagesToXml(record);
}

} // namespace veltrane::fuzz
