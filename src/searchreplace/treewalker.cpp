#include "treewalker.h"

#include <QFile>

#include <algorithm>
#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

const QString TreeWalker::NotRegularFile = QStringLiteral("skipped, not a regular file");
const QString TreeWalker::UnreadableFolder = QStringLiteral("cannot read folder");

namespace {

QPair<quint64, quint64> identity(const struct stat& st)
{
    return {quint64(st.st_dev), quint64(st.st_ino)};
}

QString joined(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return name;
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

} // namespace

bool TreeWalker::matchesAny(const QStringList& globs, const QByteArray& name)
{
    return std::any_of(globs.cbegin(), globs.cend(), [&](const QString& glob) {
        return fnmatch(QFile::encodeName(glob).constData(), name.constData(), 0) == 0;
    });
}

bool TreeWalker::walk(const QString& root, const Visit& visit, const Report& report)
{
    m_seenFolders.clear();
    m_seenFiles.clear();
    const QByteArray fsRoot = QFile::encodeName(root);
    struct stat st;
    if (::stat(fsRoot.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    m_seenFolders.insert(identity(st));
    return walkFolder(fsRoot, root, QString(), visit, report);
}

bool TreeWalker::walkFolder(const QByteArray& fsPath, const QString& shownPath,
                            const QString& relative, const Visit& visit, const Report& report)
{
    DIR* dir = ::opendir(fsPath.constData());
    if (!dir) {
        if (report)
            report(shownPath, UnreadableFolder);
        return true;
    }
    QList<QByteArray> names;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        if (name.startsWith('.') && !m_options.hidden)
            continue;
        names.append(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());

    for (const QByteArray& name : std::as_const(names)) {
        const QByteArray childFs = fsPath.endsWith('/') ? fsPath + name : fsPath + '/' + name;
        const QString childName = QFile::decodeName(name);
        const QString childShown = joined(shownPath, childName);
        const QString childRelative = joined(relative, childName);
        struct stat st;
        if (::lstat(childFs.constData(), &st) != 0)
            continue;
        if (S_ISLNK(st.st_mode)) {
            // Dangling or unfollowed links are silently left out, as grep -r does.
            if (!m_options.followSymlinks || ::stat(childFs.constData(), &st) != 0)
                continue;
        }
        if (S_ISDIR(st.st_mode)) {
            if (matchesAny(m_options.excludeDirs, name))
                continue;
            if (m_seenFolders.contains(identity(st)))
                continue;
            m_seenFolders.insert(identity(st));
            if (!walkFolder(childFs, childShown, childRelative, visit, report))
                return false;
            continue;
        }
        if (!m_options.includes.isEmpty() && !matchesAny(m_options.includes, name))
            continue;
        if (!S_ISREG(st.st_mode)) {
            if (report)
                report(childShown, NotRegularFile);
            continue;
        }
        if (m_options.followSymlinks) {
            // Two links to one file must not change it twice.
            if (m_seenFiles.contains(identity(st)))
                continue;
            m_seenFiles.insert(identity(st));
        }
        if (!visit(Entry{childShown, childRelative, qint64(st.st_size)}))
            return false;
    }
    return true;
}
