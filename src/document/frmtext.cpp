#include "frmtext.h"

#include "app/frmmymdi.h"
#include "commondialogapi.h"
#include "documenttable.h"
#include "platform/externalopener.h"
#include "platform/prompter.h"
#include "richtext/richtextbox.h"
#include "richtext/textcodec.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>

frmText::frmText(frmMyMDI* frame, int slot) : m_frame(frame)
{
    setObjectName(QStringLiteral("frmText"));
    setAttribute(Qt::WA_DeleteOnClose);
    Tag = QString::number(slot);
    RichTextBox1 = new RichTextBox(this);
    setWidget(RichTextBox1);
    resize(640, 420);
    connect(RichTextBox1, &RichTextBox::Change, this, [this] {
        if (!state().Deleted)
            state().Dirty = true;
    });
}

DocState& frmText::state() const
{
    return m_frame->docs.state(slot());
}

QString frmText::bareCaption() const
{
    const QString& fileName = state().FileName;
    return fileName.isEmpty() ? UntitledPrefix + Tag : fileName;
}

int frmText::windowStateCode() const
{
    if (isMinimized())
        return 1;
    return isMaximized() ? 2 : 0;
}

void frmText::setWindowStateCode(int code)
{
    if (code == 1)
        showMinimized();
    else if (code == 2)
        showMaximized();
    else
        showNormal();
}

QString frmText::readOnlyQuestion(const QString& path)
{
    return QStringLiteral("File: ") + path +
           QStringLiteral("\nis a Read-only file.  Its Read-only attribute must be removed before "
                          "it can be replaced.  Do you want to remove it?");
}

QString frmText::rtfExtensionWarning(const QString& path)
{
    return QStringLiteral("File: ") + path +
           QStringLiteral("\nWarning: If you change the extension from .RTF, the saved file will "
                          "lose any special formatting.\nShall I continue?");
}

QString frmText::changedQuestion(const QString& name)
{
    return QStringLiteral("The text in [") + name +
           QStringLiteral("] has changed.\nDo you want to save the changes?");
}

QString frmText::saveFailed(const QString& path, const QString& description,
                            const QString& explanation)
{
    QString text = QStringLiteral("File: ") + path + u'\n' + description;
    if (!explanation.isEmpty())
        text += u'\n' + explanation;
    return text;
}

QString frmText::encodingQuestion(const QString& path, const QString& encoding)
{
    return QStringLiteral("File: ") + path + QStringLiteral("\nThe text holds characters that ") +
           encoding +
           QStringLiteral(" cannot store.  Do you want to save the file as UTF-8 instead?");
}

void frmText::MyShow()
{
    show();
    m_frame->mdiArea->setActiveSubWindow(this);
    if (m_frame->TextState >= 0) {
        setWindowStateCode(m_frame->TextState);
        m_frame->TextState = -1;
    }
    // Not wrapped unless the user wants documents wrapped to the window.
    RichTextBox1->setRightMargin(RichTextBox::NoWrapMargin);
    if (m_frame->WordWrap)
        RichTextBox1->setRightMargin(0);
    RichTextBox1->setFocus();
    state().Dirty = false;
}

bool frmText::textFitsEncoding()
{
    TextFileFormat& format = RichTextBox1->textFileFormat();
    const QString text = RichTextBox1->toPlainText();
    if (TextCodec::canEncode(text, format.encoding))
        return true;
    if (Prompter::ask(encodingQuestion(state().FileName, QString::fromLatin1(format.encoding)),
                      MessageButtons::YesNo, MessageIcon::Question) != Answer::Yes)
        return false;
    format.encoding = "UTF-8";
    format.byteOrderMark = false;
    return true;
}

bool frmText::mnuSaveFile_Click()
{
    DocState& doc = state();
    if (doc.FileName.isEmpty())
        return mnuSaveFileAs_Click();
    const QString path = doc.FileName;
    // The file keeps the kind it holds: a file named .rtf that was read as
    // plain text is saved as plain text, byte for byte when untouched.
    const DocumentKind kind = path == RichTextBox1->FileName() ? RichTextBox1->fileKind()
                                                               : DocumentFile::kindForPath(path);
    QFileInfo info(path);
    // The read-only attribute is the owner's missing write permission.
    if (info.exists() && info.isFile() && !(info.permissions() & QFileDevice::WriteOwner)) {
        if (Prompter::ask(readOnlyQuestion(path), MessageButtons::YesNo, MessageIcon::Question,
                          2) != Answer::Yes)
            return mnuSaveFileAs_Click();
        QFile::setPermissions(path, info.permissions() | QFileDevice::WriteOwner |
                                        QFileDevice::WriteUser);
    }
    if (kind == DocumentKind::Text && !textFitsEncoding())
        return false;
    const Status saved = RichTextBox1->SaveFile(path, kind);
    if (!saved) {
        info.refresh();
        const QString explanation =
            info.isDir() ? QStringLiteral("item is a directory") : QString();
        Prompter::tell(saveFailed(path, saved.error().message, explanation),
                       MessageIcon::Exclamation);
        return false;
    }
    doc.Dirty = false;
    emit m_frame->documentSaved(path);
    return true;
}

bool frmText::mnuSaveFileAs_Click()
{
    const QString caption = bareCaption();
    setWindowTitle(caption);
    const DocumentFilter::FilterChoice choice = m_frame->filter.GetFilterIndex(caption);
    const QString initial =
        caption.startsWith(UntitledPrefix) ? QStringLiteral("Untitled") : caption;
    const QString chosen = CommonDialogAPI::ShowSave(
        this, choice.defaultExtension, m_frame->filter.DocFilter(),
        CommonDialogAPI::OFN_OVERWRITEPROMPT | CommonDialogAPI::OFN_HIDEREADONLY, initial,
        QString(), QString(), choice.filterIndex);
    if (chosen.isEmpty())
        return false;
    if (choice.defaultExtension.toUpper() == QStringLiteral(".RTF") &&
        chosen.right(4).toUpper() != QStringLiteral(".RTF") &&
        Prompter::ask(rtfExtensionWarning(chosen), MessageButtons::YesNo, MessageIcon::Question,
                      2) != Answer::Yes)
        return false;
    const QString previousName = state().FileName;
    state().FileName = chosen;
    if (!mnuSaveFile_Click()) {
        // The document keeps the name it had until it is saved under the new one.
        state().FileName = previousName;
        return false;
    }
    setWindowTitle(chosen);
    return true;
}

void frmText::mnuClose_Click()
{
    close();
}

void frmText::mnuCopyPath_Click()
{
    const QString path = state().FileName;
    QGuiApplication::clipboard()->clear();
    QGuiApplication::clipboard()->setText(path.isEmpty() ? bareCaption() : path);
}

void frmText::mnuRefresh_Click()
{
    RichTextBox1->setSelLength(0);
}

QString frmText::viewFailed(const QString& path)
{
    return QStringLiteral("File: ") + path +
           QStringLiteral("\n\nAn error occurred when trying to open the application associated "
                          "with this file extension.");
}

void frmText::mnuViewFile_Click()
{
    if (state().Dirty) {
        const int answer =
            Prompter::ask(ViewChangedQuestion, MessageButtons::YesNoCancel, MessageIcon::Question);
        if (answer == Answer::Cancel)
            return;
        if (answer == Answer::Yes)
            mnuSaveFile_Click();
    }
    const QString target = state().FileName.isEmpty() ? bareCaption() : state().FileName;
    ExternalOpener::Outcome outcome = ExternalOpener::open(target);
    if (outcome == ExternalOpener::Outcome::NoAssociation)
        outcome = ExternalOpener::openWith(target) ? ExternalOpener::Outcome::Opened
                                                   : ExternalOpener::Outcome::Failed;
    if (outcome != ExternalOpener::Outcome::Opened)
        Prompter::tell(viewFailed(target), MessageIcon::Exclamation);
}

bool frmText::Form_QueryUnload()
{
    DocState& doc = state();
    if (!doc.Dirty)
        return true;
    const QString name = doc.FileName.isEmpty() ? windowTitle() : doc.FileName;
    if (m_frame->isMinimized())
        m_frame->showNormal();
    m_frame->mdiArea->setActiveSubWindow(this);
    m_frame->raise();
    m_frame->activateWindow();
    switch (Prompter::ask(changedQuestion(name), MessageButtons::YesNoCancel,
                          MessageIcon::Exclamation)) {
    case Answer::Yes:
        // A save that failed or was cancelled keeps the window and its text.
        return mnuSaveFile_Click();
    case Answer::No:
        return true;
    default:
        return false;
    }
}

void frmText::Form_Unload()
{
    state().Deleted = true;
    state().Dirty = false;
    m_frame->TextState = qint16(windowStateCode());
    m_frame->documentClosed(this);
}

void frmText::closeEvent(QCloseEvent* event)
{
    if (!Form_QueryUnload()) {
        event->ignore();
        return;
    }
    Form_Unload();
    QMdiSubWindow::closeEvent(event);
}
