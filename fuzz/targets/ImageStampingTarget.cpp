#include "FuzzEnvironment.h"
#include "FuzzTargets.h"
#include "StampJob.h"

#include <QFile>

namespace veltrane::fuzz {

int imageStamping(const uint8_t* data, size_t size)
{
    if (size < 1) {
        return 0;
    }
    const QString source = writeInput(QStringLiteral("source.") + extensionFor(data[0]),
                                      reinterpret_cast<const char*>(data + 1), size - 1);
    const QString target = workFolder() + QStringLiteral("/stamped.tif");
    Numbering& job = stampJob();
    job.setNumberCounter(1);
    // The compression follows the selector too, so every codec is written.
    static const qint32 codes[] = {1, 5, 7, 8, 32773};
    job.processTIFF(source, target, 0, codes[data[0] % 5]);
    QFile::remove(target);
    QFile::remove(source);
    return 0;
}

} // namespace veltrane::fuzz
