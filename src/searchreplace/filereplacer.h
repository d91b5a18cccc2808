#pragma once

#include "filematcher.h"

#include "platform/result.h"

#include <QByteArray>
#include <QSet>

// Builds a file's new bytes from its scan: each chosen line is rebuilt with the
// replacement and written back in the file's encoding; every other byte stays.
class FileReplacer {
public:
    struct Replaced {
        QByteArray bytes;
        int count = 0;
    };

    static const QString Unencodable;

    // onlyLines, when given, limits the change to those line numbers.
    static Result<Replaced> replace(const QByteArray& bytes, const FileScan& scan,
                                    const QString& replacement,
                                    const QSet<qint64>* onlyLines = nullptr);

    static QString replaceSpans(const LineMatch& line, const QString& replacement);
};
