#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <sys/mount.h>
#include <unistd.h>

namespace veltrane::test {

// An empty folder that a test can turn read-only while files are written into it. Root writes
// through folder permissions, so for root the folder is a tmpfs of its own, remounted read-only;
// for anyone else it loses its write permission.
class LockableFolder
{
public:
    // `size` bounds the tmpfs ("400k"), so that root can also fill the folder up.
    explicit LockableFolder(const char* size = "8m")
    {
        const QByteArray options = QByteArray("size=") + size;
        m_mounted = ::geteuid() == 0 && ::mount("tmpfs", QFile::encodeName(path()).constData(),
                                                "tmpfs", 0, options.constData()) == 0;
    }
    ~LockableFolder()
    {
        if (m_mounted) {
            ::umount2(QFile::encodeName(path()).constData(), MNT_DETACH);
        } else {
            QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    }
    LockableFolder(const LockableFolder&) = delete;
    LockableFolder& operator=(const LockableFolder&) = delete;

    QString path() const { return m_dir.path(); }
    bool isSmallDisk() const { return m_mounted; }
    // False for root where nothing can be mounted: the folder cannot be locked then.
    bool canLock() const { return m_mounted || ::geteuid() != 0; }
    bool lock()
    {
        return m_mounted ? ::mount("tmpfs", QFile::encodeName(path()).constData(), "tmpfs",
                                   MS_REMOUNT | MS_RDONLY, nullptr) == 0
                         : QFile::setPermissions(path(), QFile::ReadOwner | QFile::ExeOwner);
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

} // namespace veltrane::test
