#pragma once

#include "platform/result.h"
#include "textfileformat.h"

#include <QString>

// Converts between RTF, plain text and HTML files by their names, with the
// editor's own reader, writer and text decoder.
class DocumentConverter {
public:
    enum class Format { Rtf, Text, Html };
    struct Options {
        bool crlf = false;
        QByteArray encoding = "UTF-8";
    };

    static Format formatForPath(const QString& path);
    // On failure the error names the file it concerns in its message's first part.
    static Status convert(const QString& input, const QString& output, const Options& options);
};
