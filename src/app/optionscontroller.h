#pragma once

#include "platform/result.h"

#include <QObject>
#include <QPointer>
#include <functional>

class AutoCompleteController;
class CommandRouter;
class ProjectController;
class QWidget;
class frmOptions;
struct FrameContext;
struct OptionsValues;

// The options dialog's command: fills the dialog from the settings, shows it,
// and on OK writes the values back, makes the few that act at once take
// effect and puts the store on disk.
class OptionsController : public QObject {
    Q_OBJECT
public:
    static inline const QString ClearQuestion =
        QStringLiteral("Do you want to clear the desktop's Recent Documents list?");
    static inline const QString ErrorPrefix = QStringLiteral("Error: ");
    static inline const QString TextFilter =
        QStringLiteral("Text files (*.txt)|*.txt|All Files|*.*");
    static inline const QString ProgramFilter = QStringLiteral("All Files|*");
    static inline const QString QuotesTitle = QStringLiteral("Select a quotes or tagline file");
    static inline const QString NotesTitle = QStringLiteral("Select a personal notes file");
    static inline const QString TextBlocksTitle = QStringLiteral("Select a text blocks file");
    static inline const QString AutoCompleteTitle = QStringLiteral("Select an Auto-Complete file");
    static inline const QString ProgramTitle = QStringLiteral("Select a URL protocol application");

    OptionsController(FrameContext& context, ProjectController& projects,
                      AutoCompleteController& autoComplete, QObject* parent = nullptr);
    void registerCommands(CommandRouter& router);

    void mnuPrefItem_Click();
    void Command1_Click(int Index);
    void cmdClearDocMenu_Click();

    // The dialog, once it has been opened.
    frmOptions* dialog() const;

    // Parts of the program built elsewhere; an empty one leaves its step out
    // (and its button disabled, for help and the desktop's list).
    std::function<void(QWidget* window, int context)> ShowHelpContext;
    std::function<Status()> clearRecentDocuments;
    // What the Browse buttons propose when their box is empty: the quotes and
    // text blocks panes' files while they are shown, the notes pad's file.
    std::function<QString()> quotesFile;
    std::function<QString()> notesFile;
    std::function<QString()> textBlocksFile;

signals:
    // OK wrote the values: panes that keep a copy of a setting read it again.
    void applied();

private:
    frmOptions& ensureDialog();
    void apply(const OptionsValues& values);
    void browseFile(int index);
    void browseProgram(int index);
    void chooseFont();
    void chooseColor(int index);

    FrameContext& m_context;
    ProjectController& m_projects;
    AutoCompleteController& m_autoComplete;
    QPointer<frmOptions> m_dialog;
};
