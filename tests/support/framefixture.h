#pragma once

#include "app/firstrunplan.h"
#include "app/frmmymdi.h"
#include "app/leftpane.h"
#include "app/maintoolbar.h"
#include "app/toolbarcontroller.h"
#include "app/toolbarcustomizer.h"
#include "app/windowcontroller.h"
#include "document/documentcontroller.h"
#include "document/documentmanager.h"
#include "document/frmtext.h"
#include "menus/commandrouter.h"
#include "menus/menubars.h"
#include "project/projectlistview.h"
#include "support/scriptedprompter.h"
#include "support/testhome.h"

#include <QMdiArea>
#include <QTimer>

// The store of a program that has started before: frames built on it skip the
// first start's set-up, which has tests of its own.
inline SettingsStore& startedBefore(SettingsStore& store)
{
    store.write(Settings::General, QString::fromLatin1(FirstRunPlan::FirstStartDone.name),
                QStringLiteral("True"));
    return store;
}

// A frame's parts, found the way a user finds them: by what they are.
class FrameParts {
public:
    explicit FrameParts(frmMyMDI& frame) : m_frame(frame) {}

    DocumentManager& documents() const { return m_frame.documents(); }
    CommandRouter& router() const { return m_frame.router(); }
    MenuBars* menus() const { return m_frame.findChild<MenuBars*>(); }
    MainToolbar* toolbar() const { return m_frame.findChild<MainToolbar*>(); }
    LeftPane* pane() const { return m_frame.findChild<LeftPane*>(); }
    QMdiArea* area() const { return m_frame.findChild<QMdiArea*>(); }
    WindowController* windows() const { return m_frame.findChild<WindowController*>(); }
    ToolbarController* toolbars() const { return m_frame.findChild<ToolbarController*>(); }
    DocumentController* commands() const { return m_frame.findChild<DocumentController*>(); }
    QTimer* timer4() const { return m_frame.findChild<QTimer*>(QStringLiteral("Timer4")); }
    // The entry of the bar that is shown.
    QAction* action(const QString& name) const { return menus()->action(menus()->shown(), name); }
    frmText* active() const { return documents().activeDocument(); }
    QList<frmText*> documentWindows() const { return documents().documentWindows(); }
    // Runs the deferred start now rather than after its timer.
    void start() const
    {
        timer4()->stop();
        m_frame.Timer4_Timer();
    }

private:
    frmMyMDI& m_frame;
};

// A shown main window on settings of its own, with a scripted prompter and the
// open queue open; the deferred start is stopped, so tests run its steps when
// they want them.
struct FrameFixture : FrameParts {
    TestHome home;
    SettingsStore store{home.path(QStringLiteral("settings.ini"))};
    ScriptedPrompter prompter;
    frmMyMDI frame{QStringList(), startedBefore(store)};

    FrameFixture() : FrameParts(frame)
    {
        frame.queue().OpenQueueState = OpenQueue::Idle;
        frame.show();
        timer4()->stop();
    }
};
