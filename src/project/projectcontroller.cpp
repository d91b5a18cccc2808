#include "projectcontroller.h"

#include "document/commondialogapi.h"
#include "document/documentcontroller.h"
#include "document/documentmanager.h"
#include "document/frmtext.h"
#include "itemopener.h"
#include "menus/commandrouter.h"
#include "menus/menubars.h"
#include "platform/prompter.h"
#include "platform/settings.h"
#include "platform/waitcursor.h"
#include "projectentry.h"
#include "projectlistview.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QPointer>

namespace {

// The project dialogs leave the chosen file's folder current, so the tree and
// the next dialog start there.
void makeFolderCurrent(const QString& file)
{
    QDir::setCurrent(QFileInfo(file).absolutePath());
}

} // namespace

QString ProjectController::linkQuestion(const QString& entry)
{
    return QStringLiteral("Add a read-only shortcut to the project for\n") + entry +
           QStringLiteral(" ?");
}

QString ProjectController::removeQuestion(const QString& entry)
{
    return QStringLiteral("Remove ") + entry + QStringLiteral("\nfrom the project?");
}

QString ProjectController::changedQuestion(const QString& projectFile)
{
    return QStringLiteral("Project ") + projectFile +
           QStringLiteral(" has been changed.\nDo you want to save the changes before continuing?");
}

QString ProjectController::errorMessage(const QString& path, const QString& description)
{
    return QStringLiteral("Error: ") + path + u'\n' + description;
}

ProjectController::ProjectController(FrameContext& context, ProjectListView* list,
                                     DocumentController& documents, QObject* parent)
    : QObject(parent), m_context(context), m_view(list), m_documents(documents),
      m_opener(new ItemOpener(context, this))
{
    setObjectName(QStringLiteral("ProjectController"));
    m_view->setProjectList(&m_list);
    connect(m_view, &ProjectListView::openRequested, this, [this] { OpenListItems(0); });
    connect(m_view, &ProjectListView::removeRequested, this,
            &ProjectController::RemoveSelectedItems);
    connect(m_view, &ProjectListView::popupRequested, this, &ProjectController::popUpMenu);
    connect(m_view, &ProjectListView::filesDropped, this, &ProjectController::dropFiles);
    // The project file edited as a document: the list shows what was saved.
    connect(&m_context.documents, &DocumentManager::documentSaved, this,
            [this](const QString& path) {
                if (!m_list.ProjectFile().isEmpty() && m_list.ProjectSaved() &&
                    ProjectEntry::samePath(path, m_list.ProjectFile()))
                    LoadProject(m_list.ProjectFile(), false);
            });
    showCaption();
}

void ProjectController::registerCommands(CommandRouter& router)
{
    router.add({
        {"mnuNewProject", [this] { mnuNewProject_Click(); }},
        {"mnuOpen", [this] { mnuopen_Click(); }},
        {"mnuSaveProject", [this] { mnuSaveProject_click(); }},
        {"mnuSaveProjectAs", [this] { mnuSaveProjectAs_Click(); }},
        {"mnuLinkAdd", [this] { mnuLinkAdd_Click(); }},
        {"mnuAddFile", [this] { mnuAddFile_Click(); }},
        {"mnuRemoveFile", [this] { mnuRemoveFile_Click(); }},
        {"mnuRCRemove", [this] { mnuRemoveFile_Click(); }},
        {"mnuListEditPrj", [this] { mnuListEditPrj_Click(); }},
        {"mnuOpenFromList", [this] { OpenListItems(0); }},
        {"mnuRCOpenFromList", [this] { OpenListItems(0); }},
        {"mnuListOpenExt", [this] { OpenListItems(1); }},
        {"mnuRCListOpenExt", [this] { OpenListItems(1); }},
        {"mnuListOpenWith", [this] { OpenListItems(2); }},
        {"mnuRCListOpenWith", [this] { mnuRCListOpenWith_Click(); }},
        {"mnuSelectAll", [this] { mnuSelectAll_Click(); }},
        {"mnuProjListClearSelected", [this] { mnuProjListClearSelected_Click(); }},
        {"mnuListSort", [this] { mnuListSort_Click(); }},
        {"mnuRCListSort", [this] { mnuListSort_Click(); }},
        {"mnuCopyListPath", [this] { mnuCopyListPath_Click(); }},
        {"mnuRCCopyPath", [this] { mnuCopyListPath_Click(); }},
    });
    router.add(
        QStringLiteral("mnuAddAll"), [this] { mnuAddAll_Click(); }, Enabled::WithAnyDocument);
}

void ProjectController::deferredStart()
{
    LoadProject(QString());
}

void ProjectController::showCaption()
{
    m_context.window->setWindowTitle(CaptionPrefix + m_list.ProjectFile());
}

void ProjectController::LoadProject(const QString& projectFile, bool focus)
{
    Status status;
    {
        const WaitCursor wait;
        status = m_list.LoadProject(projectFile);
    }
    if (!status)
        Prompter::tell(status.error().message, MessageIcon::Exclamation);
    showCaption();
    SelectListItem(0, focus);
    if (!m_list.ProjectFile().isEmpty())
        emit projectLoaded(m_list.ProjectFile());
}

bool ProjectController::AddNewDocOrLink(const QString& path)
{
    const ProjectList::AddResult result = m_list.AddNewDocOrLink(path);
    switch (result.outcome) {
    case ProjectList::Outcome::Added:
        m_view->setFocus(Qt::OtherFocusReason);
        return true;
    case ProjectList::Outcome::AlreadyListed:
        return true;
    case ProjectList::Outcome::Refused:
        break;
    }
    Prompter::tell(result.errorMessage, MessageIcon::Exclamation);
    return false;
}

void ProjectController::SelectListItem(int row, bool focus)
{
    m_view->SelectListItem(row, focus);
}

void ProjectController::RemoveSelectedItems(bool confirm)
{
    if (m_view->currentRow() <= 0)
        return;
    YesNoAllRegister& batch = m_context.documents.yesNoAll();
    batch.chkAllVisible = confirm;
    batch.chkAll = !confirm;
    batch.set(YesNoAllRegister::Yes);
    QList<int> marked;
    for (const int row : m_view->selectedRows()) {
        if (row <= 0)
            continue;
        const int answer = m_context.documents.fncYesNoAll(removeQuestion(m_list.pathOfRow(row)));
        if (answer == YesNoAllRegister::Cancel)
            break;
        if (answer == YesNoAllRegister::Yes)
            marked.append(row);
    }
    m_list.removeEntries(marked);
    SelectListItem(0, true);
}

bool ProjectController::fncconfirm(const QString& word)
{
    if (word != QLatin1String("Project") || m_list.ProjectSaved())
        return true;
    switch (Prompter::ask(changedQuestion(m_list.ProjectFile()), MessageButtons::YesNoCancel,
                          MessageIcon::Question)) {
    case Answer::Yes:
        // Going on after a failed or cancelled save would lose the changes.
        return mnuSaveProject_click();
    case Answer::No:
        return true;
    default:
        return false;
    }
}

void ProjectController::mnuNewProject_Click()
{
    if (fncconfirm(QStringLiteral("Project")))
        LoadProject(QString());
}

void ProjectController::mnuopen_Click()
{
    if (!fncconfirm(QStringLiteral("Project")))
        return;
    const QString chosen = CommonDialogAPI::ShowOpen(
        m_context.window, QStringLiteral(".prj"), OpenProjectFilter,
        CommonDialogAPI::OFN_CREATEPROMPT | CommonDialogAPI::OFN_HIDEREADONLY, QString(),
        OpenProjectTitle, 1, m_list.ProjectFile());
    if (chosen.isEmpty())
        return;
    makeFolderCurrent(chosen);
    LoadProject(QFileInfo(chosen).absoluteFilePath());
    syncTreeWhenAsked();
}

bool ProjectController::mnuSaveProject_click()
{
    if (m_list.ProjectFile().isEmpty())
        return mnuSaveProjectAs_Click();
    const Status status = m_list.save();
    if (!status) {
        Prompter::tell(status.error().message, MessageIcon::Exclamation);
        return false;
    }
    showCaption();
    emit projectSaved(m_list.ProjectFile());
    return true;
}

bool ProjectController::mnuSaveProjectAs_Click()
{
    const QString chosen = CommonDialogAPI::ShowSave(
        m_context.window, QStringLiteral(".prj"), SaveProjectFilter,
        CommonDialogAPI::OFN_OVERWRITEPROMPT | CommonDialogAPI::OFN_CREATEPROMPT |
            CommonDialogAPI::OFN_HIDEREADONLY,
        m_list.ProjectFile(), QString(), QString(), 1);
    if (chosen.isEmpty())
        return false;
    makeFolderCurrent(chosen);
    const Status status = m_list.saveAs(QFileInfo(chosen).absoluteFilePath());
    if (!status) {
        Prompter::tell(status.error().message, MessageIcon::Exclamation);
        return false;
    }
    showCaption();
    emit projectSaved(m_list.ProjectFile());
    syncTreeWhenAsked();
    return true;
}

void ProjectController::syncTreeWhenAsked()
{
    if (m_context.settings.boolean(Key::TreeSync))
        emit treeSyncRequested();
}

void ProjectController::mnuLinkAdd_Click()
{
    QString chosen = CommonDialogAPI::ShowOpen(m_context.window, QString(), LinkFilter,
                                               CommonDialogAPI::OFN_FILEMUSTEXIST |
                                                   CommonDialogAPI::OFN_HIDEREADONLY |
                                                   CommonDialogAPI::OFN_NODEREFERENCELINKS,
                                               QString(), LinkTitle, 1, QString());
    if (chosen.isEmpty())
        return;
    if (!chosen.endsWith(ProjectEntry::ShortcutSuffix, Qt::CaseInsensitive))
        chosen += ProjectEntry::ShortcutSuffix;
    if (Prompter::ask(linkQuestion(chosen), MessageButtons::YesNo, MessageIcon::Question) ==
        Answer::Yes)
        AddNewDocOrLink(chosen);
}

void ProjectController::mnuAddAll_Click()
{
    const WaitCursor wait;
    QList<QPointer<frmText>> windows;
    for (frmText* window : m_context.documents.documentWindows())
        windows.append(window);
    for (const QPointer<frmText>& window : std::as_const(windows)) {
        // A Save As for an untitled document may have closed others meanwhile.
        if (!window)
            continue;
        m_context.documents.area()->setActiveSubWindow(window);
        addDocument(window);
    }
}

void ProjectController::mnuAddFile_Click()
{
    if (frmText* window = m_context.documents.activeDocument())
        addDocument(window);
}

void ProjectController::addDocument(frmText* window)
{
    QPointer<frmText> guard(window);
    if (window->state().FileName.isEmpty() && !m_context.documents.saveAs(window))
        return;
    if (guard && !guard->state().FileName.isEmpty())
        AddNewDocOrLink(guard->state().FileName);
}

void ProjectController::mnuRemoveFile_Click()
{
    RemoveSelectedItems(true);
}

void ProjectController::mnuListEditPrj_Click()
{
    if (!fncconfirm(QStringLiteral("Project")))
        return;
    // An unnamed project has no file to edit.
    if (!m_list.ProjectFile().isEmpty())
        m_context.queuePath(m_list.ProjectFile(), 0);
}

void ProjectController::mnuSelectAll_Click()
{
    m_view->selectAllEntries();
    m_view->setFocus(Qt::OtherFocusReason);
}

void ProjectController::mnuProjListClearSelected_Click()
{
    SelectListItem(0, true);
}

void ProjectController::mnuListSort_Click()
{
    {
        const WaitCursor wait;
        m_list.sortByDisplayText();
    }
    SelectListItem(0, true);
}

void ProjectController::mnuCopyListPath_Click()
{
    m_view->selectCurrentWhenNone();
    QGuiApplication::clipboard()->setMimeData(m_list.copyData(m_view->selectedRows()));
}

void ProjectController::mnuRCListOpenWith_Click()
{
    const QPoint at = m_view->viewport()->mapFrom(m_context.window, m_context.PopupPos);
    const QModelIndex index = m_view->indexAt(at);
    if (index.isValid() && index.row() > 0)
        SelectListItem(index.row(), false);
    OpenListItems(2);
}

void ProjectController::popUpMenu(QPoint viewportPosition)
{
    m_context.PopupPos = m_view->viewport()->mapTo(m_context.window, viewportPosition);
    if (!m_context.menus)
        return;
    if (QMenu* menu = m_context.menus->popup(QStringLiteral("mnuRCProjList")))
        menu->popup(m_view->viewport()->mapToGlobal(viewportPosition));
}

void ProjectController::dropFiles(const QStringList& paths)
{
    const WaitCursor wait;
    m_view->holdSelection();
    for (const QString& path : paths)
        AddNewDocOrLink(path);
    m_view->releaseSelection();
}

QString ProjectController::resolved(const QString& entry) const
{
    return ProjectEntry(entry).resolved(m_list.ProjectFile());
}

QString ProjectController::projectQuestion(const QString& name)
{
    return QStringLiteral("File: ") + name +
           QStringLiteral("\nIf you want to open it as a project, press 'Yes'; as a document, "
                          "press 'No'.  Press 'Cancel' to skip.");
}

void ProjectController::OpenPath(const QString& path, bool fromOutside)
{
    // A project file handed over by the desktop (the program is its handler)
    // is asked about as the tree asks, rather than shown as text unasked; the
    // current project's own file is being edited as a document.
    if (fromOutside && path.endsWith(QStringLiteral(".prj"), Qt::CaseInsensitive) &&
        QFileInfo(path).isFile() && !ProjectEntry::samePath(path, m_list.ProjectFile())) {
        const int answer = Prompter::ask(projectQuestion(path), MessageButtons::YesNoCancel,
                                         MessageIcon::Information);
        if (answer == Answer::Cancel)
            return;
        if (answer == Answer::Yes) {
            if (fncconfirm(QStringLiteral("Project")))
                LoadProject(path);
            return;
        }
    }
    const int row = m_list.FindPathInList(path);
    if (row > 0)
        m_view->addToSelection(row);
    m_opener->OpenPath(path, fromOutside);
}

void ProjectController::OpenListItems(int mode)
{
    if (m_view->currentRow() <= 0) {
        m_documents.mnuOpenFile_Click();
        return;
    }
    m_view->selectCurrentWhenNone();
    // A Cancel left from an earlier batch has been acted on; this walk is a new one.
    YesNoAllRegister& batch = m_context.documents.yesNoAll();
    if (batch.answer() == YesNoAllRegister::Cancel)
        batch.set(YesNoAllRegister::Yes);
    {
        const WaitCursor wait;
        for (const int row : m_view->selectedRows()) {
            if (row <= 0)
                continue;
            m_view->selectionModel()->setCurrentIndex(m_list.index(row),
                                                      QItemSelectionModel::NoUpdate);
            if (!openRow(row, mode))
                break;
        }
    }
    SelectListItem(m_view->currentRow(), false);
}

bool ProjectController::openRow(int row, int mode)
{
    const ProjectEntry entry(m_list.pathOfRow(row));
    const QString path = resolved(entry.text());
    const QFileInfo info(path);
    if (!entry.isShortcut() && !info.exists()) {
        // The message follows what the walk has already handed to the queue.
        if (m_context.finishQueue)
            m_context.finishQueue();
        if (m_context.documents.yesNoAll().answer() == YesNoAllRegister::Cancel)
            return false;
        // Many missing entries must not hold the user to one question each.
        if (Prompter::ask(errorMessage(path, ItemOpener::FileNotFound) + QStringLiteral("\n\n") +
                              ItemOpener::ContinueText,
                          MessageButtons::OkCancel, MessageIcon::Exclamation) == Answer::Cancel)
            return false;
        if (mode == 0) {
            const QString found = m_documents.OpenDocumentDialog(path);
            if (!found.isEmpty()) {
                const Status relocated = m_list.relocate(row, found);
                if (!relocated)
                    Prompter::tell(relocated.error().message, MessageIcon::Exclamation);
            }
        }
        return mode != 2;
    }
    switch (mode) {
    case 1: {
        const QString external = path.endsWith(ProjectEntry::ShortcutSuffix, Qt::CaseInsensitive)
                                     ? path
                                     : path + ProjectEntry::ShortcutSuffix;
        m_context.queuePath(external, 1);
        break;
    }
    case 2:
        m_opener->openWith(entry.isShortcut() ? ProjectEntry(path).target() : path);
        return false;
    default:
        if (info.isDir()) {
            QDir::setCurrent(info.absoluteFilePath());
            emit treeSyncRequested();
        } else {
            m_context.queuePath(path, 1);
        }
    }
    return m_context.documents.yesNoAll().answer() != YesNoAllRegister::Cancel;
}
