#include "runsummary.h"

#include <QDir>

QString RunSummary::count(qint64 n, const QString& one, const QString& many)
{
    return QString::number(n) + u' ' + (n == 1 ? one : many);
}

QString RunSummary::matched(qint64 matches, qint64 files)
{
    return count(matches, QStringLiteral("match"), QStringLiteral("matches")) +
           QStringLiteral(" in ") + count(files, QStringLiteral("file"), QStringLiteral("files"));
}

QString RunSummary::replaced(qint64 replacements, qint64 files)
{
    return count(replacements, QStringLiteral("replacement"), QStringLiteral("replacements")) +
           QStringLiteral(" in ") + count(files, QStringLiteral("file"), QStringLiteral("files"));
}

QString RunSummary::backupsIn(const QString& folder)
{
    return QStringLiteral("Backups of the changed files are in ") +
           QDir::toNativeSeparators(folder);
}
