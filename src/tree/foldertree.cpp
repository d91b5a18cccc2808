#include "foldertree.h"

#include "document/documentmanager.h"
#include "drivebox.h"
#include "drivelist.h"
#include "filenames.h"
#include "fileoperation.h"
#include "fileoperationrunner.h"
#include "filestepsgio.h"
#include "foldertreeview.h"
#include "menus/commandrouter.h"
#include "menus/menubars.h"
#include "platform/prompter.h"
#include "platform/settings.h"
#include "platform/waitcursor.h"
#include "project/itemopener.h"
#include "project/projectcontroller.h"
#include "project/projectentry.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDrag>
#include <QEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace {

QString countOf(const QStringList& paths)
{
    return paths.size() == 1
               ? QStringLiteral("\"") + QFileInfo(paths.first()).fileName() + QStringLiteral("\"")
               : QString::number(paths.size()) + QStringLiteral(" items");
}

QString childKey(const QString& parentKey, const QString& name)
{
    return parentKey.endsWith(u'/') ? parentKey + name : parentKey + u'/' + name;
}

bool present(const QString& path)
{
    return FileNames::occupied(path);
}

} // namespace

QString FolderTree::projectQuestion(const QString& name)
{
    return ProjectController::projectQuestion(name);
}

QString FolderTree::trashQuestion(const QStringList& paths)
{
    return QStringLiteral("Move ") + countOf(paths) + QStringLiteral(" to the trash?");
}

QString FolderTree::deleteQuestion(const QStringList& paths)
{
    return QStringLiteral("Delete ") + countOf(paths) +
           (paths.size() == 1 ? QStringLiteral(" permanently? It cannot be restored.")
                              : QStringLiteral(" permanently? They cannot be restored."));
}

QString FolderTree::trashRefusedQuestion(const QString& path)
{
    return path + QStringLiteral("\ncannot be moved to the trash. Delete it permanently? It "
                                 "cannot be restored.");
}

FolderTree::FolderTree(FrameContext& context, FolderTreeView* view, DriveBox* drives,
                       ProjectController& projects, QObject* parent)
    : QObject(parent), m_context(context), m_view(view), m_drives(drives), m_projects(projects),
      m_runner(new FileOperationRunner(context.window, this)), m_steps(gioFileSteps())
{
    setObjectName(QStringLiteral("FolderTree"));
    m_view->setFolderModel(&m_model);
    m_view->setContextMenuPolicy(Qt::DefaultContextMenu);
    connect(m_view, &FolderTreeView::toggleRequested, this, &FolderTree::ToggleNode);
    connect(m_view, &FolderTreeView::fileClicked, this, [this](const QModelIndex& node) {
        const bool checked = node.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        m_model.setData(node, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    });
    connect(m_view, &FolderTreeView::openRequested, this, [this](const QModelIndex& node) {
        select(node);
        OpenTreeNode(0);
    });
    connect(m_view, &FolderTreeView::deleteRequested, this, &FolderTree::DeleteTreeItems);
    connect(m_view, &FolderTreeView::refreshRequested, this, &FolderTree::mnuTreeRefresh_Click);
    connect(m_view, &FolderTreeView::popupRequested, this, &FolderTree::popUpMenu);
    connect(m_view, &FolderTreeView::dragRequested, this, &FolderTree::dragOut);
    connect(m_view, &FolderTreeView::filesDropped, this, &FolderTree::dropped);
    connect(m_view->delegate(), &FolderTreeDelegate::renameFinished, this,
            &FolderTree::renameFinished);
    connect(&m_model, &FolderTreeModel::folderRead, this, &FolderTree::folderRead);
    connect(&m_model, &FolderTreeModel::synchronised, this, [this](const QModelIndex& node) {
        if (node.isValid())
            select(node);
    });
    connect(&projects, &ProjectController::treeSyncRequested, this,
            &FolderTree::TreeSyncWithCurDir);
    connect(m_drives, &DriveBox::aboutToShowPopup, this, &FolderTree::fillDrives);
    connect(m_runner, &FileOperationRunner::finished, this, &FolderTree::operationFinished);
    fillDrives();
    connect(m_drives, &QComboBox::activated, this, [this] { driveChanged(); });
}

FolderTree::~FolderTree()
{
    closing();
}

void FolderTree::registerCommands(CommandRouter& router)
{
    router.add({
        {"mnuTreeSync", [this] { mnuTreeSync_Click(); }},
        {"mnuTreeDirChg", [this] { mnuTreeDirChg_Click(); }},
        {"mnuRCTreeDirChange", [this] { mnuTreeDirChg_Click(); }},
        {"mnuTreeCollapseAll", [this] { mnuTreeCollapseAll_Click(); }},
        {"mnuTreeClearSelections", [this] { mnuTreeClearSelections_Click(); }},
        {"mnuTreeRefresh", [this] { mnuTreeRefresh_Click(); }},
        {"mnuTreeOpen", [this] { OpenCheckedTreeItems(0); }},
        {"mnuTreeOpenExt", [this] { OpenCheckedTreeItems(1); }},
        {"mnuTreeOpenWith", [this] { OpenTreeNode(2); }},
        {"mnuRCTreeOpenWith", [this] { OpenTreeNode(2); }},
        {"mnuRCTreeOpen", [this] { OpenTreeNode(0); }},
        {"mnuRCTreeOpenExt", [this] { OpenTreeNode(1); }},
        {"mnuTreeExplore", [this] { mnuTreeExplore_Click(); }},
        {"mnuRCTreeExplore", [this] { mnuTreeExplore_Click(); }},
        {"mnuTreeCreateFolder", [this] { mnuTreeCreateFolder_Click(); }},
        {"mnuRCTreeCreateFolder", [this] { mnuTreeCreateFolder_Click(); }},
        {"mnuTreeRename", [this] { mnuTreeRename_Click(); }},
        {"mnuRCTreeRename", [this] { mnuTreeRename_Click(); }},
        {"mnuTreeDelete", [this] { DeleteTreeItems(true); }},
        {"mnuRCTreeDelete", [this] { mnuRCTreeDelete_Click(); }},
        {"mnuTreeCopyPath", [this] { mnuTreeCopyPath_Click(); }},
        {"mnuRCTreeCopyPath", [this] { mnuRCTreeCopyPath_Click(); }},
        {"mnuTreeAdd2List", [this] { mnuTreeAdd2List_Click(); }},
        {"mnuRCTreeAdd2List", [this] { mnuRCTreeAdd2List_Click(); }},
    });
}

void FolderTree::deferredStart()
{
    if (m_context.settings.boolean(Key::TreeSync))
        TreeSyncWithCurDir();
}

bool FolderTree::closing()
{
    return m_runner->cancelAndWait();
}

bool FolderTree::closeLater(std::function<void()> again)
{
    if (!m_runner->isAsking())
        return false;
    connect(this, &FolderTree::operationFinished, this, std::move(again), Qt::SingleShotConnection);
    closing();
    return true;
}

void FolderTree::fillDrives()
{
    const QStringList drives = DriveList::current();
    if (drives == m_driveList && m_drives->count() == drives.size())
        return;
    const QString current = m_drives->currentData().toString();
    m_driveList = drives;
    const QSignalBlocker quiet(m_drives);
    m_drives->clear();
    for (const QString& drive : drives)
        m_drives->addItem(drive == QDir::homePath() ? QStringLiteral("~ ") + drive : drive, drive);
    const int keep = m_drives->findData(current);
    m_drives->setCurrentIndex(keep >= 0 ? keep : 0);
}

QModelIndex FolderTree::selected() const
{
    return m_view->currentIndex();
}

bool FolderTree::isFile(const QModelIndex& node) const
{
    return node.isValid() && m_model.state(node) == FolderTreeModel::NodeState::Leaf;
}

QModelIndex FolderTree::folderOf(const QModelIndex& node) const
{
    return isFile(node) ? node.parent() : node;
}

void FolderTree::select(const QModelIndex& node)
{
    if (!node.isValid())
        return;
    m_view->setCurrentIndex(node);
    m_view->scrollTo(node);
}

void FolderTree::ChangeFolder(const QString& path)
{
    if (path.isEmpty()) {
        Prompter::tell(NoFolderText, MessageIcon::None);
        return;
    }
    if (QDir::setCurrent(path))
        return;
    const QFileInfo info(path);
    const QString why = !info.exists()  ? QStringLiteral("The folder does not exist.")
                        : !info.isDir() ? QStringLiteral("It is not a folder.")
                                        : QStringLiteral("Permission denied.");
    Prompter::tell(QStringLiteral("Folder: ") + path + u'\n' + why + u'\n' + CannotResolveText,
                   MessageIcon::Exclamation);
}

void FolderTree::ToggleNode(const QModelIndex& node)
{
    if (!node.isValid())
        return;
    // Opening a folder leaves the current folder alone: on Linux the current
    // folder follows a folder that is moved, into the trash as well, and the
    // synchronisation would follow it there.
    m_model.ToggleNode(node);
}

void FolderTree::ReloadNode(const QModelIndex& node)
{
    m_model.ReloadNode(node);
}

void FolderTree::driveChanged()
{
    const QString drive = m_drives->currentData().toString();
    if (drive.isEmpty())
        return;
    if (!QFileInfo(drive).isDir()) {
        Prompter::tell(QStringLiteral("Error: ") + drive +
                           QStringLiteral("\nThe drive cannot be read."),
                       MessageIcon::Exclamation);
        m_drives->setCurrentIndex(0);
        m_model.setRoot(QDir::homePath());
        return;
    }
    m_model.setRoot(drive);
    select(m_model.rootIndex());
    // Read each time: the options may have changed it since the start.
    if (m_context.settings.boolean(Key::TreeSync))
        m_model.syncWithPath(QDir::currentPath());
}

void FolderTree::TreeSyncWithCurDir()
{
    fillDrives();
    const QString current = QDir::currentPath();
    const QString drive = DriveList::driveOf(current, m_driveList);
    if (drive.isEmpty())
        return;
    if (m_model.rootPath() != FolderTreeModel::keyOf(drive)) {
        m_drives->setCurrentIndex(qMax(0, m_drives->findData(drive)));
        m_model.setRoot(drive);
    }
    m_model.syncWithPath(current);
}

void FolderTree::mnuTreeSync_Click()
{
    TreeSyncWithCurDir();
    m_view->setFocus();
}

void FolderTree::mnuTreeDirChg_Click()
{
    const QModelIndex node = folderOf(selected());
    if (node.isValid()) {
        ChangeFolder(m_model.key(node));
        if (m_model.state(node) == FolderTreeModel::NodeState::Open ||
            m_model.state(node) == FolderTreeModel::NodeState::Root)
            m_model.ReloadNode(node);
        else
            m_model.ToggleNode(node);
    }
    m_view->setFocus();
}

void FolderTree::mnuTreeCollapseAll_Click()
{
    if (!m_model.rootIndex().isValid())
        return;
    m_model.collapseAll();
    select(m_model.rootIndex());
    m_view->setFocus();
}

void FolderTree::mnuTreeClearSelections_Click()
{
    const WaitCursor wait;
    m_model.clearCheckMarks();
    m_view->setFocus();
}

void FolderTree::mnuTreeRefresh_Click()
{
    if (selected().isValid())
        m_model.refreshFolder(selected());
    m_view->setFocus();
}

void FolderTree::OpenTreeNode(int mode)
{
    const QModelIndex node = selected();
    if (!node.isValid())
        return;
    const QString path = m_model.key(node);
    if (!present(path)) {
        if (m_context.finishQueue)
            m_context.finishQueue();
        Prompter::tell(ProjectController::errorMessage(path, ItemOpener::FileNotFound),
                       MessageIcon::Exclamation);
        return;
    }
    if (mode == 1) {
        m_context.queuePath(path.endsWith(ProjectEntry::ShortcutSuffix, Qt::CaseInsensitive)
                                ? path
                                : path + ProjectEntry::ShortcutSuffix,
                            1);
        return;
    }
    if (mode == 2) {
        m_projects.opener().openWith(path);
        return;
    }
    if (isFile(node)) {
        if (path.endsWith(ProjectEntry::ProjectSuffix, Qt::CaseInsensitive)) {
            const int answer = Prompter::ask(projectQuestion(node.data().toString()),
                                             MessageButtons::YesNoCancel, MessageIcon::Information);
            if (answer == Answer::Cancel)
                return;
            if (answer == Answer::Yes) {
                if (m_projects.fncconfirm(QStringLiteral("Project")))
                    m_projects.LoadProject(path);
                return;
            }
        }
        m_context.queuePath(path, 1);
        return;
    }
    if (m_model.state(node) == FolderTreeModel::NodeState::Closed)
        ToggleNode(node);
}

void FolderTree::OpenCheckedTreeItems(int mode)
{
    if (!m_model.rootIndex().isValid())
        return;
    const WaitCursor wait;
    bool opened = false;
    const QModelIndexList checked = m_model.checkedNodes();
    QList<QPersistentModelIndex> files, folders;
    for (const QModelIndex& node : checked)
        (isFile(node) ? files : folders).append(node);
    for (const QPersistentModelIndex& node : std::as_const(files)) {
        if (!node.isValid())
            continue;
        select(node);
        OpenTreeNode(mode);
        opened = true;
        if (m_context.documents.yesNoAll().answer() == YesNoAllRegister::Cancel)
            return;
    }
    for (const QPersistentModelIndex& node : std::as_const(folders)) {
        if (!node.isValid() ||
            (mode == 0 && m_model.state(node) != FolderTreeModel::NodeState::Closed))
            continue;
        select(node);
        OpenTreeNode(mode);
        opened = true;
        if (mode == 1 || m_context.documents.yesNoAll().answer() == YesNoAllRegister::Cancel)
            break;
    }
    if (opened)
        return;
    const QModelIndex node = selected();
    if (isFile(node) ||
        (node.isValid() && m_model.state(node) == FolderTreeModel::NodeState::Closed)) {
        m_model.setData(node, Qt::Checked, Qt::CheckStateRole);
        OpenTreeNode(mode);
        return;
    }
    Prompter::tell(CheckToOpenText, MessageIcon::Exclamation);
    m_view->setFocus();
}

void FolderTree::mnuTreeExplore_Click()
{
    const QModelIndex node = folderOf(selected());
    if (!node.isValid())
        return;
    select(node);
    OpenTreeNode(1);
}

QStringList FolderTree::checkedPaths(bool withRoot)
{
    QStringList paths;
    const QModelIndex root = m_model.rootIndex();
    for (const QModelIndex& node : m_model.checkedNodes())
        if (withRoot || node != root)
            paths << m_model.key(node);
    if (paths.isEmpty()) {
        const QModelIndex node = selected();
        if (node.isValid() && (withRoot || node != root)) {
            m_model.setData(node, Qt::Checked, Qt::CheckStateRole);
            m_view->scrollTo(node);
            paths << m_model.key(node);
        }
    }
    return paths;
}

void FolderTree::DeleteTreeItems(bool allowUndo)
{
    if (!m_model.rootIndex().isValid())
        return;
    const QStringList paths = checkedPaths(false);
    if (paths.isEmpty()) {
        Prompter::tell(CheckToDeleteText, MessageIcon::Exclamation);
        return;
    }
    ShellDelete(paths, allowUndo);
    DropDeletedNodes();
}

bool FolderTree::ShellDelete(const QStringList& paths, bool allowUndo)
{
    const bool trash = allowUndo && !m_context.settings.boolean(Key::TreeDelMethod);
    if (trash) {
        if (Prompter::ask(trashQuestion(paths), MessageButtons::YesNo, MessageIcon::Question) !=
            Answer::Yes)
            return false;
    } else if (Prompter::ask(deleteQuestion(paths), MessageButtons::YesNo, MessageIcon::Exclamation,
                             2) != Answer::Yes) {
        return false;
    }
    FileOperation operation(trash ? FileOperationKind::Trash : FileOperationKind::Delete, paths,
                            QString(), m_steps);
    const FileReport report = m_runner->run(operation);
    if (report.trashRefused.isEmpty())
        return report.complete();
    // A volume without a trash: each item is asked about before it goes for good.
    YesNoAllRegister& batch = m_context.documents.yesNoAll();
    batch.presetBatch(true);
    QStringList forGood;
    for (const QString& path : report.trashRefused) {
        const int answer = m_context.documents.fncYesNoAll(trashRefusedQuestion(path));
        if (answer == YesNoAllRegister::Cancel)
            break;
        if (answer == YesNoAllRegister::Yes)
            forGood << path;
    }
    if (forGood.isEmpty())
        return false;
    FileOperation remove(FileOperationKind::Delete, forGood, QString(), m_steps);
    return m_runner->run(remove).complete() && report.complete();
}

void FolderTree::DropDeletedNodes()
{
    const WaitCursor wait;
    m_model.DropDeletedNodes();
    m_view->setFocus();
}

void FolderTree::mnuRCTreeDelete_Click()
{
    const QModelIndex node = selected();
    if (!node.isValid() || node == m_model.rootIndex())
        return;
    const QPersistentModelIndex kept(node);
    const QString path = m_model.key(node);
    ShellDelete({path}, true);
    if (kept.isValid() && !present(path))
        m_model.removeNode(kept);
    m_view->setFocus();
}

void FolderTree::mnuTreeCopyPath_Click()
{
    if (!m_model.rootIndex().isValid())
        return;
    const QStringList paths = checkedPaths(true);
    if (!paths.isEmpty()) {
        auto* data = new QMimeData;
        data->setText(paths.join(u'\n'));
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls << QUrl::fromLocalFile(path);
        data->setUrls(urls);
        QGuiApplication::clipboard()->setMimeData(data);
    }
    m_view->setFocus();
}

void FolderTree::mnuRCTreeCopyPath_Click()
{
    const QModelIndex node = selected();
    if (node.isValid())
        QGuiApplication::clipboard()->setText(m_model.key(node));
}

void FolderTree::mnuTreeAdd2List_Click()
{
    if (!m_model.rootIndex().isValid())
        return;
    const WaitCursor wait;
    QList<QPersistentModelIndex> nodes;
    for (const QModelIndex& node : m_model.checkedNodes())
        nodes << node;
    if (nodes.isEmpty() && selected().isValid()) {
        m_model.setData(selected(), Qt::Checked, Qt::CheckStateRole);
        nodes << selected();
    }
    for (const QPersistentModelIndex& node : std::as_const(nodes)) {
        if (!node.isValid())
            continue;
        select(node);
        mnuRCTreeAdd2List_Click();
    }
}

void FolderTree::mnuRCTreeAdd2List_Click()
{
    const QModelIndex node = selected();
    if (!node.isValid())
        return;
    QString path = m_model.key(node);
    // A folder entry ends with "/", the root's too.
    if (!isFile(node) && !path.endsWith(u'/'))
        path += u'/';
    m_projects.AddNewDocOrLink(path);
}

void FolderTree::mnuTreeCreateFolder_Click()
{
    const QModelIndex folder = folderOf(selected());
    if (!folder.isValid())
        return;
    const QString parent = m_model.key(folder);
    const QString name = FileNames::uniqueFolderName(parent);
    const QString path = childKey(parent, name);
    const Status made = m_steps.makeFolder(path);
    if (!made) {
        Prompter::tell(QStringLiteral("Error: ") + path + u'\n' + made.error().message,
                       MessageIcon::Exclamation);
        return;
    }
    const FolderTreeModel::NodeState state = m_model.state(folder);
    if (state == FolderTreeModel::NodeState::Closed) {
        // Its content is read first; the new folder is edited once it shows.
        m_editAfterRead = path;
        ToggleNode(folder);
        return;
    }
    if (m_model.isReading(folder)) {
        m_editAfterRead = path;
        return;
    }
    const QModelIndex added = m_model.addNode(folder, name, true);
    OldLabel = name;
    m_view->editName(added);
}

void FolderTree::mnuTreeRename_Click()
{
    const QModelIndex node = selected();
    if (!m_model.rootIndex().isValid() || !node.isValid())
        return;
    if (node == m_model.rootIndex()) {
        Prompter::tell(RenameDriveText, MessageIcon::Exclamation);
        return;
    }
    if (OldLabel.isEmpty())
        OldLabel = node.data().toString();
    editAgain(m_model.key(node));
}

void FolderTree::editAgain(const QString& key)
{
    // After the menu or the message has gone, as the editor needs the focus.
    QTimer::singleShot(100, this, [this, key] {
        const QModelIndex node = m_model.nodeForKey(key);
        if (node.isValid())
            m_view->editName(node);
    });
}

void FolderTree::renameFinished(const QModelIndex& node, const QString& newName)
{
    if (!node.isValid())
        return;
    const QString oldName = node.data().toString();
    const QString key = m_model.key(node);
    if (newName == oldName) {
        OldLabel.clear();
        return;
    }
    if (newName.isEmpty()) {
        Prompter::tell(FileNames::EmptyNameText, MessageIcon::Exclamation);
        editAgain(key);
        return;
    }
    const Result<QString> renamed = FileNames::rename(key, newName, m_steps);
    if (!renamed) {
        Prompter::tell(QStringLiteral("Error: ") + oldName + u'\n' + renamed.error().message,
                       MessageIcon::Exclamation);
        editAgain(key);
        return;
    }
    OldLabel.clear();
    m_context.documents.renamedOnDisk(key, renamed.value());
    m_selectAfterRead = renamed.value();
    const QModelIndex parent = node.parent();
    m_model.ReloadNode(parent);
}

void FolderTree::folderRead(const QString& key)
{
    if (!m_editAfterRead.isEmpty() &&
        FolderTreeModel::keyOf(QFileInfo(m_editAfterRead).path()) == key) {
        const QModelIndex added = m_model.nodeForKey(m_editAfterRead);
        m_editAfterRead.clear();
        if (added.isValid()) {
            OldLabel = added.data().toString();
            m_view->editName(added);
        }
    }
    if (!m_selectAfterRead.isEmpty() &&
        FolderTreeModel::keyOf(QFileInfo(m_selectAfterRead).path()) == key) {
        select(m_model.nodeForKey(m_selectAfterRead));
        m_selectAfterRead.clear();
    }
}

void FolderTree::popUpMenu(QPoint viewportPosition)
{
    m_context.PopupPos = m_view->viewport()->mapTo(m_context.window, viewportPosition);
    if (!m_context.menus)
        return;
    if (QMenu* menu = m_context.menus->popup(QStringLiteral("mnuRCTree")))
        menu->popup(m_view->viewport()->mapToGlobal(viewportPosition));
}

void FolderTree::dragOut()
{
    const QStringList paths = checkedPaths(false);
    if (paths.isEmpty())
        return;
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data->setUrls(urls);
    data->setText(paths.join(u'\n'));
    auto* drag = new QDrag(m_view);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
    // What another program moved away leaves the tree.
    DropDeletedNodes();
}

void FolderTree::dropped(const QModelIndex& target, const QStringList& paths,
                         Qt::KeyboardModifiers modifiers, bool)
{
    const std::optional<FileOperationKind> kind = FileOperation::dropKind(modifiers);
    if (!target.isValid() || !kind)
        return;
    QPersistentModelIndex node(target);
    if (isFile(node)) {
        if (Prompter::ask(QStringLiteral("Folder: ") + node.parent().data().toString() +
                              QStringLiteral("\n\n") +
                              (*kind == FileOperationKind::Move ? MoveHereText : CopyHereText),
                          MessageButtons::YesNo, MessageIcon::Question) != Answer::Yes)
            return;
        node = node.parent();
    }
    if (!node.isValid())
        return;
    const QString destination = m_model.key(node);
    {
        const WaitCursor wait;
        FileOperation operation(*kind, paths, destination, m_steps);
        m_runner->run(operation);
    }
    if (*kind == FileOperationKind::Move)
        for (const QString& path : FilePlan::topSources(paths))
            m_context.documents.movedOnDisk(path,
                                            QDir(destination).filePath(QFileInfo(path).fileName()));
    if (!node.isValid())
        return;
    select(node);
    m_view->setFocus();
    if (m_model.state(node) == FolderTreeModel::NodeState::Closed)
        ToggleNode(node);
    else
        m_model.ReloadNode(node);
    if (*kind == FileOperationKind::Move) {
        rereadFoldersOf(paths);
        // Re-reading the target's own folder made a new node of it.
        if (!node.isValid())
            m_selectAfterRead = destination;
    }
}

void FolderTree::rereadFoldersOf(const QStringList& paths)
{
    QSet<QString> folders;
    for (const QString& path : paths)
        folders.insert(FolderTreeModel::keyOf(QFileInfo(path).path()));
    for (const QString& key : std::as_const(folders)) {
        const QModelIndex folder = m_model.nodeForKey(key);
        if (folder.isValid() && m_model.state(folder) != FolderTreeModel::NodeState::Closed)
            m_model.ReloadNode(folder);
    }
}
