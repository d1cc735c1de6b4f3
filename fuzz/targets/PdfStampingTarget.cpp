#include "FuzzEnvironment.h"
#include "FuzzTargets.h"
#include "StampJob.h"

#include <QFile>

namespace veltrane::fuzz {

int pdfStamping(const uint8_t* data, size_t size)
{
    const QString source =
        writeInput(QStringLiteral("source.pdf"), reinterpret_cast<const char*>(data), size);
    const QString target = workFolder() + QStringLiteral("/stamped.pdf");
    Numbering& job = stampJob();
    job.setNumberCounter(1);
    job.processPDF(source, target, QString(), 0);
    QFile::remove(target);
    return 0;
}

} // namespace veltrane::fuzz
