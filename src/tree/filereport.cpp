#include "filereport.h"

#include <QLocale>

QString FileReport::countText() const
{
    QString verb;
    switch (m_kind) {
    case FileOperationKind::Copy:
        verb = QStringLiteral("Copied");
        break;
    case FileOperationKind::Move:
        verb = QStringLiteral("Moved");
        break;
    case FileOperationKind::Trash:
    case FileOperationKind::Delete:
        verb = QStringLiteral("Deleted");
        break;
    }
    const QLocale locale = QLocale::system();
    return QStringLiteral("%1 %2 of %3 items.")
        .arg(verb, locale.toString(qlonglong(itemsDone)), locale.toString(qlonglong(itemsTotal)));
}

QString FileReport::stopMessage() const
{
    if (!stoppedAt)
        return QString();
    return problemMessage(*stoppedAt) + u'\n' + countText();
}

QString FileReport::problemMessage(const FileProblem& problem)
{
    return QStringLiteral("Error: ") + problem.path + u'\n' + problem.reason;
}
