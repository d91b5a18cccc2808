#include "frmmymdi.h"

#include "document/diskwatch.h"
#include "document/documentcontroller.h"
#include "document/documentmanager.h"
#include "document/formattingcontroller.h"
#include "document/framecontext.h"
#include "document/frmprtpreview.h"
#include "document/frmtext.h"
#include "document/loadprogress.h"
#include "document/printcontroller.h"
#include "document/recoverycontroller.h"
#include "externaltools.h"
#include "firstrun.h"
#include "framestatusbar.h"
#include "helpcontexts.h"
#include "helpcontroller.h"
#include "leftpane.h"
#include "maintoolbar.h"
#include "menus/commandrouter.h"
#include "menus/menubars.h"
#include "openpump.h"
#include "optionscontroller.h"
#include "panes/notescontroller.h"
#include "panes/quotescontroller.h"
#include "platform/prompter.h"
#include "project/documentdroparea.h"
#include "project/projectcontroller.h"
#include "project/projectlistview.h"
#include "recentfiles.h"
#include "richtext/twips.h"
#include "toolbarcontroller.h"
#include "toolbarcustomizer.h"
#include "tools/autocompletecontroller.h"
#include "tools/toolscontroller.h"
#include "tree/foldertree.h"
#include "windowcontroller.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

frmMyMDI::frmMyMDI(const QStringList& commandLine, SettingsStore& store, QWidget* parent)
    : QMainWindow(parent), m_settings(store), m_commandLine(commandLine)
{
    setObjectName(QStringLiteral("frmMyMDI"));
    setWindowTitle(QStringLiteral("Quillora"));
    buildFrame();
    buildControllers();
    m_timer4 = new QTimer(this);
    m_timer4->setObjectName(QStringLiteral("Timer4"));
    m_timer4->setSingleShot(true);
    m_timer4->setInterval(300);
    connect(m_timer4, &QTimer::timeout, this, &frmMyMDI::Timer4_Timer);
    MDIForm_Load();
}

frmMyMDI::~frmMyMDI()
{
    // The document windows go after the controllers: they must not call back.
    disconnect(m_area, nullptr, nullptr, nullptr);
}

void frmMyMDI::buildFrame()
{
    m_menus = new MenuBars(this);
    setMenuWidget(m_menus);
    m_router = new CommandRouter(m_menus, this);
    m_toolbar = new MainToolbar(m_router, this);
    addToolBar(Qt::TopToolBarArea, m_toolbar);
    m_statusBar = new FrameStatusBar(this);
    setStatusBar(m_statusBar);
    auto* centre = new QWidget(this);
    auto* row = new QHBoxLayout(centre);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    m_pane = new LeftPane(centre);
    m_area = new QMdiArea(centre);
    m_area->setObjectName(QStringLiteral("MDIClient"));
    m_area->viewport()->installEventFilter(this);
    m_area->viewport()->setMouseTracking(true);
    row->addWidget(m_pane);
    row->addWidget(m_area, 1);
    setCentralWidget(centre);
    resize(1000, 700);
    connect(m_toolbar, &MainToolbar::hovered, m_statusBar, &FrameStatusBar::showText);
    connect(m_toolbar, &MainToolbar::left, m_statusBar, &FrameStatusBar::showDate);
}

void frmMyMDI::buildControllers()
{
    m_documents = new DocumentManager(m_settings, m_area, this);
    m_pump =
        new OpenPump(this, m_settings, *m_documents, [this](const QString& path, bool fromOutside) {
            m_projects->OpenPath(path, fromOutside);
        });
    connect(m_pump, &OpenPump::queueDrained, this, &frmMyMDI::queueDrained);
    m_statusBar->addPermanentWidget(new LoadProgress(*m_documents, m_statusBar));
    m_context.reset(new FrameContext{
        m_settings, *m_documents, *m_router, this,
        [this](const QString& path, int source) { return queuePath(path, source); },
        [this] { m_pump->drain(); }, m_toolbar->Combo1, m_toolbar->Combo2, m_menus, QPoint()});
    m_documentCommands = new DocumentController(*m_context, this);
    m_windows = new WindowController(*m_context, m_area, m_menus, this);
    m_toolbars = new ToolbarController(*m_context, m_toolbar, m_pane, this);
    m_tools = new ToolsController(*m_context, this);
    m_formatting = new FormattingController(*m_context, this);
    m_print = new PrintController(*m_context, this);
    m_autoComplete = new AutoCompleteController(*m_context, this);
    m_projects = new ProjectController(*m_context, m_pane->List1, *m_documentCommands, this);
    m_recent = new RecentFiles(*m_context, *m_projects, this);
    m_dropArea = new DocumentDropArea(*m_context, m_area, this);
    m_tree = new FolderTree(*m_context, m_pane->TreeView1, m_pane->Drive1, *m_projects, this);
    m_notes = new NotesController(*m_context, this);
    m_firstRun = new FirstRun(*m_context, *m_projects, DataLocations::standard(), this);
    m_options = new OptionsController(*m_context, *m_projects, *m_autoComplete, this);
    m_quotes = new QuotesController(*m_context, this);
    m_externalTools = new ExternalTools(*m_context, this);
    m_documentCommands->registerCommands(*m_router);
    m_tools->registerCommands(*m_router);
    m_formatting->registerCommands(*m_router);
    m_print->registerCommands(*m_router);
    m_autoComplete->registerCommands(*m_router);
    m_projects->registerCommands(*m_router);
    m_recent->registerCommands(*m_router);
    m_tree->registerCommands(*m_router);
    m_notes->registerCommands(*m_router);
    m_options->registerCommands(*m_router);
    m_options->clearRecentDocuments = [this] { return m_recent->desktopList().clear(); };
    m_options->quotesFile = [this] { return m_quotes->quotesFile(); };
    m_options->textBlocksFile = [this] { return m_quotes->textBlocksFile(); };
    m_options->notesFile = [this] { return m_notes->notesFile(); };
    m_quotes->registerCommands(*m_router);
    m_externalTools->registerCommands(*m_router);
    m_help = new HelpController(*m_context, this);
    m_recovery = new RecoveryController(*m_context, this);
    connect(m_recovery, &RecoveryController::problem, m_statusBar, &FrameStatusBar::showText);
    m_help->registerCommands(*m_router);
    m_options->ShowHelpContext = [this](QWidget* window, int context) {
        m_help->ShowHelpContext(window, context);
    };
    m_print->userManual = [this] {
        m_help->ShowHelpContext(m_print->preview(), HelpContexts::Printing);
    };
    connect(m_formatting, &FormattingController::fontTextChanged, m_statusBar,
            [this](const QString& text) {
                m_statusBar->panel(QStringLiteral("stsFont"))->setText(text);
            });
    connect(m_formatting, &FormattingController::pointerMoved, m_statusBar,
            &FrameStatusBar::backToDate);
    connect(m_quotes, &QuotesController::pointerMoved, m_statusBar, &FrameStatusBar::backToDate);
    m_diskWatch = new DiskWatch(*m_context, this);
    connect(m_diskWatch, &DiskWatch::statusMessage, m_statusBar, &FrameStatusBar::showText);
    m_windows->registerCommands(*m_router);
    m_toolbars->registerCommands(*m_router);
    m_router->add(QStringLiteral("mnuExit"), [this] { mnuExit_Click(); });
    connect(m_router, &CommandRouter::noDocument, this, &frmMyMDI::NoDocumentWarning);
    connect(m_area, &QMdiArea::subWindowActivated, m_router, [this] { m_router->refresh(); });
    // A closing window is still there while it reports it.
    connect(m_documents, &DocumentManager::documentClosed, m_router,
            [this] { QTimer::singleShot(0, m_router, [this] { m_router->refresh(); }); });
}

void frmMyMDI::popUpOnRightClick(QAbstractScrollArea* view, const QString& menuName)
{
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this, [this, view, menuName](QPoint at) {
        m_context->PopupPos = view->viewport()->mapTo(this, at);
        if (QMenu* menu = m_menus->popup(menuName))
            menu->popup(view->viewport()->mapToGlobal(at));
    });
}

void frmMyMDI::MDIForm_Load()
{
    // Projects, the notes pad, the folder tree, quotes and auto-complete add
    // their own load steps when they are built.
    m_firstRun->load();
    m_saveWindowState = m_settings.boolean(Key::SaveWindowState);
    m_documents->load(m_saveWindowState);
    readWindowSettings();
    m_windows->load(m_saveWindowState);
    m_quotes->load(m_saveWindowState);
    m_toolbars->load();
    m_recent->load();
    m_pane->setListFontSize(m_settings.number(Key::ListFontSize));
    const QString lastDir = m_settings.text(Key::LastDir);
    if (!lastDir.isEmpty())
        QDir::setCurrent(lastDir); // a folder that has gone leaves the current one
    m_router->refresh();
}

void frmMyMDI::readWindowSettings()
{
    int paneWidth = Settings::MinimumPaneWidth;
    if (m_saveWindowState) {
        const QString size = m_settings.text(Key::WindowSize);
        if (!size.isEmpty()) {
            const int state = size.toInt();
            setWindowState(state == 2   ? Qt::WindowMaximized
                           : state == 1 ? Qt::WindowMinimized
                                        : Qt::WindowNoState);
        }
        paneWidth = m_settings.paneWidthTwips();
    }
    m_pane->setWidthTwips(paneWidth);
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
    m_timer4->start();
}

void frmMyMDI::Timer4_Timer()
{
    m_timer4->stop();
    m_toolbars->deferredStart();
    m_pane->setPlusImage(m_settings.integer(Key::PlusImage));
    m_autoComplete->deferredStart();
    m_windows->deferredStart();
    m_quotes->deferredStart();
    m_notes->deferredStart();
    if (!m_commandLine.isEmpty() || !m_recent->deferredStart())
        m_projects->deferredStart();
    m_firstRun->deferredStart(m_commandLine);
    m_tree->deferredStart();
    for (const QString& path : std::as_const(m_commandLine))
        queuePath(path, 0);
    queue().OpenQueueState = OpenQueue::Idle;
    if (m_commandLine.isEmpty())
        activateWindow();
    m_recovery->deferredStart();
}

bool frmMyMDI::queuePath(const QString& path, int source)
{
    return m_pump->queuePath(path, source);
}

void frmMyMDI::MDIForm_LinkExecute(const QString& CmdStr, int& Cancel)
{
    m_pump->MDIForm_LinkExecute(CmdStr, Cancel);
}

void frmMyMDI::Timer5_Timer()
{
    m_pump->Timer5_Timer();
}

OpenQueue& frmMyMDI::queue()
{
    return m_pump->queue();
}

bool frmMyMDI::fncconfirm(const QString& word)
{
    return m_projects->fncconfirm(word);
}

void frmMyMDI::mnuExit_Click()
{
    m_unloadMode = ClosedByProgram;
    close();
}

void frmMyMDI::NoDocumentWarning()
{
    Prompter::tell(NoDocumentMessage, MessageIcon::Exclamation);
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
    return m_projects->queryUnload();
}

bool frmMyMDI::MDIForm_Unload()
{
    if (!m_documents->closeAllForExit())
        return false;
    writeClosingSettings();
    m_settings.store().sync();
    return true;
}

void frmMyMDI::writeClosingSettings()
{
    m_recent->writeSettings();
    // The system ending the session keeps the window sizes of the last real close.
    if (m_unloadMode == ClosedByUser || m_unloadMode == ClosedByProgram) {
        if (!isMinimized())
            m_settings.setText(Key::WindowSize, QString::number(isMaximized() ? 2 : 0));
        m_windows->writeSettings();
        m_quotes->writeSettings();
        m_documents->writeSettings();
    }
    m_settings.setText(Key::LastDir, QDir::currentPath());
    m_toolbars->writeSettings();
    m_settings.setNumber(Key::ListFontSize, m_pane->listFontSize());
    m_settings.setInteger(Key::PlusImage, m_pane->plusImage());
    m_settings.setNumber(Key::Pic1Width, m_pane->widthTwips());
}

void frmMyMDI::closeEvent(QCloseEvent* event)
{
    // Told to close while a file operation's question waits: the close comes back later.
    if (m_tree->closeLater([this, mode = m_unloadMode] {
            m_unloadMode = mode;
            QTimer::singleShot(0, this, &QWidget::close);
        })) {
        event->ignore();
        return;
    }
    // A close the program did not ask for came from the window's close box.
    if (event->spontaneous() && m_unloadMode != ClosedBySystem)
        m_unloadMode = ClosedByUser;
    m_pump->showBatch();
    if (!MDIForm_QueryUnload() || !MDIForm_Unload()) {
        event->ignore();
        m_unloadMode = ClosedByUser;
        return;
    }
    m_recovery->closing();
    m_pump->close();
    emit linkClosed();
    m_tree->closing();
    if (ToolbarCustomizer* customizer = m_toolbars->customizer())
        customizer->close();
    m_help->closeAll();
    event->accept();
}

void frmMyMDI::closeBySystem()
{
    m_unloadMode = ClosedBySystem;
    m_recovery->writeAllNow();
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
    m_pane->Form_Resize(Twips::fromPixels(height()), isMaximized());
}

bool frmMyMDI::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_area->viewport()) {
        if (event->type() == QEvent::MouseMove)
            m_statusBar->backToDate();
        if (event->type() == QEvent::MouseButtonPress &&
            static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
            m_context->PopupPos = m_area->viewport()->mapTo(
                this, static_cast<QMouseEvent*>(event)->position().toPoint());
            if (QMenu* menu = m_menus->popup(QStringLiteral("mnuRCMDI")))
                menu->popup(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
