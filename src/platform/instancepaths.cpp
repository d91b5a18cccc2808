#include "instancepaths.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <unistd.h>

namespace InstancePaths {

QString instanceName()
{
    QString name = qEnvironmentVariable("QUILLORA_INSTANCE", QStringLiteral("default"));
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_.-]")), QStringLiteral("_"));
    return name.isEmpty() || name.startsWith(u'.') ? QStringLiteral("default") : name;
}

QString directory()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        return QString();
    const QString path = runtime + QStringLiteral("/quillora");
    QDir().mkpath(path);
    QFile::setPermissions(path,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // Someone else's folder, or one others can enter, is no place for our socket.
    const QFileInfo info(path);
    if (!info.isDir() || info.isSymLink() || info.ownerId() != ::getuid() ||
        (info.permissions() &
         (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
          QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther)))
        return QString();
    return path;
}

QString socketPath()
{
    const QString dir = directory();
    return dir.isEmpty() ? QString() : dir + u'/' + instanceName() + QStringLiteral(".socket");
}

QString lockPath()
{
    const QString dir = directory();
    return dir.isEmpty() ? QString() : dir + u'/' + instanceName() + QStringLiteral(".lock");
}

} // namespace InstancePaths
