#include "diskstamp.h"

#include <QCryptographicHash>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

DiskStamp DiskStamp::quick(const QString& path)
{
    DiskStamp stamp;
    struct stat status {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &status) != 0)
        return stamp;
    stamp.size = qint64(status.st_size);
    stamp.modifiedNs = qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    stamp.inode = qint64(status.st_ino);
    if (S_ISDIR(status.st_mode))
        stamp.kind = Kind::Folder;
    else if (!S_ISREG(status.st_mode))
        stamp.kind = Kind::Other;
    else
        stamp.kind = ::access(QFile::encodeName(path).constData(), R_OK) == 0 ? Kind::File
                                                                              : Kind::Unreadable;
    return stamp;
}

DiskStamp DiskStamp::of(const QString& path)
{
    DiskStamp stamp = quick(path);
    if (stamp.kind != Kind::File || stamp.size > HashLimit)
        return stamp;
    // Opened without blocking: a regular file now may be a pipe by the time it
    // is opened, and a pipe must never hold the program up.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        stamp.kind = Kind::Unreadable;
        return stamp;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return quick(path);
    }
    QCryptographicHash hash(QCryptographicHash::Sha1);
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            ::close(fd);
            stamp.kind = Kind::Unreadable;
            return stamp;
        }
        if (got == 0)
            break;
        hash.addData(QByteArrayView(buffer, got));
    }
    ::close(fd);
    // The stamp describes the file that was read, should it have changed meanwhile.
    stamp.size = qint64(status.st_size);
    stamp.modifiedNs = qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    stamp.inode = qint64(status.st_ino);
    stamp.hash = hash.result();
    return stamp;
}

QByteArray DiskStamp::hashOf(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}
