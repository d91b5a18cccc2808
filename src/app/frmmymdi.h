#pragma once

#include "app/openqueue.h"
#include "app/settings.h"
#include "document/documentfilter.h"
#include "document/documenttable.h"
#include "document/yesnoallregister.h"

#include <QHash>
#include <QMainWindow>
#include <QTimer>

class QAction;
class QMdiArea;
class frmText;

// The main window: the MDI area with the document windows, the menus, and the
// open queue through which every path to be opened passes.
class frmMyMDI : public QMainWindow {
    Q_OBJECT
public:
    static inline const QString OpenDialogTitle = QStringLiteral("Select a document to open");

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
    int fncYesNoAll(const QString& message);
    bool fncconfirm(const QString& part);
    void InitDocProperties(frmText* window);
    void bringToFront();

    frmText* activeDocument() const;
    // Document windows from the oldest to the most recently opened.
    QList<frmText*> documentWindows() const;
    QAction* action(const QString& name) const { return m_actions.value(name); }
    void refreshCommands();
    void documentClosed(frmText* window);

    static QString loadError(const QString& path, const QString& description);

    QMdiArea* mdiArea;
    Settings settings;
    DocumentTable docs;
    DocumentFilter filter;
    OpenQueue queue;
    YesNoAllRegister yesNoAll;
    QStringList CommandLine;
    QTimer Timer4;
    QTimer Timer5;
    qint16 TextState = -1;
    bool WordWrap = true;
    bool ConfirmExt = true;
    bool SaveWindowState = false;
    // The queue takes no paths while the program is closing.
    bool linkEnabled = true;

signals:
    void documentSaved(const QString& path);
    void documentOpened(frmText* window);
    void queueDrained();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void MDIForm_Load();
    void MDIForm_Activate();
    bool MDIForm_QueryUnload();
    bool MDIForm_Unload();
    void connectCommands();
    void sendKeyToFocus(int key, Qt::KeyboardModifiers modifiers);
    void addDocumentWindow(frmText* window);

    QHash<QString, QAction*> m_actions;
    QList<frmText*> m_loadOrder;
    bool m_activated = false;
};
