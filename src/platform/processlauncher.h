#pragma once

#include "platform/result.h"
#include "platform/tasknumber.h"

#include <QString>
#include <QStringList>

class QUrl;

// Starts programs and addresses outside the editor and finds them again: a
// program gets its arguments as a list, never through a shell; a started one
// is known by its task number and brought to the front by its process id.
class ProcessLauncher {
public:
    enum class UrlOutcome { Opened, NoHandler, Failed };
    enum class Raise { Raised, NoWindow, Failed };

    // Starts the program detached; its task number, or why it did not start.
    static Result<TaskNumber> start(const QString& program, const QStringList& arguments);
    // Whether the task's process still runs (and is still the one started).
    static bool isRunning(const TaskNumber& task);
    // Activates the top window of the process through the window manager.
    // NoWindow where none can be found (no X server, Wayland, a program
    // without windows).
    static Raise raiseWindow(qint64 pid);

    // The desktop entry the desktop opens addresses of the scheme ("mailto")
    // with, empty when none.
    static QString schemeHandler(const QString& scheme);
    // Opens the address with the desktop's program for its scheme, when the
    // desktop names one.
    static UrlOutcome openUrl(const QUrl& url);
};
