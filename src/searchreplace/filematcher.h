#pragma once

#include "searchoptions.h"

#include "richtext/textfileformat.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>

// One line holding at least one match.
struct LineMatch {
    qint64 number = 0;                        // from 1
    QString text;                             // decoded, without its line end
    QList<QPair<qsizetype, qsizetype>> spans; // start and length in text
    // The line's bytes in the file, when the file's encoding lets a line be
    // cut out of it on its own (UTF-8, Windows-1252); else -1.
    qsizetype byteStart = -1;
    qsizetype byteEnd = -1;
};

struct FileScan {
    enum class Kind { Text, Binary };
    Kind kind = Kind::Text;
    TextFileFormat format; // filled when the file matched
    QList<LineMatch> lines;
    int matchCount = 0;
};

// Finds the matches in one file's bytes. Files in UTF-8 or Windows-1252 are
// searched as bytes and only their matching lines decoded; others are decoded
// whole with TextCodec. Lines end at LF, CR LF or CR, as the editor reads them.
class FileMatcher {
public:
    explicit FileMatcher(const SearchOptions& options);

    FileScan scan(const QByteArray& bytes) const;

    // A NUL byte in the first 32 KiB of a file without a UTF-16 or UTF-32 mark.
    static bool isBinary(const QByteArray& bytes);
    static bool isUtf8(const char* data, qsizetype size);
    // The matches in one decoded line, left to right, not overlapping.
    QList<QPair<qsizetype, qsizetype>> findInLine(QStringView line) const;

private:
    void scanBytes(const QByteArray& bytes, qsizetype offset, const QByteArray& needle,
                   FileScan& result) const;
    void scanDecoded(const QByteArray& bytes, FileScan& result) const;
    qsizetype findBytes(const char* haystack, qsizetype size, qsizetype from,
                        const QByteArray& needle) const;
    qsizetype findFolded(const char* haystack, qsizetype size, qsizetype from) const;
    bool isWordBoundary(QStringView line, qsizetype start, qsizetype length) const;
    qsizetype indexIn(QStringView line, qsizetype from) const;

    SearchOptions m_options;
    bool m_asciiNeedle = false;
    QByteArray m_asciiBytes;             // the ASCII needle, lower-cased when case is ignored
    std::array<qsizetype, 256> m_skip{}; // Horspool's shifts, both cases alike
};
