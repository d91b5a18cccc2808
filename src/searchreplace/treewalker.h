#pragma once

#include "searchoptions.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>

// Lists the regular files below a folder in name order. Other kinds (a FIFO
// would block a reader forever) are reported, not listed; a symbolic link is
// followed only when asked, and then each folder is entered once by device and
// inode, so a link back up the tree ends.
class TreeWalker {
public:
    struct Entry {
        QString path;         // the root as given, "/" and the path below it
        QString relativePath; // below the root
        qint64 size = 0;
    };
    using Visit = std::function<bool(const Entry&)>; // false stops the walk
    using Report = std::function<void(const QString& path, const QString& why)>;

    explicit TreeWalker(const SearchOptions& options) : m_options(options) {}

    // Calls visit for each file; report for each file left out for a reason
    // the user may want to know. False when the root is no readable folder.
    bool walk(const QString& root, const Visit& visit, const Report& report = {});

    static bool matchesAny(const QStringList& globs, const QByteArray& name);

    static const QString NotRegularFile;
    static const QString UnreadableFolder;

private:
    bool walkFolder(const QByteArray& fsPath, const QString& shownPath, const QString& relative,
                    const Visit& visit, const Report& report);

    SearchOptions m_options;
    QSet<QPair<quint64, quint64>> m_seenFolders;
    QSet<QPair<quint64, quint64>> m_seenFiles;
};
