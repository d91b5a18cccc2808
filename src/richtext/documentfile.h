#pragma once

#include "platform/result.h"
#include "textfileformat.h"

#include <QString>
#include <functional>

class QSaveFile;
class QTextBlockFormat;
class QTextCharFormat;
class QTextDocument;

// The two kinds a document is kept in on disk: the number is the kind the
// load and save commands take.
enum class DocumentKind { Rtf = 0, Text = 1 };

// Loading and saving a document's file. Saving is atomic and keeps the file's
// permissions, so a failed save never harms the file that was there.
class DocumentFile {
public:
    // Larger files are refused before anything is read: the document would need
    // about ten times as much memory.
    static constexpr qint64 MaxFileBytes = 1024LL * 1024 * 1024;

    // RTF when the text from the path's last "." on is ".RTF" in any case.
    static DocumentKind kindForPath(const QString& path);

    // On success the plain-text format found (for RTF, the default one); readAs
    // tells how the file was read: a file named .rtf that holds no RTF is text.
    static Result<TextFileFormat> load(const QString& path, DocumentKind kind,
                                       QTextDocument* document, DocumentKind* readAs = nullptr);
    static Status save(const QString& path, DocumentKind kind, const QTextDocument* document,
                       const TextFileFormat& format);

    // Told the bytes read so far and the file's size; false stops the reading.
    using ReadProgress = std::function<bool(qint64 done, qint64 total)>;
    // Reads a regular file of at most maxBytes; anything else is refused.
    static Result<QByteArray> readBytes(const QString& path, qint64 maxBytes = MaxFileBytes,
                                        const ReadProgress& progress = {});
    static Status writeBytes(const QString& path, const QByteArray& bytes);
    // The text's lines, separated by '\n' or by a document's paragraph marks (and
    // with `cellMarks` its table cells' marks), written in the format.
    static Status writeText(const QString& path, QString text, const TextFileFormat& format,
                            bool cellMarks = false);

    // Whether the document's text carries anything a plain-text file cannot keep:
    // character formatting, pictures, links, lists, tables, alignment or indents.
    static bool holdsFormatting(const QTextDocument* document);
    // Whether one format carries anything of that kind.
    static bool carriesFormatting(const QTextCharFormat& format);
    static bool carriesFormatting(const QTextBlockFormat& paragraph);

    // The document's text with '\n' between lines, for saving as plain text.
    static QString plainText(const QTextDocument* document);
    // The same from a document's raw text (QTextDocument::toRawText), taken earlier.
    static QString plainText(QString rawText, bool hasTables);
    static void setPlainText(QTextDocument* document, const QString& text);

private:
    // Text from twice this many characters on is encoded in pieces of about this size.
    static constexpr qsizetype TextPiece = 1 << 21;
    // Writes the file anew through `write`, which says whether all went out.
    static Status writeWith(const QString& path, const std::function<bool(QSaveFile&)>& write);
    static bool writeAll(QSaveFile& file, const QByteArray& bytes);
};
