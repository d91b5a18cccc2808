#include "foldertreewalk.h"

#include "foldernode.h"
#include "foldertreemodel.h"

#include <QFileInfo>

FolderTreeWalk::FolderTreeWalk(FolderTreeModel& model) : QObject(&model), m_model(model)
{
    connect(&model, &FolderTreeModel::folderRead, this, &FolderTreeWalk::continueAfter);
    connect(&model, &QAbstractItemModel::rowsRemoved, this, &FolderTreeWalk::recheck);
    connect(&model, &QAbstractItemModel::modelReset, this, &FolderTreeWalk::recheck);
    connect(&model, &QAbstractItemModel::dataChanged, this, &FolderTreeWalk::recheck);
}

QStringList FolderTreeWalk::keysFor(const QString& path, const QString& rootKey)
{
    QStringList keys{FolderNode::keyOf(path)};
    const QString canonical = QFileInfo(keys.first()).canonicalFilePath();
    if (canonical.isEmpty() || rootKey.isEmpty())
        return keys;
    if (canonical != keys.first())
        keys.append(canonical);
    const QString canonicalRoot = QFileInfo(rootKey).canonicalFilePath();
    if (!canonicalRoot.isEmpty() && canonicalRoot != rootKey &&
        FolderNode::holds(canonicalRoot, canonical))
        keys.append(FolderNode::keyOf(rootKey + u'/' + canonical.mid(canonicalRoot.size())));
    return keys;
}

bool FolderTreeWalk::start(const QString& path)
{
    const QString root = m_model.rootPath();
    QString target;
    for (const QString& key : keysFor(path, root)) {
        if (m_model.nodeForKey(key).isValid() || FolderNode::holds(root, key)) {
            target = key;
            break;
        }
    }
    if (root.isEmpty() || target.isEmpty())
        return false;
    m_chain = QStringList{root};
    for (const QString& part : target.mid(root.size()).split(u'/', Qt::SkipEmptyParts))
        m_chain.append(FolderNode::childKey(m_chain.last(), part));
    m_next = m_chain.size() - 1;
    while (m_next > 0 && !m_model.nodeForKey(m_chain.at(m_next)).isValid())
        --m_next;
    m_waitingFor.clear();
    m_active = true;
    step();
    return true;
}

void FolderTreeWalk::stop()
{
    m_active = false;
    m_waitingFor.clear();
}

void FolderTreeWalk::step()
{
    if (!m_active || !m_waitingFor.isEmpty())
        return;
    while (m_next < m_chain.size()) {
        const QModelIndex node = m_model.nodeForKey(m_chain.at(m_next++));
        const FolderTreeModel::NodeState state = m_model.state(node);
        if (!node.isValid() || state == FolderTreeModel::NodeState::Leaf)
            continue;
        if (!m_model.isReading(node)) {
            if (state == FolderTreeModel::NodeState::Closed)
                m_model.ToggleNode(node);
            else
                m_model.ReloadNode(node);
        }
        m_waitingFor = m_model.key(node);
        return;
    }
    m_active = false;
    emit finished(m_model.nodeForKey(m_chain.last()));
}

void FolderTreeWalk::recheck()
{
    if (!m_active || m_waitingFor.isEmpty())
        return;
    const QModelIndex node = m_model.nodeForKey(m_waitingFor);
    if (!node.isValid() || !m_model.isReading(node))
        continueAfter(m_waitingFor);
}

void FolderTreeWalk::continueAfter(const QString& key)
{
    if (!m_active || m_waitingFor != key)
        return;
    m_waitingFor.clear();
    // Once the change under way is complete, not in its middle.
    QMetaObject::invokeMethod(this, &FolderTreeWalk::step, Qt::QueuedConnection);
}
