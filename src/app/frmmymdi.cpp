#include "frmmymdi.h"

#include "document/commondialogapi.h"
#include "document/frmtext.h"
#include "menus/commandtable.h"
#include "menus/menubuilder.h"
#include "platform/prompter.h"
#include "richtext/richtextbox.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMenuBar>

frmMyMDI::frmMyMDI(const QStringList& commandLine, SettingsStore& store, QWidget* parent)
    : QMainWindow(parent), settings(store), CommandLine(commandLine)
{
    setObjectName(QStringLiteral("frmMyMDI"));
    setWindowTitle(QStringLiteral("Quillora"));
    mdiArea = new QMdiArea(this);
    mdiArea->setObjectName(QStringLiteral("MDIClient"));
    setCentralWidget(mdiArea);
    resize(1000, 700);
    Timer4.setSingleShot(true);
    Timer4.setInterval(300);
    Timer5.setInterval(300);
    connect(&Timer4, &QTimer::timeout, this, &frmMyMDI::Timer4_Timer);
    connect(&Timer5, &QTimer::timeout, this, &frmMyMDI::Timer5_Timer);
    m_actions = MenuBuilder::build(menuBar());
    connectCommands();
    connect(mdiArea, &QMdiArea::subWindowActivated, this, &frmMyMDI::refreshCommands);
    MDIForm_Load();
}

frmMyMDI::~frmMyMDI()
{
    // The document windows go after our own members: they must not call back.
    disconnect(mdiArea, nullptr, this, nullptr);
}

void frmMyMDI::MDIForm_Load()
{
    filter.BuildFileFilter(settings.text(Key::Extensions));
    WordWrap = settings.boolean(Key::WordWrap);
    SaveWindowState = settings.boolean(Key::SaveWindowState);
    if (SaveWindowState)
        TextState = settings.integer(Key::TextState);
    ConfirmExt = settings.boolean(Key::ConfirmExt);
    // No notes pad yet: its slot stays free.
    docs.state(0).Deleted = true;
    refreshCommands();
}

void frmMyMDI::connectCommands()
{
    const QHash<QString, std::function<void()>> handlers = {
        {QStringLiteral("mnuOpenFile"), [this] { mnuOpenFile_Click(); }},
        {QStringLiteral("mnuSaveFile"),
         [this] {
             if (auto* d = activeDocument())
                 d->mnuSaveFile_Click();
         }},
        {QStringLiteral("mnuSaveFileAs"),
         [this] {
             if (auto* d = activeDocument())
                 d->mnuSaveFileAs_Click();
         }},
        {QStringLiteral("mnuSaveAll"), [this] { mnuSaveAll_Click(); }},
        {QStringLiteral("mnuClose"),
         [this] {
             if (auto* d = activeDocument())
                 d->mnuClose_Click();
         }},
        {QStringLiteral("mnuCloseAll"), [this] { mnuCloseAll_Click(); }},
        {QStringLiteral("mnuExit"), [this] { mnuExit_Click(); }},
        {QStringLiteral("mnuNew"), [this] { mnuNew_Click(); }},
        {QStringLiteral("mnuUndoItem"), [this] { sendKeyToFocus(Qt::Key_Z, Qt::ControlModifier); }},
        {QStringLiteral("mnuCut"), [this] { sendKeyToFocus(Qt::Key_X, Qt::ControlModifier); }},
        {QStringLiteral("mnuCopy"), [this] { sendKeyToFocus(Qt::Key_C, Qt::ControlModifier); }},
        {QStringLiteral("mnuPaste"), [this] { sendKeyToFocus(Qt::Key_V, Qt::ControlModifier); }},
        {QStringLiteral("mnuDelete"), [this] { sendKeyToFocus(Qt::Key_Delete, Qt::NoModifier); }},
        {QStringLiteral("mnuSelAll"), [this] { sendKeyToFocus(Qt::Key_A, Qt::ControlModifier); }},
    };
    for (auto it = handlers.cbegin(); it != handlers.cend(); ++it)
        if (QAction* a = m_actions.value(it.key()))
            connect(a, &QAction::triggered, this, it.value());
}

void frmMyMDI::sendKeyToFocus(int key, Qt::KeyboardModifiers modifiers)
{
    // The edit commands act on whichever control has the focus, as its keys would.
    QWidget* target = QApplication::focusWidget();
    if (!target) {
        if (frmText* d = activeDocument())
            target = d->RichTextBox1;
    }
    if (!target)
        return;
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(target, &release);
}

void frmMyMDI::refreshCommands()
{
    const bool hasDocument = activeDocument() != nullptr;
    for (const Command& command : CommandTable::commands())
        if (command.needsDocument)
            if (QAction* a = m_actions.value(QString::fromLatin1(command.name)))
                a->setEnabled(hasDocument);
    if (QAction* a = m_actions.value(QStringLiteral("mnuSaveAll")))
        a->setEnabled(!documentWindows().isEmpty());
    if (QAction* a = m_actions.value(QStringLiteral("mnuCloseAll")))
        a->setEnabled(!documentWindows().isEmpty());
}

void frmMyMDI::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    MDIForm_Activate();
}

void frmMyMDI::MDIForm_Activate()
{
    if (m_activated)
        return;
    m_activated = true;
    Timer4.start();
}

void frmMyMDI::Timer4_Timer()
{
    Timer4.stop();
    for (const QString& path : std::as_const(CommandLine))
        queuePath(path, 0);
    queue.OpenQueueState = OpenQueue::Idle;
    if (CommandLine.isEmpty())
        activateWindow();
}

bool frmMyMDI::queuePath(const QString& path, int source)
{
    int cancel = source;
    MDIForm_LinkExecute(path, cancel);
    return cancel == 0;
}

void frmMyMDI::MDIForm_LinkExecute(const QString& CmdStr, int& Cancel)
{
    if (!linkEnabled) {
        Cancel = -1;
        return;
    }
    queue.append(CmdStr, Cancel);
    if (!Timer5.isActive()) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        yesNoAll.presetBatch(ConfirmExt);
        if (!isVisible())
            show();
        Timer5.start();
    }
    Cancel = 0;
}

void frmMyMDI::Timer5_Timer()
{
    const OpenQueue::Tick tick =
        queue.tick([this](const QString& path) { OpenPath(path); },
                   [this] { return yesNoAll.answer() == YesNoAllRegister::Cancel; });
    if (tick != OpenQueue::Tick::Drained)
        return;
    Timer5.stop();
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    emit queueDrained();
}

void frmMyMDI::OpenPath(const QString& path)
{
    if (const int slot = docs.findOpenPath(path)) {
        if (auto* window = qobject_cast<frmText*>(docs.window(slot))) {
            if (window->isMinimized())
                window->showNormal();
            mdiArea->setActiveSubWindow(window);
            window->RichTextBox1->setFocus();
        }
    } else {
        LoadDocument(path);
    }
    queue.finished();
}

QString frmMyMDI::loadError(const QString& path, const QString& description)
{
    return QStringLiteral("Error: ") + path + u'\n' + description;
}

frmText* frmMyMDI::LoadDocument(const QString& path)
{
    const int slot = docs.FindFreeIndex();
    auto* window = new frmText(this, slot);
    window->setWindowTitle(path);
    docs.state(slot).FileName = path;
    docs.setWindow(slot, window);
    const Status loaded = window->RichTextBox1->LoadFile(path, DocumentFile::kindForPath(path));
    docs.state(slot).Dirty = false;
    if (!loaded && loaded.error().code != ErrorCode::FileNotFound) {
        Prompter::tell(loadError(path, loaded.error().message), MessageIcon::Exclamation);
        docs.state(slot) = DocState();
        docs.setWindow(slot, nullptr);
        delete window;
        yesNoAll.set(YesNoAllRegister::Cancel);
        return nullptr;
    }
    InitDocProperties(window);
    addDocumentWindow(window);
    window->MyShow();
    emit documentOpened(window);
    return window;
}

frmText* frmMyMDI::NewDocument()
{
    const int slot = docs.FindFreeIndex();
    docs.state(slot).FileName.clear();
    auto* window = new frmText(this, slot);
    window->setWindowTitle(frmText::UntitledPrefix + QString::number(slot));
    docs.setWindow(slot, window);
    InitDocProperties(window);
    addDocumentWindow(window);
    window->MyShow();
    return window;
}

void frmMyMDI::addDocumentWindow(frmText* window)
{
    mdiArea->addSubWindow(window);
    m_loadOrder.append(window);
    refreshCommands();
}

void frmMyMDI::documentClosed(frmText* window)
{
    m_loadOrder.removeOne(window);
    const int slot = window->slot();
    if (docs.window(slot) == window)
        docs.setWindow(slot, nullptr);
    QTimer::singleShot(0, this, &frmMyMDI::refreshCommands);
}

void frmMyMDI::mnuNew_Click()
{
    NewDocument();
}

void frmMyMDI::InitDocProperties(frmText* window)
{
    QFont font(settings.fontName());
    if (settings.fontSize() > 0)
        font.setPointSizeF(settings.fontSize());
    window->RichTextBox1->document()->setDefaultFont(font);
    QPalette palette = window->RichTextBox1->palette();
    palette.setColor(QPalette::Base,
                     Settings::colorFromStored(settings.longValue(Key::RtbBackColor)));
    window->RichTextBox1->setPalette(palette);
}

void frmMyMDI::mnuOpenFile_Click()
{
    QString first = filter.DocExtensions().value(0);
    if (first.endsWith(u'*'))
        first.chop(1);
    OpenDocumentDialog(first);
}

QString frmMyMDI::OpenDocumentDialog(const QString& path)
{
    const DocumentFilter::FilterChoice choice = filter.GetFilterIndex(path);
    const QString chosen = CommonDialogAPI::ShowOpen(
        this, choice.defaultExtension, filter.DocFilter(),
        CommonDialogAPI::OFN_CREATEPROMPT | CommonDialogAPI::OFN_HIDEREADONLY, QString(),
        OpenDialogTitle, choice.filterIndex, path);
    if (!chosen.isEmpty())
        queuePath(chosen, 1);
    return chosen;
}

QList<frmText*> frmMyMDI::documentWindows() const
{
    return m_loadOrder;
}

frmText* frmMyMDI::activeDocument() const
{
    // The current window stays current while another program has the focus.
    return qobject_cast<frmText*>(mdiArea->currentSubWindow());
}

void frmMyMDI::mnuCloseAll_Click()
{
    const QList<frmText*> windows = documentWindows();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it)
        (*it)->close();
}

void frmMyMDI::mnuSaveAll_Click()
{
    const QList<frmText*> windows = documentWindows();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it)
        (*it)->mnuSaveFile_Click();
}

void frmMyMDI::mnuExit_Click()
{
    close();
}

int frmMyMDI::fncYesNoAll(const QString& message)
{
    if (!yesNoAll.chkAll) {
        const YesNoAllReply reply =
            Prompter::current().yesNoAll({message, yesNoAll.chkAllVisible, yesNoAll.chkAll});
        yesNoAll.set(reply.answer);
        yesNoAll.chkAll = reply.checked;
    }
    return yesNoAll.answer();
}

bool frmMyMDI::fncconfirm(const QString&)
{
    // Until projects exist there is nothing to ask about.
    return true;
}

void frmMyMDI::bringToFront()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

bool frmMyMDI::MDIForm_QueryUnload()
{
    return fncconfirm(QStringLiteral("Project"));
}

bool frmMyMDI::MDIForm_Unload()
{
    // Newest first; the first document that refuses to close stops the exit.
    const QList<frmText*> windows = documentWindows();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it)
        if (!(*it)->close())
            return false;
    settings.setInteger(Key::TextState, TextState);
    settings.store().sync();
    return true;
}

void frmMyMDI::closeEvent(QCloseEvent* event)
{
    if (!MDIForm_QueryUnload() || !MDIForm_Unload()) {
        event->ignore();
        return;
    }
    linkEnabled = false;
    Timer5.stop();
    event->accept();
}
