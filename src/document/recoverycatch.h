#pragma once

#include "recoverysnapshot.h"
#include "richtext/documentfile.h"

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>

class QDeadlineTimer;
class QTextDocument;
class RtfBuilder;

// Takes a document's snapshot a slice at a time, between the window's events,
// so that a copy of a large document never holds up typing. An edit made
// between slices is taken in: made to the text taken already, or its paragraphs
// written again; where what it touched cannot be told, all is taken again.
class RecoveryCatch : public QObject {
    Q_OBJECT
public:
    RecoveryCatch(const QTextDocument* document, DocumentKind kind, QObject* parent = nullptr);
    ~RecoveryCatch() override;

    // Whether a document can be taken in slices: tables are taken in one go.
    static bool canSlice(const QTextDocument* document);
    // Takes on until the deadline; true once the whole document is taken.
    bool step(const QDeadlineTimer& deadline);
    // The snapshot, once step said so; `header` as RecoverySnapshot::take has it.
    RecoverySnapshot snapshot(const RecoveryCopy& header);

    const QTextDocument* document() const { return m_document; }
    DocumentKind kind() const { return m_kind; }
    // How often an edit sent the taking back to the start (tests, benchmarks).
    int restarts() const { return m_restarts; }

private:
    void changed(int position, int removed, int added);
    void restart();
    bool stepText(const QDeadlineTimer& deadline);
    // The taken text's piece holding `position`, and where that piece starts.
    int pieceAt(int position, qsizetype* offset) const;
    void replaceTaken(int position, int removed, const QString& text);
    void truncateTaken(int position);

    QPointer<const QTextDocument> m_document;
    DocumentKind m_kind;
    // What the document holds beside its text, as taken at the start: when it
    // changes, every slice is taken again.
    qsizetype m_formatCount = 0;
    QFont m_defaultFont;
    bool m_framed = false;
    int m_restarts = 0;
    bool m_done = false;
    // Plain text: the document's text up to m_next, with paragraph marks as the
    // document keeps them, in pieces so that a change costs no more than its piece.
    static constexpr qsizetype PieceCharacters = 1 << 20;
    QStringList m_pieces;
    int m_next = 0;
    std::unique_ptr<RtfBuilder> m_rtf;
};
