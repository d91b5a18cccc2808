#pragma once

#include <QByteArray>
#include <QString>

// What a document's file looked like on disk at one moment: what stands at the
// path, its size, modification time and inode, and a hash of its bytes. Taken
// when a document is loaded and after each of our saves, to tell later whether
// another program has changed the file since.
struct DiskStamp {
    enum class Kind {
        Missing,    // nothing at the path
        File,       // a regular file we can read
        Folder,     // a folder stands where the file was
        Other,      // a device, pipe or socket
        Unreadable, // a regular file we may not read
    };

    Kind kind = Kind::Missing;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 inode = 0;
    QByteArray hash; // of the bytes; empty unless hashed

    // Files larger than this are told apart by their metadata alone: reading
    // them whole on every change would hold the program up.
    static constexpr qint64 HashLimit = qint64(64) * 1024 * 1024;

    // Everything but the hash; never reads the file.
    static DiskStamp quick(const QString& path);
    // With the hash of the bytes of a regular file up to HashLimit.
    static DiskStamp of(const QString& path);
    static QByteArray hashOf(const QByteArray& bytes);

    bool operator==(const DiskStamp&) const = default;

    // Same kind, size, time and inode: on most file systems, the same file.
    bool sameMetadata(const DiskStamp& other) const
    {
        return kind == other.kind && size == other.size && modifiedNs == other.modifiedNs &&
               inode == other.inode;
    }
    // The same bytes stand at the path (for anything but a file, the same kind;
    // for a file too large to hash, the same metadata).
    bool sameContent(const DiskStamp& other) const
    {
        if (kind != other.kind)
            return false;
        if (kind != Kind::File)
            return true;
        if (hash.isEmpty() || other.hash.isEmpty())
            return sameMetadata(other);
        return size == other.size && hash == other.hash;
    }
};
