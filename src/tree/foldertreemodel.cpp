#include "foldertreemodel.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <algorithm>
#include <vector>

namespace {

// How many entries one merge step inserts at most, and how long the steps of
// one turn of the event loop may take together before the window gets a turn.
constexpr size_t MergePiece = 1000;
constexpr qint64 MergeBudgetMs = 12;

} // namespace

FolderTreeModel::FolderTreeModel(QObject* parent)
    : QAbstractItemModel(parent), m_collator(FolderReader::collator())
{
    m_walk = new FolderTreeWalk(*this);
    connect(m_walk, &FolderTreeWalk::finished, this, &FolderTreeModel::synchronised);
    m_mergeTimer.setSingleShot(true);
    m_mergeTimer.setInterval(0);
    connect(&m_mergeTimer, &QTimer::timeout, this, &FolderTreeModel::mergeStep);
    connect(&m_reader, &FolderReader::batchRead, this, &FolderTreeModel::batchArrived);
    connect(&m_reader, &FolderReader::readFailed, this, &FolderTreeModel::readFailed);
}

FolderTreeModel::~FolderTreeModel() = default;

FolderNode* FolderTreeModel::nodeOf(const QModelIndex& index) const
{
    return index.isValid() && index.model() == this
               ? static_cast<FolderNode*>(index.internalPointer())
               : nullptr;
}

QModelIndex FolderTreeModel::indexOf(const FolderNode* node) const
{
    return node ? createIndex(node->row, 0, const_cast<FolderNode*>(node)) : QModelIndex();
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row == 0 && m_root ? indexOf(m_root.get()) : QModelIndex();
    const FolderNode* node = nodeOf(parent);
    if (!node || row >= int(node->children.size()))
        return {};
    return indexOf(node->children[row].get());
}

QModelIndex FolderTreeModel::parent(const QModelIndex& child) const
{
    const FolderNode* node = nodeOf(child);
    return node ? indexOf(node->parent) : QModelIndex();
}

int FolderTreeModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return m_root ? 1 : 0;
    if (parent.column() != 0)
        return 0;
    const FolderNode* node = nodeOf(parent);
    return node ? int(node->children.size()) : 0;
}

int FolderTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

bool FolderTreeModel::hasChildren(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return bool(m_root);
    const FolderNode* node = nodeOf(parent);
    if (!node || parent.column() != 0 || node->state == NodeState::Leaf)
        return false;
    if (!node->children.empty())
        return true;
    return node->state == NodeState::Closed ? !node->empty : node->ticket != 0;
}

QVariant FolderTreeModel::data(const QModelIndex& index, int role) const
{
    const FolderNode* node = nodeOf(index);
    if (!node)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return node->name;
    case Qt::ToolTipRole:
    case KeyRole:
        return node->key;
    case StateRole:
        return QVariant::fromValue(node->state);
    case ImageKeyRole:
        return imageKey(node->state);
    case Qt::CheckStateRole:
        return node->check;
    default:
        return {};
    }
}

bool FolderTreeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    FolderNode* node = nodeOf(index);
    if (!node || role != Qt::CheckStateRole)
        return false;
    node->check = value.value<Qt::CheckState>() == Qt::Checked ? Qt::Checked : Qt::Unchecked;
    changed(node, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags FolderTreeModel::flags(const QModelIndex& index) const
{
    const FolderNode* node = nodeOf(index);
    if (!node)
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
    if (node->state == NodeState::Leaf)
        flags |= Qt::ItemNeverHasChildren;
    // A name can be edited in place; the tree renames the item on disk itself.
    if (node->state != NodeState::Root)
        flags |= Qt::ItemIsEditable;
    return flags;
}

void FolderTreeModel::setRoot(const QString& drivePath)
{
    const QString key = keyOf(drivePath);
    clear();
    beginInsertRows({}, 0, 0);
    m_root = std::make_unique<FolderNode>(nullptr, key, NodeState::Root,
                                          FolderReader::sortKey(m_collator, key));
    m_byKey.insert(key, m_root.get());
    endInsertRows();
    startRead(m_root.get());
}

void FolderTreeModel::clear()
{
    m_walk->stop();
    m_reader.cancelAll();
    m_pending.clear();
    if (!m_root)
        return;
    beginRemoveRows({}, 0, 0);
    m_byKey.clear();
    m_root.reset();
    endRemoveRows();
}

QModelIndex FolderTreeModel::rootIndex() const
{
    return indexOf(m_root.get());
}

FolderTreeModel::NodeState FolderTreeModel::state(const QModelIndex& node) const
{
    const FolderNode* found = nodeOf(node);
    return found ? found->state : NodeState::Leaf;
}

QString FolderTreeModel::key(const QModelIndex& node) const
{
    const FolderNode* found = nodeOf(node);
    return found ? found->key : QString();
}

bool FolderTreeModel::isReading(const QModelIndex& node) const
{
    const FolderNode* found = nodeOf(node);
    return found && found->ticket != 0;
}

QModelIndex FolderTreeModel::nodeForPath(const QString& path) const
{
    for (const QString& key : FolderTreeWalk::keysFor(path, rootPath()))
        if (FolderNode* node = m_byKey.value(key))
            return indexOf(node);
    return {};
}

void FolderTreeModel::ToggleNode(const QModelIndex& index)
{
    FolderNode* node = nodeOf(index);
    if (!node)
        return;
    switch (node->state) {
    case NodeState::Root:
        reload(node, false);
        break;
    case NodeState::Closed:
        openNode(node);
        break;
    case NodeState::Open:
        closeNode(node);
        break;
    case NodeState::Leaf:
        break;
    }
}

void FolderTreeModel::ReloadNode(const QModelIndex& index)
{
    FolderNode* node = nodeOf(index);
    if (node && (node->state == NodeState::Root || node->state == NodeState::Open))
        reload(node, true);
}

QModelIndex FolderTreeModel::refreshFolder(const QModelIndex& index)
{
    FolderNode* node = nodeOf(index);
    if (!node)
        return {};
    if (node->state == NodeState::Leaf)
        node = node->parent;
    while (node->parent && (node->state != NodeState::Open || !QFileInfo(node->key).isDir()))
        node = node->parent;
    reload(node, true);
    return indexOf(node);
}

void FolderTreeModel::collapseAll()
{
    if (m_root)
        reload(m_root.get(), false);
}

void FolderTreeModel::clearCheckMarks()
{
    if (!m_root)
        return;
    const auto clear = [this](FolderNode* node) {
        if (node->check != Qt::Unchecked) {
            node->check = Qt::Unchecked;
            changed(node, {Qt::CheckStateRole});
        }
        return true;
    };
    clear(m_root.get());
    m_root->forEachBelow(clear);
}

QModelIndexList FolderTreeModel::checkedNodes() const
{
    QModelIndexList checked;
    if (!m_root)
        return checked;
    const auto collect = [this, &checked](const FolderNode* node) {
        if (node->check == Qt::Checked)
            checked.append(indexOf(node));
        return true;
    };
    collect(m_root.get());
    m_root->forEachBelow(collect);
    return checked;
}

int FolderTreeModel::DropDeletedNodes()
{
    if (!m_root)
        return 0;
    // Collected first, so the walk never meets a node removed under it.
    std::vector<FolderNode*> gone;
    m_root->forEachBelow([&gone](FolderNode* node) {
        if (node->check != Qt::Checked || node->presentOnDisk())
            return true;
        gone.push_back(node);
        return false;
    });
    for (FolderNode* node : gone)
        removeNode(indexOf(node));
    return int(gone.size());
}

QModelIndex FolderTreeModel::addNode(const QModelIndex& parentIndex, const QString& name,
                                     bool folder)
{
    FolderNode* parent = nodeOf(parentIndex);
    if (!parent || parent->state == NodeState::Leaf || name.isEmpty())
        return {};
    const QString key = FolderNode::childKey(parent->key, name);
    if (FolderNode* existing = m_byKey.value(key))
        return indexOf(existing);
    std::vector<FolderReader::Entry> entry{{name, folder, FolderReader::sortKey(m_collator, name)}};
    insertSorted(parent, entry, 0, 1);
    return nodeForKey(key);
}

bool FolderTreeModel::removeNode(const QModelIndex& index)
{
    FolderNode* node = nodeOf(index);
    if (!node || !node->parent)
        return false;
    FolderNode* parent = node->parent;
    const int row = node->row;
    beginRemoveRows(indexOf(parent), row, row);
    forget(node);
    parent->children.erase(parent->children.begin() + row);
    parent->renumberFrom(row);
    endRemoveRows();
    return true;
}

std::unique_ptr<FolderNode> FolderTreeModel::makeNode(FolderNode* parent, const QString& name,
                                                      bool folder, const QCollatorSortKey& sortKey)
{
    auto node = std::make_unique<FolderNode>(parent, name,
                                             folder ? NodeState::Closed : NodeState::Leaf, sortKey);
    // A file checked with its folder is what a user means by checking the folder.
    if (!folder && parent->check == Qt::Checked)
        node->check = Qt::Checked;
    m_byKey.insert(node->key, node.get());
    return node;
}

void FolderTreeModel::openNode(FolderNode* node)
{
    node->state = NodeState::Open;
    changed(node, {StateRole, ImageKeyRole});
    startRead(node);
}

void FolderTreeModel::closeNode(FolderNode* node)
{
    stopRead(node);
    node->reopen.clear();
    removeChildren(node);
    node->state = NodeState::Closed;
    changed(node, {StateRole, ImageKeyRole});
}

void FolderTreeModel::reload(FolderNode* node, bool keepOpen)
{
    const QStringList shape = keepOpen ? node->openShape() : QStringList();
    if (!keepOpen && node == m_root.get())
        m_walk->stop();
    removeChildren(node);
    node->reopen = shape;
    startRead(node);
}

void FolderTreeModel::stopRead(FolderNode* node)
{
    if (node->ticket != 0)
        m_reader.cancel(node->ticket);
    node->ticket = 0;
}

void FolderTreeModel::startRead(FolderNode* node)
{
    stopRead(node);
    node->empty = false;
    node->ticket = m_reader.read(node->key);
}

void FolderTreeModel::finishRead(FolderNode* node)
{
    node->ticket = 0;
    node->empty = node->children.empty();
    node->reopen.clear();
    changed(node, {StateRole});
    const QString key = node->key;
    emit folderRead(key);
}

void FolderTreeModel::removeChildren(FolderNode* node)
{
    if (node->children.empty())
        return;
    beginRemoveRows(indexOf(node), 0, int(node->children.size()) - 1);
    for (const auto& child : node->children)
        forget(child.get());
    node->children.clear();
    endRemoveRows();
}

void FolderTreeModel::forget(FolderNode* node)
{
    for (const auto& child : node->children)
        forget(child.get());
    stopRead(node);
    m_byKey.remove(node->key);
}

void FolderTreeModel::changed(FolderNode* node, const QList<int>& roles)
{
    const QModelIndex index = indexOf(node);
    emit dataChanged(index, index, roles);
}

void FolderTreeModel::batchArrived(const FolderReader::Batch& batch)
{
    const FolderNode* node = m_byKey.value(batch.folder);
    if (!node || node->ticket != batch.ticket)
        return;
    m_pending.push_back({batch, 0});
    if (!m_mergeTimer.isActive())
        m_mergeTimer.start();
}

void FolderTreeModel::readFailed(quint64 ticket, const QString& folder, const Error& error)
{
    FolderNode* node = m_byKey.value(folder);
    if (!node || node->ticket != ticket)
        return;
    emit folderReadFailed(folder, error);
    finishRead(node);
}

void FolderTreeModel::mergeStep()
{
    QElapsedTimer clock;
    clock.start();
    while (!m_pending.empty() && clock.elapsed() < MergeBudgetMs) {
        Pending& pending = m_pending.front();
        FolderNode* node = m_byKey.value(pending.batch.folder);
        if (!node || node->ticket != pending.batch.ticket) {
            m_pending.pop_front();
            continue;
        }
        const size_t size = pending.batch.entries.size();
        const size_t end = std::min(size, pending.done + MergePiece);
        insertSorted(node, pending.batch.entries, pending.done, end);
        pending.done = end;
        if (end < size)
            continue;
        const bool last = pending.batch.last;
        m_pending.pop_front();
        if (last)
            finishRead(node);
    }
    if (!m_pending.empty())
        m_mergeTimer.start();
}

void FolderTreeModel::insertSorted(FolderNode* parent,
                                   const std::vector<FolderReader::Entry>& entries, size_t begin,
                                   size_t end)
{
    auto& children = parent->children;
    const QModelIndex parentIndex = indexOf(parent);
    // Room to grow by doubling, not by each piece.
    const size_t more = end - begin;
    if (children.capacity() < children.size() + more)
        children.reserve(std::max(children.size() + more, 2 * children.capacity()));
    if (size_t(m_byKey.capacity()) < size_t(m_byKey.size()) + more)
        m_byKey.reserve(std::max(m_byKey.size() + qsizetype(more), 2 * m_byKey.capacity()));
    size_t from = 0; // the entries are sorted, so each one goes after the one before
    size_t i = begin;
    while (i < end) {
        const size_t at = parent->insertionPoint(entries[i].name, entries[i].sortKey, from);
        // A name the folder holds already sorts right before where it would go.
        if (at > 0 && children[at - 1]->name == entries[i].name) {
            from = at;
            ++i;
            continue;
        }
        // The run of entries that all go before the same child.
        size_t stop = i + 1;
        while (stop < end && (at == children.size() ||
                              FolderReader::before(entries[stop].sortKey, entries[stop].name,
                                                   children[at]->sortKey, children[at]->name)))
            ++stop;
        std::vector<std::unique_ptr<FolderNode>> run;
        run.reserve(stop - i);
        QList<FolderNode*> toOpen;
        for (size_t j = i; j < stop; ++j) {
            const FolderReader::Entry& entry = entries[j];
            run.push_back(makeNode(parent, entry.name, entry.folder, entry.sortKey));
            if (entry.folder && parent->reopen.contains(entry.name))
                toOpen.append(run.back().get());
        }
        beginInsertRows(parentIndex, int(at), int(at + run.size() - 1));
        children.insert(children.begin() + at, std::make_move_iterator(run.begin()),
                        std::make_move_iterator(run.end()));
        parent->renumberFrom(at);
        endInsertRows();
        from = at + (stop - i);
        i = stop;
        for (FolderNode* child : toOpen) {
            child->reopen = parent->reopenBelow(child->name);
            openNode(child);
        }
    }
}

bool FolderTreeModel::syncWithPath(const QString& path)
{
    return m_root && m_walk->start(path);
}
