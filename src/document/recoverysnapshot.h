#pragma once

#include "recoverycopy.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class QTextDocument;

// A document caught for its recovery copy. Taking it is the only part done on
// the window's thread: for plain text, the text as the document holds it (a
// copy of one string), turned into the copy's form on the writer's thread. A
// rich document is written as RTF at once: the writer reads the document about
// eight times faster than QTextDocument::clone copies it, so that is the
// cheapest catch there is.
class RecoverySnapshot {
public:
    RecoverySnapshot() = default;
    // `header` holds every field but the content; `kind` there says which form is taken.
    static RecoverySnapshot take(const QTextDocument* document, const RecoveryCopy& header);
    // What a RecoveryCatch took: the text as QTextDocument::toRawText gives it, or
    // RTF as its tables and the text after them.
    static RecoverySnapshot fromText(const RecoveryCopy& header, QStringList rawPieces);
    static RecoverySnapshot fromRtf(const RecoveryCopy& header, QByteArray tables, QByteArray text);
    // Whether the document may carry something plain text loses; a quick look
    // at the formats it knows, never at its text, so it may say yes needlessly.
    static bool mayHoldFormatting(const QTextDocument* document);

    const RecoveryCopy& header() const { return m_header; }
    // The whole copy; run on the writer's thread.
    RecoveryCopy finish() const;

private:
    RecoveryCopy m_header;
    QString m_rawText;
    QStringList m_rawPieces; // joined into the text on the writer's thread
    bool m_hasTables = false;
    QByteArray m_rtf;
    QByteArray m_rtfText; // put after m_rtf on the writer's thread
};
