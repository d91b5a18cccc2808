#include "recoverycatch.h"

#include "richtext/rtfbuilder.h"

#include <QDeadlineTimer>
#include <QTextBlock>
#include <QTextDocument>

RecoveryCatch::RecoveryCatch(const QTextDocument* document, DocumentKind kind, QObject* parent)
    : QObject(parent), m_document(document), m_kind(kind)
{
    // A document tells of its changes only once it has a layout; a shown one has.
    document->documentLayout();
    connect(document, &QTextDocument::contentsChange, this,
            [this](int position, int, int) { changed(position); });
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
    m_raw.clear();
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

void RecoveryCatch::changed(int position)
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
        if (!m_rtf->changedFrom(position))
            restart();
        return;
    }
    if (position < m_next) {
        // Nothing before the change changed, so the paragraph holding it starts where it did.
        m_next = m_document->findBlock(position).position();
        m_raw.truncate(m_next);
    }
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
    m_done = m_rtf ? m_rtf->step(deadline) : stepText(deadline);
    return m_done;
}

bool RecoveryCatch::stepText(const QDeadlineTimer& deadline)
{
    if (m_next == 0)
        m_raw.reserve(m_document->characterCount());
    // As QTextDocument::toRawText has it: paragraphs joined by their marks.
    int position = m_next;
    for (QTextBlock block = m_document->findBlock(m_next); block.isValid();) {
        m_raw += block.text();
        position += block.length();
        block = block.next();
        if (!block.isValid())
            break;
        m_raw += QChar::ParagraphSeparator;
        if (deadline.hasExpired()) {
            m_next = position;
            return false;
        }
    }
    m_next = position;
    return true;
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
    return RecoverySnapshot::fromText(copy, std::move(m_raw));
}
