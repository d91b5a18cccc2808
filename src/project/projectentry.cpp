#include "projectentry.h"

#include "document/documenttable.h"

#include <QDir>
#include <QFileInfo>

bool ProjectEntry::isWindowsForm() const
{
    return m_text.size() >= 3 && m_text.at(0).isLetter() && m_text.at(0).unicode() < 0x80 &&
           m_text.at(1) == u':' && m_text.at(2) == u'\\';
}

ProjectEntry::Kind ProjectEntry::kind() const
{
    if (m_text.endsWith(ShortcutSuffix, Qt::CaseInsensitive))
        return Kind::Shortcut;
    if (m_text.endsWith(separator()))
        return Kind::Folder;
    if (m_text.endsWith(ProjectSuffix, Qt::CaseInsensitive))
        return Kind::Project;
    return Kind::Document;
}

QString ProjectEntry::fileName() const
{
    return m_text.sliced(m_text.lastIndexOf(separator()) + 1);
}

QString ProjectEntry::displayText() const
{
    switch (kind()) {
    case Kind::Folder:
        return m_text;
    case Kind::Shortcut:
        // "...\.lnk" would show as a bare ".lnk": the shortcut of a folder.
        if (m_text.endsWith(separator() + ShortcutSuffix, Qt::CaseInsensitive))
            return m_text;
        return fileName();
    case Kind::Project:
    case Kind::Document:
        break;
    }
    return fileName();
}

QString ProjectEntry::toolTip() const
{
    switch (kind()) {
    case Kind::Shortcut:
        return m_text + ShortcutToolTipSuffix;
    case Kind::Folder:
        return m_text + FolderToolTipSuffix;
    case Kind::Project:
    case Kind::Document:
        break;
    }
    return m_text;
}

QString ProjectEntry::extension() const
{
    const QString name = fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.sliced(dot);
}

QString ProjectEntry::target() const
{
    return isShortcut() ? m_text.chopped(ShortcutSuffix.size()) : m_text;
}

QString ProjectEntry::rebased(const QString& fromProjectFile, const QString& toProjectFile) const
{
    if (isWindowsForm() || fromProjectFile.isEmpty() || QDir::isAbsolutePath(m_text))
        return m_text;
    const QString from = QFileInfo(fromProjectFile).absolutePath();
    const QString to = QFileInfo(toProjectFile).absolutePath();
    if (from == to)
        return m_text;
    QString path = QDir(to).relativeFilePath(resolved(fromProjectFile));
    if (m_text.endsWith(u'/') && !path.endsWith(u'/'))
        path += u'/';
    return path;
}

QString ProjectEntry::resolved(const QString& projectFile) const
{
    if (isWindowsForm() || projectFile.isEmpty() || QDir::isAbsolutePath(m_text))
        return m_text;
    const QString folder = QFileInfo(projectFile).absolutePath();
    QString path = QDir::cleanPath(folder + u'/' + m_text);
    // cleanPath drops the final "/" that makes a folder entry.
    if (m_text.endsWith(u'/') && !path.endsWith(u'/'))
        path += u'/';
    return path;
}

bool ProjectEntry::samePath(const QString& a, const QString& b)
{
    if (a.compare(b, Qt::CaseInsensitive) == 0 && ProjectEntry(a).isWindowsForm())
        return true;
    return DocumentTable::samePath(a, b);
}
