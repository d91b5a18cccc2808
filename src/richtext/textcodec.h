#pragma once

#include "textfileformat.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

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
    // How the bytes are to be read: the encoding and byte-order mark found (the
    // line ends are left to the reading) and where the text starts. An encoding
    // other than UTF-8 and Windows-1252, and UTF-8 after a mark that is not valid,
    // is read whole here already: then `whole` is set and `raw` is the text with
    // the file's own line ends.
    struct Prepared {
        TextFileFormat format;
        qsizetype offset = 0;
        bool whole = false;
        QString raw;
    };
    static Prepared prepare(const QByteArray& bytes);
    // The text's lines, separated by '\n', written in the given format.
    static QByteArray encode(const QString& text, const TextFileFormat& format);
    // Whether the text encodes the same a piece at a time, each cut after a '\n':
    // the byte-order mark goes first, then each piece's encodePiece.
    static bool encodesInPieces(const TextFileFormat& format);
    static QByteArray byteOrderMark(const TextFileFormat& format);
    static QByteArray encodePiece(QStringView text, const TextFileFormat& format);
    // True when every character of the text can be written in the encoding.
    static bool canEncode(const QString& text, const QByteArray& encoding);

    static bool isValidUtf8(const char* data, qsizetype size);
    // The encoding detected for bytes without a byte-order mark.
    static QByteArray detectEncoding(const QByteArray& bytes);

    // UTF-8 and Windows-1252 read the same in pieces cut between characters.
    static QString decodeWith(const QByteArray& encoding, const char* data, qsizetype size);

private:
    static QString decodeWith(const QByteArray& encoding, const QByteArray& bytes)
    {
        return decodeWith(encoding, bytes.constData(), bytes.size());
    }
    static QByteArray encodeWith(const QByteArray& encoding, const QString& text);
};
