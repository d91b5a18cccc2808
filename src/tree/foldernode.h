#pragma once

#include <QCollator>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// One node of the folder tree: the drive's root, a folder or a file, with its
// children in the tree's order. The model owns the nodes and keeps their rows
// and keys right; a node only knows its own neighbourhood.
struct FolderNode {
    Q_GADGET
public:
    // A node's state, which is also the name of the image it shows.
    enum class State { Root, Closed, Open, Leaf };
    Q_ENUM(State)

    // A root when there is no parent; its key is then its name.
    FolderNode(FolderNode* parent, const QString& name, State state,
               const QCollatorSortKey& sortKey);
    FolderNode(const FolderNode&) = delete;
    FolderNode& operator=(const FolderNode&) = delete;

    static QString imageKey(State state);
    // The key a path has in the tree: clean, absolute, no trailing "/".
    static QString keyOf(const QString& path);
    // A child's key: the parent's and the name joined by one "/".
    static QString childKey(const QString& parentKey, const QString& name);
    // Whether the key is the folder's or one below it, as whole path components.
    static bool holds(const QString& folderKey, const QString& key);

    // Where an entry goes among the children, at or after the position from:
    // after every child that sorts before it or equals it.
    size_t insertionPoint(const QString& entryName, const QCollatorSortKey& entryKey,
                          size_t from) const;
    void renumberFrom(size_t first);
    // Whether anything, a dangling link included, is still at the node's path.
    bool presentOnDisk() const;
    // The open folders below, relative to this node ("a", "a/b"), and those
    // still waiting to be opened again.
    QStringList openShape() const;
    // The folders below a child to open again, relative to that child.
    QStringList reopenBelow(const QString& childName) const;
    // The nodes below this one in the tree's order, skipping the children of
    // any node the filter turns down.
    template <typename Visit> void forEachBelow(Visit visit)
    {
        for (const auto& child : children)
            if (visit(child.get()))
                child->forEachBelow(visit);
    }

    QString name;
    QString key;
    QCollatorSortKey sortKey;
    State state;
    Qt::CheckState check = Qt::Unchecked;
    FolderNode* parent = nullptr;
    int row = 0;
    std::vector<std::unique_ptr<FolderNode>> children;
    quint64 ticket = 0; // the read under way; 0 when none
    bool empty = false; // read and found empty
    QStringList reopen; // open folders below (openShape) to open again as the read brings them
};
