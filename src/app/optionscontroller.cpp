#include "optionscontroller.h"

#include "document/commondialogapi.h"
#include "document/documentmanager.h"
#include "document/framecontext.h"
#include "frmoptions.h"
#include "menus/commandrouter.h"
#include "platform/optionsvalues.h"
#include "platform/prompter.h"
#include "project/itemopener.h"
#include "project/projectcontroller.h"
#include "tools/autocompletecontroller.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace CommonDialogAPI;

OptionsController::OptionsController(FrameContext& context, ProjectController& projects,
                                     AutoCompleteController& autoComplete, QObject* parent)
    : QObject(parent), m_context(context), m_projects(projects), m_autoComplete(autoComplete)
{
    setObjectName(QStringLiteral("OptionsController"));
}

void OptionsController::registerCommands(CommandRouter& router)
{
    router.add(QStringLiteral("mnuPrefItem"), [this] { mnuPrefItem_Click(); });
}

frmOptions* OptionsController::dialog() const
{
    return m_dialog;
}

frmOptions& OptionsController::ensureDialog()
{
    if (!m_dialog) {
        m_dialog = new frmOptions(m_context.window);
        connect(m_dialog, &frmOptions::command1Clicked, this, &OptionsController::Command1_Click);
        connect(m_dialog, &frmOptions::clearDocMenuClicked, this,
                &OptionsController::cmdClearDocMenu_Click);
    }
    return *m_dialog;
}

void OptionsController::mnuPrefItem_Click()
{
    frmOptions& dialog = ensureDialog();
    // Refilled every time, so edits given up with Cancel never come back.
    dialog.setValues(OptionsValues::fromSettings(m_context.settings));
    dialog.Command1[5]->setEnabled(bool(ShowHelpContext));
    dialog.cmdClearDocMenu->setEnabled(bool(clearRecentDocuments));
    dialog.Tag = frmOptions::Opening;
    dialog.exec();
    if (dialog.Tag != frmOptions::Confirmed)
        return;
    apply(dialog.values());
}

void OptionsController::apply(const OptionsValues& values)
{
    DocumentManager& documents = m_context.documents;
    values.applyTo(m_context.settings, [&](int step) {
        switch (step) {
        case 5:
            documents.CreateTabStops();
            documents.RefreshAllDocuments();
            break;
        case 7:
            documents.BuildFileFilter();
            break;
        case 8:
            m_projects.opener().extApps().clear();
            break;
        case 9:
            documents.setWordWrap(values.wordWrap);
            break;
        case 12:
            m_autoComplete.AutoHotKeys = values.autoHotKey;
            break;
        default:
            break;
        }
    });
    // The values stay in effect for this session even when the disk refuses them.
    const Status saved = OptionsValues::save(m_context.settings.store());
    if (!saved)
        Prompter::tell(ErrorPrefix + m_context.settings.store().filePath() + u'\n' +
                           saved.error().message,
                       MessageIcon::Exclamation);
    emit applied();
}

void OptionsController::Command1_Click(int Index)
{
    switch (Index) {
    case 0:
        m_dialog->finish(frmOptions::Confirmed);
        break;
    case 1:
        m_dialog->finish(frmOptions::Cancelled);
        break;
    case 2:
        chooseFont();
        break;
    case 3:
    case 6:
    case 7:
    case 8:
        browseFile(Index);
        break;
    case 9:
    case 10:
    case 11:
    case 12:
        browseProgram(Index);
        break;
    case 4:
    case 13:
        chooseColor(Index);
        break;
    case 5:
        if (ShowHelpContext)
            ShowHelpContext(m_dialog, frmOptions::HelpContext);
        break;
    default:
        break;
    }
}

void OptionsController::chooseFont()
{
    FontChoice initial;
    initial.name = m_dialog->Label1->text().trimmed();
    const double size = OptionsValues::fontSizeValue(m_dialog->Label3->text().trimmed());
    initial.size = size > 0 ? size : 10;
    initial.bold = false;
    initial.italic = false;
    initial.underline = false;
    initial.strikeOut = false;
    const std::optional<FontChoice> chosen = Prompter::current().font(initial);
    if (!chosen)
        return;
    m_dialog->Label1->setText(chosen->name.value_or(*initial.name));
    m_dialog->Label3->setText(OptionsValues::fontSizeText(chosen->size.value_or(*initial.size)));
}

void OptionsController::browseFile(int index)
{
    QLineEdit* box = nullptr;
    QString title;
    std::function<QString()> proposed;
    switch (index) {
    case 3:
        box = m_dialog->Text2, title = QuotesTitle, proposed = quotesFile;
        break;
    case 6:
        box = m_dialog->Text4, title = NotesTitle, proposed = notesFile;
        break;
    case 7:
        box = m_dialog->Text5, title = TextBlocksTitle, proposed = textBlocksFile;
        break;
    default:
        box = m_dialog->Text6, title = AutoCompleteTitle;
        break;
    }
    QString initial = box->text();
    if (initial.isEmpty() && proposed)
        initial = proposed();
    const QString chosen =
        ShowOpen(m_dialog, QStringLiteral(".txt"), TextFilter, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                 QString(), title, 1, initial);
    if (!chosen.isEmpty())
        box->setText(chosen);
}

void OptionsController::browseProgram(int index)
{
    QLineEdit* box = m_dialog->Text7[std::size_t(index - 9)];
    // A program is taken as it is named: a link to it stays a link.
    const QString chosen = ShowOpen(m_dialog, QString(), ProgramFilter,
                                    OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NODEREFERENCELINKS,
                                    QString(), ProgramTitle, 1, box->text().trimmed());
    if (!chosen.isEmpty())
        box->setText(chosen);
}

void OptionsController::chooseColor(int index)
{
    QPushButton* button = m_dialog->Command1[std::size_t(index)];
    const qint32 chosen = ShowColor(m_dialog, frmOptions::backColor(button));
    if (chosen != -1)
        frmOptions::setBackColor(button, chosen);
}

void OptionsController::cmdClearDocMenu_Click()
{
    if (Prompter::ask(ClearQuestion, MessageButtons::YesNo, MessageIcon::Question, 2) !=
        Answer::Yes)
        return;
    if (!clearRecentDocuments)
        return;
    const Status cleared = clearRecentDocuments();
    if (!cleared)
        Prompter::tell(ErrorPrefix + cleared.error().message, MessageIcon::Exclamation);
}
