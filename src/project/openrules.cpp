#include "openrules.h"

#include "projectentry.h"

#include <QStringView>

OpenMethod OpenRules::openMethod(int setting)
{
    switch (setting) {
    case 0:
        return OpenMethod::Documents;
    case 2:
        return OpenMethod::AssociatedOrEditor;
    default:
        return OpenMethod::Associated;
    }
}

bool OpenRules::isExcluded(const QString& extension, const QString& openExclude)
{
    // Compared item by item: as a substring, ".s" would match ".js," and an item
    // written last without a comma would never match.
    for (const QStringView item : QStringView(openExclude).split(u',')) {
        const QStringView trimmed = item.trimmed();
        if (!trimmed.isEmpty() && trimmed.compare(extension, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

std::optional<Association> OpenRules::association(const QString& path, const QString& extension)
{
    if (const std::optional<Association> cached = m_extApps.find(extension))
        return cached;
    std::optional<Association> found = m_lookup(path);
    if (found && !found->application.isEmpty())
        m_extApps.add(extension, *found);
    else
        found.reset();
    return found;
}

OpenRules::Decision OpenRules::decide(const QString& path, bool fromOutside, OpenMethod method,
                                      const QString& openExclude)
{
    const ProjectEntry entry(path);
    Decision decision;
    if (entry.isShortcut()) {
        // A read-only shortcut never opens as a document, whatever the settings.
        decision.external = true;
        decision.question = LinkedItemPrefix + path + QStringLiteral("\n\n") + LinkedItemQuestion;
        return decision;
    }
    if (fromOutside || method == OpenMethod::Documents)
        return decision;
    const QString extension = entry.extension().trimmed().toLower();
    // A name without an extension (README, Makefile) is taken for text; the
    // desktop's guess for it would depend on the whole name, not on one extension.
    if (extension.isEmpty() || extension == ProjectEntry::ProjectSuffix ||
        isExcluded(extension, openExclude))
        return decision;
    const std::optional<Association> found = association(path, extension);
    QString name = UnknownApplication;
    if (found) {
        if (found->application == OwnApplication ||
            (found->textEditor && method == OpenMethod::Associated))
            return decision;
        decision.application = found->application;
        name = found->name.isEmpty() ? found->application : found->name;
    }
    decision.external = true;
    decision.question = path + QStringLiteral("\n\n") + OpenInQuestion + u'\n' + name + u'?';
    return decision;
}
