#pragma once

#include "textfileformat.h"

#include <QByteArray>
#include <QString>

// The text of a plain-text file's bytes a piece at a time, read just as
// TextCodec::decode reads them at once: a large file is built into its document
// without its whole text ever being held apart as well.
class TextPieces {
public:
    // About this many bytes of the file make a piece.
    static constexpr qsizetype DefaultPieceBytes = 1 << 20;

    explicit TextPieces(QByteArray bytes, qsizetype pieceBytes = DefaultPieceBytes);

    bool atEnd() const;
    // The next piece, lines separated by '\n'; no piece ends inside a surrogate pair.
    QString next();
    // How much of the text is read, out of total(), for progress.
    qint64 done() const { return m_at; }
    qint64 total() const { return m_total; }
    // Complete once atEnd(): the line ends are known only when all are read.
    const TextFileFormat& format() const { return m_format; }

private:
    QString splitLineEndings(const QString& raw);
    void noteEnding(LineEnding ending, qsizetype count = 1);
    void finish();
    qsizetype cutAfter(qsizetype from) const;
    void splitBytes();

    // Pieces of the file still to read, each freed once read.
    QList<QByteArray> m_pieces;
    QByteArray m_bytes;
    // The text of an encoding read only whole, its line ends as in the file.
    QString m_raw;
    bool m_whole = false;
    qsizetype m_pieceBytes;
    qsizetype m_at = 0;
    qint64 m_total = 0;
    TextFileFormat m_format;
    // A piece that ended in CR: whether it was CR LF shows with the next one.
    bool m_pendingCr = false;
    bool m_finished = false;
    // The line ends so far: while all are alike only their count, else each.
    qsizetype m_endings = 0;
    LineEnding m_first = LineEnding::LF;
    QList<LineEnding> m_mixed;
};
