#include "recentlist.h"

#include "platform/settings.h"
#include "project/projectentry.h"

QString RecentList::menuCaption(const QString& path)
{
    QString caption = path;
    caption.replace(u'&', QStringLiteral("&&"));
    // A tab would split the caption into a shortcut text.
    caption.replace(u'\t', u' ');
    return caption;
}

QStringList RecentList::paths() const
{
    QStringList found;
    const auto read = [this](int position) {
        return m_store.read(Settings::RecentFiles, keyName(position), QString());
    };
    if (read(1).isEmpty())
        return found;
    for (int position = 1; position <= MaxEntries; ++position) {
        const QString path = read(position);
        if (!path.isEmpty())
            found.append(path);
    }
    return found;
}

int RecentList::position(const QString& path) const
{
    if (path.isEmpty())
        return 0;
    const QStringList listed = paths();
    for (int i = 0; i < listed.size(); ++i)
        if (ProjectEntry::samePath(listed.at(i), path))
            return i + 1;
    return 0;
}

void RecentList::PushRecentFile(const QString& path)
{
    for (int i = MaxEntries - 1; i >= 1; --i) {
        const QString value = m_store.read(Settings::RecentFiles, keyName(i), QString());
        if (!value.isEmpty())
            m_store.write(Settings::RecentFiles, keyName(i + 1), value);
    }
    m_store.write(Settings::RecentFiles, keyName(1), path);
}

bool RecentList::add(const QString& path)
{
    if (path.isEmpty() || contains(path))
        return false;
    PushRecentFile(path);
    return true;
}

bool RecentList::remove(const QString& path)
{
    const int at = position(path);
    if (at == 0)
        return false;
    QStringList kept = paths();
    kept.removeAt(at - 1);
    write(kept);
    return true;
}

void RecentList::write(const QStringList& paths)
{
    for (int position = 1; position <= MaxEntries; ++position) {
        if (position <= paths.size())
            m_store.write(Settings::RecentFiles, keyName(position), paths.at(position - 1));
        else
            m_store.remove(Settings::RecentFiles, keyName(position));
    }
}
