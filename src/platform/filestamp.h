#pragma once

#include <QDateTime>
#include <QFileInfo>
#include <QString>

// What a file looked like on disk at one moment, to tell later whether another
// program has written it since: its existence, size, change time and inode.
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    QDateTime modified;
    qint64 inode = 0;

    static FileStamp of(const QString& path)
    {
        const QFileInfo info(path);
        FileStamp stamp;
        stamp.exists = info.exists();
        if (stamp.exists) {
            stamp.size = info.size();
            stamp.modified = info.fileTime(QFileDevice::FileModificationTime);
            // A program that saves by writing a new file and renaming it keeps
            // the size and may keep the time within its resolution; the inode differs.
            stamp.inode = inodeOf(path);
        }
        return stamp;
    }
    bool operator==(const FileStamp&) const = default;

private:
    static qint64 inodeOf(const QString& path);
};
