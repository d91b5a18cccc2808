#include "foldernode.h"

#include "folderreader.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <sys/stat.h>

FolderNode::FolderNode(FolderNode* parent, const QString& name, State state,
                       const QCollatorSortKey& sortKey)
    : name(name), key(parent ? childKey(parent->key, name) : name), sortKey(sortKey), state(state),
      parent(parent)
{}

QString FolderNode::imageKey(State state)
{
    switch (state) {
    case State::Root:
        return QStringLiteral("root");
    case State::Closed:
        return QStringLiteral("closed");
    case State::Open:
        return QStringLiteral("open");
    case State::Leaf:
        break;
    }
    return QStringLiteral("leaf");
}

QString FolderNode::keyOf(const QString& path)
{
    return QDir::cleanPath(QDir::isAbsolutePath(path) ? path
                                                      : QDir::current().absoluteFilePath(path));
}

bool FolderNode::holds(const QString& folderKey, const QString& key)
{
    if (folderKey == QLatin1String("/"))
        return key.startsWith(u'/');
    return key == folderKey || (key.startsWith(folderKey) && key.at(folderKey.size()) == u'/');
}

QString FolderNode::childKey(const QString& parentKey, const QString& name)
{
    return parentKey == QLatin1String("/") ? u'/' + name : parentKey + u'/' + name;
}

size_t FolderNode::insertionPoint(const QString& entryName, const QCollatorSortKey& entryKey,
                                  size_t from) const
{
    const auto before = [&entryName](const QCollatorSortKey& key,
                                     const std::unique_ptr<FolderNode>& node) {
        return FolderReader::before(key, entryName, node->sortKey, node->name);
    };
    return std::upper_bound(children.begin() + from, children.end(), entryKey, before) -
           children.begin();
}

void FolderNode::renumberFrom(size_t first)
{
    for (size_t i = first; i < children.size(); ++i)
        children[i]->row = int(i);
}

bool FolderNode::presentOnDisk() const
{
    struct stat status;
    return lstat(QFile::encodeName(key).constData(), &status) == 0;
}

QStringList FolderNode::openShape() const
{
    QStringList shape = reopen;
    for (const auto& child : children) {
        if (child->state != State::Open)
            continue;
        shape.append(child->name);
        for (const QString& below : child->openShape())
            shape.append(child->name + u'/' + below);
    }
    return shape;
}

QStringList FolderNode::reopenBelow(const QString& childName) const
{
    const QString prefix = childName + u'/';
    QStringList below;
    for (const QString& path : reopen)
        if (path.startsWith(prefix))
            below.append(path.mid(prefix.size()));
    return below;
}
