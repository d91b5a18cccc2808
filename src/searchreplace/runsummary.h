#pragma once

#include <QString>

// What a search or a replace tells at its end, in the window and on the
// command line alike: "1 match in 1 file", "3 replacements in 2 files".
class RunSummary {
public:
    // "1 file", "0 files", "2 files".
    static QString count(qint64 n, const QString& one, const QString& many);
    static QString matched(qint64 matches, qint64 files);
    static QString replaced(qint64 replacements, qint64 files);
    // Where the copies of the changed files went.
    static QString backupsIn(const QString& folder);
};
