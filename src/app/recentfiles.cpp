#include "recentfiles.h"

#include "document/documentmanager.h"
#include "document/frmtext.h"
#include "menus/commandrouter.h"
#include "menus/menubars.h"
#include "platform/prompter.h"
#include "platform/settings.h"
#include "project/projectcontroller.h"

#include <QAction>
#include <QFileInfo>

QString RecentFiles::missingQuestion(const QString& path)
{
    return QStringLiteral("File: ") + path + QStringLiteral("\n\n") + MissingText;
}

RecentFiles::RecentFiles(FrameContext& context, ProjectController& projects, QObject* parent)
    : QObject(parent), m_context(context), m_projects(projects), m_list(context.settings.store())
{
    setObjectName(QStringLiteral("RecentFiles"));
    const auto projectNamed = [this](const QString& projectFile) {
        AddRecentProject(projectFile);
        addToDesktop(Key::Add2RecentPrj, projectFile);
    };
    connect(&m_projects, &ProjectController::projectLoaded, this, projectNamed);
    connect(&m_projects, &ProjectController::projectSaved, this, projectNamed);
    connect(&m_context.documents, &DocumentManager::documentOpened, this, [this](frmText* window) {
        addToDesktop(Key::Add2RecentDoc, window->state().FileName);
    });
    // A document opened under a name with no file yet gets into the list here.
    connect(&m_context.documents, &DocumentManager::documentSaved, this,
            [this](const QString& path) { addToDesktop(Key::Add2RecentDoc, path); });
}

void RecentFiles::registerCommands(CommandRouter& router)
{
    for (int index = 1; index <= RecentList::MaxEntries; ++index)
        router.add(entryName(index), [this, index] { mnuRecentFile_Click(index); });
}

void RecentFiles::addToDesktop(const SettingKey& setting, const QString& path)
{
    // Read at each use: the options dialog may have changed it.
    if (!path.isEmpty() && m_context.settings.boolean(setting))
        m_desktop.add(path);
}

void RecentFiles::LoadRecentFiles()
{
    if (!m_context.menus)
        return;
    const QStringList paths = m_list.paths();
    // One bar serves every document window, so both bars are all there is to fill.
    for (QAction* separator : m_context.menus->entries(entryName(0)))
        separator->setVisible(!paths.isEmpty());
    for (int index = 1; index <= RecentList::MaxEntries; ++index) {
        const bool listed = index <= paths.size();
        const QString path = listed ? paths.at(index - 1) : QString();
        for (QAction* entry : m_context.menus->entries(entryName(index))) {
            entry->setData(path);
            if (listed)
                entry->setText(RecentList::menuCaption(path));
            entry->setVisible(listed);
        }
    }
}

void RecentFiles::PushRecentFile(const QString& path)
{
    m_list.PushRecentFile(path);
}

bool RecentFiles::IsInRecentMenu(const QString& path) const
{
    // The stored path, not the caption: a caption doubles each "&".
    return m_list.contains(path);
}

void RecentFiles::AddRecentProject(const QString& path)
{
    if (!IsInRecentMenu(path))
        PushRecentFile(path);
    LoadRecentFiles();
}

bool RecentFiles::stillThere(const QString& path)
{
    if (QFileInfo::exists(path))
        return true;
    // Loading it would start an empty project under a name the user thinks is a project.
    if (Prompter::ask(missingQuestion(path), MessageButtons::YesNo, MessageIcon::Question, 2) ==
        Answer::Yes) {
        m_list.remove(path);
        LoadRecentFiles();
    }
    return false;
}

void RecentFiles::mnuRecentFile_Click(int index)
{
    QAction* entry =
        m_context.menus ? m_context.menus->action(MenuBars::Frame, entryName(index)) : nullptr;
    const QString path = entry ? entry->data().toString() : QString();
    if (path.isEmpty() || !stillThere(path))
        return;
    if (!m_projects.fncconfirm(QStringLiteral("Project")))
        return;
    m_projects.LoadProject(path);
    LoadRecentFiles();
}

bool RecentFiles::deferredStart()
{
    if (!m_context.settings.boolean(Key::AutoLoadProject))
        return false;
    const int position = m_context.settings.integer(Key::MostRecent);
    const QStringList paths = m_list.paths();
    if (position < 1 || position > paths.size())
        return false;
    const QString path = paths.at(position - 1);
    if (!stillThere(path))
        return false;
    m_projects.LoadProject(path);
    return true;
}

void RecentFiles::writeSettings()
{
    // A project that is not listed (an unnamed one) writes 0: a position kept from
    // an earlier close would now name some other project.
    m_context.settings.setInteger(Key::MostRecent,
                                  m_list.position(m_projects.list().ProjectFile()));
}
