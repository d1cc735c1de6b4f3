#pragma once

#include <optional>
#include <QString>

namespace veltrane {

// An output written beside its target under a temporary name and renamed over the target only
// when complete, so the target is either untouched or wholly replaced, even when it is also the
// file being read. The temporary file is removed unless commit() succeeded.
class StagedFile
{
public:
    // Reserves the temporary file in the target's folder; no value (and `error`) when that
    // folder cannot be written.
    static std::optional<StagedFile> create(const QString& targetPath, QString* error);

    StagedFile(StagedFile&& other) noexcept;
    StagedFile& operator=(StagedFile&&) = delete;
    StagedFile(const StagedFile&) = delete;
    ~StagedFile();

    QString temporaryPath() const { return m_temporaryPath; }
    QString targetPath() const { return m_targetPath; }

    // Flushes the temporary file to disk and renames it over the target.
    bool commit(QString* error);

private:
    StagedFile(QString target, QString temporary);

    QString m_targetPath;
    QString m_temporaryPath;
    bool m_committed = false;
};

// Whether two paths name one existing file or folder (same device and inode), whatever their
// spelling: trailing slashes, "..", symbolic links.
bool isSameFile(const QString& a, const QString& b);

// Creates `path` as a new, empty file, atomically: Taken when any file of that name exists
// already (made by this or any other program), Failed when it cannot be made at all.
enum class NewFile { Created, Taken, Failed };
NewFile claimNewFile(const QString& path);

// Copies `source` to `destination` through a staged file, replacing any file there.
bool copyFileReplacing(const QString& source, const QString& destination, QString* error);

} // namespace veltrane
