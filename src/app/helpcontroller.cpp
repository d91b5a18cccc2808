#include "helpcontroller.h"

#include "about.h"
#include "document/framecontext.h"
#include "frmhelpcheck.h"
#include "helpbrowser.h"
#include "helpcontexts.h"
#include "helppopup.h"
#include "helpviewer.h"
#include "keyspage.h"
#include "menus/commandrouter.h"
#include "platform/datalocations.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>
#include <QTextBrowser>

HelpController::HelpController(FrameContext& ctx, QObject* parent)
    : QObject(parent), m_context(ctx),
      m_folders(HelpContexts::manualFolders(
          DataLocations::installedCandidates(QCoreApplication::applicationDirPath())))
{
    qApp->installEventFilter(this);
}

HelpController::~HelpController()
{
    closeAll();
    delete m_manual;
    delete m_reference;
}

HelpViewer* HelpController::manual() const
{
    return m_manual;
}

HelpViewer* HelpController::reference() const
{
    return m_reference;
}

frmHelpCheck* HelpController::notice() const
{
    return m_notice;
}

About* HelpController::about() const
{
    return m_about;
}

QTextBrowser* HelpController::popup() const
{
    return m_popup;
}

void HelpController::registerCommands(CommandRouter& router)
{
    router.add({
        {"mnuUserManual", [this] { mnuUserManual_Click(); }},
        {"mnuAbout", [this] { mnuAbout_Click(); }},
    });
    router.add(
        QStringLiteral("mnuHTMLTagRef"), [this] { mnuHTMLTagRef_Click(); }, Enabled::Always,
        [this](const CommandState&) { return m_referenceOpened; });
    for (const char* name :
         {"mnuRCListDragDropHelp", "mnuRCTreeDragDropHelp", "mnuRCMDIDragDropHelp"}) {
        router.add(QString::fromLatin1(name), [this] {
            ShowHelpPopup(m_context.window, m_context.PopupPos, HelpContexts::DragDrop);
        });
    }
}

QString HelpController::manualFolder() const
{
    return HelpContexts::findManual(m_folders);
}

QString HelpController::helpWarningText(const QStringList& folders)
{
    return QStringLiteral("Warning: the user manual was not found in ") +
           folders.join(QStringLiteral(", ")) +
           QStringLiteral(".  Reinstalling Quillora puts it back.");
}

void HelpController::PrepareHelpWarning(frmHelpCheck& notice) const
{
    notice.Label1->setText(helpWarningText(m_folders));
}

void HelpController::showNotice(QWidget* window)
{
    if (!m_notice)
        m_notice = new frmHelpCheck(window ? window : m_context.window);
    PrepareHelpWarning(*m_notice);
    // Modal for the frame, without a loop of its own to wait in.
    m_notice->setWindowModality(Qt::WindowModal);
    m_notice->show();
    m_notice->raise();
}

void HelpController::mnuUserManual_Click()
{
    ShowHelpContext(m_context.window, HelpContexts::Contents);
}

bool HelpController::ShowHelpContext(QWidget* window, int context)
{
    const QString folder = manualFolder();
    if (folder.isEmpty()) {
        showNotice(window);
        return false;
    }
    if (!m_manual || m_manual->folder() != folder) {
        delete m_manual;
        m_manual =
            new HelpViewer(folder, HelpContexts::contentsPage(), ManualTitle, m_context.window);
        m_manual->setObjectName(QStringLiteral("HelpViewer"));
        m_manual->browser()->addGeneratedPage(HelpContexts::keysPage(), &KeysPage::html);
    }
    // Under a modal dialog (the options' Help) the manual is that dialog's, or
    // the dialog would keep the reader from scrolling it.
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner || owner == m_notice)
        owner = m_context.window;
    if (m_manual->parentWidget() != owner)
        m_manual->setParent(owner, Qt::Window);
    m_manual->showTopic(HelpContexts::topicOrContents(context));
    m_manual->show();
    m_manual->raise();
    m_manual->activateWindow();
    return true;
}

bool HelpController::ShowHelpPopup(QWidget* window, QPoint at, int context)
{
    const QString folder = manualFolder();
    if (folder.isEmpty()) {
        showNotice(window);
        return false;
    }
    const HelpTopic topic = HelpContexts::topicOrContents(context);
    QFile page(QDir(folder).filePath(topic.page));
    if (!page.open(QIODevice::ReadOnly))
        return false;
    QString html = QString::fromUtf8(page.readAll());
    // The page's links to the rest of the manual mean nothing in a pop-up.
    static const QRegularExpression footer(QStringLiteral("<p class=\"nav\">.*?</p>"),
                                           QRegularExpression::DotMatchesEverythingOption);
    html.remove(footer);
    delete m_popup;
    m_popup = new HelpPopup(window);
    m_popup->setHtml(html);
    m_popup->document()->setTextWidth(420);
    const QSize size(440, qMin(int(m_popup->document()->size().height()) + 24, 480));
    m_popup->resize(size);
    QPoint global = window ? window->mapToGlobal(at) : at;
    // Kept on the screen the point is on.
    if (const QScreen* screen = QGuiApplication::screenAt(global)) {
        const QRect free = screen->availableGeometry();
        global.setX(
            qBound(free.left(), global.x(), qMax(free.left(), free.right() - size.width())));
        global.setY(
            qBound(free.top(), global.y(), qMax(free.top(), free.bottom() - size.height())));
    }
    m_popup->move(global);
    m_popup->show();
    return true;
}

void HelpController::mnuHTMLTagRef_Click()
{
    if (m_reference && m_reference->isVisible()) {
        m_reference->raise();
        m_reference->activateWindow();
        return;
    }
    const QString folder = manualFolder();
    if (folder.isEmpty() || !QFile::exists(QDir(folder).filePath(referencePage()))) {
        showNotice(m_context.window);
        return;
    }
    if (!m_reference || m_reference->folder() != folder) {
        delete m_reference;
        m_reference = new HelpViewer(folder, referencePage(), ReferenceTitle, m_context.window);
        m_reference->setObjectName(QStringLiteral("HTMLTagRef"));
        m_reference->showTopic({referencePage(), QString()});
    }
    m_reference->show();
    m_reference->raise();
    m_reference->activateWindow();
    if (!m_referenceOpened) {
        m_referenceOpened = true;
        m_context.router.refresh();
    }
}

void HelpController::mnuAbout_Click()
{
    if (!m_about)
        m_about = new About(m_context.window);
    m_about->setWindowModality(Qt::WindowModal);
    m_about->show();
    m_about->raise();
}

void HelpController::closeAll()
{
    for (QWidget* window :
         std::initializer_list<QWidget*>{m_manual, m_reference, m_notice, m_about, m_popup}) {
        if (window)
            window->close();
    }
}

int HelpController::contextOf(QWidget* widget) const
{
    for (QWidget* at = widget; at; at = at->parentWidget()) {
        const QVariant context = at->property(HelpContexts::PropertyName);
        if (context.isValid())
            return context.toInt();
    }
    return HelpContexts::Contents;
}

bool HelpController::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
        return false;
    // Only this frame's windows: another frame answers its own.
    auto* widget = static_cast<QWidget*>(watched);
    QWidget* at = widget;
    while (at && at != m_context.window)
        at = at->parentWidget();
    if (!at)
        return false;
    // The help windows' own F1 leads to the contents.
    QWidget* window = widget->window();
    ShowHelpContext(window == m_manual || window == m_reference ? m_context.window : window,
                    contextOf(widget));
    return true;
}
