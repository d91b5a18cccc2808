#pragma once

#include "textfileformat.h"

#include <QByteArray>
#include <QString>

// Turns the bytes of a plain-text file into text and back. Loading finds the
// encoding (byte-order mark, valid UTF-8, else a guess, else Windows-1252) and
// the line ends; saving an unchanged text gives back the very same bytes.
class TextCodec {
public:
    struct Decoded {
        QString text; // lines separated by '\n'
        TextFileFormat format;
    };

    static Decoded decode(const QByteArray& bytes);
    // The text's lines, separated by '\n', written in the given format.
    static QByteArray encode(const QString& text, const TextFileFormat& format);
    // True when every character of the text can be written in the encoding.
    static bool canEncode(const QString& text, const QByteArray& encoding);

    static bool isValidUtf8(const char* data, qsizetype size);
    // The encoding detected for bytes without a byte-order mark.
    static QByteArray detectEncoding(const QByteArray& bytes);

private:
    static QString decodeWith(const QByteArray& encoding, const char* data, qsizetype size);
    static QString decodeWith(const QByteArray& encoding, const QByteArray& bytes)
    {
        return decodeWith(encoding, bytes.constData(), bytes.size());
    }
    static QByteArray encodeWith(const QByteArray& encoding, const QString& text);
    static QString splitLineEndings(const QString& raw, TextFileFormat& format);
};
