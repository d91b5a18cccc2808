#include "commandline.h"

#include <QDir>
#include <QFileInfo>

namespace CommandLine {

QString path(const QString& argument, const QString& workingDirectory)
{
    QString text = argument;
    // Quotation marks around a whole path come from scripts that quote twice; a
    // file whose name really has them keeps them.
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"') &&
        !QFileInfo::exists(QDir(workingDirectory).absoluteFilePath(text)))
        text = text.mid(1, text.size() - 2);
    if (text.isEmpty())
        return text;
    if (text.startsWith(QStringLiteral("~/")))
        text = QDir::homePath() + text.mid(1);
    return QDir::cleanPath(QDir(workingDirectory).absoluteFilePath(text));
}

QStringList paths(const QStringList& arguments, const QString& workingDirectory)
{
    QStringList result;
    for (const QString& argument : arguments) {
        const QString p = path(argument, workingDirectory);
        if (!p.isEmpty())
            result.append(p);
    }
    return result;
}

} // namespace CommandLine
