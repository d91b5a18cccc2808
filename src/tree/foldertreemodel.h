#pragma once

#include "platform/result.h"
#include "tree/foldernode.h"
#include "tree/folderreader.h"
#include "tree/foldertreewalk.h"

#include <QAbstractItemModel>
#include <QCollator>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <memory>

// The folder tree of one drive: the drive's root node on top, folders read one
// level at a time when they are opened, files as leaves with check boxes. A
// node's key is its full path without a trailing "/" ("/" for the file system's
// root). Children are kept in one order for folders and files alike, by name
// in the user's language, ignoring case.
//
// Reading is asynchronous: opening a folder starts a FolderReader ticket whose
// batches are merged a piece at a time, so the window keeps answering while a
// big folder fills; folderRead() says when a folder is complete.
class FolderTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    using NodeState = FolderNode::State;
    enum Role {
        KeyRole = Qt::UserRole + 1, // the full path
        StateRole,                  // a NodeState
        ImageKeyRole                // "root", "closed", "open" or "leaf"
    };

    static QString imageKey(NodeState state) { return FolderNode::imageKey(state); }
    // The key a path has in the tree: clean, absolute, no trailing "/".
    static QString keyOf(const QString& path) { return FolderNode::keyOf(path); }

    explicit FolderTreeModel(QObject* parent = nullptr);
    ~FolderTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    // A folder not read yet shows an expand arrow until a read finds it empty.
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Makes the drive at the path the tree's root and reads its top folder.
    void setRoot(const QString& drivePath);
    // Empties the tree.
    void clear();
    QString rootPath() const { return m_root ? m_root->key : QString(); }
    QModelIndex rootIndex() const;
    NodeState state(const QModelIndex& node) const;
    QString key(const QModelIndex& node) const;
    // Whether a read of the node is under way.
    bool isReading(const QModelIndex& node) const;

    QModelIndex nodeForKey(const QString& key) const { return indexOf(m_byKey.value(key)); }
    // By key, then by the path's canonical form, also as seen from the root
    // when the root itself is reached through a link.
    QModelIndex nodeForPath(const QString& path) const;

    // Opens a closed folder, closes an open one (its children go), and rebuilds
    // the top level for the root. Files are left alone.
    void ToggleNode(const QModelIndex& node);
    // Reads an open folder or the root again; the subfolders that were open are
    // opened again as they come back.
    void ReloadNode(const QModelIndex& node);
    // Refreshes the folder of a node (a file's parent): a folder that is gone
    // from disk or not open hands the refresh on to its nearest open ancestor.
    // Returns the node reloaded.
    QModelIndex refreshFolder(const QModelIndex& node);
    // Shows the path in the tree: opens each folder from the deepest one the
    // tree holds down to the path, one read after the other, re-reading the
    // first one found when it is open. synchronised() gives the path's node.
    // False, and nothing happens, when the path is not on this root's drive.
    bool syncWithPath(const QString& path);
    // The tree with only the root's top level.
    void collapseAll();
    void clearCheckMarks();
    // Every checked node, the root included, in the tree's order.
    QModelIndexList checkedNodes() const;
    // Removes every checked node (with its children) whose path no longer
    // exists; returns how many went.
    int DropDeletedNodes();
    // A node the program created on disk itself, put in its sorted place under
    // a folder; an existing node of that name is returned as it is.
    QModelIndex addNode(const QModelIndex& parent, const QString& name, bool folder);
    // Removes a node other than the root, with its children.
    bool removeNode(const QModelIndex& node);

signals:
    // A folder's read is complete and all its entries are in the tree; after
    // a failed read as well, which leaves the folder open and empty.
    void folderRead(const QString& key);
    // Why a folder could not be read, in the system's words.
    void folderReadFailed(const QString& key, const Error& error);
    // The end of syncWithPath(): the path's node, or invalid when the path
    // could not be found.
    void synchronised(const QModelIndex& node);

private:
    struct Pending {
        FolderReader::Batch batch;
        size_t done = 0;
    };

    FolderNode* nodeOf(const QModelIndex& index) const;
    QModelIndex indexOf(const FolderNode* node) const;
    std::unique_ptr<FolderNode> makeNode(FolderNode* parent, const QString& name, bool folder,
                                         const QCollatorSortKey& sortKey);
    void openNode(FolderNode* node);
    void closeNode(FolderNode* node);
    void reload(FolderNode* node, bool keepOpen);
    void startRead(FolderNode* node);
    void stopRead(FolderNode* node);
    void finishRead(FolderNode* node);
    void removeChildren(FolderNode* node);
    void forget(FolderNode* node);
    void changed(FolderNode* node, const QList<int>& roles);

    void batchArrived(const FolderReader::Batch& batch);
    void readFailed(quint64 ticket, const QString& folder, const Error& error);
    void mergeStep();
    void insertSorted(FolderNode* parent, const std::vector<FolderReader::Entry>& entries,
                      size_t begin, size_t end);

    FolderReader m_reader;
    QCollator m_collator;
    std::unique_ptr<FolderNode> m_root;
    QHash<QString, FolderNode*> m_byKey;
    std::deque<Pending> m_pending;
    QTimer m_mergeTimer;
    FolderTreeWalk* m_walk = nullptr; // a child object
};
