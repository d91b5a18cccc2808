#pragma once

#include "platform/deletekey.h"
#include "projectlist.h"

#include <QListView>

// The project list as the user handles it: several rows selected at once, Enter
// and double click to open, Delete and Shift+Delete to remove, a context menu
// over a row, the full path as each row's tooltip, and files dragged out of it
// or dropped on it. What the gestures do is the controller's; the view says
// which rows they concern.
class ProjectListView : public QListView {
    Q_OBJECT
public:
    explicit ProjectListView(QWidget* parent = nullptr);

    void setProjectList(ProjectList* list);
    ProjectList* projectList() const { return m_list; }

    // The selected rows in display order.
    QList<int> selectedRows() const;
    int currentRow() const;
    // Only the row is selected and current; the list takes the focus when asked.
    void SelectListItem(int row, bool focus);
    // Selects the row as well as the rows selected already, and makes it current.
    void addToSelection(int row);
    void selectAllEntries();
    // When no row is selected, the current one becomes selected.
    void selectCurrentWhenNone();
    // While held, the model's selection requests are gathered and shown at the
    // release as one change: a drop of many files does not select each in turn.
    void holdSelection();
    void releaseSelection();

    // True from a left press until the drag it may start has ended: the list
    // then refuses drops, so its own entries never come back to it.
    bool ListDragging = false;

signals:
    void openRequested();
    // Delete released: with confirm, each entry is asked about.
    void removeRequested(bool confirm);
    // A right press over a row (viewport position), or the menu key.
    void popupRequested(QPoint viewportPosition);
    // Local files dropped from elsewhere, in the order given.
    void filesDropped(const QStringList& paths);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool acceptsDrop(const QDropEvent* event) const;
    void applySelection(int row, ProjectList::SelectionMode mode);

    ProjectList* m_list = nullptr;
    bool m_held = false;
    DeleteKey m_delete;
    QList<std::pair<int, ProjectList::SelectionMode>> m_heldRequests;
};
