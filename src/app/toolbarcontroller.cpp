#include "toolbarcontroller.h"

#include "document/documentmanager.h"
#include "leftpane.h"
#include "maintoolbar.h"
#include "menus/commandrouter.h"
#include "menus/toolbarlayoutstore.h"
#include "platform/prompter.h"
#include "platform/settings.h"
#include "toolbarcustomizer.h"

#include <QAction>
#include <QToolButton>

ToolbarController::ToolbarController(FrameContext& context, MainToolbar* toolbar, LeftPane* pane,
                                     QObject* parent)
    : QObject(parent), m_context(context), m_toolbar(toolbar), m_pane(pane)
{
    setObjectName(QStringLiteral("ToolbarController"));
    connect(toolbar, &MainToolbar::buttonClicked, this, &ToolbarController::Toolbar1_ButtonClick);
    connect(toolbar, &MainToolbar::menuClicked, this, &ToolbarController::Toolbar1_ButtonMenuClick);
    connect(toolbar, &MainToolbar::rightClicked, this, &ToolbarController::Toolbar1_MouseDown);
    connect(pane, &LeftPane::buttonClicked, this, [this](const QString& bar, const QString& key) {
        if (bar == QStringLiteral("Toolbar2"))
            Toolbar2_ButtonClick(key);
        else
            Toolbar3_ButtonClick(key);
    });
    for (QAction* a : pane->Toolbar2->actions())
        context.router.bind(a, ToolbarTable::toolbar2Click(a->objectName()));
    for (QAction* a : pane->Toolbar3->actions())
        context.router.bind(a, ToolbarTable::toolbar3Click(a->objectName()));
}

void ToolbarController::registerCommands(CommandRouter& router)
{
    router.add(QStringLiteral("mnuToolBarCustomize"), [this] { mnuToolBarCustomize_Click(); });
    router.add(
        QStringLiteral("mnuToolbarButtonRaised"), [this] { mnuToolbarButtonRaised_Click(); },
        Enabled::Always, [this](const CommandState&) { return ToolBarStyle == 0; });
    router.add(
        QStringLiteral("mnuToolbarButtonFlat"), [this] { mnuToolbarButtonFlat_Click(); },
        Enabled::Always, [this](const CommandState&) { return ToolBarStyle != 0; });
}

void ToolbarController::load()
{
    ToolBarStyle = m_context.settings.integer(Key::ToolBarStyle);
}

void ToolbarController::deferredStart()
{
    if (m_context.settings.integer(Key::ToolbarVersion) == 0) {
        // An old saved layout would hide the font boxes.
        ToolbarLayoutStore::remove(toolbarLayoutPath());
        m_context.settings.setInteger(Key::ToolbarVersion, CurrentToolbarVersion);
        Prompter::tell(ToolbarVersionMessage, MessageIcon::Information);
    }
    if (ToolBarStyle == 0)
        mnuToolbarButtonRaised_Click();
    else
        mnuToolbarButtonFlat_Click();
    // Text starts left-aligned until the caret says otherwise.
    if (QAction* left = m_toolbar->button(QStringLiteral("Align left")))
        left->setChecked(true);
}

void ToolbarController::writeSettings()
{
    m_context.settings.setInteger(Key::ToolBarStyle, ToolBarStyle);
}

void ToolbarController::Toolbar1_ButtonClick(const QString& key)
{
    m_context.router.runTool(ToolbarTable::toolbar1Click(key));
}

void ToolbarController::Toolbar1_ButtonMenuClick(const QString& buttonKey, const QString& entryKey)
{
    m_context.router.runTool(ToolbarTable::toolbar1MenuClick(buttonKey, entryKey));
}

void ToolbarController::Toolbar2_ButtonClick(const QString& key)
{
    m_context.router.runTool(ToolbarTable::toolbar2Click(key));
}

void ToolbarController::Toolbar3_ButtonClick(const QString& key)
{
    m_context.router.runTool(ToolbarTable::toolbar3Click(key));
}

void ToolbarController::Toolbar1_MouseDown()
{
    if (m_toolbar->isFlat())
        mnuToolbarButtonRaised_Click();
    else
        mnuToolbarButtonFlat_Click();
    for (QToolBar* bar : {m_pane->Toolbar2, m_pane->Toolbar3})
        for (QAction* a : bar->actions())
            if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(a)))
                button->setAutoRaise(m_toolbar->isFlat());
}

void ToolbarController::mnuToolbarButtonRaised_Click()
{
    ToolBarStyle = 0;
    ApplyToolbarStyle();
}

void ToolbarController::mnuToolbarButtonFlat_Click()
{
    ToolBarStyle = 1;
    ApplyToolbarStyle();
}

void ToolbarController::ApplyToolbarStyle()
{
    m_toolbar->setFlat(ToolBarStyle != 0);
    m_context.documents.RefreshAllDocuments();
    restoreToolbarLayout();
    m_context.router.refresh();
}

void ToolbarController::restoreToolbarLayout()
{
    // A missing or unreadable layout leaves the buttons as they are.
    if (const auto keys = ToolbarLayoutStore::load(toolbarLayoutPath()))
        m_toolbar->setButtonLayout(*keys);
}

QString ToolbarController::toolbarLayoutPath() const
{
    return ToolbarLayoutStore::pathBeside(m_context.settings.store().filePath());
}

void ToolbarController::mnuToolBarCustomize_Click()
{
    if (!m_customizer) {
        m_customizer = new ToolbarCustomizer(m_toolbar, m_context.window);
        connect(m_customizer, &ToolbarCustomizer::changed, this,
                &ToolbarController::Toolbar1_Change);
    }
    m_customizer->show();
    m_customizer->raise();
    m_customizer->activateWindow();
}

void ToolbarController::Toolbar1_Change()
{
    const Status saved = ToolbarLayoutStore::save(toolbarLayoutPath(), m_toolbar->layoutKeys());
    if (!saved)
        Prompter::tell(QStringLiteral("Error: ") + toolbarLayoutPath() + u'\n' +
                           saved.error().message,
                       MessageIcon::Exclamation);
}
