#include "windowcontroller.h"

#include "document/documentmanager.h"
#include "document/frmtext.h"
#include "menus/commandrouter.h"
#include "platform/settings.h"
#include "windowarranger.h"

#include <QAction>
#include <QMdiArea>
#include <QMenu>
#include <QShortcut>

WindowController::WindowController(FrameContext& context, QMdiArea* area, MenuBars* menus,
                                   QObject* parent)
    : QObject(parent), m_context(context), m_area(area)
{
    setObjectName(QStringLiteral("WindowController"));
    connect(menus, &MenuBars::windowMenuAboutToShow, this, &WindowController::fillWindowMenu);
    // The Window menu shows Ctrl+F6 for the next window, as the MDI area's own
    // Ctrl+Tab does.
    auto* nextWindow = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F6), context.window);
    connect(nextWindow, &QShortcut::activated, this, &WindowController::mnuNextPane_Click);
}

void WindowController::registerCommands(CommandRouter& router)
{
    const auto add = [&](const char* name, void (WindowController::*handler)(),
                         const CommandCondition& enabledWhen) {
        router.add(
            QString::fromLatin1(name), [this, handler] { (this->*handler)(); }, enabledWhen);
    };
    add("mnuWindowCascade", &WindowController::mnuWindowCascade_Click, Enabled::WithAnyDocument);
    add("mnuWindowTileHoriz", &WindowController::mnuWindowTileHoriz_Click,
        Enabled::WithAnyDocument);
    add("mnuWindowTileVertical", &WindowController::mnuWindowTileVertical_Click,
        Enabled::WithAnyDocument);
    add("mnuWindowArrange", &WindowController::mnuWindowArrange_Click, Enabled::WithAnyDocument);
    add("mnuWindowSendBack", &WindowController::mnuWindowSendBack_Click, Enabled::WithDocument);
    add("mnuNextPane", &WindowController::mnuNextPane_Click, Enabled::Always);
    add("mnuMinRest", &WindowController::mnuMinRest_Click, Enabled::WithAnyDocument);
}

void WindowController::load(bool restoreWindowStates)
{
    m_restore = restoreWindowStates;
    if (restoreWindowStates)
        SaveArrange = m_context.settings.integer(Key::SaveArrange);
}

void WindowController::deferredStart()
{
    if (!m_restore || SaveArrange < 0)
        return;
    if (SaveArrange == 0)
        WindowArranger(m_area).cascade();
    else
        WindowArranger(m_area).tile(SaveArrange == 1);
}

void WindowController::writeSettings()
{
    m_context.settings.setInteger(Key::SaveArrange, SaveArrange);
}

void WindowController::mnuWindowCascade_Click()
{
    WindowArranger(m_area).cascade();
    SaveArrange = 0;
}

void WindowController::mnuWindowTileHoriz_Click()
{
    WindowArranger(m_area).tile(true);
    SaveArrange = 1;
}

void WindowController::mnuWindowTileVertical_Click()
{
    WindowArranger(m_area).tile(false);
    SaveArrange = 2;
}

void WindowController::mnuWindowArrange_Click()
{
    WindowArranger(m_area).arrangeIcons();
}

void WindowController::mnuWindowSendBack_Click()
{
    WindowArranger(m_area).sendToBack();
}

void WindowController::mnuNextPane_Click()
{
    m_area->activateNextSubWindow();
}

void WindowController::mnuMinRest_Click()
{
    MinRestToggle = MinRestToggle ? 0 : 1;
    const QList<frmText*> documents = m_context.documents.documentWindows();
    WindowArranger(m_area).minimiseOrRestore({documents.cbegin(), documents.cend()},
                                             MinRestToggle == 1);
}

void WindowController::fillWindowMenu(QMenu* menu)
{
    for (QAction* a : menu->actions())
        if (a->property("windowEntry").toBool())
            delete a;
    const QList<frmText*> windows = m_context.documents.documentWindows();
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
        entry->setChecked(window == m_context.documents.activeDocument());
        connect(entry, &QAction::triggered, this, [this, target = QPointer<frmText>(window)] {
            if (!target)
                return;
            if (target->isMinimized())
                target->showNormal();
            m_area->setActiveSubWindow(target);
        });
    }
}
