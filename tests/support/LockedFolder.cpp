#include "LockedFolder.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

LockedFolder::LockedFolder(const QString& path) : path_(path) {
    QFile::setPermissions(path_, QFile::ReadOwner | QFile::ExeOwner);
    if (writable()) immutable_ = setImmutable(true);
    locked_ = !writable();
}

LockedFolder::~LockedFolder() {
    if (immutable_) setImmutable(false);
    QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

bool LockedFolder::writable() const {
    QFile probe(QDir(path_).filePath(QStringLiteral("probe")));
    if (!probe.open(QIODevice::WriteOnly)) return false;
    probe.remove();
    return true;
}

bool LockedFolder::setImmutable(bool on) const {
    const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return ok;
}
