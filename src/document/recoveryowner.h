#pragma once

#include <QString>

// Which running program wrote a recovery copy: its host, the instance lock it
// held and its process. Copies of a program still running, here or on another
// host sharing the home folder, are never offered to another one.
struct RecoveryOwner {
    QString host;
    QString lockPath; // empty when the program could hold no instance lock
    qint64 pid = 0;

    // This process, holding (or having failed to hold) the lock at lockPath.
    static RecoveryOwner current(const QString& lockPath);
    // True while the writer may still be running: on another host (which cannot
    // be checked from here), this very process, or a live process that still
    // holds the lock it recorded.
    bool mayBeRunning() const;

    bool operator==(const RecoveryOwner&) const = default;
};
