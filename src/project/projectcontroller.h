#pragma once

#include "document/framecontext.h"
#include "projectlist.h"

#include <QObject>
#include <QString>

class DocumentController;
class ItemOpener;
class ProjectListView;
class frmText;

// The project commands: new, open, save and edit the project file, add and
// remove entries, the list's own commands, and opening what it lists.
class ProjectController : public QObject {
    Q_OBJECT
public:
    static inline const QString CaptionPrefix = QStringLiteral("Quillora - ");
    static inline const QString OpenProjectTitle = QStringLiteral("Select a project file");
    static inline const QString OpenProjectFilter =
        QStringLiteral("Project Files (*.prj)|*.prj|All Files|*.*");
    static inline const QString SaveProjectFilter =
        QStringLiteral("Project files (*.prj)|*.prj|All Files|*.*");
    static inline const QString LinkTitle =
        QStringLiteral("Select a file to create a read-only shortcut for");
    static inline const QString LinkFilter = QStringLiteral(
        "Acrobat Files (*.pdf)|*.pdf|Powerpoint Files (*.pps)|*.pps|Excel Files (*.xls)|*.xls|"
        "Word Files (*.doc)|*.doc|Write document (*.wri)|*.wri|HTML Help Files (*.chm)|*.chm|"
        "Win Help Files (*.hlp)|*.hlp|Internet URL's (*.url)|*.url|BMP Files (*.bmp)|*.bmp|"
        "GIF Files (*.gif)|*.gif|JPG Files (*.jpg)|*.jpg|Application Files (*.exe)|*.exe|"
        "Shortcuts (*.lnk)|*.lnk|All Files|*.*");
    static QString linkQuestion(const QString& entry);
    static QString removeQuestion(const QString& entry);
    static QString changedQuestion(const QString& projectFile);
    static QString errorMessage(const QString& path, const QString& description);
    // Asked for a project file opened from the tree or from outside the program.
    static QString projectQuestion(const QString& name);

    ProjectController(FrameContext& context, ProjectListView* list, DocumentController& documents,
                      QObject* parent = nullptr);
    void registerCommands(CommandRouter& router);
    // The deferred start's project: a new one (recent and welcome projects come later).
    void deferredStart();
    // The close asks about a changed project first.
    bool queryUnload() { return fncconfirm(QStringLiteral("Project")); }

    ProjectList& list() { return m_list; }
    ProjectListView* view() const { return m_view; }
    ItemOpener& opener() { return *m_opener; }

    // focus: the list takes it, as after the user's own load.
    void LoadProject(const QString& projectFile, bool focus = true);
    // Adds the path unless listed; a refused path is explained. True when the
    // path is in the list afterwards.
    bool AddNewDocOrLink(const QString& path);
    void SelectListItem(int row, bool focus);
    void RemoveSelectedItems(bool confirm);
    // True to go on with what would replace a changed project.
    bool fncconfirm(const QString& word);
    // The open queue's path: the list shows it selected, then it opens.
    void OpenPath(const QString& path, bool fromOutside);
    // 0 open, 1 open in another program, 2 choose the program.
    void OpenListItems(int mode);

    void mnuNewProject_Click();
    void mnuopen_Click();
    // Each returns true when the project was saved.
    bool mnuSaveProject_click();
    bool mnuSaveProjectAs_Click();
    void mnuLinkAdd_Click();
    void mnuAddAll_Click();
    void mnuAddFile_Click();
    void mnuRemoveFile_Click();
    void mnuListEditPrj_Click();
    void mnuSelectAll_Click();
    void mnuProjListClearSelected_Click();
    void mnuListSort_Click();
    void mnuCopyListPath_Click();
    void mnuRCListOpenWith_Click();

signals:
    // A project was loaded or saved under this name.
    void projectLoaded(const QString& projectFile);
    void projectSaved(const QString& projectFile);
    // The folder tree is to show the current folder.
    void treeSyncRequested();

private:
    void addDocument(frmText* window);
    void showCaption();
    void popUpMenu(QPoint viewportPosition);
    void dropFiles(const QStringList& paths);
    // The entry as a path to open: relative entries from the project's folder.
    QString resolved(const QString& entry) const;
    // Opens one selected row; false when the walk is to stop.
    bool openRow(int row, int mode);
    void syncTreeWhenAsked();

    FrameContext& m_context;
    ProjectList m_list;
    ProjectListView* m_view;
    DocumentController& m_documents;
    ItemOpener* m_opener;
};
