#include "platform/InputFile.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

namespace veltrane {
namespace {

QString systemText(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("not found");
    case EACCES:
    case EPERM:
        return QStringLiteral("permission denied");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

bool isValidUtf8(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

struct DirCloser
{
    void operator()(DIR* dir) const { ::closedir(dir); }
};

} // namespace

QString inputFileProblem(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (::stat(name.constData(), &st) != 0) {
        const int error = errno;
        if (error == ENOENT && path.contains(QChar::ReplacementCharacter)) {
            return QStringLiteral("file name is not valid UTF-8");
        }
        return systemText(error);
    }
    if (!S_ISREG(st.st_mode)) {
        return S_ISDIR(st.st_mode) ? QStringLiteral("a folder, not a file")
                                   : QStringLiteral("not a regular file");
    }
    // O_NONBLOCK: should the file turn into a FIFO meanwhile, the open must not wait.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return systemText(errno);
    }
    ::close(fd);
    return {};
}

QList<UndecodableEntry> undecodableEntries(const QString& folder)
{
    QList<UndecodableEntry> entries;
    const QByteArray path = QFile::encodeName(folder);
    std::unique_ptr<DIR, DirCloser> dir(::opendir(path.constData()));
    if (!dir) {
        return entries;
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        const QByteArray bytes(entry->d_name);
        if (bytes.startsWith('.') || isValidUtf8(bytes)) {
            continue;
        }
        struct stat st;
        const bool isFolder =
            ::fstatat(::dirfd(dir.get()), entry->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        entries.append({QString::fromUtf8(bytes), isFolder});
    }
    return entries;
}

} // namespace veltrane
