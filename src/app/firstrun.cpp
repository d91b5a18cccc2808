#include "firstrun.h"

#include "firstrunplan.h"
#include "platform/prompter.h"
#include "platform/settings.h"
#include "project/projectcontroller.h"
#include "project/projectfile.h"
#include "project/projectlistview.h"
#include "toolbarcontroller.h"
#include "toolbarcustomizer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

QString FirstRun::errorMessage(const QString& path, const QString& reason)
{
    return QStringLiteral("Error: ") + path + u'\n' + reason;
}

QString FirstRun::folderError(const QString& folder)
{
    return errorMessage(
        folder, QStringLiteral("The folder for Quillora's own files could not be created, so the "
                               "welcome project, quotes, notes and text blocks are not set up."));
}

QString FirstRun::missingSamplesError(const QString& lookedIn)
{
    return errorMessage(
        lookedIn, QStringLiteral("Quillora's sample files are not installed there, so the welcome "
                                 "project, quotes, notes and text blocks are not set up."));
}

QString FirstRun::settingsError(const QString& settingsFile)
{
    return errorMessage(settingsFile, QStringLiteral("The settings could not be saved."));
}

FirstRun::FirstRun(FrameContext& context, ProjectController& projects,
                   const DataLocations& locations, QObject* parent)
    : QObject(parent), m_context(context), m_projects(projects), m_locations(locations)
{
    setObjectName(QStringLiteral("FirstRun"));
}

void FirstRun::SetupFirstRun()
{
    FirstStart = false;
    Settings& settings = m_context.settings;
    if (settings.boolean(FirstRunPlan::FirstStartDone))
        return;
    // A first start has no older toolbar to tell about new buttons of.
    if (settings.integer(Key::ToolbarVersion) == 0)
        settings.setInteger(Key::ToolbarVersion, ToolbarController::CurrentToolbarVersion);
    // Without its record the set-up runs again at the next start, when the
    // folder or the installation may have been put right.
    if (m_locations.installed().isEmpty()) {
        const QStringList candidates =
            DataLocations::installedCandidates(QCoreApplication::applicationDirPath());
        Prompter::tell(missingSamplesError(candidates.value(0)), MessageIcon::Exclamation);
        return;
    }
    const QString user = m_locations.user();
    if (user.isEmpty() || !QDir().mkpath(FirstRunPlan::templatesFolder(user))) {
        Prompter::tell(folderError(user), MessageIcon::Exclamation);
        return;
    }
    QStringList failures = copySamples();
    failures += writeProjects();
    // A set-up run again after a failure leaves what the user chose meanwhile.
    for (const FirstRunPlan::Setting& setting : FirstRunPlan::settings(user))
        if (settings.text(setting.key).isEmpty())
            settings.setText(setting.key, setting.value);
    if (failures.isEmpty())
        settings.setBoolean(FirstRunPlan::FirstStartDone, true);
    // At once: a crash later must neither lose the set-up nor repeat it.
    if (!settings.store().sync())
        failures << settingsError(settings.store().filePath());
    FirstStart = true;
    if (!failures.isEmpty())
        Prompter::tell(failures.join(QStringLiteral("\n\n")), MessageIcon::Exclamation);
}

QStringList FirstRun::copySamples()
{
    QStringList failures;
    for (const FirstRunPlan::Copy& copy :
         FirstRunPlan::copies(m_locations.installed(), m_locations.user())) {
        QFile source(copy.from);
        // QFile::copy never replaces a file, so one the user made meanwhile stays.
        if (!source.copy(copy.to)) {
            failures << errorMessage(copy.to, source.errorString());
            continue;
        }
        // Installed files are often read-only; the user's copies are to be edited.
        QFile::setPermissions(copy.to, QFile::permissions(copy.to) | QFileDevice::ReadOwner |
                                           QFileDevice::WriteOwner);
    }
    return failures;
}

QStringList FirstRun::writeProjects()
{
    QStringList failures;
    const QString user = m_locations.user();
    const Status welcome = ProjectFile::write(user + u'/' + FirstRunPlan::WelcomeProject,
                                              FirstRunPlan::welcomeLines(user));
    if (!welcome)
        failures << welcome.error().message;
    const Status templates = ProjectFile::write(FirstRunPlan::templatesFolder(user) + u'/' +
                                                    FirstRunPlan::TemplatesProject,
                                                FirstRunPlan::templatesLines(user));
    if (!templates)
        failures << templates.error().message;
    return failures;
}

void FirstRun::deferredStart(const QStringList& commandLine)
{
    if (!FirstStart || !commandLine.isEmpty() || !m_projects.list().ProjectFile().isEmpty())
        return;
    m_projects.LoadProject(m_locations.user() + u'/' + FirstRunPlan::WelcomeProject);
    // Only the last two rows, the readme and the welcome document, open; the
    // folders and the web page stay listed.
    const int rows = m_projects.list().rowCount();
    if (rows < 3)
        return;
    ProjectListView* view = m_projects.view();
    view->SelectListItem(rows - 2, false);
    view->addToSelection(rows - 1);
    m_projects.OpenListItems(0);
}
