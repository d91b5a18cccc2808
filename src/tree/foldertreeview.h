#pragma once

#include "platform/deletekey.h"

#include <QStyledItemDelegate>
#include <QTreeView>

class FolderTreeModel;

// Draws each node with the picture of its state and hands a finished rename to
// the tree instead of writing it into the model: the file must be renamed first.
class FolderTreeDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

signals:
    void renameFinished(const QModelIndex& node, const QString& newName) const;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

// The folder tree as the user handles it: a click opens or closes a folder or
// ticks a file, Enter and double click open, Delete and Shift+Delete delete,
// Shift+drag drags the checked items out, and files dropped on a folder with
// Ctrl are copied there, with Shift moved. The view keeps its expansion in step
// with the model's open folders; what the gestures do is the tree's.
class FolderTreeView : public QTreeView {
    Q_OBJECT
public:
    explicit FolderTreeView(QWidget* parent = nullptr);

    void setFolderModel(FolderTreeModel* model);
    FolderTreeModel* folderModel() const { return m_model; }
    FolderTreeDelegate* delegate() const { return m_delegate; }
    // Starts an edit of the node's name.
    void editName(const QModelIndex& node);

signals:
    // A click on a node (not on its check box) or its arrow.
    void toggleRequested(const QModelIndex& node);
    void fileClicked(const QModelIndex& node);
    void openRequested(const QModelIndex& node);
    void deleteRequested(bool allowUndo);
    // F5 in the tree, also while a document's bar claims the key.
    void refreshRequested();
    void popupRequested(QPoint viewportPosition);
    // Shift+press and move: the checked items (or the selected one) go out.
    void dragRequested();
    // Local files dropped on a node with the modifiers held at the drop.
    void filesDropped(const QModelIndex& node, const QStringList& paths,
                      Qt::KeyboardModifiers modifiers, bool fromThisTree);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool overCheckBox(const QModelIndex& index, QPoint at) const;
    bool overArrow(const QModelIndex& index, QPoint at) const;
    QModelIndex dropTarget(const QDropEvent* event) const;
    void followModel(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles);
    void syncExpansion(const QModelIndex& node);

    FolderTreeModel* m_model = nullptr;
    FolderTreeDelegate* m_delegate;
    QPoint m_pressPoint;
    QPersistentModelIndex m_pressed;
    bool m_pressOnCheck = false;
    bool m_shiftDrag = false;
    DeleteKey m_delete;
    bool m_syncing = false;
};
