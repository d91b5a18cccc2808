#pragma once

#include "app/frmmymdi.h"
#include "support/scriptedprompter.h"
#include "support/testhome.h"

// A shown main window on settings of its own, with a scripted prompter and the
// open queue open; the deferred start is stopped, so tests run its steps when
// they want them.
struct FrameFixture {
    TestHome home;
    SettingsStore store{home.path(QStringLiteral("settings.ini"))};
    ScriptedPrompter prompter;
    frmMyMDI frame{QStringList(), store};

    FrameFixture()
    {
        frame.queue.OpenQueueState = OpenQueue::Idle;
        frame.show();
        frame.Timer4.stop();
    }
};
