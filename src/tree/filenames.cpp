#include "filenames.h"

#include <QDir>
#include <QFileInfo>

namespace FileNames {

bool occupied(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString uniqueFolderName(const QString& parent)
{
    const QDir folder(parent);
    QString name = NewFolder;
    for (qint64 n = 1; occupied(folder.filePath(name)); ++n)
        name = NewFolder + QString::number(n);
    return name;
}

QString copyName(const QString& folder, const QString& name, bool isFolder,
                 const QSet<QString>& taken)
{
    QString base = name;
    QString extension;
    const qsizetype dot = name.lastIndexOf(u'.');
    if (!isFolder && dot > 0) {
        base = name.left(dot);
        extension = name.mid(dot);
    }
    const QDir parent(folder);
    for (qint64 n = 1;; ++n) {
        const QString suffix =
            n == 1 ? QStringLiteral(" (copy)") : QStringLiteral(" (copy %1)").arg(n);
        const QString candidate = base + suffix + extension;
        const QString path = parent.filePath(candidate);
        if (!taken.contains(path) && !occupied(path))
            return candidate;
    }
}

Status checkNewName(const QString& name)
{
    if (name.isEmpty())
        return Error{ErrorCode::PathAccess, EmptyNameText};
    if (name.contains(u'/'))
        return Error{ErrorCode::PathAccess, SlashText};
    if (name == u"." || name == u"..")
        return Error{ErrorCode::PathAccess, DotsText};
    return Status();
}

Result<QString> rename(const QString& path, const QString& newName, const FileSteps& steps)
{
    const Status valid = checkNewName(newName);
    if (!valid)
        return valid.error();
    const QFileInfo item(path);
    const QString target = item.dir().filePath(newName);
    if (item.fileName() == newName)
        return target;
    if (occupied(target))
        return Error{ErrorCode::FileExists, ExistsText + target};
    const Status moved = steps.move(path, target, false);
    if (!moved)
        return moved.error();
    return target;
}

} // namespace FileNames
