#include "datalocations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef QUILLORA_DATA_RELATIVE
#define QUILLORA_DATA_RELATIVE "../share/quillora"
#endif

QString DataLocations::relativeToProgram()
{
    return QStringLiteral(QUILLORA_DATA_RELATIVE);
}

DataLocations DataLocations::standard()
{
    return DataLocations(findInstalled(QCoreApplication::applicationDirPath()), userFolder());
}

QStringList DataLocations::installedCandidates(const QString& programFolder)
{
    QStringList candidates;
    if (!programFolder.isEmpty())
        candidates << QDir::cleanPath(programFolder + u'/' + relativeToProgram());
    QString dirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/usr/local/share:/usr/share");
    for (const QString& dir : dirs.split(u':', Qt::SkipEmptyParts)) {
        // Relative entries are invalid by the base directory rules.
        if (!QDir::isAbsolutePath(dir))
            continue;
        const QString candidate = QDir::cleanPath(dir + QStringLiteral("/quillora"));
        if (!candidates.contains(candidate))
            candidates << candidate;
    }
    return candidates;
}

QString DataLocations::findInstalled(const QString& programFolder)
{
    for (const QString& candidate : installedCandidates(programFolder)) {
        if (QFileInfo(candidate).isDir())
            return candidate;
    }
    return QString();
}

QString DataLocations::userFolder()
{
    // Not AppDataLocation itself: it follows the executable's name where the
    // application name is unset, and a test program would get a folder of its own.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Quillora");
}
