#pragma once

#include "platform/result.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <thread>

// The desktop's list of recently used files ($XDG_DATA_HOME/recently-used.xbel,
// the bookmark file that file choosers and launchers read). Adds are written by
// a worker thread, so a slow disk or a busy list never holds up the window;
// every write is a read-modify-write under "recently-used.xbel.lock" that
// replaces the file at once, readable by its owner only.
class RecentDocuments {
public:
    static inline const QString ApplicationName = QStringLiteral("Quillora");
    static inline const QString ApplicationExec = QStringLiteral("quillora %u");
    static inline const QString LockBusyText =
        QStringLiteral("Another program is changing the list of recent documents.");
    // How long a write waits for the list's lock before it tries again later.
    static constexpr int LockWait = 2000;
    // At exit: how long the adds still queued may take.
    static constexpr int ExitWait = 1000;

    static QString defaultFilePath();
    // False when the desktop's privacy settings ask programs not to remember the
    // files they open (GNOME's remember-recent-files); true where no such setting exists.
    static bool rememberRecentFiles();

    explicit RecentDocuments(const QString& filePath = defaultFilePath());
    // Writes the adds still queued, waiting ExitWait at most for the lock.
    ~RecentDocuments();
    RecentDocuments(const RecentDocuments&) = delete;
    RecentDocuments& operator=(const RecentDocuments&) = delete;

    QString filePath() const { return m_filePath; }
    // Queues a file for the list; nothing while the desktop asks not to remember.
    // A path that is not an existing file is left out when its turn comes.
    void add(const QString& path);
    // Empties the list now, after the adds queued before it; the error when it could not.
    Status clear();
    // Waits until every queued add is written or given up; false when time ran out.
    bool waitForDone(int msecs);
    // What the last write of queued adds gave.
    Status lastStatus() const;

    // One read-modify-write of the list, in the calling thread: for the worker,
    // the bench and tests. A list that cannot be read is left as it is.
    static Status addNow(const QString& filePath, const QStringList& paths,
                         int lockWait = LockWait);
    static Status clearNow(const QString& filePath, int lockWait = LockWait);

private:
    struct Queue;
    void startWorker();

    QString m_filePath;
    std::shared_ptr<Queue> m_queue;
    std::thread m_worker;
};
