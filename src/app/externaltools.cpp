#include "externaltools.h"

#include "document/documentmanager.h"
#include "document/framecontext.h"
#include "menus/commandrouter.h"
#include "platform/processlauncher.h"
#include "platform/prompter.h"
#include "platform/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

ExternalTools::ExternalTools(FrameContext& context, QObject* parent)
    : QObject(parent), toolsFolder(QCoreApplication::applicationDirPath()), m_context(context)
{}

void ExternalTools::registerCommands(CommandRouter& router)
{
    const auto tick = [this](const char* command) {
        return [this, command](const CommandState&) {
            return m_tools[QString::fromLatin1(command)].started;
        };
    };
    router.add(
        "mnuIntEmail", [this] { mnuIntEmail_Click(); }, Enabled::Always, tick("mnuIntEmail"));
    router.add(
        "mnuIntNews", [this] { mnuIntNews_Click(); }, Enabled::Always, tick("mnuIntNews"));
    router.add(
        "mnuIntSnews", [this] { mnuIntSnews_Click(); }, Enabled::Always, tick("mnuIntSnews"));
    router.add(
        "mnuIntFTP", [this] { mnuIntFTP_Click(); }, Enabled::Always, tick("mnuIntFTP"));
    router.add(
        "mnuSAR", [this] { mnuSAR_Click(); }, Enabled::Always, tick("mnuSAR"));
}

void ExternalTools::mnuIntEmail_Click()
{
    runInternet(QStringLiteral("mnuIntEmail"), Key::EmailApp, EmailError);
}

void ExternalTools::mnuIntNews_Click()
{
    runInternet(QStringLiteral("mnuIntNews"), Key::NewsApp, NewsError);
}

void ExternalTools::mnuIntSnews_Click()
{
    runInternet(QStringLiteral("mnuIntSnews"), Key::SNewsApp, SnewsError);
}

void ExternalTools::mnuIntFTP_Click()
{
    runInternet(QStringLiteral("mnuIntFTP"), Key::FTPApp, FtpError);
}

void ExternalTools::runInternet(const QString& command, const SettingKey& key, const QString& error)
{
    Tool& tool = m_tools[command];
    if (switchTo(tool, error))
        return;
    const Result<TaskNumber> started = StartExternal(m_context.settings.text(key));
    if (!started) {
        const QString& message = started.error().message;
        Prompter::tell(message.isEmpty() ? error : message, MessageIcon::Exclamation);
        return;
    }
    tool.task = started.value();
    ticked(tool);
}

void ExternalTools::mnuSAR_Click()
{
    Tool& tool = m_tools[QStringLiteral("mnuSAR")];
    if (switchTo(tool, QString()))
        return;
    const QString utility = QDir(toolsFolder).filePath(SearchReplaceName);
    // The folder goes as one argument: blanks, quotes or a ";" in its name
    // stay part of it.
    const QString folder = QDir::toNativeSeparators(QDir::currentPath()) + u',';
    const QFileInfo info(utility);
    const Result<TaskNumber> started =
        info.isFile() && info.isExecutable()
            ? ProcessLauncher::start(utility, {folder})
            : Result<TaskNumber>(Error{ErrorCode::FileNotFound, QString()});
    if (!started) {
        Prompter::tell(FilePrefix + utility + QStringLiteral("\r\n\r\n") + SearchReplaceError,
                       MessageIcon::Exclamation);
        return;
    }
    tool.task = started.value();
    ticked(tool);
}

bool ExternalTools::switchTo(Tool& tool, const QString& error)
{
    if (tool.task.isNone())
        return false;
    if (!ProcessLauncher::isRunning(tool.task)) {
        tool.task = TaskNumber();
        return false;
    }
    // A running program without a window we can find (no X server, or none
    // of its own) is left alone: a second copy would not help.
    if (ProcessLauncher::raiseWindow(tool.task.pid()) != ProcessLauncher::Raise::Failed)
        return true;
    if (error.isEmpty()) {
        // The utility is started afresh rather than reported.
        tool.task = TaskNumber();
        return false;
    }
    Prompter::tell(error, MessageIcon::Exclamation);
    return true;
}

void ExternalTools::ticked(Tool& tool)
{
    tool.started = true;
    m_context.documents.RefreshAllDocuments();
    m_context.router.refresh();
}

std::optional<QUrl> ExternalTools::urlPrefix(const QString& value)
{
    // Two letters at least before the colon, so that no drive letter reads as
    // a scheme.
    static const QRegularExpression address(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:\\S*$"));
    if (!address.match(value).hasMatch())
        return std::nullopt;
    const QUrl url(value);
    if (!url.isValid() || url.scheme().isEmpty())
        return std::nullopt;
    return url;
}

Result<TaskNumber> ExternalTools::StartExternal(const QString& target)
{
    const Error failed{ErrorCode::FileNotFound, StartErrorPrefix + target};
    if (const std::optional<QUrl> url = urlPrefix(target)) {
        switch (ProcessLauncher::openUrl(*url)) {
        case ProcessLauncher::UrlOutcome::Opened:
            return TaskNumber();
        case ProcessLauncher::UrlOutcome::NoHandler:
            // Nothing was there to start: "a problem starting mailto:" sent
            // people looking for a fault in a program they never had.
            return Error{ErrorCode::NotSupported,
                         NoProgramForLinks.arg(url->scheme().toLower() + u':')};
        case ProcessLauncher::UrlOutcome::Failed:
            break;
        }
        return Error{ErrorCode::FileNotFound, QString()};
    }
    QStringList arguments = QProcess::splitCommand(target);
    if (arguments.isEmpty())
        return failed;
    const QString program = arguments.takeFirst();
    const Result<TaskNumber> started = ProcessLauncher::start(program, arguments);
    if (!started)
        return failed;
    return started;
}
