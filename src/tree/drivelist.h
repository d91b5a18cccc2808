#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The drives the folder tree offers: the home folder first, then the volumes a
// user thinks of as disks (the root file system, removable media, network
// shares, disks mounted in the home folder), never the system's own mounts.
class DriveList {
public:
    struct Volume {
        QString path;   // where it is mounted
        QString fsType; // as the system names it: "ext4", "cifs", "proc"...
        bool valid = true;
        bool ready = true;
    };

    // Whether a mounted volume is one of the drives.
    static bool isDrive(const Volume& volume, const QString& home);
    // The home folder, then the drives among the volumes in path order, each once.
    static QStringList drives(const QList<Volume>& volumes, const QString& home);
    // The drives of this computer now.
    static QStringList current();
    // The drive a path is on: the longest drive path that holds it as a whole
    // path component; empty when none does.
    static QString driveOf(const QString& path, const QStringList& drives);
};
