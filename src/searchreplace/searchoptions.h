#pragma once

#include <QString>
#include <QStringList>

// What to look for and where, shared by the command line and the window.
struct SearchOptions {
    QString find;
    QString replace;
    bool replacing = false;
    bool ignoreCase = false;
    bool wholeWord = false;
    bool hidden = false;
    bool followSymlinks = false;
    QStringList includes;    // file-name globs; empty means every file
    QStringList excludeDirs; // folder-name globs
    qint64 maxSize = qint64(256) * 1024 * 1024;
};
