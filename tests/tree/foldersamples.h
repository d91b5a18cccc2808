#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

// Builders of real folders for the folder tree's tests.
namespace FolderSamples {

inline bool makeFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

inline bool makeFolder(const QString& path)
{
    return QDir().mkpath(path);
}

inline bool makeLink(const QString& target, const QString& path)
{
    return QFile::link(target, path);
}

inline bool makeFifo(const QString& path)
{
    return mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
}

// A bound socket leaves its entry behind when closed.
inline bool makeSocket(const QString& path)
{
    const QByteArray encoded = QFile::encodeName(path);
    sockaddr_un address{};
    if (size_t(encoded.size()) >= sizeof(address.sun_path))
        return false;
    address.sun_family = AF_UNIX;
    memcpy(address.sun_path, encoded.constData(), encoded.size());
    const int descriptor = socket(AF_UNIX, SOCK_STREAM, 0);
    if (descriptor < 0)
        return false;
    const bool bound = bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(descriptor);
    return bound;
}

// Names of a folder holding one of each kind of entry the tree may meet:
// hidden ones, a pipe, a socket, links to a file, to a folder and to nothing,
// a read-only file, and folders and files whose names sort together.
inline bool makeMixedFolder(const QString& folder)
{
    bool ok = makeFolder(folder + "/b") && makeFolder(folder + "/A") &&
              makeFile(folder + "/a.txt") && makeFile(folder + "/.hidden") &&
              makeFolder(folder + "/.hiddenfolder") && makeFile(folder + "/A/inside.txt") &&
              makeFifo(folder + "/pipe") && makeSocket(folder + "/socket") &&
              makeLink(folder + "/a.txt", folder + "/linkfile") &&
              makeLink(folder + "/A", folder + "/linkfolder") &&
              makeLink(folder + "/missing", folder + "/dangling") &&
              makeLink(folder + "/.hidden", folder + "/.hiddenlink") &&
              makeLink(folder + "/pipe", folder + "/linkpipe") && makeFile(folder + "/ro.txt");
    return ok && QFile::setPermissions(folder + "/ro.txt", QFileDevice::ReadOwner);
}

// What the tree lists of it, in its order, folders marked with a "/".
inline QStringList mixedFolderListing()
{
    return {"A/", "a.txt", "b/", "dangling", "linkfile", "linkfolder/", "ro.txt"};
}

inline bool makeFiles(const QString& folder, int count)
{
    if (!makeFolder(folder))
        return false;
    for (int i = 0; i < count; ++i) {
        // Written out of order, so the disk's order is not already sorted.
        const QString name = QString::asprintf("file-%05d", (i * 7919) % count);
        if (!makeFile(folder + u'/' + name))
            return false;
    }
    return true;
}

} // namespace FolderSamples
