#pragma once

#include <QByteArray>
#include <QList>

enum class LineEnding : quint8 { LF, CRLF, CR };

// How a plain-text file was written, kept per document so that saving writes it
// the same way: the encoding, whether it began with a byte-order mark, and its
// line ends (one style, or, for a file that mixed them, the end of each line).
struct TextFileFormat {
    QByteArray encoding = "UTF-8";
    bool byteOrderMark = false;
    LineEnding lineEnding = LineEnding::LF;
    QList<LineEnding> mixedEndings;

    bool isMixed() const { return !mixedEndings.isEmpty(); }
    bool operator==(const TextFileFormat&) const = default;
};
