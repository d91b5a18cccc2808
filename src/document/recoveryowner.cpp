#include "recoveryowner.h"

#include <QCoreApplication>
#include <QLockFile>
#include <QSysInfo>

#include <cerrno>
#include <csignal>

namespace {

bool processExists(qint64 pid)
{
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

} // namespace

RecoveryOwner RecoveryOwner::current(const QString& lockPath)
{
    return {QSysInfo::machineHostName(), lockPath, QCoreApplication::applicationPid()};
}

bool RecoveryOwner::mayBeRunning() const
{
    if (host != QSysInfo::machineHostName())
        return true;
    if (pid == QCoreApplication::applicationPid())
        return true;
    if (lockPath.isEmpty())
        return processExists(pid);
    // A process of the same number that no longer holds the lock is another program.
    qint64 lockPid = 0;
    QString lockHost;
    QString lockApp;
    QLockFile lock(lockPath);
    if (!lock.getLockInfo(&lockPid, &lockHost, &lockApp))
        return false;
    return lockPid == pid && processExists(pid);
}
