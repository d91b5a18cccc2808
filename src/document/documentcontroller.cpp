#include "documentcontroller.h"

#include "commondialogapi.h"
#include "documentmanager.h"
#include "frmtext.h"
#include "menus/commandrouter.h"
#include "platform/externalopener.h"
#include "platform/prompter.h"
#include "richtext/richtextbox.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

DocumentController::DocumentController(FrameContext& context, QObject* parent)
    : QObject(parent), m_context(context)
{
    setObjectName(QStringLiteral("DocumentController"));
}

void DocumentController::registerCommands(CommandRouter& router)
{
    DocumentManager& documents = m_context.documents;
    router.addStateSource([&documents](CommandState& state) {
        state.hasDocument = documents.activeDocument() != nullptr;
        // The notes pad counts as an open document.
        state.anyDocumentOpen = documents.table().AnyDocumentsOpen();
    });
    router.add(QStringLiteral("mnuNew"), [this] { mnuNew_Click(); });
    router.add(QStringLiteral("mnuOpenFile"), [this] { mnuOpenFile_Click(); });
    router.add(QStringLiteral("mnuSaveFile"), [this] { mnuSaveFile_Click(); });
    router.add(QStringLiteral("mnuSaveFileAs"), [this] { mnuSaveFileAs_Click(); });
    router.add(QStringLiteral("mnuClose"), [this] { mnuClose_Click(); });
    router.add(
        QStringLiteral("mnuCloseAll"), [this] { mnuCloseAll_Click(); }, Enabled::WithAnyDocument);
    router.add(
        QStringLiteral("mnuSaveAll"), [this] { mnuSaveAll_Click(); }, Enabled::WithAnyDocument);
    router.add(QStringLiteral("mnuCopyPath"), [this] { mnuCopyPath_Click(); });
    router.add(QStringLiteral("mnuRefresh"), [this] { mnuRefresh_Click(); });
    router.add(QStringLiteral("mnuViewFile"), [this] { mnuViewFile_Click(); });
    // The edit commands act on whichever control has the focus, as its keys would.
    const struct {
        const char* name;
        int key;
        Qt::KeyboardModifiers modifiers;
    } keys[] = {
        {"mnuUndoItem", Qt::Key_Z, Qt::ControlModifier},
        {"mnuCut", Qt::Key_X, Qt::ControlModifier},
        {"mnuCopy", Qt::Key_C, Qt::ControlModifier},
        {"mnuPaste", Qt::Key_V, Qt::ControlModifier},
        {"mnuDelete", Qt::Key_Delete, Qt::NoModifier},
        {"mnuSelAll", Qt::Key_A, Qt::ControlModifier},
    };
    for (const auto& k : keys)
        router.add(QString::fromLatin1(k.name), [this, key = k.key, modifiers = k.modifiers] {
            sendKeyToFocus(key, modifiers);
        });
}

void DocumentController::sendKeyToFocus(int key, Qt::KeyboardModifiers modifiers)
{
    QWidget* target = QApplication::focusWidget();
    if (!target) {
        if (frmText* document = m_context.documents.activeDocument())
            target = document->RichTextBox1;
    }
    if (!target)
        return;
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(target, &release);
}

void DocumentController::mnuNew_Click()
{
    m_context.documents.NewDocument();
}

void DocumentController::mnuOpenFile_Click()
{
    OpenDocumentDialog(m_context.documents.filter().firstExtension());
}

QString DocumentController::OpenDocumentDialog(const QString& path)
{
    const DocumentFilter& filter = m_context.documents.filter();
    const DocumentFilter::FilterChoice choice = filter.GetFilterIndex(path);
    const QString chosen = CommonDialogAPI::ShowOpen(
        m_context.window, choice.defaultExtension, filter.DocFilter(),
        CommonDialogAPI::OFN_CREATEPROMPT | CommonDialogAPI::OFN_HIDEREADONLY, QString(),
        OpenDialogTitle, choice.filterIndex, path);
    if (!chosen.isEmpty())
        m_context.queuePath(chosen, 1);
    return chosen;
}

void DocumentController::OpenPath(const QString& path)
{
    if (!m_context.documents.activateOpen(path))
        m_context.documents.LoadDocument(path);
}

void DocumentController::mnuSaveFile_Click()
{
    if (frmText* document = m_context.documents.activeDocument())
        m_context.documents.save(document);
}

void DocumentController::mnuSaveFileAs_Click()
{
    if (frmText* document = m_context.documents.activeDocument())
        m_context.documents.saveAs(document);
}

void DocumentController::mnuClose_Click()
{
    if (frmText* document = m_context.documents.activeDocument())
        document->close();
}

void DocumentController::mnuCloseAll_Click()
{
    m_context.documents.closeAll();
}

void DocumentController::mnuSaveAll_Click()
{
    m_context.documents.saveAll();
}

void DocumentController::mnuCopyPath_Click()
{
    frmText* document = m_context.documents.activeDocument();
    if (!document)
        return;
    const QString path = document->state().FileName;
    QGuiApplication::clipboard()->clear();
    QGuiApplication::clipboard()->setText(path.isEmpty() ? document->bareCaption() : path);
}

void DocumentController::mnuRefresh_Click()
{
    if (frmText* document = m_context.documents.activeDocument())
        document->RichTextBox1->setSelLength(0);
}

QString DocumentController::viewFailed(const QString& path)
{
    return QStringLiteral("File: ") + path +
           QStringLiteral("\n\nAn error occurred when trying to open the application associated "
                          "with this file extension.");
}

void DocumentController::mnuViewFile_Click()
{
    QPointer<frmText> document = m_context.documents.activeDocument();
    if (!document)
        return;
    if (document->state().Dirty) {
        const int answer =
            Prompter::ask(ViewChangedQuestion, MessageButtons::YesNoCancel, MessageIcon::Question);
        if (answer == Answer::Cancel || !document || document->state().Deleted)
            return;
        if (answer == Answer::Yes)
            m_context.documents.save(document);
        if (!document || document->state().Deleted)
            return;
    }
    const QString path = document->state().FileName;
    const QString target = path.isEmpty() ? document->bareCaption() : path;
    ExternalOpener::Outcome outcome = ExternalOpener::open(target);
    if (outcome == ExternalOpener::Outcome::NoAssociation)
        outcome = ExternalOpener::openWith(target) ? ExternalOpener::Outcome::Opened
                                                   : ExternalOpener::Outcome::Failed;
    if (outcome != ExternalOpener::Outcome::Opened)
        Prompter::tell(viewFailed(target), MessageIcon::Exclamation);
}
