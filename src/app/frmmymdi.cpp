#include "frmmymdi.h"

#include "document/commondialogapi.h"
#include "document/frmtext.h"
#include "framestatusbar.h"
#include "leftpane.h"
#include "maintoolbar.h"
#include "menus/commandtable.h"
#include "menus/toolbarlayoutstore.h"
#include "menus/toolbartable.h"
#include "platform/prompter.h"
#include "richtext/richtextbox.h"
#include "richtext/twips.h"
#include "toolbarcustomizer.h"
#include "windowarranger.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QShortcut>
#include <QToolButton>
#include <QTreeWidget>

frmMyMDI::frmMyMDI(const QStringList& commandLine, SettingsStore& store, QWidget* parent)
    : QMainWindow(parent), settings(store), CommandLine(commandLine)
{
    setObjectName(QStringLiteral("frmMyMDI"));
    setWindowTitle(QStringLiteral("Quillora"));
    buildFrame();
    Timer4.setSingleShot(true);
    Timer4.setInterval(300);
    Timer5.setInterval(300);
    connect(&Timer4, &QTimer::timeout, this, &frmMyMDI::Timer4_Timer);
    connect(&Timer5, &QTimer::timeout, this, &frmMyMDI::Timer5_Timer);
    registerHandlers();
    connect(menus, &MenuBars::triggered, this, &frmMyMDI::runCommand);
    connect(menus, &MenuBars::windowMenuAboutToShow, this, &frmMyMDI::fillWindowMenu);
    connect(mdiArea, &QMdiArea::subWindowActivated, this, &frmMyMDI::refreshCommands);
    MDIForm_Load();
}

frmMyMDI::~frmMyMDI()
{
    // The document windows go after our own members: they must not call back.
    disconnect(mdiArea, nullptr, this, nullptr);
}

void frmMyMDI::buildFrame()
{
    menus = new MenuBars(this);
    setMenuWidget(menus);
    Toolbar1 = new MainToolbar(this);
    addToolBar(Qt::TopToolBarArea, Toolbar1);
    StatusBar1 = new FrameStatusBar(this);
    setStatusBar(StatusBar1);
    auto* centre = new QWidget(this);
    auto* row = new QHBoxLayout(centre);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    Picture1 = new LeftPane(centre);
    mdiArea = new QMdiArea(centre);
    mdiArea->setObjectName(QStringLiteral("MDIClient"));
    mdiArea->viewport()->installEventFilter(this);
    mdiArea->viewport()->setMouseTracking(true);
    row->addWidget(Picture1);
    row->addWidget(mdiArea, 1);
    setCentralWidget(centre);
    resize(1000, 700);
    connect(Toolbar1, &MainToolbar::buttonClicked, this, &frmMyMDI::Toolbar1_ButtonClick);
    connect(Toolbar1, &MainToolbar::menuClicked, this, &frmMyMDI::Toolbar1_ButtonMenuClick);
    connect(Toolbar1, &MainToolbar::hovered, StatusBar1, &FrameStatusBar::showText);
    connect(Toolbar1, &MainToolbar::left, StatusBar1, &FrameStatusBar::showDate);
    connect(Toolbar1, &MainToolbar::rightClicked, this, [this] {
        // A right click flips the style; the pane's toolbars follow it.
        if (Toolbar1->isFlat())
            mnuToolbarButtonRaised_Click();
        else
            mnuToolbarButtonFlat_Click();
        for (QToolBar* bar : {Picture1->Toolbar2, Picture1->Toolbar3})
            for (QAction* a : bar->actions())
                if (auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(a)))
                    b->setAutoRaise(Toolbar1->isFlat());
    });
    // The Window menu shows Ctrl+F6 for the next window, as the MDI area's own
    // Ctrl+Tab does.
    auto* nextWindow = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F6), this);
    connect(nextWindow, &QShortcut::activated, this, [this] { mdiArea->activateNextSubWindow(); });
    popUpOnRightClick(Picture1->List1, QStringLiteral("mnuRCProjList"));
    popUpOnRightClick(Picture1->TreeView1, QStringLiteral("mnuRCTree"));
    connect(Picture1, &LeftPane::buttonClicked, this,
            [this](const QString& bar, const QString& key) {
                if (bar == QStringLiteral("Toolbar2"))
                    Toolbar2_ButtonClick(key);
                else
                    Toolbar3_ButtonClick(key);
            });
}

void frmMyMDI::popUpOnRightClick(QAbstractScrollArea* view, const QString& menuName)
{
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this, [this, view, menuName](QPoint at) {
        if (QMenu* menu = menus->popup(menuName))
            menu->popup(view->viewport()->mapToGlobal(at));
    });
}

void frmMyMDI::MDIForm_Load()
{
    // Projects, the notes pad, the folder tree, quotes and auto-complete add
    // their own load steps when they are built.
    docs.state(0).Deleted = true;
    filter.BuildFileFilter(settings.text(Key::Extensions));
    WordWrap = settings.boolean(Key::WordWrap);
    SaveWindowState = settings.boolean(Key::SaveWindowState);
    VersionText = QStringLiteral("Quillora %1.%2")
                      .arg(QCoreApplication::applicationVersion().section(u'.', 0, 0).toInt())
                      .arg(QCoreApplication::applicationVersion().section(u'.', 1, 1).toInt(), 2,
                           10, QLatin1Char('0'));
    readWindowSettings();
    ConfirmExt = settings.boolean(Key::ConfirmExt);
    ToolBarStyle = settings.integer(Key::ToolBarStyle);
    Picture1->setListFontSize(settings.number(Key::ListFontSize));
    const QString lastDir = settings.text(Key::LastDir);
    if (!lastDir.isEmpty())
        QDir::setCurrent(lastDir); // a folder that has gone leaves the current one
    ToolbarToggle(false);
    refreshCommands();
}

void frmMyMDI::readWindowSettings()
{
    int paneWidth = Settings::MinimumPaneWidth;
    if (SaveWindowState) {
        const QString size = settings.text(Key::WindowSize);
        if (!size.isEmpty()) {
            const int state = size.toInt();
            setWindowState(state == 2   ? Qt::WindowMaximized
                           : state == 1 ? Qt::WindowMinimized
                                        : Qt::WindowNoState);
        }
        SaveArrange = settings.integer(Key::SaveArrange);
        QuotesState = settings.integer(Key::QuotesState);
        TextState = settings.integer(Key::TextState);
        TextBlocksState = settings.integer(Key::TextBlocksState);
        MyPadState = settings.integer(Key::MyPadState);
        MyPadSize = settings.padSizeTwips();
        paneWidth = settings.paneWidthTwips();
    }
    Picture1->setWidthTwips(paneWidth);
}

void frmMyMDI::registerHandlers()
{
    auto key = [this](int k, Qt::KeyboardModifiers m) {
        return [this, k, m] { sendKeyToFocus(k, m); };
    };
    m_frameHandlers = {
        {QStringLiteral("mnuOpenFile"), [this] { mnuOpenFile_Click(); }},
        {QStringLiteral("mnuSaveAll"), [this] { mnuSaveAll_Click(); }},
        {QStringLiteral("mnuCloseAll"), [this] { mnuCloseAll_Click(); }},
        {QStringLiteral("mnuExit"), [this] { mnuExit_Click(); }},
        {QStringLiteral("mnuNew"), [this] { mnuNew_Click(); }},
        {QStringLiteral("mnuWindowCascade"), [this] { mnuWindowCascade_Click(); }},
        {QStringLiteral("mnuWindowTileHoriz"), [this] { mnuWindowTileHoriz_Click(); }},
        {QStringLiteral("mnuWindowTileVertical"), [this] { mnuWindowTileVertical_Click(); }},
        {QStringLiteral("mnuWindowArrange"), [this] { mnuWindowArrange_Click(); }},
        {QStringLiteral("mnuWindowSendBack"), [this] { mnuWindowSendBack_Click(); }},
        {QStringLiteral("mnuNextPane"), [this] { mnuNextPane_Click(); }},
        {QStringLiteral("mnuMinRest"), [this] { mnuMinRest_Click(); }},
        {QStringLiteral("mnuToolBarCustomize"), [this] { mnuToolBarCustomize_Click(); }},
        {QStringLiteral("mnuToolbarButtonRaised"), [this] { mnuToolbarButtonRaised_Click(); }},
        {QStringLiteral("mnuToolbarButtonFlat"), [this] { mnuToolbarButtonFlat_Click(); }},
    };
    m_documentHandlers = {
        {QStringLiteral("mnuSaveFile"), [](frmText* d) { d->mnuSaveFile_Click(); }},
        {QStringLiteral("mnuSaveFileAs"), [](frmText* d) { d->mnuSaveFileAs_Click(); }},
        {QStringLiteral("mnuClose"), [](frmText* d) { d->mnuClose_Click(); }},
        {QStringLiteral("mnuExit"), [this](frmText*) { mnuExit_Click(); }},
        {QStringLiteral("mnuUndoItem"), [key](frmText*) { key(Qt::Key_Z, Qt::ControlModifier)(); }},
        {QStringLiteral("mnuCut"), [key](frmText*) { key(Qt::Key_X, Qt::ControlModifier)(); }},
        {QStringLiteral("mnuCopy"), [key](frmText*) { key(Qt::Key_C, Qt::ControlModifier)(); }},
        {QStringLiteral("mnuPaste"), [key](frmText*) { key(Qt::Key_V, Qt::ControlModifier)(); }},
        {QStringLiteral("mnuDelete"), [key](frmText*) { key(Qt::Key_Delete, Qt::NoModifier)(); }},
        {QStringLiteral("mnuSelAll"), [key](frmText*) { key(Qt::Key_A, Qt::ControlModifier)(); }},
        {QStringLiteral("mnuCopyPath"), [](frmText* d) { d->mnuCopyPath_Click(); }},
        {QStringLiteral("mnuRefresh"), [](frmText* d) { d->mnuRefresh_Click(); }},
        {QStringLiteral("mnuViewFile"), [](frmText* d) { d->mnuViewFile_Click(); }},
    };
}

void frmMyMDI::runCommand(MenuBars::Bar bar, const QString& name)
{
    // A document bar's entry that the frame also has runs the frame's handler
    // and nothing else.
    if (bar == MenuBars::Frame || CommandTable::routedToFrame(name)) {
        if (auto handler = m_frameHandlers.value(name)) {
            handler();
        }
        return;
    }
    runDocumentCommand(name);
}

void frmMyMDI::runDocumentCommand(const QString& name)
{
    frmText* document = activeDocument();
    auto handler = m_documentHandlers.value(name);
    if (!document || !handler)
        return;
    handler(document);
}

QAction* frmMyMDI::action(const QString& name) const
{
    return menus->action(menus->shown(), name);
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
    menus->show(hasDocument ? MenuBars::Document : MenuBars::Frame);
    const bool anyOpen = !documentWindows().isEmpty();
    for (MenuBars::Bar bar : {MenuBars::Frame, MenuBars::Document}) {
        const QList<Command>& table =
            bar == MenuBars::Frame ? CommandTable::frameBar() : CommandTable::documentBar();
        for (const Command& command : table) {
            const QString name = QString::fromLatin1(command.name);
            QAction* a = menus->action(bar, name);
            if (!a || a->menu() || !*command.parent || QByteArray(command.caption) == "-")
                continue;
            // An entry whose command is not built yet stays visible and disabled.
            const bool frameEntry = bar == MenuBars::Frame || CommandTable::routedToFrame(name);
            const bool built =
                frameEntry ? m_frameHandlers.contains(name) : m_documentHandlers.contains(name);
            a->setEnabled(command.enabled && built);
        }
    }
    for (const QString& name :
         {QStringLiteral("mnuSaveAll"), QStringLiteral("mnuCloseAll"),
          QStringLiteral("mnuWindowCascade"), QStringLiteral("mnuWindowTileHoriz"),
          QStringLiteral("mnuWindowTileVertical"), QStringLiteral("mnuWindowArrange"),
          QStringLiteral("mnuMinRest")})
        for (QAction* a : menus->entries(name))
            a->setEnabled(anyOpen);
    for (const Command& command : CommandTable::contextMenus())
        if (*command.parent)
            if (QAction* a = menus->popupAction(QString::fromLatin1(command.name)))
                a->setEnabled(m_frameHandlers.contains(QString::fromLatin1(command.name)));
    for (QAction* a : menus->entries(QStringLiteral("mnuWindowSendBack")))
        a->setEnabled(hasDocument);
    for (QAction* a : menus->entries(QStringLiteral("mnuToolbarButtonFlat"))) {
        a->setCheckable(true);
        a->setChecked(ToolBarStyle != 0);
    }
    for (QAction* a : menus->entries(QStringLiteral("mnuToolbarButtonRaised"))) {
        a->setCheckable(true);
        a->setChecked(ToolBarStyle == 0);
    }
    ToolbarToggle(anyOpen);
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
    if (settings.integer(Key::ToolbarVersion) == 0) {
        // An old saved layout would hide the font boxes.
        ToolbarLayoutStore::remove(toolbarLayoutPath());
        settings.setInteger(Key::ToolbarVersion, CurrentToolbarVersion);
        Prompter::tell(ToolbarVersionMessage, MessageIcon::Information);
    }
    if (ToolBarStyle == 0)
        mnuToolbarButtonRaised_Click();
    else
        mnuToolbarButtonFlat_Click();
    Picture1->setPlusImage(settings.integer(Key::PlusImage));
    if (QAction* left = Toolbar1->button(QStringLiteral("Align left")))
        left->setChecked(true);
    if (SaveWindowState && SaveArrange >= 0) {
        if (SaveArrange == 0)
            WindowArranger(mdiArea).cascade();
        else
            WindowArranger(mdiArea).tile(SaveArrange == 1);
    }
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
    unloadMode = ClosedByProgram;
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
    writeClosingSettings();
    settings.store().sync();
    return true;
}

void frmMyMDI::writeClosingSettings()
{
    // The system ending the session keeps the window sizes of the last real close.
    if (unloadMode == ClosedByUser || unloadMode == ClosedByProgram) {
        if (!isMinimized())
            settings.setText(Key::WindowSize, QString::number(isMaximized() ? 2 : 0));
        settings.setInteger(Key::SaveArrange, SaveArrange);
        settings.setInteger(Key::QuotesState, QuotesState);
        settings.setInteger(Key::TextState, TextState);
        settings.setInteger(Key::TextBlocksState, TextBlocksState);
        settings.setInteger(Key::MyPadState, MyPadState);
        settings.setText(Key::MyPadSize, QString::number(MyPadSize.width()) + u',' +
                                             QString::number(MyPadSize.height()));
    }
    settings.setText(Key::LastDir, QDir::currentPath());
    settings.setInteger(Key::ToolBarStyle, ToolBarStyle);
    settings.setNumber(Key::ListFontSize, Picture1->listFontSize());
    settings.setInteger(Key::PlusImage, Picture1->plusImage());
    settings.setNumber(Key::Pic1Width, Picture1->widthTwips());
}

void frmMyMDI::closeEvent(QCloseEvent* event)
{
    // A close the program did not ask for came from the window's close box.
    if (event->spontaneous() && unloadMode != ClosedBySystem)
        unloadMode = ClosedByUser;
    if (!MDIForm_QueryUnload() || !MDIForm_Unload()) {
        event->ignore();
        unloadMode = ClosedByUser;
        return;
    }
    linkEnabled = false;
    emit linkClosed();
    Timer5.stop();
    if (customizer)
        customizer->close();
    event->accept();
}

void frmMyMDI::closeBySystem()
{
    unloadMode = ClosedBySystem;
    close();
}

void frmMyMDI::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    MDIForm_Resize();
}

void frmMyMDI::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        MDIForm_Resize();
}

void frmMyMDI::MDIForm_Resize()
{
    if (isMinimized())
        return;
    Picture1->Form_Resize(Twips::fromPixels(height()), isMaximized());
}

bool frmMyMDI::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == mdiArea->viewport()) {
        if (event->type() == QEvent::MouseMove && !StatusBar1->isShowingDate())
            StatusBar1->showDate();
        if (event->type() == QEvent::MouseButtonPress &&
            static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
            if (QMenu* menu = menus->popup(QStringLiteral("mnuRCMDI")))
                menu->popup(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMyMDI::mnuWindowCascade_Click()
{
    WindowArranger(mdiArea).cascade();
    SaveArrange = 0;
}

void frmMyMDI::mnuWindowTileHoriz_Click()
{
    WindowArranger(mdiArea).tile(true);
    SaveArrange = 1;
}

void frmMyMDI::mnuWindowTileVertical_Click()
{
    WindowArranger(mdiArea).tile(false);
    SaveArrange = 2;
}

void frmMyMDI::mnuWindowArrange_Click()
{
    WindowArranger(mdiArea).arrangeIcons();
}

void frmMyMDI::mnuWindowSendBack_Click()
{
    WindowArranger(mdiArea).sendToBack();
}

void frmMyMDI::mnuNextPane_Click()
{
    mdiArea->activateNextSubWindow();
}

void frmMyMDI::mnuMinRest_Click()
{
    MinRestToggle = MinRestToggle ? 0 : 1;
    const QList<frmText*> documents = documentWindows();
    WindowArranger(mdiArea).minimiseOrRestore({documents.cbegin(), documents.cend()},
                                              MinRestToggle == 1);
}

void frmMyMDI::fillWindowMenu(QMenu* menu)
{
    for (QAction* a : menu->actions())
        if (a->property("windowEntry").toBool())
            delete a;
    const QList<frmText*> windows = documentWindows();
    if (windows.isEmpty())
        return;
    QAction* separator = menu->addSeparator();
    separator->setProperty("windowEntry", true);
    int n = 0;
    for (frmText* window : windows) {
        ++n;
        const QString prefix = n < 10 ? QStringLiteral("&%1 ").arg(n) : QString();
        QAction* entry = menu->addAction(
            prefix + QString(window->windowTitle()).replace(u'&', QStringLiteral("&&")));
        entry->setProperty("windowEntry", true);
        entry->setCheckable(true);
        entry->setChecked(window == activeDocument());
        connect(entry, &QAction::triggered, this, [this, window] {
            if (window->isMinimized())
                window->showNormal();
            mdiArea->setActiveSubWindow(window);
        });
    }
}

void frmMyMDI::NoDocumentWarning()
{
    Prompter::tell(NoDocumentMessage, MessageIcon::Exclamation);
}

void frmMyMDI::runToolCommand(const ToolCommand& command)
{
    if (!command.isValid())
        return;
    if (command.needsDocument) {
        if (!activeDocument()) {
            NoDocumentWarning();
            return;
        }
        // Find belongs to the frame, but needs a document to search.
        runCommand(MenuBars::Document, command.name);
        return;
    }
    runCommand(MenuBars::Frame, command.name);
}

void frmMyMDI::Toolbar1_ButtonClick(const QString& key)
{
    runToolCommand(ToolbarTable::toolbar1Click(key));
}

void frmMyMDI::Toolbar1_ButtonMenuClick(const QString& buttonKey, const QString& entryKey)
{
    runToolCommand(ToolbarTable::toolbar1MenuClick(buttonKey, entryKey));
}

void frmMyMDI::Toolbar2_ButtonClick(const QString& key)
{
    runToolCommand(ToolbarTable::toolbar2Click(key));
}

void frmMyMDI::Toolbar3_ButtonClick(const QString& key)
{
    runToolCommand(ToolbarTable::toolbar3Click(key));
}

void frmMyMDI::ToolbarToggle(bool enable)
{
    Toolbar1->ToolbarToggle(enable);
}

void frmMyMDI::mnuToolbarButtonRaised_Click()
{
    ToolBarStyle = 0;
    ApplyToolbarStyle();
}

void frmMyMDI::mnuToolbarButtonFlat_Click()
{
    ToolBarStyle = 1;
    ApplyToolbarStyle();
}

void frmMyMDI::ApplyToolbarStyle()
{
    Toolbar1->setFlat(ToolBarStyle != 0);
    refreshCommands();
    RefreshAllDocuments();
    restoreToolbarLayout();
}

void frmMyMDI::restoreToolbarLayout()
{
    // A missing or unreadable layout leaves the buttons as they are.
    if (const auto keys = ToolbarLayoutStore::load(toolbarLayoutPath()))
        Toolbar1->setButtonLayout(*keys);
}

QString frmMyMDI::toolbarLayoutPath() const
{
    return ToolbarLayoutStore::pathBeside(settings.store().filePath());
}

void frmMyMDI::mnuToolBarCustomize_Click()
{
    if (!customizer) {
        customizer = new ToolbarCustomizer(Toolbar1, this);
        connect(customizer, &ToolbarCustomizer::changed, this, &frmMyMDI::Toolbar1_Change);
    }
    customizer->show();
    customizer->raise();
    customizer->activateWindow();
}

void frmMyMDI::Toolbar1_Change()
{
    const Status saved = ToolbarLayoutStore::save(toolbarLayoutPath(), Toolbar1->layoutKeys());
    if (!saved)
        Prompter::tell(QStringLiteral("Error: ") + toolbarLayoutPath() + u'\n' +
                           saved.error().message,
                       MessageIcon::Exclamation);
}

void frmMyMDI::RefreshAllDocuments()
{
    for (frmText* window : documentWindows()) {
        InitDocProperties(window);
        QCoreApplication::processEvents();
    }
}
