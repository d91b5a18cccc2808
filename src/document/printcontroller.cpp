#include "printcontroller.h"

#include "commondialogapi.h"
#include "documentmanager.h"
#include "frmprtpreview.h"
#include "frmtext.h"
#include "menus/commandrouter.h"
#include "platform/prompter.h"
#include "richtext/richtextbox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

PrintController::PrintController(FrameContext& context, QObject* parent)
    : QObject(parent), m_context(context)
{
    setObjectName(QStringLiteral("PrintController"));
}

PrintController::~PrintController() = default;

frmPrtPreview* PrintController::preview() const
{
    return m_preview;
}

void PrintController::registerCommands(CommandRouter& router)
{
    router.add(
        QStringLiteral("mnuPageSetup"), [this] { mnuPageSetup_Click(); }, Enabled::WithDocument);
    router.add(
        QStringLiteral("mnuPrint"), [this] { mnuPrint_Click(); }, Enabled::WithDocument);
}

void PrintController::mnuPageSetup_Click()
{
    int top = 0, bottom = 0, left = 0, right = 0;
    if (CommonDialogAPI::ShowPageSetup(m_context.documents.activeDocument(), 0, top, bottom, left,
                                       right))
        return;
    m_margins = {top, bottom, left, right};
}

namespace {

// The dialog proposes the document's name for a PDF, in the folder of the last one.
void nameJob(QPrinter& printer, const frmText& window)
{
    const QString name = QFileInfo(window.bareCaption()).fileName();
    printer.setDocName(name);
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        const QString folder = QFileInfo(printer.outputFileName()).absolutePath();
        printer.setOutputFileName(
            QDir(folder).filePath(QFileInfo(name).completeBaseName() + QStringLiteral(".pdf")));
    }
}

std::unique_ptr<QTextDocument> copyToPrint(RichTextBox& box, bool selectionOnly)
{
    const QTextCursor selection = box.textCursor();
    if (!selectionOnly || !selection.hasSelection())
        return std::unique_ptr<QTextDocument>(box.document()->clone());
    auto copy = std::make_unique<QTextDocument>();
    copy->setDefaultFont(box.document()->defaultFont());
    copy->setDefaultStyleSheet(box.document()->defaultStyleSheet());
    QTextCursor(copy.get()).insertFragment(selection.selection());
    return copy;
}

} // namespace

void PrintController::mnuPrint_Click()
{
    QPointer<frmText> window = m_context.documents.activeDocument();
    if (!window)
        return;
    QPrinter& printer = CommonDialogAPI::programPrinter();
    const bool selected = window->RichTextBox1->textCursor().hasSelection();
    int flags =
        PrintFlags | (selected ? CommonDialogAPI::PD_SELECTION : CommonDialogAPI::PD_NOSELECTION);
    nameJob(printer, *window);
    if (CommonDialogAPI::ShowPrinter(window, flags))
        return;
    QCoreApplication::processEvents();
    if (!marginsSet()) {
        mnuPageSetup_Click();
        QCoreApplication::processEvents();
    }
    if (!marginsSet())
        return;
    // The window may have closed while the dialogs were up.
    if (!window)
        return;
    if (!m_preview) {
        m_preview = new frmPrtPreview(printer, m_context.window);
        m_preview->helpHook = [this] {
            if (userManual)
                userManual();
        };
    }
    const bool selectionOnly = flags & CommonDialogAPI::PD_SELECTION;
    const Status laidOut =
        m_preview->fill(copyToPrint(*window->RichTextBox1, selectionOnly), m_margins);
    if (m_preview->isMinimized())
        m_preview->showNormal();
    m_preview->show();
    m_preview->raise();
    m_preview->activateWindow();
    if (!laidOut)
        Prompter::tell(QStringLiteral("Error: ") + laidOut.error().message,
                       MessageIcon::Exclamation);
}
