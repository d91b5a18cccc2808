#include "startup.h"

#include "commandline.h"
#include "document/dialogprompter.h"
#include "frmdde.h"
#include "frmmymdi.h"
#include "platform/icontheme.h"
#include "platform/instanceclient.h"
#include "platform/instancepaths.h"
#include "platform/instanceserver.h"
#include "platform/terminationwatcher.h"
#include "richtext/twips.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLockFile>
#include <QScreen>

namespace {

int handOver(QApplication& app, const QStringList& paths, const QString& socketPath)
{
    if (paths.isEmpty()) {
        // Only bring the running window to the front; nothing to report if it cannot.
        InstanceMessage activate;
        activate.kind = InstanceMessage::Kind::Activate;
        InstanceClient::send(socketPath, activate, 1000);
        return 0;
    }
    frmDDE dde(paths, socketPath);
    QObject::connect(&dde, &frmDDE::unloaded, &app, &QApplication::quit, Qt::QueuedConnection);
    dde.Form_Load();
    return app.exec();
}

int runFirstInstance(QApplication& app, const QStringList& paths, const QString& socketPath)
{
    if (const QScreen* screen = app.primaryScreen())
        Twips::setDpi(screen->logicalDotsPerInch());
    SettingsStore store;
    frmMyMDI frame(paths, store);
    InstanceServer server;
    QObject::connect(&server, &InstanceServer::executeRequested, &frame,
                     [&frame](const QString& command) {
                         int cancel = 0;
                         frame.MDIForm_LinkExecute(command, cancel);
                     });
    QObject::connect(&frame, &frmMyMDI::linkClosed, &server,
                     [&server] { server.setAccepting(false); });
    QObject::connect(&server, &InstanceServer::activateRequested, &frame, &frmMyMDI::bringToFront);
    TerminationWatcher termination;
    QObject::connect(&termination, &TerminationWatcher::terminationRequested, &frame,
                     &frmMyMDI::closeBySystem);
    if (!socketPath.isEmpty())
        server.listen(socketPath);
    frame.show();
    return app.exec();
}

} // namespace

int Main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillora"));
    // No display name of its own: the window system would add it to every caption,
    // and the captions the program gives ("Quillora - Find/Replace") already say it.
    QApplication::setDesktopFileName(QStringLiteral("org.quillora.Quillora"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLORA_VERSION));
    DialogPrompter dialogs;
    Prompter::install(&dialogs);
    IconTheme::install();
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("quillora")));
    const QStringList paths = CommandLine::paths(app.arguments().mid(1), QDir::currentPath());

    const QString lockPath = InstancePaths::lockPath();
    const QString socketPath = InstancePaths::socketPath();
    QLockFile lock(lockPath);
    // A lock whose owner has died is taken over; only a live owner means a running instance.
    lock.setStaleLockTime(0);
    if (!lockPath.isEmpty() && !lock.tryLock(0) && lock.error() == QLockFile::LockFailedError)
        return handOver(app, paths, socketPath);
    return runFirstInstance(app, paths, socketPath);
}
