#include "recoverycatch.h"

#include "richtext/rtfbuilder.h"

#include <QDeadlineTimer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

RecoveryCatch::RecoveryCatch(const QTextDocument* document, DocumentKind kind, QObject* parent)
    : QObject(parent), m_document(document), m_kind(kind)
{
    // A document tells of its changes only once it has a layout; a shown one has.
    document->documentLayout();
    connect(document, &QTextDocument::contentsChange, this, &RecoveryCatch::changed);
    restart();
    m_restarts = 0;
}

RecoveryCatch::~RecoveryCatch() = default;

bool RecoveryCatch::canSlice(const QTextDocument* document)
{
    return RtfBuilder::canStep(document);
}

void RecoveryCatch::restart()
{
    ++m_restarts;
    m_done = false;
    m_pieces.clear();
    m_next = 0;
    m_rtf.reset();
    if (!m_document)
        return;
    m_formatCount = m_document->allFormats().size();
    m_defaultFont = m_document->defaultFont();
    m_framed = !canSlice(m_document);
    if (m_kind == DocumentKind::Rtf)
        m_rtf = std::make_unique<RtfBuilder>(m_document, 0, m_document->characterCount() - 1);
}

void RecoveryCatch::changed(int position, int removed, int added)
{
    if (!m_document)
        return;
    m_done = false;
    // New formats, lists, tables or a new default font may touch what was taken before the change.
    if (m_document->allFormats().size() != m_formatCount ||
        m_document->defaultFont() != m_defaultFont) {
        restart();
        return;
    }
    if (m_rtf) {
        if (!m_rtf->changed(position, removed, added))
            restart();
        return;
    }
    if (position >= m_next)
        return; // taken when the taking gets there
    if (position + qint64(removed) <= m_next &&
        position + qint64(added) < m_document->characterCount()) {
        // Typing where the text was taken already: the change is made to the
        // taken text too, which costs no more than the change.
        QTextCursor cursor(const_cast<QTextDocument*>(m_document.data()));
        cursor.setPosition(position);
        cursor.setPosition(position + added, QTextCursor::KeepAnchor);
        replaceTaken(position, removed, cursor.selectedText());
    } else {
        truncateTaken(position);
    }
}

int RecoveryCatch::pieceAt(int position, qsizetype* offset) const
{
    int i = 0;
    *offset = 0;
    while (i + 1 < m_pieces.size() && position > *offset + m_pieces[i].size())
        *offset += m_pieces[i++].size();
    return i;
}

void RecoveryCatch::replaceTaken(int position, int removed, const QString& text)
{
    qsizetype offset = 0;
    const int first = pieceAt(position, &offset);
    qsizetype at = position - offset;
    qsizetype left = removed;
    for (int i = first; left > 0 && i < m_pieces.size(); ++i, at = 0) {
        const qsizetype take = qMin(left, m_pieces[i].size() - at);
        m_pieces[i].remove(at, take);
        left -= take;
    }
    m_pieces[first].insert(position - offset, text);
    m_next += int(text.size()) - removed;
}

void RecoveryCatch::truncateTaken(int position)
{
    qsizetype offset = 0;
    const int piece = pieceAt(position, &offset);
    m_pieces[piece].truncate(position - offset);
    m_pieces.resize(piece + 1);
    m_next = position;
}

bool RecoveryCatch::step(const QDeadlineTimer& deadline)
{
    if (!m_document)
        return false;
    if (m_done)
        return true;
    // A table came in after the start: its cells are no paragraphs of the root frame.
    if (m_framed || !canSlice(m_document)) {
        m_framed = true;
        return m_done = true;
    }
    if (m_rtf)
        return m_done = m_rtf->step(deadline);
    if (!stepText(deadline))
        return false;
    // The document told of every change, or the text would not have its length.
    if (m_next != m_document->characterCount() - 1) {
        restart();
        return false;
    }
    return m_done = true;
}

bool RecoveryCatch::stepText(const QDeadlineTimer& deadline)
{
    // As QTextDocument::toRawText has it: paragraphs joined by their marks. After a
    // change the taking may go on inside a paragraph.
    QTextBlock block = m_document->findBlock(m_next);
    if (!block.isValid())
        return true;
    int start = block.position();
    qsizetype skip = m_next - start;
    for (;;) {
        if (m_pieces.isEmpty() || m_pieces.last().size() >= PieceCharacters) {
            m_pieces.append(QString());
            m_pieces.last().reserve(PieceCharacters + 1024);
        }
        const QString text = block.text();
        m_pieces.last() += QStringView(text).mid(skip);
        skip = 0;
        start += block.length();
        block = block.next();
        if (!block.isValid()) {
            m_next = start - 1; // the document's last mark is none of its text
            return true;
        }
        m_pieces.last() += QChar::ParagraphSeparator;
        if (deadline.hasExpired()) {
            m_next = start;
            return false;
        }
    }
}

RecoverySnapshot RecoveryCatch::snapshot(const RecoveryCopy& header)
{
    if (!m_document)
        return RecoverySnapshot();
    RecoveryCopy copy = header;
    copy.kind = m_kind;
    // A document with tables is taken whole, now.
    if (m_framed)
        return RecoverySnapshot::take(m_document, copy);
    if (m_rtf) {
        const QByteArray head = m_rtf->header();
        return RecoverySnapshot::fromRtf(copy, head, m_rtf->takeBody());
    }
    return RecoverySnapshot::fromText(copy, std::move(m_pieces));
}
