#pragma once

#include <QString>
#include <QStringList>

// The paths a start of the program was given, made ready to queue: each
// argument is one path, relative ones resolved against the starting folder.
namespace CommandLine {
QStringList paths(const QStringList& arguments, const QString& workingDirectory);
QString path(const QString& argument, const QString& workingDirectory);
} // namespace CommandLine
