#include "foldertreemodel.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <algorithm>
#include <sys/stat.h>
#include <vector>

namespace {

// How many entries one merge step inserts at most, and how long the steps of
// one turn of the event loop may take together before the window gets a turn.
constexpr size_t MergePiece = 1000;
constexpr qint64 MergeBudgetMs = 12;

QString childKey(const QString& parentKey, const QString& name)
{
    return parentKey == QLatin1String("/") ? u'/' + name : parentKey + u'/' + name;
}

bool isUnder(const QString& path, const QString& base)
{
    if (base == QLatin1String("/"))
        return path.startsWith(u'/');
    return path == base || (path.startsWith(base) && path.at(base.size()) == u'/');
}

// Whether anything, a dangling link included, is still at the path.
bool presentOnDisk(const QString& path)
{
    struct stat status;
    return lstat(QFile::encodeName(path).constData(), &status) == 0;
}

} // namespace

struct FolderTreeModel::Node {
    Node(const QString& name, const QString& key, NodeState state, const QCollatorSortKey& sortKey)
        : name(name), key(key), sortKey(sortKey), state(state)
    {}

    QString name;
    QString key;
    QCollatorSortKey sortKey;
    NodeState state;
    Qt::CheckState check = Qt::Unchecked;
    Node* parent = nullptr;
    int row = 0;
    std::vector<std::unique_ptr<Node>> children;
    quint64 ticket = 0; // the read under way; 0 when none
    bool empty = false; // read and found empty
    QStringList reopen; // open subfolders (relative paths) to open again as they come back

    void renumberFrom(size_t first)
    {
        for (size_t i = first; i < children.size(); ++i)
            children[i]->row = int(i);
    }
};

QString FolderTreeModel::imageKey(NodeState state)
{
    switch (state) {
    case NodeState::Root:
        return QStringLiteral("root");
    case NodeState::Closed:
        return QStringLiteral("closed");
    case NodeState::Open:
        return QStringLiteral("open");
    case NodeState::Leaf:
        break;
    }
    return QStringLiteral("leaf");
}

QString FolderTreeModel::keyOf(const QString& path)
{
    return QDir::cleanPath(QDir::isAbsolutePath(path) ? path
                                                      : QDir::current().absoluteFilePath(path));
}

FolderTreeModel::FolderTreeModel(QObject* parent)
    : QAbstractItemModel(parent), m_collator(FolderReader::collator())
{
    m_mergeTimer.setSingleShot(true);
    m_mergeTimer.setInterval(0);
    connect(&m_mergeTimer, &QTimer::timeout, this, &FolderTreeModel::mergeStep);
    connect(&m_reader, &FolderReader::batchRead, this, &FolderTreeModel::batchArrived);
    connect(&m_reader, &FolderReader::readFailed, this, &FolderTreeModel::readFailed);
}

FolderTreeModel::~FolderTreeModel() = default;

FolderTreeModel::Node* FolderTreeModel::nodeOf(const QModelIndex& index) const
{
    return index.isValid() && index.model() == this ? static_cast<Node*>(index.internalPointer())
                                                    : nullptr;
}

QModelIndex FolderTreeModel::indexOf(const Node* node) const
{
    return node ? createIndex(node->row, 0, const_cast<Node*>(node)) : QModelIndex();
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row == 0 && m_root ? indexOf(m_root.get()) : QModelIndex();
    const Node* node = nodeOf(parent);
    if (!node || row >= int(node->children.size()))
        return {};
    return indexOf(node->children[row].get());
}

QModelIndex FolderTreeModel::parent(const QModelIndex& child) const
{
    const Node* node = nodeOf(child);
    return node ? indexOf(node->parent) : QModelIndex();
}

int FolderTreeModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return m_root ? 1 : 0;
    if (parent.column() != 0)
        return 0;
    const Node* node = nodeOf(parent);
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
    const Node* node = nodeOf(parent);
    if (!node || parent.column() != 0 || node->state == NodeState::Leaf)
        return false;
    if (!node->children.empty())
        return true;
    return node->state == NodeState::Closed ? !node->empty : node->ticket != 0;
}

QVariant FolderTreeModel::data(const QModelIndex& index, int role) const
{
    const Node* node = nodeOf(index);
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
    Node* node = nodeOf(index);
    if (!node || role != Qt::CheckStateRole)
        return false;
    node->check = value.value<Qt::CheckState>() == Qt::Checked ? Qt::Checked : Qt::Unchecked;
    changed(node, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags FolderTreeModel::flags(const QModelIndex& index) const
{
    const Node* node = nodeOf(index);
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
    m_root = std::make_unique<Node>(key, key, NodeState::Root, m_collator.sortKey(key));
    m_byKey.insert(key, m_root.get());
    endInsertRows();
    startRead(m_root.get());
}

void FolderTreeModel::clear()
{
    m_sync.active = false;
    m_reader.cancelAll();
    m_pending.clear();
    if (!m_root)
        return;
    beginRemoveRows({}, 0, 0);
    m_byKey.clear();
    m_root.reset();
    endRemoveRows();
}

QString FolderTreeModel::rootPath() const
{
    return m_root ? m_root->key : QString();
}

QModelIndex FolderTreeModel::rootIndex() const
{
    return indexOf(m_root.get());
}

FolderTreeModel::NodeState FolderTreeModel::state(const QModelIndex& node) const
{
    const Node* found = nodeOf(node);
    return found ? found->state : NodeState::Leaf;
}

QString FolderTreeModel::key(const QModelIndex& node) const
{
    const Node* found = nodeOf(node);
    return found ? found->key : QString();
}

bool FolderTreeModel::isReading(const QModelIndex& node) const
{
    const Node* found = nodeOf(node);
    return found && found->ticket != 0;
}

QModelIndex FolderTreeModel::nodeForKey(const QString& key) const
{
    return indexOf(m_byKey.value(key));
}

QStringList FolderTreeModel::candidateKeys(const QString& path) const
{
    QStringList keys{keyOf(path)};
    const QString canonical = QFileInfo(keys.first()).canonicalFilePath();
    if (canonical.isEmpty() || !m_root)
        return keys;
    keys.append(canonical);
    const QString canonicalRoot = QFileInfo(m_root->key).canonicalFilePath();
    if (!canonicalRoot.isEmpty() && canonicalRoot != m_root->key &&
        isUnder(canonical, canonicalRoot))
        keys.append(keyOf(m_root->key + u'/' + canonical.mid(canonicalRoot.size())));
    return keys;
}

QModelIndex FolderTreeModel::nodeForPath(const QString& path) const
{
    for (const QString& key : candidateKeys(path))
        if (Node* node = m_byKey.value(key))
            return indexOf(node);
    return {};
}

QString FolderTreeModel::treeKeyFor(const QString& path) const
{
    for (const QString& key : candidateKeys(path))
        if (m_byKey.contains(key) || isUnder(key, m_root->key))
            return key;
    return {};
}

void FolderTreeModel::ToggleNode(const QModelIndex& index)
{
    Node* node = nodeOf(index);
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
    Node* node = nodeOf(index);
    if (node && (node->state == NodeState::Root || node->state == NodeState::Open))
        reload(node, true);
}

QModelIndex FolderTreeModel::refreshFolder(const QModelIndex& index)
{
    Node* node = nodeOf(index);
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
    std::vector<Node*> stack{m_root.get()};
    while (!stack.empty()) {
        Node* node = stack.back();
        stack.pop_back();
        if (node->check != Qt::Unchecked) {
            node->check = Qt::Unchecked;
            changed(node, {Qt::CheckStateRole});
        }
        for (const auto& child : node->children)
            stack.push_back(child.get());
    }
}

QModelIndexList FolderTreeModel::checkedNodes() const
{
    QModelIndexList checked;
    if (!m_root)
        return checked;
    std::vector<const Node*> stack{m_root.get()};
    while (!stack.empty()) {
        const Node* node = stack.back();
        stack.pop_back();
        if (node->check == Qt::Checked)
            checked.append(indexOf(node));
        for (auto child = node->children.rbegin(); child != node->children.rend(); ++child)
            stack.push_back(child->get());
    }
    return checked;
}

int FolderTreeModel::DropDeletedNodes()
{
    if (!m_root)
        return 0;
    // Gone nodes are collected first and removed deepest last, so no removal
    // touches a node already removed with its parent.
    std::vector<Node*> gone;
    std::vector<Node*> stack;
    for (auto child = m_root->children.rbegin(); child != m_root->children.rend(); ++child)
        stack.push_back(child->get());
    while (!stack.empty()) {
        Node* node = stack.back();
        stack.pop_back();
        if (node->check == Qt::Checked && !presentOnDisk(node->key)) {
            gone.push_back(node);
            continue;
        }
        for (auto child = node->children.rbegin(); child != node->children.rend(); ++child)
            stack.push_back(child->get());
    }
    for (auto node = gone.rbegin(); node != gone.rend(); ++node)
        removeNode(indexOf(*node));
    return int(gone.size());
}

QModelIndex FolderTreeModel::addNode(const QModelIndex& parentIndex, const QString& name,
                                     bool folder)
{
    Node* parent = nodeOf(parentIndex);
    if (!parent || parent->state == NodeState::Leaf || name.isEmpty())
        return {};
    const QString key = childKey(parent->key, name);
    if (Node* existing = m_byKey.value(key))
        return indexOf(existing);
    std::vector<FolderReader::Entry> entry{{name, folder, m_collator.sortKey(name)}};
    insertSorted(parent, entry, 0, 1);
    return nodeForKey(key);
}

bool FolderTreeModel::removeNode(const QModelIndex& index)
{
    Node* node = nodeOf(index);
    if (!node || !node->parent)
        return false;
    Node* parent = node->parent;
    const int row = node->row;
    beginRemoveRows(indexOf(parent), row, row);
    forget(node);
    parent->children.erase(parent->children.begin() + row);
    parent->renumberFrom(row);
    endRemoveRows();
    return true;
}

std::unique_ptr<FolderTreeModel::Node> FolderTreeModel::makeNode(Node* parent, const QString& name,
                                                                 bool folder,
                                                                 const QCollatorSortKey& sortKey)
{
    auto node = std::make_unique<Node>(name, childKey(parent->key, name),
                                       folder ? NodeState::Closed : NodeState::Leaf, sortKey);
    node->parent = parent;
    // A file checked with its folder is what a user means by checking the folder.
    if (!folder && parent->check == Qt::Checked)
        node->check = Qt::Checked;
    m_byKey.insert(node->key, node.get());
    return node;
}

void FolderTreeModel::openNode(Node* node)
{
    node->state = NodeState::Open;
    changed(node, {StateRole, ImageKeyRole});
    startRead(node);
}

void FolderTreeModel::closeNode(Node* node)
{
    if (node->ticket != 0) {
        m_reader.cancel(node->ticket);
        node->ticket = 0;
        continueSyncAfter(node->key);
    }
    node->reopen.clear();
    removeChildren(node);
    node->state = NodeState::Closed;
    changed(node, {StateRole, ImageKeyRole});
}

void FolderTreeModel::reload(Node* node, bool keepOpen)
{
    const QStringList shape = keepOpen ? openShape(node) : QStringList();
    if (!keepOpen && node == m_root.get())
        m_sync.active = false;
    removeChildren(node);
    node->reopen = shape;
    startRead(node);
}

QStringList FolderTreeModel::openShape(const Node* node) const
{
    QStringList shape = node->reopen;
    for (const auto& child : node->children) {
        if (child->state != NodeState::Open)
            continue;
        shape.append(child->name);
        for (const QString& below : openShape(child.get()))
            shape.append(child->name + u'/' + below);
    }
    return shape;
}

void FolderTreeModel::startRead(Node* node)
{
    if (node->ticket != 0)
        m_reader.cancel(node->ticket);
    node->empty = false;
    node->ticket = m_reader.read(node->key);
}

void FolderTreeModel::finishRead(Node* node)
{
    node->ticket = 0;
    node->empty = node->children.empty();
    node->reopen.clear();
    changed(node, {StateRole});
    const QString key = node->key;
    emit folderRead(key);
    continueSyncAfter(key);
}

void FolderTreeModel::removeChildren(Node* node)
{
    if (node->children.empty())
        return;
    beginRemoveRows(indexOf(node), 0, int(node->children.size()) - 1);
    for (const auto& child : node->children)
        forget(child.get());
    node->children.clear();
    endRemoveRows();
}

void FolderTreeModel::forget(Node* node)
{
    for (const auto& child : node->children)
        forget(child.get());
    if (node->ticket != 0) {
        m_reader.cancel(node->ticket);
        node->ticket = 0;
    }
    m_byKey.remove(node->key);
    continueSyncAfter(node->key);
}

void FolderTreeModel::changed(Node* node, const QList<int>& roles)
{
    const QModelIndex index = indexOf(node);
    emit dataChanged(index, index, roles);
}

void FolderTreeModel::batchArrived(const FolderReader::Batch& batch)
{
    const Node* node = m_byKey.value(batch.folder);
    if (!node || node->ticket != batch.ticket)
        return;
    m_pending.push_back({batch, 0});
    if (!m_mergeTimer.isActive())
        m_mergeTimer.start();
}

void FolderTreeModel::readFailed(quint64 ticket, const QString& folder, const Error& error)
{
    Node* node = m_byKey.value(folder);
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
        Node* node = m_byKey.value(pending.batch.folder);
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

void FolderTreeModel::insertSorted(Node* parent, const std::vector<FolderReader::Entry>& entries,
                                   size_t begin, size_t end)
{
    const auto after = [](const FolderReader::Entry& entry, const std::unique_ptr<Node>& node) {
        return FolderReader::before(entry.sortKey, entry.name, node->sortKey, node->name);
    };
    auto& children = parent->children;
    const QModelIndex parentIndex = indexOf(parent);
    // Room to grow by doubling, not by each piece.
    if (children.capacity() < children.size() + (end - begin))
        children.reserve(std::max(children.size() + (end - begin), 2 * children.capacity()));
    if (m_byKey.capacity() < m_byKey.size() + qsizetype(end - begin))
        m_byKey.reserve(std::max(m_byKey.size() + qsizetype(end - begin), 2 * m_byKey.capacity()));
    size_t from = 0; // the entries are sorted, so each one goes after the one before
    size_t i = begin;
    while (i < end) {
        const size_t at =
            std::upper_bound(children.begin() + from, children.end(), entries[i], after) -
            children.begin();
        // A name the folder holds already sorts right before where it would go.
        if (at > 0 && children[at - 1]->name == entries[i].name) {
            from = at;
            ++i;
            continue;
        }
        // The run of entries that all go before the same child.
        size_t stop = i + 1;
        while (stop < end && (at == children.size() || after(entries[stop], children[at])))
            ++stop;
        std::vector<std::unique_ptr<Node>> run;
        run.reserve(stop - i);
        QList<Node*> toOpen;
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
        for (Node* child : toOpen) {
            const QString prefix = child->name + u'/';
            for (const QString& below : std::as_const(parent->reopen))
                if (below.startsWith(prefix))
                    child->reopen.append(below.mid(prefix.size()));
            openNode(child);
        }
    }
}

bool FolderTreeModel::syncWithPath(const QString& path)
{
    if (!m_root)
        return false;
    const QString target = treeKeyFor(path);
    if (target.isEmpty())
        return false;
    QStringList chain{m_root->key};
    const QString below = target.mid(m_root->key.size());
    QString key = m_root->key;
    for (const QString& part : below.split(u'/', Qt::SkipEmptyParts)) {
        key = childKey(key, part);
        chain.append(key);
    }
    // From the deepest folder the tree holds already; the ones above it stay
    // as they are.
    int start = int(chain.size()) - 1;
    while (start > 0 && !m_byKey.contains(chain.at(start)))
        --start;
    m_sync = {chain, start, QString(), true};
    syncStep();
    return true;
}

void FolderTreeModel::syncStep()
{
    if (!m_sync.waitingFor.isEmpty())
        return;
    while (m_sync.active && m_sync.next < m_sync.chain.size()) {
        Node* node = m_byKey.value(m_sync.chain.at(m_sync.next++));
        if (!node || node->state == NodeState::Leaf)
            continue;
        if (node->ticket == 0) {
            if (node->state == NodeState::Closed)
                openNode(node);
            else
                reload(node, true);
        }
        m_sync.waitingFor = node->key;
        return;
    }
    if (!m_sync.active)
        return;
    m_sync.active = false;
    emit synchronised(nodeForKey(m_sync.chain.last()));
}

void FolderTreeModel::continueSyncAfter(const QString& key)
{
    if (!m_sync.active || m_sync.waitingFor != key)
        return;
    m_sync.waitingFor.clear();
    // After the change under way is complete, not in its middle.
    QMetaObject::invokeMethod(this, &FolderTreeModel::syncStep, Qt::QueuedConnection);
}
