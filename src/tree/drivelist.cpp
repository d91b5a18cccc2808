#include "drivelist.h"

#include <QDir>
#include <QStorageInfo>
#include <algorithm>

namespace {

bool contains(const QString& folder, const QString& path)
{
    if (folder == QLatin1String("/"))
        return path.startsWith(u'/');
    return path == folder || (path.startsWith(folder) && path.at(folder.size()) == u'/');
}

// Where removable media and the user's own mounts appear.
const QStringList UserMountFolders = {QStringLiteral("/media"), QStringLiteral("/run/media"),
                                      QStringLiteral("/mnt")};

// Folders only the system mounts in, even for a network file system.
const QStringList SystemFolders = {
    QStringLiteral("/proc"), QStringLiteral("/sys"),  QStringLiteral("/dev"),
    QStringLiteral("/boot"), QStringLiteral("/snap"), QStringLiteral("/run"),
    QStringLiteral("/tmp"),  QStringLiteral("/var"),  QStringLiteral("/efi")};

// Kernel and package file systems that never hold a user's files.
const QStringList PseudoTypes = {
    QStringLiteral("proc"),        QStringLiteral("sysfs"),     QStringLiteral("devtmpfs"),
    QStringLiteral("devpts"),      QStringLiteral("cgroup"),    QStringLiteral("cgroup2"),
    QStringLiteral("securityfs"),  QStringLiteral("debugfs"),   QStringLiteral("tracefs"),
    QStringLiteral("configfs"),    QStringLiteral("fusectl"),   QStringLiteral("mqueue"),
    QStringLiteral("hugetlbfs"),   QStringLiteral("pstore"),    QStringLiteral("bpf"),
    QStringLiteral("binfmt_misc"), QStringLiteral("efivarfs"),  QStringLiteral("nsfs"),
    QStringLiteral("autofs"),      QStringLiteral("squashfs"),  QStringLiteral("tmpfs"),
    QStringLiteral("ramfs"),       QStringLiteral("rpc_pipefs")};

const QStringList NetworkTypes = {QStringLiteral("cifs"),  QStringLiteral("smb3"),
                                  QStringLiteral("smbfs"), QStringLiteral("nfs"),
                                  QStringLiteral("nfs4"),  QStringLiteral("fuse.sshfs"),
                                  QStringLiteral("davfs"), QStringLiteral("fuse.rclone"),
                                  QStringLiteral("9p"),    QStringLiteral("afs")};

QString clean(const QString& path)
{
    return QDir::cleanPath(path);
}

} // namespace

bool DriveList::isDrive(const Volume& volume, const QString& home)
{
    if (!volume.valid || !volume.ready || volume.path.isEmpty())
        return false;
    const QString path = clean(volume.path);
    if (path == QLatin1String("/"))
        return true;
    if (PseudoTypes.contains(volume.fsType))
        return false;
    const QString homePath = clean(home);
    if (!homePath.isEmpty() && contains(homePath, path))
        return true;
    if (std::any_of(UserMountFolders.begin(), UserMountFolders.end(),
                    [&path](const QString& folder) { return contains(folder, path); }))
        return true;
    if (std::any_of(SystemFolders.begin(), SystemFolders.end(),
                    [&path](const QString& folder) { return contains(folder, path); }))
        return false;
    return NetworkTypes.contains(volume.fsType);
}

QStringList DriveList::drives(const QList<Volume>& volumes, const QString& home)
{
    const QString homePath = home.isEmpty() ? QString() : clean(home);
    QStringList found;
    for (const Volume& volume : volumes) {
        const QString path = clean(volume.path);
        if (path != homePath && !found.contains(path) && isDrive(volume, home))
            found.append(path);
    }
    std::sort(found.begin(), found.end());
    if (!homePath.isEmpty())
        found.prepend(homePath);
    return found;
}

QStringList DriveList::current()
{
    QList<Volume> volumes;
    for (const QStorageInfo& storage : QStorageInfo::mountedVolumes())
        volumes.append({storage.rootPath(), QString::fromLatin1(storage.fileSystemType()),
                        storage.isValid(), storage.isReady()});
    return drives(volumes, QDir::homePath());
}

QString DriveList::driveOf(const QString& path, const QStringList& drives)
{
    const QString cleaned = clean(path);
    QString best;
    for (const QString& drive : drives) {
        const QString candidate = clean(drive);
        if (contains(candidate, cleaned) && candidate.size() > best.size())
            best = drive;
    }
    return best;
}
