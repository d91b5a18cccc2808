#pragma once

#include "app/openqueue.h"
#include "app/settings.h"
#include "document/documentfilter.h"
#include "document/documenttable.h"
#include "document/yesnoallregister.h"

#include "menus/menubars.h"

#include <QHash>
#include <QMainWindow>
#include <QTimer>
#include <functional>

class QAbstractScrollArea;
class QAction;
class QMdiArea;
class QMdiSubWindow;
class FrameStatusBar;
class LeftPane;
class MainToolbar;
class ToolbarCustomizer;
class frmText;

// The main window: the MDI area with the document windows, the left pane, the
// toolbars, the status bar, both menu bars, and the open queue through which
// every path to be opened passes.
class frmMyMDI : public QMainWindow {
    Q_OBJECT
public:
    static inline const QString OpenDialogTitle = QStringLiteral("Select a document to open");
    static inline const QString NoDocumentMessage = QStringLiteral(
        "Error: No document has been selected.  Please select a document, and then try again.");
    static inline const QString ToolbarVersionMessage =
        QStringLiteral("2 new toolbar items have been added, 'Font name', and 'Font size'!");
    static constexpr int CurrentToolbarVersion = 2;
    // How the close was asked for: 0 the window's close box, 1 the program, 2 the system.
    enum UnloadMode { ClosedByUser = 0, ClosedByProgram = 1, ClosedBySystem = 2 };

    frmMyMDI(const QStringList& commandLine, SettingsStore& store, QWidget* parent = nullptr);
    ~frmMyMDI() override;

    // Queues a path; cancel is the source on entry (below 1: from outside, 1:
    // from the program's own lists and dialogs) and 0 or -1 (refused) on return.
    void MDIForm_LinkExecute(const QString& CmdStr, int& Cancel);
    bool queuePath(const QString& path, int source);
    void Timer4_Timer();
    void Timer5_Timer();
    void OpenPath(const QString& path);
    frmText* LoadDocument(const QString& path);
    frmText* NewDocument();
    void mnuNew_Click();
    void mnuOpenFile_Click();
    QString OpenDocumentDialog(const QString& path);
    void mnuCloseAll_Click();
    void mnuSaveAll_Click();
    void mnuExit_Click();
    void mnuWindowCascade_Click();
    void mnuWindowTileHoriz_Click();
    void mnuWindowTileVertical_Click();
    void mnuWindowArrange_Click();
    void mnuWindowSendBack_Click();
    void mnuNextPane_Click();
    void mnuMinRest_Click();
    void mnuToolBarCustomize_Click();
    void mnuToolbarButtonRaised_Click();
    void mnuToolbarButtonFlat_Click();
    void ApplyToolbarStyle();
    void Toolbar1_ButtonClick(const QString& key);
    void Toolbar1_ButtonMenuClick(const QString& buttonKey, const QString& entryKey);
    void Toolbar1_Change();
    void Toolbar2_ButtonClick(const QString& key);
    void Toolbar3_ButtonClick(const QString& key);
    void ToolbarToggle(bool enable);
    void NoDocumentWarning();
    void RefreshAllDocuments();
    void MDIForm_Resize();
    // Closes the way a session logout or a terminate signal does.
    void closeBySystem();
    // Runs a command by its control name as the given bar's entry would.
    void runCommand(MenuBars::Bar bar, const QString& name);
    // The handlers behind the entries, by control name; an entry without one is
    // a command still to be built and stays disabled.
    QHash<QString, std::function<void()>>& frameHandlers() { return m_frameHandlers; }
    QHash<QString, std::function<void(frmText*)>>& documentHandlers() { return m_documentHandlers; }
    QString toolbarLayoutPath() const;
    int fncYesNoAll(const QString& message);
    bool fncconfirm(const QString& part);
    void InitDocProperties(frmText* window);
    void bringToFront();

    frmText* activeDocument() const;
    // Document windows from the oldest to the most recently opened.
    QList<frmText*> documentWindows() const;
    // The entry of the bar that is shown.
    QAction* action(const QString& name) const;
    void refreshCommands();
    void documentClosed(frmText* window);

    static QString loadError(const QString& path, const QString& description);

    QMdiArea* mdiArea;
    MenuBars* menus;
    LeftPane* Picture1;
    MainToolbar* Toolbar1;
    FrameStatusBar* StatusBar1;
    ToolbarCustomizer* customizer = nullptr;
    Settings settings;
    DocumentTable docs;
    DocumentFilter filter;
    OpenQueue queue;
    YesNoAllRegister yesNoAll;
    QStringList CommandLine;
    QTimer Timer4;
    QTimer Timer5;
    qint16 TextState = -1;
    qint16 SaveArrange = -1;
    qint16 QuotesState = -1;
    qint16 TextBlocksState = -1;
    qint16 MyPadState = -1;
    QSize MyPadSize{6780, 4230};
    qint16 ToolBarStyle = 1;
    qint16 MinRestToggle = 0;
    int unloadMode = ClosedByUser;
    QString VersionText;
    bool WordWrap = true;
    bool ConfirmExt = true;
    bool SaveWindowState = false;
    // The queue takes no paths while the program is closing.
    bool linkEnabled = true;

signals:
    void documentSaved(const QString& path);
    void documentOpened(frmText* window);
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
    void MDIForm_Load();
    void MDIForm_Activate();
    bool MDIForm_QueryUnload();
    bool MDIForm_Unload();
    void buildFrame();
    void popUpOnRightClick(QAbstractScrollArea* view, const QString& menuName);
    void registerHandlers();
    void readWindowSettings();
    void writeClosingSettings();
    void fillWindowMenu(QMenu* menu);
    void runDocumentCommand(const QString& name);
    void runToolCommand(const struct ToolCommand& command);
    void restoreToolbarLayout();
    void sendKeyToFocus(int key, Qt::KeyboardModifiers modifiers);
    void addDocumentWindow(frmText* window);

    QHash<QString, std::function<void()>> m_frameHandlers;
    QHash<QString, std::function<void(frmText*)>> m_documentHandlers;
    QList<frmText*> m_loadOrder;
    bool m_activated = false;
};
