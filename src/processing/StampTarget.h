#pragma once

#include <QString>
#include <stdexcept>

namespace veltrane {

// The target side of stamping one file, shared by every format.
class StampTarget
{
public:
    // Looks at the two paths: whether the target is the source itself (any spelling). A file
    // already at the target is left alone: only a complete output is renamed over it.
    StampTarget(const QString& source, const QString& target);

    bool inPlace() const { return m_inPlace; }

    // When stamping in place with backups on, copies the source to "<source>.bak" (replacing an
    // older backup); throws with the reason when that copy cannot be made.
    void backUpSource(bool isBackupFile) const;

private:
    QString m_source;
    bool m_inPlace = false;
};

// An exception carrying a message for the operation's failure line.
std::runtime_error stampFailure(const QString& message);

} // namespace veltrane
