#include "FuzzEnvironment.h"
#include "FuzzTargets.h"
#include "model/Numbering.h"
#include "platform/PropertyList.h"

namespace veltrane::fuzz {

int profileLoad(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    readPropertyList(bytes);
    Numbering job;
    if (job.load(writeInput(QStringLiteral("profile.vlt"), bytes.constData(), size))) {
        // A loaded job must also save and load back.
        const QString copy = workFolder() + QStringLiteral("/copy.vlt");
        if (job.save(copy)) {
            Numbering again;
            again.load(copy);
        }
    }
    return 0;
}

} // namespace veltrane::fuzz
