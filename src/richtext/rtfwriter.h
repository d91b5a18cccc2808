#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

class QTextDocument;

// Writes a text document, or a range of it, as RTF that word processors read
// back with the same text and formatting. The output depends only on the
// document, so writing what was read from our own output gives the same bytes.
class RtfWriter {
public:
    static QByteArray write(const QTextDocument* document);
    static QByteArray write(const QTextDocument* document, int from, int to);
    // The text as RTF: braces and backslashes escaped, other characters as
    // Unicode with an ANSI stand-in.
    static QByteArray escape(const QString& text);
    static void appendEscaped(QByteArray& out, QStringView text);
};
