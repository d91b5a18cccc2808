#pragma once

#include "extapps.h"
#include "openrules.h"

#include <QObject>
#include <QString>
#include <functional>

struct FrameContext;

// Opens one path handed over by the open queue: a window that already holds it is
// activated; otherwise the open rules say whether it loads as a document or goes,
// after the batch question, to another program.
class ItemOpener : public QObject {
    Q_OBJECT
public:
    static inline const QString OpenFailedText =
        QStringLiteral("An error occurred when trying to open this file.");
    static inline const QString ContinueText =
        QStringLiteral("Click OK if you want to continue opening the other selected items (if "
                       "any), or cancel to abort.");
    static inline const QString FileNotFound = QStringLiteral("The file does not exist.");
    static inline const QString NotStarted =
        QStringLiteral("The desktop could not start a program for it.");

    // How a path reaches another program: Opened, NoAssociation or Failed.
    enum class Launch { Opened, NoAssociation, Failed };
    using Launcher = std::function<Launch(const QString& path, const QString& application)>;
    using Chooser = std::function<bool(const QString& path)>;

    explicit ItemOpener(FrameContext& context, QObject* parent = nullptr);

    // fromOutside: the path came with a batch from the command line, another
    // instance or a drop on the document area.
    void OpenPath(const QString& path, bool fromOutside);

    // Lets the user pick the program for the path; false when none was started.
    bool openWith(const QString& path) { return m_choose(path); }

    ExtApps& extApps() { return m_extApps; }
    // The desktop's side, replaced in tests.
    void setLookup(OpenRules::AssociationLookup lookup) { m_lookup = std::move(lookup); }
    void setLauncher(Launcher launcher) { m_launch = std::move(launcher); }
    void setChooser(Chooser chooser) { m_choose = std::move(chooser); }

private:
    void openExternally(const QString& path, const QString& application);
    void failed(const QString& path, const QString& description);

    FrameContext& m_context;
    ExtApps m_extApps;
    OpenRules::AssociationLookup m_lookup;
    Launcher m_launch;
    Chooser m_choose;
};
