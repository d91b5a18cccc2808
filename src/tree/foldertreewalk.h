#pragma once

#include <QObject>
#include <QPersistentModelIndex>
#include <QString>
#include <QStringList>

class FolderTreeModel;

// Opens the folders on the way to a path one after the other, each once the
// one above it has been read: the model reads asynchronously, so the walk
// waits for each folder before it looks for the next.
class FolderTreeWalk : public QObject {
    Q_OBJECT
public:
    explicit FolderTreeWalk(FolderTreeModel& model);

    // The keys a path may have in a tree with that root: its clean form, its
    // canonical form, and that form as seen from the root when the root itself
    // is reached through a link.
    static QStringList keysFor(const QString& path, const QString& rootKey);

    // Walks down the keys from the root to the path. It starts at the deepest
    // one the tree holds, which is read again when it is open already, since
    // the next one may be new on disk; keys not found on the way are skipped.
    // False when the path is not on the tree's drive.
    bool start(const QString& path);
    void stop();
    bool isActive() const { return m_active; }

signals:
    // The path's node, or invalid when it was not found.
    void finished(const QModelIndex& node);

private:
    void step();
    // A change of the model may end the read waited for without a folderRead
    // (the folder was closed or removed).
    void recheck();
    void continueAfter(const QString& key);

    FolderTreeModel& m_model;
    QStringList m_chain;
    qsizetype m_next = 0;
    QString m_waitingFor;
    bool m_active = false;
};
