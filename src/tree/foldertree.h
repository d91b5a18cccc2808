#pragma once

#include "document/framecontext.h"
#include "filesteps.h"
#include "foldertreemodel.h"

#include <QObject>
#include <QString>
#include <functional>

class FileOperationRunner;
class FolderTreeView;
class ProjectController;
class DriveBox;

// The folder tree's commands: drives, opening and closing folders, following
// the current folder, opening checked items by the open rules, and the small
// file manager (new folder, rename, delete, copy and move by drag and drop,
// copied paths, adding to the project).
class FolderTree : public QObject {
    Q_OBJECT
public:
    static inline const QString NoFolderText = QStringLiteral("Please enter the directory to CD");
    static inline const QString CannotResolveText = QStringLiteral("Cannot resolve to this folder");
    static inline const QString CheckToOpenText =
        QStringLiteral("Please checkmark the items you want to open");
    static inline const QString CheckToDeleteText =
        QStringLiteral("Please checkmark the items you want to delete");
    static inline const QString RenameDriveText =
        QStringLiteral("Cannot rename the drive from this application.");
    static inline const QString CopyHereText =
        QStringLiteral("Do you want to copy to the above folder?");
    static inline const QString MoveHereText =
        QStringLiteral("Do you want to move to the above folder?");
    static QString projectQuestion(const QString& name);
    static QString trashQuestion(const QStringList& paths);
    static QString deleteQuestion(const QStringList& paths);
    static QString trashRefusedQuestion(const QString& path);

    FolderTree(FrameContext& context, FolderTreeView* view, DriveBox* drives,
               ProjectController& projects, QObject* parent = nullptr);
    ~FolderTree() override;
    void registerCommands(CommandRouter& router);
    // Follows the current folder when "TreeSync" is set.
    void deferredStart();
    // A file operation still running stops and is waited for. False while its
    // question is open: the question closes, and operationFinished() follows.
    bool closing();
    // Told to close while a file operation's question waits (a logout, a
    // terminate signal), nothing can wait for the operation: the question
    // closes as cancelled and again runs once the operation has ended. False
    // when no question waits and the close can go on now.
    bool closeLater(std::function<void()> again);

    FolderTreeModel& model() { return m_model; }
    FolderTreeView* view() const { return m_view; }
    // The file steps, replaced in tests.
    void setSteps(FileSteps steps) { m_steps = std::move(steps); }
    // The drives on offer, home first; read again as the box opens.
    void fillDrives();

    void ChangeFolder(const QString& path);
    void ToggleNode(const QModelIndex& node);
    void ReloadNode(const QModelIndex& node);
    void TreeSyncWithCurDir();
    void driveChanged();
    void OpenTreeNode(int mode);
    void OpenCheckedTreeItems(int mode);
    void DeleteTreeItems(bool allowUndo);
    bool ShellDelete(const QStringList& paths, bool allowUndo);
    void DropDeletedNodes();

    void mnuTreeSync_Click();
    void mnuTreeDirChg_Click();
    void mnuTreeCollapseAll_Click();
    void mnuTreeClearSelections_Click();
    void mnuTreeRefresh_Click();
    void mnuTreeExplore_Click();
    void mnuTreeCreateFolder_Click();
    void mnuTreeRename_Click();
    void mnuRCTreeDelete_Click();
    void mnuTreeCopyPath_Click();
    void mnuRCTreeCopyPath_Click();
    void mnuTreeAdd2List_Click();
    void mnuRCTreeAdd2List_Click();

    // The name of the node being renamed, from before the first edit.
    QString OldLabel;

signals:
    void operationFinished();

private:
    QModelIndex selected() const;
    // The node, or its folder when it is a file.
    QModelIndex folderOf(const QModelIndex& node) const;
    bool isFile(const QModelIndex& node) const;
    void select(const QModelIndex& node);
    // The checked nodes, or the selected one checked when none is.
    QStringList checkedPaths(bool withRoot);
    void renameFinished(const QModelIndex& node, const QString& newName);
    void editAgain(const QString& key);
    void dragOut();
    void dropped(const QModelIndex& node, const QStringList& paths, Qt::KeyboardModifiers modifiers,
                 bool fromThisTree);
    // Reads the open folders that hold or held the paths again.
    void rereadFoldersOf(const QStringList& paths);
    void folderRead(const QString& key);
    void popUpMenu(QPoint viewportPosition);

    FrameContext& m_context;
    FolderTreeModel m_model;
    FolderTreeView* m_view;
    DriveBox* m_drives;
    ProjectController& m_projects;
    FileOperationRunner* m_runner;
    FileSteps m_steps;
    QStringList m_driveList;
    // A node to select, or to edit, once its folder has been read.
    QString m_selectAfterRead;
    QString m_editAfterRead;
};
