#pragma once

#include <mutex>
#include <QString>
#include <QVariant>
#include <QVariantMap>

namespace veltrane {

// The per-user preferences: one XML property list holding a dictionary, by default
// ~/.config/Orlavex/Veltrane.plist. Entries are read from the file on first use and written
// back, atomically, by synchronize(). Any thread may call; access is serialised.
//
// A file that exists but cannot be read is logged once, the store starts empty, and the first
// synchronize() keeps the unreadable file beside the new one as "<name>.damaged".
class PreferencesStore
{
public:
    static PreferencesStore& shared();

    static QString defaultFilePath();

    // Points the store at another file and forgets what was loaded (tests use a temporary
    // folder).
    void setFilePath(const QString& path);
    QString filePath() const;

    // An invalid QVariant when the key is absent.
    QVariant value(const QString& key) const;
    void setValue(const QString& key, const QVariant& value);
    void removeValue(const QString& key);

    // Writes every entry to the file; false (and `error`) when it could not be written, the
    // previous file then being left as it was.
    bool synchronize(QString* error = nullptr);

private:
    PreferencesStore();
    void loadLocked() const;

    mutable std::mutex m_mutex;
    QString m_path;
    mutable bool m_loaded = false;
    mutable bool m_damaged = false;
    mutable QVariantMap m_values;
};

} // namespace veltrane
