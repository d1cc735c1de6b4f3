#include "platform/PreferencesStore.h"

#include "platform/PropertyList.h"
#include "platform/SystemLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace veltrane {

PreferencesStore::PreferencesStore() : m_path(defaultFilePath()) {}

PreferencesStore& PreferencesStore::shared()
{
    static PreferencesStore store;
    return store;
}

QString PreferencesStore::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Orlavex/Veltrane.plist");
}

void PreferencesStore::setFilePath(const QString& path)
{
    std::lock_guard lock(m_mutex);
    m_path = path;
    m_loaded = false;
    m_damaged = false;
    m_values.clear();
}

QString PreferencesStore::filePath() const
{
    std::lock_guard lock(m_mutex);
    return m_path;
}

void PreferencesStore::loadLocked() const
{
    if (m_loaded) {
        return;
    }
    m_loaded = true;
    m_values.clear();
    if (!QFileInfo::exists(m_path)) {
        return;
    }
    const PlistResult read = readPropertyListFile(m_path);
    if (!read.ok()) {
        m_damaged = true;
        systemLogError(QStringLiteral("Error in (Preferences=>read) : %@"), read.error);
        return;
    }
    if (read.value.typeId() != QMetaType::QVariantMap) {
        m_damaged = true;
        systemLogError(QStringLiteral("Error in (Preferences=>read) : %@"),
                       QStringLiteral("%1 does not hold a dictionary").arg(m_path));
        return;
    }
    m_values = read.value.toMap();
}

QVariant PreferencesStore::value(const QString& key) const
{
    std::lock_guard lock(m_mutex);
    loadLocked();
    return m_values.value(key);
}

void PreferencesStore::setValue(const QString& key, const QVariant& value)
{
    std::lock_guard lock(m_mutex);
    loadLocked();
    m_values.insert(key, value);
}

void PreferencesStore::removeValue(const QString& key)
{
    std::lock_guard lock(m_mutex);
    loadLocked();
    m_values.remove(key);
}

bool PreferencesStore::synchronize(QString* error)
{
    std::lock_guard lock(m_mutex);
    loadLocked();
    // The preferences hold the default password for locked PDFs: the file is the user's
    // alone, and so is a folder made for it.
    const QString folder = QFileInfo(m_path).absolutePath();
    const bool made = !QFileInfo::exists(folder);
    if (!QDir().mkpath(folder) ||
        (made && !QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                    QFileDevice::ExeOwner))) {
        if (error) {
            *error = QStringLiteral("cannot create %1").arg(folder);
        }
        return false;
    }
    if (m_damaged) {
        const QString keep = m_path + QStringLiteral(".damaged");
        QFile::remove(keep);
        QFile::copy(m_path, keep);
        QFile::setPermissions(keep, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        m_damaged = false;
    }
    return writeXmlPropertyListFile(m_values, m_path, error, true);
}

} // namespace veltrane
