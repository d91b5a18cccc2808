#include "foldertreeview.h"

#include "foldertreemodel.h"
#include "platform/deletekey.h"
#include "platform/localfiles.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QHash>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>

namespace {

// The picture of each node state, from the icon theme with a fallback.
QIcon stateIcon(const QString& imageKey)
{
    static QHash<QString, QIcon> icons;
    const auto found = icons.constFind(imageKey);
    if (found != icons.constEnd())
        return *found;
    QIcon icon;
    if (imageKey == QLatin1String("root"))
        icon = QIcon::fromTheme(QStringLiteral("drive-harddisk"),
                                QIcon::fromTheme(QStringLiteral("folder")));
    else if (imageKey == QLatin1String("open"))
        icon = QIcon::fromTheme(QStringLiteral("folder-open"),
                                QIcon::fromTheme(QStringLiteral("folder")));
    else if (imageKey == QLatin1String("closed"))
        icon = QIcon::fromTheme(QStringLiteral("folder"));
    else
        icon = QIcon::fromTheme(QStringLiteral("text-x-generic"));
    icons.insert(imageKey, icon);
    return icon;
}

} // namespace

void FolderTreeDelegate::initStyleOption(QStyleOptionViewItem* option,
                                         const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    option->icon = stateIcon(index.data(FolderTreeModel::ImageKeyRole).toString());
    option->features |= QStyleOptionViewItem::HasDecoration;
}

void FolderTreeDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    // The edit starts from the name as it is.
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setText(index.data(Qt::DisplayRole).toString());
        line->selectAll();
    }
}

void FolderTreeDelegate::setModelData(QWidget* editor, QAbstractItemModel*,
                                      const QModelIndex& index) const
{
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        emit renameFinished(index, line->text());
}

FolderTreeView::FolderTreeView(QWidget* parent)
    : QTreeView(parent), m_delegate(new FolderTreeDelegate(this))
{
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setExpandsOnDoubleClick(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAcceptDrops(true);
    setAutoScroll(true);
    setItemDelegate(m_delegate);
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& node) {
        if (!m_syncing && m_model && m_model->state(node) == FolderTreeModel::NodeState::Closed)
            emit toggleRequested(node);
    });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex& node) {
        if (m_syncing || !m_model)
            return;
        const FolderTreeModel::NodeState state = m_model->state(node);
        if (state == FolderTreeModel::NodeState::Open || state == FolderTreeModel::NodeState::Root)
            emit toggleRequested(node);
    });
}

void FolderTreeView::setFolderModel(FolderTreeModel* model)
{
    m_model = model;
    setModel(model);
    connect(model, &QAbstractItemModel::dataChanged, this, &FolderTreeView::followModel);
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex& parent, int first, int last) {
                syncExpansion(parent);
                for (int row = first; row <= last; ++row)
                    syncExpansion(m_model->index(row, 0, parent));
            });
    connect(model, &QAbstractItemModel::modelReset, this,
            [this] { syncExpansion(m_model->rootIndex()); });
}

void FolderTreeView::followModel(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                 const QList<int>& roles)
{
    if (!roles.isEmpty() && !roles.contains(FolderTreeModel::StateRole))
        return;
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row)
        syncExpansion(topLeft.siblingAtRow(row));
}

void FolderTreeView::syncExpansion(const QModelIndex& node)
{
    if (!node.isValid() || !m_model)
        return;
    const FolderTreeModel::NodeState state = m_model->state(node);
    const bool open =
        state == FolderTreeModel::NodeState::Open || state == FolderTreeModel::NodeState::Root;
    if (isExpanded(node) == open)
        return;
    m_syncing = true;
    setExpanded(node, open);
    m_syncing = false;
}

void FolderTreeView::editName(const QModelIndex& node)
{
    if (!node.isValid())
        return;
    setCurrentIndex(node);
    scrollTo(node);
    // The model itself never takes a typed name: the delegate hands it on.
    QAbstractItemView::edit(node, QAbstractItemView::AllEditTriggers, nullptr);
}

bool FolderTreeView::overCheckBox(const QModelIndex& index, QPoint at) const
{
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect box = style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
    return box.contains(at);
}

bool FolderTreeView::overArrow(const QModelIndex& index, QPoint at) const
{
    return at.x() < visualRect(index).left();
}

bool FolderTreeView::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F5 &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        event->accept();
        return true;
    }
    return QTreeView::event(event);
}

void FolderTreeView::keyPressEvent(QKeyEvent* event)
{
    const QModelIndex node = currentIndex();
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (state() == QAbstractItemView::EditingState) {
            QTreeView::keyPressEvent(event);
            return;
        }
        event->accept();
        if (node.isValid() && m_model->state(node) == FolderTreeModel::NodeState::Leaf)
            emit openRequested(node);
        else if (node.isValid())
            emit toggleRequested(node);
        return;
    case Qt::Key_F5:
        if (event->modifiers() != Qt::NoModifier) {
            QTreeView::keyPressEvent(event);
            return;
        }
        event->accept();
        emit refreshRequested();
        return;
    case Qt::Key_Delete:
        m_delete.pressed(event);
        return;
    default:
        QTreeView::keyPressEvent(event);
    }
}

void FolderTreeView::keyReleaseEvent(QKeyEvent* event)
{
    if (!DeleteKey::isDelete(event)) {
        QTreeView::keyReleaseEvent(event);
        return;
    }
    event->accept();
    if (const std::optional<bool> undoable = m_delete.released(event))
        emit deleteRequested(*undoable);
}

void FolderTreeView::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const QModelIndex node = indexAt(at);
    m_pressPoint = at;
    m_pressed = node;
    m_shiftDrag = false;
    if (event->button() == Qt::RightButton) {
        if (node.isValid()) {
            setCurrentIndex(node);
            emit popupRequested(at);
        }
        event->accept();
        return;
    }
    m_pressOnCheck = node.isValid() && overCheckBox(node, at);
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier)) {
        // Shift+press starts a drag of the checked items, as the tree's own gesture.
        m_shiftDrag = node.isValid();
        if (node.isValid())
            setCurrentIndex(node);
        event->accept();
        return;
    }
    QTreeView::mousePressEvent(event);
}

void FolderTreeView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_shiftDrag && (event->buttons() & Qt::LeftButton)) {
        if ((event->position().toPoint() - m_pressPoint).manhattanLength() >=
            QApplication::startDragDistance()) {
            m_shiftDrag = false;
            emit dragRequested();
        }
        return;
    }
    QTreeView::mouseMoveEvent(event);
}

void FolderTreeView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const QModelIndex node = indexAt(at);
    const bool shiftDrag = m_shiftDrag;
    m_shiftDrag = false;
    if (shiftDrag) {
        event->accept();
        return;
    }
    QTreeView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !node.isValid() || node != m_pressed ||
        m_pressOnCheck || overArrow(node, at) || state() == QAbstractItemView::EditingState)
        return;
    if (m_model->state(node) == FolderTreeModel::NodeState::Leaf)
        emit fileClicked(node);
    else
        emit toggleRequested(node);
}

void FolderTreeView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex node = indexAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !node.isValid()) {
        QTreeView::mouseDoubleClickEvent(event);
        return;
    }
    event->accept();
    emit openRequested(node);
}

void FolderTreeView::contextMenuEvent(QContextMenuEvent* event)
{
    // The right press has asked for the menu already; the menu key has not.
    event->accept();
    if (event->reason() == QContextMenuEvent::Keyboard && currentIndex().isValid())
        emit popupRequested(visualRect(currentIndex()).center());
}

QModelIndex FolderTreeView::dropTarget(const QDropEvent* event) const
{
    const QModelIndex node = indexAt(event->position().toPoint());
    if (!node.isValid())
        return {};
    // Items dragged from here include their checked folders: not a place to drop them.
    if (event->source() == this && node.data(Qt::CheckStateRole).toInt() == Qt::Checked)
        return {};
    return node;
}

void FolderTreeView::dragEnterEvent(QDragEnterEvent* event)
{
    if (localFiles(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void FolderTreeView::dragMoveEvent(QDragMoveEvent* event)
{
    QTreeView::dragMoveEvent(event); // the view's own scrolling near its edges
    const QModelIndex node = dropTarget(event);
    if (!node.isValid() || localFiles(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    setCurrentIndex(node);
    // Only Ctrl (copy) or Shift (move) drops here: without them the pointer says so.
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    if (modifiers != Qt::ControlModifier && modifiers != Qt::ShiftModifier) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void FolderTreeView::dragLeaveEvent(QDragLeaveEvent* event)
{
    QTreeView::dragLeaveEvent(event);
}

void FolderTreeView::dropEvent(QDropEvent* event)
{
    const QModelIndex node = dropTarget(event);
    const QStringList paths = localFiles(event->mimeData());
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    const bool copy = modifiers == Qt::ControlModifier;
    const bool move = modifiers == Qt::ShiftModifier;
    if (!node.isValid() || paths.isEmpty() || !(copy || move)) {
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
        return;
    }
    // The tree does a move itself: the source is told "copy", so it never deletes.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    const QPersistentModelIndex target(node);
    const bool fromHere = event->source() == this;
    QTimer::singleShot(0, this, [this, target, paths, modifiers, fromHere] {
        emit filesDropped(target, paths, modifiers, fromHere);
    });
}
