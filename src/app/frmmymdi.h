#pragma once

#include "app/openqueue.h"
#include "platform/settings.h"

#include <QMainWindow>
#include <memory>

class AutoCompleteController;
class DiskWatch;
class DocumentDropArea;
class ExternalTools;
class FirstRun;
class FolderTree;
class NotesController;
class OpenPump;
class ProjectController;
class RecentFiles;
class RecoveryController;
class CommandRouter;
class DocumentController;
class DocumentManager;
class FormattingController;
class PrintController;
class FrameStatusBar;
class HelpController;
class LeftPane;
class MainToolbar;
class MenuBars;
class OptionsController;
class QMdiArea;
class QAbstractScrollArea;
class QTimer;
class QuotesController;
class ToolbarController;
class ToolsController;
class WindowController;
struct FrameContext;

// The main window: it builds the menu bars, toolbar, status bar, left pane and
// the area of document windows, owns the controllers that answer the commands,
// runs the start-up and closing steps, and pumps the open queue through which
// every path to be opened passes.
class frmMyMDI : public QMainWindow {
    Q_OBJECT
public:
    static inline const QString NoDocumentMessage = QStringLiteral(
        "Error: No document has been selected.  Please select a document, and then try again.");
    // How the close was asked for: 0 the window's close box, 1 the program, 2 the system.
    enum UnloadMode { ClosedByUser = 0, ClosedByProgram = 1, ClosedBySystem = 2 };

    frmMyMDI(const QStringList& commandLine, SettingsStore& store, QWidget* parent = nullptr);
    ~frmMyMDI() override;

    // Queues a path; cancel is the source on entry (below 1: from outside, 1:
    // from the program's own lists and dialogs) and 0 or -1 (refused) on return.
    void MDIForm_LinkExecute(const QString& CmdStr, int& Cancel);
    bool queuePath(const QString& path, int source);
    // The deferred start, 300 ms after the first show.
    void Timer4_Timer();
    // The open queue's pump.
    void Timer5_Timer();
    // True to go on with what would replace a changed project.
    bool fncconfirm(const QString& word);
    void mnuExit_Click();
    void NoDocumentWarning();
    // Closes the way a session logout or a terminate signal does.
    void closeBySystem();
    void bringToFront();

    CommandRouter& router() { return *m_router; }
    DocumentManager& documents() { return *m_documents; }
    OpenQueue& queue();
    ProjectController& projects() { return *m_projects; }

signals:
    void queueDrained();
    // The program is closing: the queue takes no more paths.
    void linkClosed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildFrame();
    void buildControllers();
    void popUpOnRightClick(QAbstractScrollArea* view, const QString& menuName);
    void MDIForm_Load();
    void MDIForm_Activate();
    bool MDIForm_QueryUnload();
    bool MDIForm_Unload();
    void MDIForm_Resize();
    void readWindowSettings();
    void writeClosingSettings();

    Settings m_settings;
    MenuBars* m_menus;
    MainToolbar* m_toolbar;
    FrameStatusBar* m_statusBar;
    LeftPane* m_pane;
    QMdiArea* m_area;
    CommandRouter* m_router;
    DocumentManager* m_documents;
    std::unique_ptr<FrameContext> m_context;
    DocumentController* m_documentCommands;
    WindowController* m_windows;
    ToolbarController* m_toolbars;
    ToolsController* m_tools;
    FormattingController* m_formatting;
    PrintController* m_print;
    AutoCompleteController* m_autoComplete;
    ProjectController* m_projects;
    OptionsController* m_options;
    RecentFiles* m_recent;
    DocumentDropArea* m_dropArea;
    FolderTree* m_tree;
    NotesController* m_notes;
    FirstRun* m_firstRun;
    QuotesController* m_quotes;
    ExternalTools* m_externalTools;
    HelpController* m_help;
    DiskWatch* m_diskWatch;
    RecoveryController* m_recovery;
    QTimer* m_timer4;
    OpenPump* m_pump;
    QStringList m_commandLine;
    int m_unloadMode = ClosedByUser;
    bool m_saveWindowState = false;
    // The queue takes no paths while the program is closing.
    bool m_activated = false;
};
