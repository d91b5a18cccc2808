#pragma once

#include "recoverycopy.h"

#include <QString>
#include <memory>

class QTextDocument;

// A document caught for its recovery copy. Taking it is the only part done on
// the window's thread and stays cheap: the plain text as the document holds it,
// or, for a rich document, a copy of the document for the RTF writer. The copy
// is made whole on the writer's thread.
class RecoverySnapshot {
public:
    RecoverySnapshot() = default;
    // `header` holds every field but the content; `kind` there says which form is taken.
    static RecoverySnapshot take(const QTextDocument* document, const RecoveryCopy& header);
    // Whether the document may carry something plain text loses; a quick look
    // at the formats it knows, never at its text, so it may say yes needlessly.
    static bool mayHoldFormatting(const QTextDocument* document);

    const RecoveryCopy& header() const { return m_header; }
    // The whole copy; run on the writer's thread.
    RecoveryCopy finish() const;
    // A rich document's copy lives on the thread that writes it.
    QTextDocument* documentCopy() const { return m_documentCopy.get(); }

private:
    RecoveryCopy m_header;
    QString m_rawText;
    bool m_hasTables = false;
    std::shared_ptr<QTextDocument> m_documentCopy;
};
