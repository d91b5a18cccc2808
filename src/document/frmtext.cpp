#include "frmtext.h"

#include "documentmanager.h"
#include "documenttable.h"
#include "platform/prompter.h"
#include "richtext/richtextbox.h"
#include "windowstatecode.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMenu>

frmText::frmText(DocumentManager& documents, int slot) : m_documents(&documents)
{
    setObjectName(QStringLiteral("frmText"));
    setAttribute(Qt::WA_DeleteOnClose);
    Tag = QString::number(slot);
    RichTextBox1 = new RichTextBox(this);
    setWidget(RichTextBox1);
    resize(640, 420);
    // Ctrl+F4 belongs to the Close document command, which asks first; the window
    // menu keeps its entry without the key, or the key would do nothing at all.
    if (QMenu* menu = systemMenu())
        for (QAction* action : menu->actions()) {
            QList<QKeySequence> keys = action->shortcuts();
            if (keys.removeAll(QKeySequence(Qt::CTRL | Qt::Key_F4)))
                action->setShortcuts(keys);
        }
    connect(RichTextBox1, &RichTextBox::Change, this, [this] {
        if (m_documents && !state().Deleted)
            state().Dirty = true;
    });
}

DocState& frmText::state() const
{
    return m_documents->table().state(slot());
}

QString frmText::bareCaption() const
{
    const QString& fileName = state().FileName;
    return fileName.isEmpty() ? DocumentTable::UntitledPrefix + Tag : fileName;
}

int frmText::windowStateCode() const
{
    return ::windowStateCode(this);
}

void frmText::setWindowStateCode(int code)
{
    ::setWindowStateCode(this, code);
}

QString frmText::changedQuestion(const QString& name)
{
    return QStringLiteral("The text in [") + name +
           QStringLiteral("] has changed.\nDo you want to save the changes?");
}

void frmText::MyShow()
{
    show();
    m_documents->area()->setActiveSubWindow(this);
    const bool pad = slot() == 0;
    if (pad)
        m_documents->padWindowShown(this);
    const qint16 remembered = pad ? m_documents->padState() : m_documents->textState();
    if (remembered >= 0) {
        setWindowStateCode(remembered);
        if (pad)
            m_documents->setPadState(-1);
        else
            m_documents->setTextState(-1);
    }
    // Not wrapped unless the user wants documents wrapped to the window.
    RichTextBox1->setRightMargin(RichTextBox::NoWrapMargin);
    if (m_documents->wordWrap())
        RichTextBox1->setRightMargin(0);
    RichTextBox1->setFocus();
    state().Dirty = false;
}

bool frmText::Form_QueryUnload()
{
    if (!state().Dirty)
        return true;
    // The notes pad keeps what was typed without asking, where it can.
    if (slot() == 0 && m_documents->padQuietSave && m_documents->padQuietSave(this))
        return true;
    const QString name = state().FileName.isEmpty() ? windowTitle() : state().FileName;
    QWidget* frame = window();
    if (frame->isMinimized())
        frame->showNormal();
    m_documents->area()->setActiveSubWindow(this);
    frame->raise();
    frame->activateWindow();
    switch (Prompter::ask(changedQuestion(name), MessageButtons::YesNoCancel,
                          MessageIcon::Exclamation)) {
    case Answer::Yes:
        // A save that failed or was cancelled keeps the window and its text.
        return m_documents->save(this);
    case Answer::No:
        return true;
    default:
        return false;
    }
}

void frmText::Form_Unload()
{
    m_documents->windowClosed(this);
}

void frmText::closeEvent(QCloseEvent* event)
{
    if (!m_documents || !Form_QueryUnload()) {
        event->ignore();
        return;
    }
    Form_Unload();
    QMdiSubWindow::closeEvent(event);
}
