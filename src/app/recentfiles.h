#pragma once

#include "document/framecontext.h"
#include "platform/recentdocuments.h"
#include "recentlist.h"

#include <QObject>
#include <QString>

class ProjectController;
struct SettingKey;

// The recent projects at the end of both bars' File menu, the project current at
// the last close brought back at start, and the desktop's recent documents.
class RecentFiles : public QObject {
    Q_OBJECT
public:
    static inline const QString MissingText =
        QStringLiteral("This project file no longer exists.  Do you want to remove it from the "
                       "recent projects list?");
    static QString missingQuestion(const QString& path);
    static QString entryName(int index) { return QStringLiteral("mnuRecentFile%1").arg(index); }

    RecentFiles(FrameContext& context, ProjectController& projects, QObject* parent = nullptr);
    void registerCommands(CommandRouter& router);
    // The frame's load: the menus from the store.
    void load() { LoadRecentFiles(); }
    // The deferred start: when "AutoLoadProject" is on, the project that was current
    // at the last close ("Most Recent"). True when it was loaded.
    bool deferredStart();
    // The close: the position of the current project as "Most Recent", 0 for none.
    void writeSettings();

    void LoadRecentFiles();
    void PushRecentFile(const QString& path);
    bool IsInRecentMenu(const QString& path) const;
    void AddRecentProject(const QString& path);
    void mnuRecentFile_Click(int index);

    RecentList& list() { return m_list; }
    // The options dialog clears it.
    RecentDocuments& desktopList() { return m_desktop; }

private:
    void addToDesktop(const SettingKey& setting, const QString& path);
    // True when the project file is there; otherwise asks whether to drop its entry.
    bool stillThere(const QString& path);

    FrameContext& m_context;
    ProjectController& m_projects;
    RecentList m_list;
    RecentDocuments m_desktop;
};
