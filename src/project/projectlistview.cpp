#include "projectlistview.h"

#include "platform/localfiles.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>

ProjectListView::ProjectListView(QWidget* parent) : QListView(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDefaultDropAction(Qt::CopyAction);
}

void ProjectListView::setProjectList(ProjectList* list)
{
    if (m_list)
        disconnect(m_list, nullptr, this, nullptr);
    m_list = list;
    setModel(list);
    connect(list, &ProjectList::selectionRequested, this, &ProjectListView::applySelection);
}

QList<int> ProjectListView::selectedRows() const
{
    QList<int> rows;
    if (!selectionModel())
        return rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int ProjectListView::currentRow() const
{
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

void ProjectListView::SelectListItem(int row, bool focus)
{
    const QModelIndex index = model() ? model()->index(row, 0) : QModelIndex();
    if (index.isValid()) {
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        scrollTo(index);
    } else if (selectionModel()) {
        selectionModel()->clearSelection();
    }
    if (focus)
        setFocus(Qt::OtherFocusReason);
}

void ProjectListView::addToSelection(int row)
{
    const QModelIndex index = model() ? model()->index(row, 0) : QModelIndex();
    if (!index.isValid())
        return;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::Select);
    scrollTo(index);
}

void ProjectListView::selectAllEntries()
{
    if (!model() || model()->rowCount() < 2) {
        selectionModel()->clearSelection();
        return;
    }
    const QModelIndex first = model()->index(1, 0);
    const QModelIndex last = model()->index(model()->rowCount() - 1, 0);
    selectionModel()->select(QItemSelection(first, last), QItemSelectionModel::ClearAndSelect);
    // The entries, not the first row, are what Open and Remove then act on.
    selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
}

void ProjectListView::selectCurrentWhenNone()
{
    if (!model() || model()->rowCount() == 0 || selectionModel()->hasSelection())
        return;
    const QModelIndex current = currentIndex().isValid() ? currentIndex() : model()->index(0, 0);
    selectionModel()->setCurrentIndex(current, QItemSelectionModel::Select);
}

void ProjectListView::holdSelection()
{
    m_held = true;
    m_heldRequests.clear();
}

void ProjectListView::releaseSelection()
{
    m_held = false;
    // What the last "only this row" left, with the rows added to it since.
    qsizetype from = 0;
    for (qsizetype i = m_heldRequests.size() - 1; i >= 0 && from == 0; --i)
        if (m_heldRequests.at(i).second == ProjectList::SelectionMode::Only)
            from = i;
    for (qsizetype i = from; i < m_heldRequests.size(); ++i)
        applySelection(m_heldRequests.at(i).first, m_heldRequests.at(i).second);
    m_heldRequests.clear();
}

void ProjectListView::applySelection(int row, ProjectList::SelectionMode mode)
{
    if (m_held) {
        m_heldRequests.append({row, mode});
        return;
    }
    if (mode == ProjectList::SelectionMode::Only)
        SelectListItem(row, false);
    else
        addToSelection(row);
}

void ProjectListView::focusInEvent(QFocusEvent* event)
{
    QListView::focusInEvent(event);
    selectCurrentWhenNone();
}

void ProjectListView::focusOutEvent(QFocusEvent* event)
{
    QListView::focusOutEvent(event);
    // A menu or a question opening over the list is not the user leaving it:
    // the row they act on must stay selected.
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason ||
        reason == Qt::ActiveWindowFocusReason)
        return;
    const QList<int> rows = selectedRows();
    if (rows.size() == 1 && rows.first() == currentRow())
        selectionModel()->select(currentIndex(), QItemSelectionModel::Deselect);
}

void ProjectListView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        emit openRequested();
        return;
    case Qt::Key_Delete:
        m_delete.pressed(event);
        return;
    default:
        if (event->matches(QKeySequence::SelectAll)) {
            // The entries, as "Select all" has it: the first row opens a new document.
            event->accept();
            selectAllEntries();
            return;
        }
        QListView::keyPressEvent(event);
    }
}

void ProjectListView::keyReleaseEvent(QKeyEvent* event)
{
    if (!DeleteKey::isDelete(event)) {
        QListView::keyReleaseEvent(event);
        return;
    }
    event->accept();
    if (const std::optional<bool> undoable = m_delete.released(event))
        emit removeRequested(*undoable);
}

void ProjectListView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        ListDragging = false;
        const QModelIndex index = indexAt(event->position().toPoint());
        if (index.isValid()) {
            addToSelection(index.row());
            emit popupRequested(event->position().toPoint());
        }
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton)
        ListDragging = true;
    QListView::mousePressEvent(event);
}

void ProjectListView::mouseReleaseEvent(QMouseEvent* event)
{
    QListView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        ListDragging = false;
}

void ProjectListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    ListDragging = false;
    if (event->button() != Qt::LeftButton) {
        QListView::mouseDoubleClickEvent(event);
        return;
    }
    event->accept();
    emit openRequested();
}

void ProjectListView::contextMenuEvent(QContextMenuEvent* event)
{
    // The right press has already asked for the menu; the menu key has not.
    event->accept();
    if (event->reason() != QContextMenuEvent::Keyboard || !currentIndex().isValid())
        return;
    selectCurrentWhenNone();
    emit popupRequested(visualRect(currentIndex()).center());
}

void ProjectListView::startDrag(Qt::DropActions)
{
    if (!m_list)
        return;
    selectCurrentWhenNone();
    QMimeData* data = m_list->dragData(selectedRows());
    if (!data) {
        ListDragging = false;
        return;
    }
    ListDragging = true;
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    // Copy only: a target must never take the user's files away from where they are.
    drag->exec(Qt::CopyAction, Qt::CopyAction);
    ListDragging = false;
}

bool ProjectListView::acceptsDrop(const QDropEvent* event) const
{
    if (ListDragging || event->source() == this || !(event->possibleActions() & Qt::CopyAction))
        return false;
    return !localFiles(event->mimeData()).isEmpty();
}

void ProjectListView::dragEnterEvent(QDragEnterEvent* event)
{
    if (!acceptsDrop(event)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void ProjectListView::dragMoveEvent(QDragMoveEvent* event)
{
    if (!acceptsDrop(event)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void ProjectListView::dropEvent(QDropEvent* event)
{
    if (!acceptsDrop(event)) {
        event->ignore();
        return;
    }
    const QStringList paths = ProjectList::droppedPaths(*event->mimeData());
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // The source waits until the drop returns; questions about the paths come after.
    QTimer::singleShot(0, this, [this, paths] { emit filesDropped(paths); });
}
