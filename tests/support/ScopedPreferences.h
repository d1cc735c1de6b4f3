#pragma once

#include "platform/PreferencesStore.h"

#include <QTemporaryDir>

namespace veltrane::test {

// Gives one test an empty preferences store of its own, restoring the previous one after.
class ScopedPreferences
{
public:
    ScopedPreferences() : m_previous(PreferencesStore::shared().filePath())
    {
        PreferencesStore::shared().setFilePath(path());
    }
    ~ScopedPreferences() { PreferencesStore::shared().setFilePath(m_previous); }
    ScopedPreferences(const ScopedPreferences&) = delete;
    ScopedPreferences& operator=(const ScopedPreferences&) = delete;

    QString path() const { return m_dir.filePath(QStringLiteral("Veltrane.plist")); }
    QString folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

} // namespace veltrane::test
