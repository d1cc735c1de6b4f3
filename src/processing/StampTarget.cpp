#include "processing/StampTarget.h"

#include "platform/StagedFile.h"

namespace veltrane {

StampTarget::StampTarget(const QString& source, const QString& target)
    : m_source(source), m_inPlace(isSameFile(source, target))
{}

void StampTarget::backUpSource(bool isBackupFile) const
{
    if (!m_inPlace || !isBackupFile) {
        return;
    }
    QString error;
    if (!copyFileReplacing(m_source, m_source + QStringLiteral(".bak"), &error)) {
        throw stampFailure(error);
    }
}

std::runtime_error stampFailure(const QString& message)
{
    return std::runtime_error(message.toStdString());
}

} // namespace veltrane
