#pragma once

#include "support/testhome.h"
#include "tree/filestepsgio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <functional>
#include <optional>

// The real GIO steps, each call written down ("copy FROM TO", "move FROM TO",
// "replace FROM TO", "make TO", "attributes TO", "trash PATH", "remove PATH"),
// with a hook that can make any call fail before it runs.
class StepLog {
public:
    // Given the call's line, an error to fail with instead of running it.
    std::function<std::optional<Error>(const QString& line)> inject;
    QStringList lines;

    FileSteps steps()
    {
        const FileSteps real = gioFileSteps();
        FileSteps steps;
        steps.copyFile = [this, real](const QString& from, const QString& to,
                                      const FileSteps::Cancelled& cancelled,
                                      const FileSteps::Progress& progress) {
            return step(QStringLiteral("copy ") + from + u' ' + to,
                        [&] { return real.copyFile(from, to, cancelled, progress); });
        };
        steps.makeFolder = [this, real](const QString& to) {
            return step(QStringLiteral("make ") + to, [&] { return real.makeFolder(to); });
        };
        steps.copyFolderAttributes = [this, real](const QString& from, const QString& to) {
            return step(QStringLiteral("attributes ") + to,
                        [&] { return real.copyFolderAttributes(from, to); });
        };
        steps.move = [this, real](const QString& from, const QString& to, bool replace) {
            return step((replace ? QStringLiteral("replace ") : QStringLiteral("move ")) + from +
                            u' ' + to,
                        [&] { return real.move(from, to, replace); });
        };
        steps.trash = [this, real](const QString& path) {
            return step(QStringLiteral("trash ") + path, [&] { return real.trash(path); });
        };
        steps.remove = [this, real](const QString& path) {
            return step(QStringLiteral("remove ") + path, [&] { return real.remove(path); });
        };
        return steps;
    }

    // The index of the first line that starts so, or -1.
    qsizetype find(const QString& start) const
    {
        for (qsizetype i = 0; i < lines.size(); ++i)
            if (lines.at(i).startsWith(start))
                return i;
        return -1;
    }
    qsizetype count(const QString& start) const
    {
        qsizetype n = 0;
        for (const QString& line : lines)
            n += line.startsWith(start) ? 1 : 0;
        return n;
    }

private:
    Status step(const QString& line, const std::function<Status()>& run)
    {
        lines.append(line);
        if (inject)
            if (const std::optional<Error> error = inject(line))
                return *error;
        return run();
    }
};

inline QString writeFile(const QString& path, const QByteArray& bytes = "text")
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

// Every path under folder, relative and sorted, folders with a trailing "/".
inline QStringList treeOf(const QString& folder)
{
    QStringList found;
    const QDir base(folder);
    std::function<void(const QString&)> walk = [&](const QString& path) {
        const QFileInfoList entries = QDir(path).entryInfoList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo& entry : entries) {
            const bool folder = entry.isDir() && !entry.isSymLink();
            found << base.relativeFilePath(entry.filePath()) +
                         (folder ? QStringLiteral("/") : QString());
            if (folder)
                walk(entry.filePath());
        }
    };
    walk(folder);
    found.sort();
    return found;
}
