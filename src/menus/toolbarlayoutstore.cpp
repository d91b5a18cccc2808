#include "toolbarlayoutstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace ToolbarLayoutStore {

QString pathBeside(const QString& settingsFile)
{
    return QFileInfo(settingsFile).dir().filePath(Name);
}

std::optional<QStringList> load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QStringList keys;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (!line.trimmed().isEmpty())
            keys.append(QString::fromUtf8(line.trimmed()));
    if (keys.isEmpty())
        return std::nullopt;
    return keys;
}

Status save(const QString& path, const QStringList& keys)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Error{ErrorCode::WriteFailed, file.errorString()};
    file.write(keys.join(u'\n').toUtf8() + '\n');
    if (!file.commit())
        return Error{ErrorCode::WriteFailed, file.errorString()};
    return {};
}

void remove(const QString& path)
{
    QFile::remove(path);
}

} // namespace ToolbarLayoutStore
