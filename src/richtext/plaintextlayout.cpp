#include "plaintextlayout.h"

#include <QPainter>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextList>
#include <cmath>

namespace {

// Past this many blocks a change is judged by the formats the document holds
// rather than by walking the text.
constexpr int BlocksToWalk = 256;
// Laid-out blocks kept before the oldest give their lines back.
constexpr qsizetype KeptLayouts = 4000;
constexpr qreal Unlimited = qreal(1 << 24);
// A word longer than this is wrapped anywhere: at this length the quadratic cost of
// looking for a word boundary in it on every line is about 15 ms.
constexpr qsizetype EndlessWord = 30000;
// Unwrapped, a paragraph is shown in display lines of at most this many characters:
// Qt walks a whole line to place the caret or draw it, and past about 30 million
// pixels its fixed-point positions overflow and the text is drawn garbled.
constexpr int LongestShownLine = 10000;

bool charFormatSuits(const QTextCharFormat& format)
{
    static const int changesPlace[] = {
        QTextFormat::FontPointSize,      QTextFormat::FontPixelSize,
        QTextFormat::FontFamilies,       QTextFormat::FontFamily,
        QTextFormat::FontSizeAdjustment, QTextFormat::TextVerticalAlignment,
        QTextFormat::TextBaselineOffset, QTextFormat::FontStretch};
    if (format.isImageFormat() || format.objectType() != QTextFormat::NoObject)
        return false;
    for (int property : changesPlace)
        if (format.hasProperty(property))
            return false;
    return true;
}

bool blockFormatSuits(const QTextBlockFormat& format)
{
    const Qt::Alignment horizontal = format.alignment() & Qt::AlignHorizontal_Mask;
    return format.objectIndex() < 0 && (horizontal & (Qt::AlignHCenter | Qt::AlignRight)) == 0 &&
           format.leftMargin() == 0 && format.rightMargin() == 0 && format.topMargin() == 0 &&
           format.bottomMargin() == 0 && format.textIndent() == 0 && format.indent() == 0 &&
           format.lineHeightType() == QTextBlockFormat::SingleHeight &&
           !format.hasProperty(QTextFormat::BackgroundBrush);
}

} // namespace

PlainTextLayout::PlainTextLayout(QTextDocument* document) : QAbstractTextDocumentLayout(document) {}

bool PlainTextLayout::suits(const QTextDocument* document)
{
    if (!document->rootFrame()->childFrames().isEmpty())
        return false;
    // A document keeps the formats it ever had, so this may refuse a text that no
    // longer uses them; it never passes one that does.
    const QList<QTextFormat> formats = document->allFormats();
    for (const QTextFormat& format : formats) {
        if (format.isCharFormat() && !charFormatSuits(format.toCharFormat()))
            return false;
        if (format.isBlockFormat() && !blockFormatSuits(format.toBlockFormat()))
            return false;
        if (format.isListFormat() || format.isTableFormat() || format.isImageFormat())
            return false;
    }
    return true;
}

bool PlainTextLayout::rangeSuits(const QTextDocument* document, int from, int to)
{
    const QTextBlock first = document->findBlock(from);
    const QTextBlock last = document->findBlock(qMax(from, to));
    if (!first.isValid() || !last.isValid() ||
        last.blockNumber() - first.blockNumber() > BlocksToWalk)
        return suits(document);
    if (!document->rootFrame()->childFrames().isEmpty())
        return false;
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        if (!blockFormatSuits(block.blockFormat()) || !charFormatSuits(block.charFormat()))
            return false;
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (!charFormatSuits(it.fragment().charFormat()))
                return false;
        if (block == last)
            break;
    }
    return true;
}

qreal PlainTextLayout::lineHeight() const
{
    if (m_lineHeight < 0) {
        // One line of the default font, measured as the blocks' lines are.
        QTextLayout probe(QStringLiteral("Xg"), document()->defaultFont(), paintDevice());
        probe.beginLayout();
        QTextLine line = probe.createLine();
        line.setLeadingIncluded(true);
        probe.endLayout();
        m_lineHeight = qMax<qreal>(1, std::ceil(line.height()));
    }
    return m_lineHeight;
}

qreal PlainTextLayout::wrapWidth() const
{
    const QTextDocument* doc = document();
    if (doc->defaultTextOption().wrapMode() == QTextOption::NoWrap || doc->textWidth() <= 0)
        return Unlimited;
    return qMax<qreal>(1, doc->textWidth() - 2 * doc->documentMargin());
}

qreal PlainTextLayout::blockTop(const QTextBlock& block) const
{
    return document()->documentMargin() + block.firstLineNumber() * lineHeight();
}

bool PlainTextLayout::hasEndlessWord(QStringView text)
{
    qsizetype run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > EndlessWord)
            return true;
    }
    return false;
}

bool PlainTextLayout::hasEndlessWord(const QTextDocument* document)
{
    // A short text is not copied out to be looked at.
    return document->characterCount() > EndlessWord && hasEndlessWord(document->toRawText());
}

int PlainTextLayout::cutColumns(QStringView text, int start)
{
    const int end = start + LongestShownLine;
    // After a space where there is one near: End then stays on the line, as Qt
    // places it before a line's closing space but cannot tell the end of a line cut
    // inside a word from the start of the next.
    if (end < text.size())
        for (int i = end - 1; i >= end - LongestShownLine / 10; --i)
            if (text[i].isSpace())
                return i + 1 - start;
    return LongestShownLine;
}

bool PlainTextLayout::layoutBlock(const QTextBlock& block) const
{
    QTextLayout* layout = block.layout();
    if (layout->lineCount() > 0)
        return false;
    const QTextDocument* doc = document();
    if (doc->textWidth() != m_laidOutWidth || doc->defaultFont() != m_laidOutFont) {
        forgetAll();
        m_laidOutWidth = doc->textWidth();
        m_laidOutFont = doc->defaultFont();
        m_lineHeight = -1;
    }
    QTextOption option = doc->defaultTextOption();
    if (const QList<QTextOption::Tab> tabs = block.blockFormat().tabPositions(); !tabs.isEmpty())
        option.setTabs(tabs);
    if (option.wrapMode() == QTextOption::WrapAtWordBoundaryOrAnywhere &&
        block.length() > EndlessWord && hasEndlessWord(block.text()))
        option.setWrapMode(QTextOption::WrapAnywhere);
    const qreal height = lineHeight();
    const qreal width = wrapWidth();
    int lines = 0;
    qreal widest = 0;
    const bool cut = width >= Unlimited && block.length() > LongestShownLine;
    if (cut)
        option.setWrapMode(QTextOption::WrapAnywhere); // else Qt ignores the column count
    layout->setTextOption(option);
    // Qt otherwise drops a paragraph's shaping after each use and shapes all of it
    // again for the next paint or caret blink, which takes seconds at megabytes; kept,
    // it costs what one paint would take anyway.
    layout->setCacheEnabled(block.length() > LongestShownLine);
    const QString text = cut ? block.text() : QString();
    int start = 0;
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLeadingIncluded(true);
        if (cut) {
            line.setNumColumns(cutColumns(text, start));
            start += line.textLength();
        } else {
            line.setLineWidth(width);
        }
        line.setPosition(QPointF(0, lines * height));
        widest = qMax(widest, line.naturalTextWidth());
        ++lines;
    }
    layout->endLayout();
    layout->setPosition(QPointF(doc->documentMargin(), blockTop(block)));
    m_laidOut.append(block);
    if (m_laidOut.size() > KeptLayouts) {
        // The oldest are far from what is shown now.
        for (qsizetype i = 0; i < KeptLayouts / 4; ++i)
            if (m_laidOut.at(i).isValid() && m_laidOut.at(i) != block)
                m_laidOut.at(i).layout()->clearLayout();
        m_laidOut.remove(0, KeptLayouts / 4);
    }
    lines = qMax(1, lines);
    bool changed = false;
    if (widest > m_widest) {
        m_widest = widest;
        changed = true;
    }
    if (block.lineCount() != lines) {
        QTextBlock(block).setLineCount(lines);
        changed = true;
    }
    if (changed)
        scheduleSizeChange();
    return changed;
}

void PlainTextLayout::scheduleSizeChange() const
{
    if (m_sizeChangePending)
        return;
    m_sizeChangePending = true;
    // Not from inside a paint or a hit test: the view resizes its scroll bars on it.
    auto* self = const_cast<PlainTextLayout*>(this);
    QMetaObject::invokeMethod(
        self,
        [self] {
            self->m_sizeChangePending = false;
            emit self->documentSizeChanged(self->documentSize());
        },
        Qt::QueuedConnection);
}

void PlainTextLayout::forget(const QTextBlock& block) const
{
    if (block.isValid())
        block.layout()->clearLayout();
}

void PlainTextLayout::forgetAll() const
{
    for (const QTextBlock& block : std::as_const(m_laidOut))
        forget(block);
    m_laidOut.clear();
}

QSizeF PlainTextLayout::documentSize() const
{
    const QTextDocument* doc = document();
    const qreal margin = doc->documentMargin();
    const qreal width = wrapWidth() < Unlimited ? doc->textWidth() : m_widest + 2 * margin;
    return QSizeF(width, doc->lineCount() * lineHeight() + 2 * margin);
}

QRectF PlainTextLayout::frameBoundingRect(QTextFrame* frame) const
{
    if (frame != document()->rootFrame())
        return QRectF();
    return QRectF(QPointF(0, 0), documentSize());
}

QRectF PlainTextLayout::blockBoundingRect(const QTextBlock& block) const
{
    if (!block.isValid())
        return QRectF();
    layoutBlock(block);
    const QPointF topLeft(document()->documentMargin(), blockTop(block));
    block.layout()->setPosition(topLeft);
    const qreal width = wrapWidth() < Unlimited ? wrapWidth() : m_widest;
    return QRectF(topLeft, QSizeF(width, block.lineCount() * lineHeight()));
}

int PlainTextLayout::hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const
{
    const QTextDocument* doc = document();
    const qreal margin = doc->documentMargin();
    const bool exact = accuracy == Qt::ExactHit;
    const int lines = doc->lineCount();
    const qreal y = point.y() - margin;
    if (exact && (y < 0 || y >= lines * lineHeight()))
        return -1;
    const int wanted = qBound(0, int(y / lineHeight()), lines - 1);
    QTextBlock block = doc->findBlockByLineNumber(wanted);
    if (!block.isValid())
        block = doc->lastBlock();
    layoutBlock(block);
    const QTextLayout* layout = block.layout();
    const int inBlock = qBound(0, wanted - block.firstLineNumber(), layout->lineCount() - 1);
    const QTextLine line = layout->lineAt(inBlock);
    if (!line.isValid())
        return exact ? -1 : block.position();
    const qreal x = point.x() - margin;
    if (exact && (x < 0 || x > line.naturalTextWidth()))
        return -1;
    return block.position() + line.xToCursor(x);
}

void PlainTextLayout::draw(QPainter* painter, const PaintContext& context)
{
    const QTextDocument* doc = document();
    const qreal margin = doc->documentMargin();
    const QRectF clip = context.clip.isValid() ? context.clip : frameBoundingRect(doc->rootFrame());
    const int firstLine = qMax(0, int((clip.top() - margin) / lineHeight()));
    QTextBlock block = doc->findBlockByLineNumber(firstLine);
    if (!block.isValid())
        return;
    painter->save();
    painter->setPen(context.palette.color(QPalette::Text));
    for (; block.isValid(); block = block.next()) {
        layoutBlock(block);
        const qreal top = blockTop(block);
        if (top > clip.bottom())
            break;
        QTextLayout* layout = block.layout();
        layout->setPosition(QPointF(margin, top));
        const int start = block.position();
        const int length = block.length();
        QList<QTextLayout::FormatRange> selections;
        for (const Selection& selection : context.selections) {
            const int from = selection.cursor.selectionStart() - start;
            const int to = selection.cursor.selectionEnd() - start;
            if (to <= 0 || from >= length || from == to)
                continue;
            QTextLayout::FormatRange range;
            range.start = qMax(0, from);
            range.length = qMin(length, to) - range.start;
            range.format = selection.format;
            selections.append(range);
        }
        layout->draw(painter, QPointF(0, 0), selections, clip);
        if (context.cursorPosition >= start && context.cursorPosition < start + length)
            layout->drawCursor(painter, QPointF(0, 0), context.cursorPosition - start,
                               m_cursorWidth);
    }
    painter->restore();
}

void PlainTextLayout::documentChanged(int from, int charsRemoved, int charsAdded)
{
    Q_UNUSED(charsRemoved);
    const QTextDocument* doc = document();
    if (!m_richAsked && !rangeSuits(doc, from, from + charsAdded)) {
        m_richAsked = true;
        QMetaObject::invokeMethod(this, &PlainTextLayout::richLayoutNeeded, Qt::QueuedConnection);
    }
    const QTextBlock first = doc->findBlock(from);
    const QTextBlock last = doc->findBlock(from + charsAdded);
    if (first.isValid() && last.isValid() &&
        last.blockNumber() - first.blockNumber() <= BlocksToWalk) {
        for (QTextBlock block = first; block.isValid(); block = block.next()) {
            forget(block);
            if (block == last)
                break;
        }
    } else {
        // Blocks new to the document have no lines yet; only those kept can be stale.
        for (const QTextBlock& block : std::as_const(m_laidOut))
            if (block.isValid() && block.position() + block.length() > from &&
                block.position() <= from + charsAdded)
                forget(block);
    }
    if (doc->defaultFont() != m_laidOutFont)
        m_lineHeight = -1;
    scheduleSizeChange();
    emit update();
}
