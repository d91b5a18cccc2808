#include "richtextmodel.h"

#include "documentfile.h"
#include "platform/settings.h"
#include "protectedtext.h"
#include "richtextproperties.h"
#include "twips.h"

#include <QTextDocument>
#include <QTextLayout>
#include <QTextList>

namespace {

// A new bullet's indent until one is asked for: a quarter of an inch.
constexpr int DefaultBulletIndent = 360;

// Only list items hang by a bullet indent; a paragraph taken out of its list by
// other means keeps its margins and loses the bullet.
bool hasBulletIndent(const QTextBlockFormat& f)
{
    return f.objectIndex() >= 0 && f.hasProperty(RichTextProperty::BulletIndent);
}

int bulletIndentOf(const QTextBlockFormat& f)
{
    return hasBulletIndent(f) ? f.intProperty(RichTextProperty::BulletIndent) : 0;
}

// How far the text stands from where the bullet does, in pixels.
double bulletRoomOf(const QTextBlockFormat& f)
{
    return hasBulletIndent(f) ? Twips::toPixels(bulletRoom(bulletIndentOf(f))) : 0.0;
}

// The first line (where the bullet stands) stays; the text moves past it.
void setBulletIndentOf(QTextBlockFormat& f, int twips)
{
    const double first = f.leftMargin() + f.textIndent() - bulletRoomOf(f);
    f.setProperty(RichTextProperty::BulletIndent, twips);
    f.setTextIndent(0);
    f.setLeftMargin(first + Twips::toPixels(bulletRoom(twips)));
}

} // namespace

RichTextModel::RichTextModel(QTextDocument* document) : m_document(document), m_cursor(document) {}

RichTextModel::RichTextModel(QTextDocument* document, CursorReader read, CursorWriter write)
    : m_document(document), m_read(std::move(read)), m_write(std::move(write))
{}

void RichTextModel::setDocument(QTextDocument* document)
{
    m_document = document;
    if (!m_read)
        m_cursor = QTextCursor(document);
    m_blockCount = document->blockCount();
    m_linesWidth = -1;
    layoutReset();
}

QTextCursor RichTextModel::cursor() const
{
    return m_read ? m_read() : m_cursor;
}

void RichTextModel::setCursor(const QTextCursor& cursor)
{
    if (m_write)
        m_write(cursor);
    else
        m_cursor = cursor;
}

int RichTextModel::toCrLf(int documentPosition) const
{
    const QTextBlock block = m_document->findBlock(documentPosition);
    return documentPosition +
           (block.isValid() ? block.blockNumber() : m_document->blockCount() - 1);
}

int RichTextModel::fromCrLf(int position) const
{
    // The last block whose start, counted with CR LF, is at or before the position.
    int low = 0, high = m_document->blockCount() - 1;
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (m_document->findBlockByNumber(middle).position() + middle <= position)
            low = middle;
        else
            high = middle - 1;
    }
    const QTextBlock block = m_document->findBlockByNumber(low);
    const int inBlock = qMin(position - (block.position() + low), block.length() - 1);
    return qBound(0, block.position() + qMax(0, inBlock), m_document->characterCount() - 1);
}

QString RichTextModel::Text() const
{
    return spelled(m_document->toRawText(), 0);
}

void RichTextModel::setText(const QString& text)
{
    DocumentFile::setPlainText(m_document, fromSpelled(text));
}

QString RichTextModel::spelled(const QString& raw, int from) const
{
    // Every block ends in one mark (a paragraph separator, or a table or frame mark), which
    // becomes CR LF; so the text agrees with toCrLf by construction.
    QString text;
    text.reserve(raw.size() + raw.size() / 16);
    qsizetype done = 0;
    for (QTextBlock block = m_document->findBlock(from); block.isValid(); block = block.next()) {
        const qsizetype mark = block.position() + block.length() - 1 - from;
        if (mark >= raw.size())
            break;
        text += QStringView(raw).mid(done, mark - done);
        text += QLatin1String("\r\n");
        done = mark + 1;
    }
    text += QStringView(raw).mid(done);
    text.replace(QChar::LineSeparator, u'\v');
    return text;
}

QString RichTextModel::fromSpelled(const QString& text)
{
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    plain.replace(u'\v', QChar::LineSeparator);
    return plain;
}

QString RichTextModel::rawText(int from, int to) const
{
    QTextCursor piece(m_document);
    piece.setPosition(from);
    piece.setPosition(to, QTextCursor::KeepAnchor);
    if (!piece.hasComplexSelection() && piece.selectionStart() == from &&
        piece.selectionEnd() == to)
        return piece.selectedText();
    // Ends in different table cells: block by block, as no block crosses a cell.
    QString raw;
    for (QTextBlock block = m_document->findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        const int mark = block.position() + block.length() - 1;
        piece.setPosition(qMax(from, block.position()));
        piece.setPosition(qMin(to, mark), QTextCursor::KeepAnchor);
        raw += piece.selectedText();
        if (mark < to)
            raw += QChar::ParagraphSeparator;
    }
    return raw;
}

int RichTextModel::SelStart() const
{
    return toCrLf(cursor().selectionStart());
}

void RichTextModel::setSelStart(int start)
{
    QTextCursor c = cursor();
    c.setPosition(fromCrLf(qMax(0, start)));
    setCursor(c);
}

int RichTextModel::SelLength() const
{
    const QTextCursor c = cursor();
    return toCrLf(c.selectionEnd()) - toCrLf(c.selectionStart());
}

void RichTextModel::setSelLength(int length)
{
    QTextCursor c = cursor();
    const int start = toCrLf(c.selectionStart());
    c.setPosition(c.selectionStart());
    c.setPosition(fromCrLf(start + qMax(0, length)), QTextCursor::KeepAnchor);
    setCursor(c);
}

QString RichTextModel::SelText() const
{
    // The document's range rather than QTextCursor::selectedText(), which gives only the
    // cells' text for a selection of table cells.
    const QTextCursor c = cursor();
    return spelled(rawText(c.selectionStart(), c.selectionEnd()), c.selectionStart());
}

bool RichTextModel::setSelText(const QString& text)
{
    QTextCursor c = cursor();
    if (ProtectedText::blocksInsertion(c))
        return false;
    QTextCharFormat format = c.charFormat();
    format.clearProperty(RichTextProperty::Protected);
    c.insertText(fromSpelled(text), format);
    setCursor(c);
    return true;
}

template <typename T, typename F> std::optional<T> RichTextModel::uniformChar(F value) const
{
    const QTextCursor c = cursor();
    if (!c.hasSelection())
        return value(c.charFormat());
    std::optional<T> result;
    const int from = c.selectionStart(), to = c.selectionEnd();
    for (QTextBlock block = m_document->findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() >= to || fragment.position() + fragment.length() <= from)
                continue;
            const T v = value(fragment.charFormat());
            if (result && *result != v)
                return std::nullopt; // mixed
            result = v;
        }
    }
    return result ? result : std::optional<T>(value(c.charFormat()));
}

template <typename T, typename F> std::optional<T> RichTextModel::uniformBlock(F value) const
{
    const QTextCursor c = cursor();
    const QTextBlock last = m_document->findBlock(c.selectionEnd());
    std::optional<T> result;
    for (QTextBlock block = m_document->findBlock(c.selectionStart()); block.isValid();
         block = block.next()) {
        const T v = value(block);
        if (result && *result != v)
            return std::nullopt;
        result = v;
        if (block == last)
            break;
    }
    return result;
}

void RichTextModel::mergeSelectionFormat(const QTextCharFormat& format)
{
    QTextCursor c = cursor();
    c.mergeCharFormat(format);
    // Without a selection the format waits on the cursor for what is typed next.
    if (!c.hasSelection())
        setCursor(c);
}

void RichTextModel::mergeSelectionBlockFormat(const std::function<void(QTextBlockFormat&)>& change)
{
    QTextCursor c = cursor();
    const QTextBlock last = m_document->findBlock(c.selectionEnd());
    c.beginEditBlock();
    for (QTextBlock block = m_document->findBlock(c.selectionStart()); block.isValid();
         block = block.next()) {
        QTextCursor bc(block);
        QTextBlockFormat format = block.blockFormat();
        change(format);
        bc.setBlockFormat(format);
        if (block == last)
            break;
    }
    c.endEditBlock();
}
std::optional<bool> RichTextModel::SelBold() const
{
    return uniformChar<bool>(
        [](const QTextCharFormat& f) { return f.fontWeight() >= QFont::DemiBold; });
}
void RichTextModel::setSelBold(bool on)
{
    QTextCharFormat f;
    f.setFontWeight(on ? QFont::Bold : QFont::Normal);
    mergeSelectionFormat(f);
}
std::optional<bool> RichTextModel::SelItalic() const
{
    return uniformChar<bool>([](const QTextCharFormat& f) { return f.fontItalic(); });
}
void RichTextModel::setSelItalic(bool on)
{
    QTextCharFormat f;
    f.setFontItalic(on);
    mergeSelectionFormat(f);
}
std::optional<bool> RichTextModel::SelUnderline() const
{
    return uniformChar<bool>([](const QTextCharFormat& f) { return f.fontUnderline(); });
}
void RichTextModel::setSelUnderline(bool on)
{
    QTextCharFormat f;
    f.setFontUnderline(on);
    mergeSelectionFormat(f);
}
std::optional<bool> RichTextModel::SelStrikeThru() const
{
    return uniformChar<bool>([](const QTextCharFormat& f) { return f.fontStrikeOut(); });
}
void RichTextModel::setSelStrikeThru(bool on)
{
    QTextCharFormat f;
    f.setFontStrikeOut(on);
    mergeSelectionFormat(f);
}
std::optional<bool> RichTextModel::SelProtected() const
{
    return uniformChar<bool>(
        [](const QTextCharFormat& f) { return f.boolProperty(RichTextProperty::Protected); });
}
void RichTextModel::setSelProtected(bool on)
{
    QTextCursor c = cursor();
    if (!c.hasSelection()) {
        QTextCharFormat f = c.charFormat();
        if (on)
            f.setProperty(RichTextProperty::Protected, true);
        else
            f.clearProperty(RichTextProperty::Protected);
        c.setCharFormat(f);
        setCursor(c);
        return;
    }
    QTextCharFormat f;
    f.setProperty(RichTextProperty::Protected, on);
    c.mergeCharFormat(f);
}
std::optional<QString> RichTextModel::SelFontName() const
{
    const QString fallback = m_document->defaultFont().family();
    return uniformChar<QString>([&](const QTextCharFormat& f) {
        const QStringList families = f.fontFamilies().toStringList();
        return families.isEmpty() ? fallback : families.first();
    });
}
void RichTextModel::setSelFontName(const QString& name)
{
    QTextCharFormat f;
    f.setFontFamilies({name});
    mergeSelectionFormat(f);
}
std::optional<double> RichTextModel::SelFontSize() const
{
    const double fallback = m_document->defaultFont().pointSizeF();
    return uniformChar<double>([&](const QTextCharFormat& f) {
        return f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : fallback;
    });
}
void RichTextModel::setSelFontSize(double points)
{
    QTextCharFormat f;
    f.setFontPointSize(points);
    mergeSelectionFormat(f);
}
std::optional<qint32> RichTextModel::SelColor() const
{
    return uniformChar<qint32>([&](const QTextCharFormat& f) {
        return Settings::storedFromColor(
            f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color() : m_textColor);
    });
}
void RichTextModel::setSelColor(qint32 color)
{
    QTextCharFormat f;
    f.setForeground(Settings::colorFromStored(color));
    mergeSelectionFormat(f);
}
std::optional<int> RichTextModel::SelCharOffset() const
{
    return uniformChar<int>(
        [](const QTextCharFormat& f) { return f.intProperty(RichTextProperty::CharOffsetTwips); });
}
void RichTextModel::setSelCharOffset(int twips)
{
    // Qt's offset is a share of the font's size, so each run of its own size gets
    // its own share, and runs of mixed sizes rise by the same distance.
    const double defaultPoints = m_document->defaultFont().pointSizeF();
    const auto offsetFor = [&](const QTextCharFormat& run) {
        QTextCharFormat f;
        f.setProperty(RichTextProperty::CharOffsetTwips, twips);
        const double points =
            run.hasProperty(QTextFormat::FontPointSize) ? run.fontPointSize() : defaultPoints;
        f.setBaselineOffset(points > 0 ? 100.0 * twips / (points * 20.0) : 0);
        return f;
    };
    QTextCursor c = cursor();
    if (!c.hasSelection()) {
        mergeSelectionFormat(offsetFor(c.charFormat()));
        return;
    }
    const int from = c.selectionStart(), to = c.selectionEnd();
    QList<std::pair<QPair<int, int>, QTextCharFormat>> runs;
    for (QTextBlock block = m_document->findBlock(from); block.isValid() && block.position() < to;
         block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = qMax(from, fragment.position());
            const int end = qMin(to, fragment.position() + fragment.length());
            if (start < end)
                runs.append({{start, end}, offsetFor(fragment.charFormat())});
        }
    QTextCursor run(m_document);
    run.beginEditBlock();
    for (const auto& [range, format] : std::as_const(runs)) {
        run.setPosition(range.first);
        run.setPosition(range.second, QTextCursor::KeepAnchor);
        run.mergeCharFormat(format);
    }
    run.endEditBlock();
}
std::optional<int> RichTextModel::SelAlignment() const
{
    return uniformBlock<int>([](const QTextBlock& b) {
        const Qt::Alignment a = b.blockFormat().alignment();
        return (a & Qt::AlignRight) ? 1 : (a & Qt::AlignHCenter) ? 2 : 0;
    });
}
void RichTextModel::setSelAlignment(int alignment)
{
    static constexpr Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};
    mergeSelectionBlockFormat(
        [&](QTextBlockFormat& f) { f.setAlignment(alignments[qBound(0, alignment, 2)]); });
}
std::optional<bool> RichTextModel::SelBullet() const
{
    return uniformBlock<bool>([](const QTextBlock& b) { return b.textList() != nullptr; });
}
void RichTextModel::setSelBullet(bool on)
{
    QTextCursor c = cursor();
    c.beginEditBlock();
    if (on) {
        QTextListFormat list;
        list.setStyle(QTextListFormat::ListDisc);
        list.setIndent(0); // the paragraphs' margins place the items
        c.createList(list);
        mergeSelectionBlockFormat([](QTextBlockFormat& f) {
            if (!f.hasProperty(RichTextProperty::BulletIndent))
                setBulletIndentOf(f, DefaultBulletIndent);
        });
    } else {
        const QTextBlock last = m_document->findBlock(c.selectionEnd());
        for (QTextBlock block = m_document->findBlock(c.selectionStart()); block.isValid();
             block = block.next()) {
            if (QTextList* list = block.textList()) {
                // The text goes back to where the bullet was.
                const double bullet = bulletRoomOf(block.blockFormat());
                list->remove(block);
                QTextBlockFormat f = block.blockFormat();
                f.setLeftMargin(f.leftMargin() - bullet);
                f.clearProperty(RichTextProperty::BulletIndent);
                QTextCursor(block).setBlockFormat(f);
            }
            if (block == last)
                break;
        }
    }
    c.endEditBlock();
}
std::optional<int> RichTextModel::BulletIndent() const
{
    return uniformBlock<int>([](const QTextBlock& b) { return bulletIndentOf(b.blockFormat()); });
}
void RichTextModel::setBulletIndent(int twips)
{
    mergeSelectionBlockFormat([&](QTextBlockFormat& f) {
        if (f.objectIndex() >= 0)
            setBulletIndentOf(f, qMax(0, twips));
    });
}
std::optional<int> RichTextModel::SelIndent() const
{
    return uniformBlock<int>([](const QTextBlock& b) {
        const QTextBlockFormat f = b.blockFormat();
        return Twips::fromPixels(f.leftMargin() + f.textIndent() - bulletRoomOf(f));
    });
}
void RichTextModel::setSelIndent(int twips)
{
    mergeSelectionBlockFormat([&](QTextBlockFormat& f) {
        // The first line starts at the indent; the hanging indent stays as it was.
        const double hanging = bulletRoomOf(f) - f.textIndent();
        f.setLeftMargin(Twips::toPixels(twips) + hanging);
    });
}
std::optional<int> RichTextModel::SelRightIndent() const
{
    return uniformBlock<int>(
        [](const QTextBlock& b) { return Twips::fromPixels(b.blockFormat().rightMargin()); });
}
void RichTextModel::setSelRightIndent(int twips)
{
    mergeSelectionBlockFormat(
        [&](QTextBlockFormat& f) { f.setRightMargin(Twips::toPixels(twips)); });
}
std::optional<int> RichTextModel::SelHangingIndent() const
{
    return uniformBlock<int>([](const QTextBlock& b) {
        const QTextBlockFormat f = b.blockFormat();
        return bulletIndentOf(f) - Twips::fromPixels(f.textIndent());
    });
}
void RichTextModel::setSelHangingIndent(int twips)
{
    mergeSelectionBlockFormat([&](QTextBlockFormat& f) {
        // A bulleted paragraph hangs by its bullet indent.
        if (hasBulletIndent(f)) {
            setBulletIndentOf(f, twips);
            return;
        }
        const double first = f.leftMargin() + f.textIndent();
        f.setTextIndent(-Twips::toPixels(twips));
        f.setLeftMargin(first + Twips::toPixels(twips));
    });
}

int RichTextModel::Find(const QString& text, int start, int end, int options)
{
    if (text.isEmpty())
        return -1;
    QTextDocument::FindFlags flags;
    if (options & rtfWholeWord)
        flags |= QTextDocument::FindWholeWords;
    if (options & rtfMatchCase)
        flags |= QTextDocument::FindCaseSensitively;
    QString what = text;
    what.replace(u'\v', QChar::LineSeparator);
    const QTextCursor found = m_document->find(what, fromCrLf(qMax(0, start)), flags);
    if (found.isNull())
        return -1;
    if (end >= 0 && found.selectionEnd() > fromCrLf(end))
        return -1;
    if (!(options & rtfNoHighlight))
        setCursor(found);
    return toCrLf(found.selectionStart());
}

void RichTextModel::Span(const QString& characters, bool forward, bool negate)
{
    QTextCursor c = cursor();
    const auto inSet = [&](QChar ch) {
        // A block's end mark stands for its CR, a soft break for "\v", as in Text().
        const char16_t u = ch.unicode();
        if (u == QChar::ParagraphSeparator || u == 0xFDD0 || u == 0xFDD1)
            ch = u'\r';
        else if (u == QChar::LineSeparator)
            ch = u'\v';
        const bool member = characters.contains(ch);
        return negate ? !member : member;
    };
    if (forward) {
        int p = c.selectionEnd();
        while (p < m_document->characterCount() - 1 && inSet(m_document->characterAt(p)))
            ++p;
        const int anchor = c.selectionStart();
        c.setPosition(anchor);
        c.setPosition(p, QTextCursor::KeepAnchor);
    } else {
        int p = c.selectionStart();
        while (p > 0 && inSet(m_document->characterAt(p - 1)))
            --p;
        const int anchor = c.selectionEnd();
        c.setPosition(anchor);
        c.setPosition(p, QTextCursor::KeepAnchor);
    }
    setCursor(c);
}

void RichTextModel::layoutReset()
{
    m_linesKnownTo = 0;
    m_changedBlocks.clear();
}

void RichTextModel::textChanged(int position, int removed, int added)
{
    Q_UNUSED(removed);
    const int blocks = m_document->blockCount();
    const int first = m_document->findBlock(position).blockNumber();
    const int last = m_document->findBlock(position + added).blockNumber();
    // Blocks gone or come before the known ones move the mark with them.
    if (first < m_linesKnownTo)
        m_linesKnownTo = qMax(first, m_linesKnownTo + blocks - m_blockCount);
    m_blockCount = blocks;
    // A large change is laid out lazily: its blocks are counted as the layout reaches them.
    if (last - first > 1000)
        m_linesKnownTo = qMin(m_linesKnownTo, first);
    else if (first < m_linesKnownTo)
        m_changedBlocks.append({first, last});
}

void RichTextModel::syncLines(int upTo) const
{
    if (m_document->textWidth() != m_linesWidth || m_document->defaultFont() != m_linesFont) {
        m_linesWidth = m_document->textWidth();
        m_linesFont = m_document->defaultFont();
        m_linesKnownTo = 0;
        m_changedBlocks.clear();
    }
    const auto count = [](QTextBlock block) {
        const QTextLayout* layout = block.layout();
        const int lines = layout ? layout->lineCount() : 0;
        block.setLineCount(qMax(1, lines));
        return lines > 0;
    };
    for (const auto& [first, last] : std::as_const(m_changedBlocks))
        for (QTextBlock block = m_document->findBlockByNumber(first);
             block.isValid() && block.blockNumber() <= last && block.blockNumber() < m_linesKnownTo;
             block = block.next())
            if (!count(block))
                m_linesKnownTo = qMin(m_linesKnownTo, block.blockNumber());
    m_changedBlocks.clear();
    // On from the mark while the blocks are laid out: the layout goes from the top.
    for (QTextBlock block = m_document->findBlockByNumber(m_linesKnownTo);
         block.isValid() && block.blockNumber() <= upTo && count(block); block = block.next())
        m_linesKnownTo = block.blockNumber() + 1;
}

int RichTextModel::GetLineFromChar(int position) const
{
    const int p = fromCrLf(qMax(0, position));
    const QTextBlock target = m_document->findBlock(p);
    if (!m_wrapping)
        return target.blockNumber();
    syncLines(target.blockNumber());
    int line = target.firstLineNumber();
    if (const QTextLayout* layout = target.layout(); layout && layout->lineCount() > 0)
        line += qMax(0, layout->lineForTextPosition(p - target.position()).lineNumber());
    return line;
}

int RichTextModel::lineCount() const
{
    return GetLineFromChar(toCrLf(m_document->characterCount() - 1)) + 1;
}

QTextBlock RichTextModel::blockOfLine(int line, int* lineInBlock) const
{
    int unused = 0;
    int& inBlock = lineInBlock ? *lineInBlock : unused;
    inBlock = 0;
    if (!m_wrapping)
        return m_document->findBlockByNumber(line);
    syncLines(m_document->blockCount());
    const QTextBlock block = m_document->findBlockByLineNumber(line);
    if (!block.isValid())
        return block;
    inBlock = line - block.firstLineNumber();
    if (inBlock >= block.lineCount())
        return QTextBlock(); // past the last line
    return block;
}

int RichTextModel::lineIndex(int line) const
{
    int inBlock = 0;
    const QTextBlock block = blockOfLine(qMax(0, line), &inBlock);
    if (!block.isValid())
        return -1;
    const QTextLayout* layout = block.layout();
    const int start =
        layout && inBlock < layout->lineCount() ? layout->lineAt(inBlock).textStart() : 0;
    return toCrLf(block.position() + start);
}

int RichTextModel::lineLength(int position) const
{
    const int p = fromCrLf(qMax(0, position));
    const QTextBlock block = m_document->findBlock(p);
    if (!block.isValid())
        return 0;
    const QTextLayout* layout = block.layout();
    if (!m_wrapping || !layout || layout->lineCount() == 0)
        return block.length() - 1;
    const QTextLine line = layout->lineForTextPosition(p - block.position());
    if (!line.isValid())
        return block.length() - 1;
    // A display line's length leaves out the paragraph mark or soft break that ends it.
    int length = qMin(line.textLength(), block.length() - 1 - line.textStart());
    if (length > 0 && m_document->characterAt(block.position() + line.textStart() + length - 1) ==
                          QChar::LineSeparator)
        --length;
    return length;
}

std::optional<int> RichTextModel::SelTabCount() const
{
    return uniformBlock<int>(
        [](const QTextBlock& b) { return int(b.blockFormat().tabPositions().size()); });
}

void RichTextModel::setSelTabCount(int count)
{
    mergeSelectionBlockFormat([&](QTextBlockFormat& f) {
        QList<QTextOption::Tab> tabs = f.tabPositions();
        const double step = Twips::toPixels(720);
        while (tabs.size() < count)
            tabs.append(QTextOption::Tab(tabs.isEmpty() ? step : tabs.last().position + step,
                                         QTextOption::LeftTab));
        tabs.resize(qMax(0, count));
        f.setTabPositions(tabs);
    });
}

std::optional<int> RichTextModel::SelTabs(int index) const
{
    return uniformBlock<int>([&](const QTextBlock& b) {
        const QList<QTextOption::Tab> tabs = b.blockFormat().tabPositions();
        return index >= 0 && index < tabs.size() ? Twips::fromPixels(tabs[index].position) : 0;
    });
}

void RichTextModel::setSelTabs(int index, int twips)
{
    mergeSelectionBlockFormat([&](QTextBlockFormat& f) {
        QList<QTextOption::Tab> tabs = f.tabPositions();
        if (index < 0 || index >= tabs.size())
            return;
        tabs[index].position = Twips::toPixels(twips);
        f.setTabPositions(tabs);
    });
}
