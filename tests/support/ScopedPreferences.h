#pragma once

#include "platform/PreferencesStore.h"

#include <QTemporaryDir>

namespace veltrane::test {

// Gives one test an empty preferences store of its own, restoring the previous one after.
class ScopedPreferences
{
public:
    // `relativeFile` may lie in a subfolder, which the store then makes itself.
    explicit ScopedPreferences(const QString& relativeFile = QStringLiteral("Veltrane.plist"))
        : m_path(m_dir.filePath(relativeFile)), m_previous(PreferencesStore::shared().filePath())
    {
        PreferencesStore::shared().setFilePath(m_path);
    }
    ~ScopedPreferences() { PreferencesStore::shared().setFilePath(m_previous); }
    ScopedPreferences(const ScopedPreferences&) = delete;
    ScopedPreferences& operator=(const ScopedPreferences&) = delete;

    QString path() const { return m_path; }
    QString folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_path;
    QString m_previous;
};

} // namespace veltrane::test
