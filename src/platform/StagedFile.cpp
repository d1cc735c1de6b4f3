#include "platform/StagedFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <sys/stat.h>
#include <unistd.h>

namespace veltrane {
namespace {

void setError(QString* error, const QString& message)
{
    if (error) {
        *error = message;
    }
}

bool syncFile(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

} // namespace

StagedFile::StagedFile(QString target, QString temporary)
    : m_targetPath(std::move(target)), m_temporaryPath(std::move(temporary))
{}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : m_targetPath(std::move(other.m_targetPath)),
      m_temporaryPath(std::move(other.m_temporaryPath)), m_committed(other.m_committed)
{
    other.m_committed = true; // the moved-from object owns nothing
}

StagedFile::~StagedFile()
{
    if (!m_committed && !m_temporaryPath.isEmpty()) {
        QFile::remove(m_temporaryPath);
    }
}

std::optional<StagedFile> StagedFile::create(const QString& targetPath, QString* error)
{
    const QFileInfo target(targetPath);
    QTemporaryFile temporary(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                             QStringLiteral(".XXXXXX.part"));
    temporary.setAutoRemove(false);
    if (!temporary.open()) {
        setError(error, QStringLiteral("cannot write in %1: %2")
                            .arg(target.absolutePath(), temporary.errorString()));
        return std::nullopt;
    }
    const QString path = temporary.fileName();
    temporary.close();
    return StagedFile(target.absoluteFilePath(), path);
}

bool StagedFile::commit(QString* error)
{
    if (m_committed) {
        return true;
    }
    if (!syncFile(m_temporaryPath)) {
        setError(error, QStringLiteral("cannot write %1: %2")
                            .arg(m_targetPath, QString::fromLocal8Bit(std::strerror(errno))));
        return false;
    }
    // Keep the target's permissions when replacing it; a new file gets the usual ones.
    struct stat st;
    if (::stat(QFile::encodeName(m_targetPath).constData(), &st) == 0) {
        ::chmod(QFile::encodeName(m_temporaryPath).constData(), st.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::chmod(QFile::encodeName(m_temporaryPath).constData(), 0666 & ~mask);
    }
    if (std::rename(QFile::encodeName(m_temporaryPath).constData(),
                    QFile::encodeName(m_targetPath).constData()) != 0) {
        setError(error, QStringLiteral("cannot replace %1: %2")
                            .arg(m_targetPath, QString::fromLocal8Bit(std::strerror(errno))));
        return false;
    }
    m_committed = true;
    return true;
}

bool isSameFile(const QString& a, const QString& b)
{
    struct stat sa, sb;
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0 ||
        ::stat(QFile::encodeName(b).constData(), &sb) != 0) {
        return false;
    }
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

NewFile claimNewFile(const QString& path)
{
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return errno == EEXIST ? NewFile::Taken : NewFile::Failed;
    }
    ::close(fd);
    return NewFile::Created;
}

bool copyFileReplacing(const QString& source, const QString& destination, QString* error)
{
    auto staged = StagedFile::create(destination, error);
    if (!staged) {
        return false;
    }
    QFile::remove(staged->temporaryPath());
    if (!QFile::copy(source, staged->temporaryPath())) {
        setError(error, QStringLiteral("cannot copy %1 to %2").arg(source, destination));
        return false;
    }
    return staged->commit(error);
}

} // namespace veltrane
