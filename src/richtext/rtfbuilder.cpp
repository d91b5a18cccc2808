#include "rtfbuilder.h"

#include "richtextproperties.h"
#include "rtfformats.h"
#include "rtfwriter.h"
#include "twips.h"

#include <QBuffer>
#include <QDeadlineTimer>
#include <QImage>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>
#include <algorithm>
#include <climits>

namespace {
QByteArray number(const char* word, int value)
{
    return QByteArray(word) + QByteArray::number(value);
}

} // namespace

RtfBuilder::RtfBuilder(const QTextDocument* document, int from, int to)
    : m_document(document), m_from(from), m_to(to),
      m_whole(from == 0 && to >= document->characterCount() - 1), m_formats(document)
{
    m_formats.keepFonts(
        document->rootFrame()->frameFormat().property(RichTextProperty::FontTable).toStringList());
    for (const QTextFormat& format : document->allFormats())
        m_charFormats += format.isCharFormat();
}

template <typename F> bool RtfBuilder::forEachFragment(const QDeadlineTimer& deadline, F&& visit)
{
    int start = qMax(m_next, m_from); // where the block starts, for the whole document
    for (QTextBlock block = m_document->findBlock(start); block.isValid(); block = block.next()) {
        // A block's fragments follow each other; asking each for its position
        // would search the document's tree every time, and the whole document
        // needs no positions at all.
        int position = m_whole ? start : block.position();
        if (position > m_to)
            break;
        start += block.length();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!m_whole) {
                const int from = qMax(position, m_from);
                const int end = qMin(position + fragment.length(), m_to);
                position += fragment.length();
                if (from >= end)
                    continue;
            }
            if (!visit(fragment))
                return true;
        }
        if (deadline.hasExpired()) {
            m_next = start;
            return false;
        }
    }
    return true;
}

void RtfBuilder::collectTables()
{
    collect(QDeadlineTimer(QDeadlineTimer::Forever));
}

bool RtfBuilder::collect(const QDeadlineTimer& deadline)
{
    // Every fragment's format is looked at once; a walk ends when all the document's
    // character formats were met, or what it looks for was found.
    if (m_stage == Stage::DefaultFont) {
        // The default font is the one text without a font of its own came in.
        const bool walked = forEachFragment(deadline, [this](const QTextFragment& fragment) {
            if (m_seen.contains(fragment.charFormatIndex()))
                return true; // the same format, already looked at
            m_seen.insert(fragment.charFormatIndex());
            m_defaultFamily = fragment.charFormat().stringProperty(RichTextProperty::DefaultFont);
            return m_defaultFamily.isNull() && m_seen.size() < m_charFormats;
        });
        if (!walked)
            return false;
        const QTextFrameFormat root = m_document->rootFrame()->frameFormat();
        if (m_defaultFamily.isNull() && root.hasProperty(RichTextProperty::DefaultFont))
            m_defaultFamily = root.stringProperty(RichTextProperty::DefaultFont);
        if (m_defaultFamily.isNull())
            m_defaultFamily = m_document->defaultFont().family();
        m_formats.setDefaultFont(m_defaultFamily);
        m_seen.clear();
        m_next = 0;
        m_stage = Stage::Paragraphs;
    }
    if (m_stage == Stage::Paragraphs) {
        int start = qMax(m_next, m_from);
        for (QTextBlock block = m_document->findBlock(start);
             block.isValid() && (m_whole || block.position() <= m_to); block = block.next()) {
            if (const QTextList* list = block.textList())
                m_lists.add(list);
            m_styles.paragraphStyle(block);
            start += block.length();
            if (deadline.hasExpired()) {
                m_next = start;
                return false;
            }
        }
        m_next = 0;
        m_stage = Stage::Runs;
    }
    if (m_stage == Stage::Runs) {
        const bool walked = forEachFragment(deadline, [this](const QTextFragment& fragment) {
            if (m_seen.contains(fragment.charFormatIndex()))
                return true;
            m_seen.insert(fragment.charFormatIndex());
            const QTextCharFormat format = fragment.charFormat();
            m_styles.characterStyle(format);
            m_formats.addToTables(format);
            return m_seen.size() < m_charFormats;
        });
        if (!walked)
            return false;
        m_styles.addToTables(m_formats);
        m_seen.clear();
        m_next = 0;
        m_stage = Stage::Text;
    }
    return true;
}

void RtfBuilder::writeHeader(QByteArray& out)
{
    out += "{\\rtf1\\ansi\\ansicpg1252" + number("\\deff", m_formats.defaultFont()) + "\\uc1\n";
    m_formats.writeTables(out);
    m_styles.write(out, m_formats);
    m_lists.writeTables(out);
}

QByteArray RtfBuilder::build()
{
    collectTables();
    m_out.reserve(qsizetype(m_to - m_from) * 2 + 4096);
    writeHeader(m_out);
    if (m_from == 0 && m_to >= m_document->characterCount() - 1) {
        writeFrame(m_document->rootFrame()->begin(), 0);
        m_out += "}\n";
        return m_out;
    }
    // Part of a document: its paragraphs, without the tables around them.
    bool first = true;
    for (QTextBlock block = m_document->findBlock(m_from); block.isValid(); block = block.next()) {
        // A selection that ends where a paragraph starts does not take that paragraph.
        const bool endsBefore = block.position() == m_to && m_to < m_document->characterCount() - 1;
        if (block.position() > m_to || (!first && endsBefore))
            break;
        if (!first)
            m_out += "\\par\n";
        first = false;
        writeParagraph(block);
    }
    m_out += "}\n";
    return m_out;
}

bool RtfBuilder::canStep(const QTextDocument* document)
{
    return document->rootFrame()->childFrames().isEmpty();
}

bool RtfBuilder::step(const QDeadlineTimer& deadline)
{
    if (!collect(deadline))
        return false;
    // As build does for a document without tables: every paragraph is one of the
    // root frame's, and all but the last end with a paragraph mark.
    if (m_stage == Stage::Text) {
        if (m_next == 0)
            m_out.reserve(qsizetype(m_document->characterCount()) * 2 + 4096);
        int position = m_next;
        for (QTextBlock block = m_document->findBlock(m_next); block.isValid();) {
            m_marks.append({position, m_out.size()});
            writeParagraph(block);
            position += block.length();
            block = block.next();
            if (block.isValid())
                m_out += "\\par\n";
            if (deadline.hasExpired() && block.isValid()) {
                m_next = position;
                return false;
            }
        }
        m_stage = Stage::Done;
    }
    return true;
}

bool RtfBuilder::changed(int position, int removed, int added)
{
    if (m_stage == Stage::Done)
        return false;
    if (position >= m_next)
        return true;
    // What was collected for the tables may no longer be in the document.
    if (m_stage != Stage::Text)
        return false;
    // Lists and styles were numbered for the document as it was.
    if (!m_lists.isEmpty() || !m_styles.isEmpty())
        return false;
    // The paragraph holding the change starts where it did, since nothing before it changed.
    const auto markAt = [this](int at) {
        return qsizetype(
                   std::upper_bound(m_marks.cbegin(), m_marks.cend(), at,
                                    [](int p, const Mark& mark) { return p < mark.position; }) -
                   m_marks.cbegin()) -
               1;
    };
    const qsizetype first = markAt(position);
    if (first < 0)
        return false;
    if (qint64(position) + removed >= m_next) {
        // Reaches past what was written: written again from its paragraph on.
        m_out.truncate(m_marks[first].offset);
        m_next = m_marks[first].position;
        m_marks.resize(first);
        return true;
    }
    // Within what was written: only the paragraphs it touched are written again.
    const qsizetype last = markAt(position + removed);
    const qsizetype from = m_marks[first].offset;
    const qsizetype to = last + 1 < m_marks.size() ? m_marks[last + 1].offset : m_out.size();
    QList<Mark> marks;
    QByteArray words;
    std::swap(words, m_out);
    int start = m_marks[first].position;
    for (QTextBlock block = m_document->findBlock(start);
         block.isValid() && start <= position + added; block = block.next()) {
        marks.append({start, from + m_out.size()});
        writeParagraph(block);
        m_out += "\\par\n"; // a paragraph written before the end is followed by another
        start += block.length();
    }
    std::swap(words, m_out);
    const int moved = added - removed;
    const qsizetype grown = words.size() - (to - from);
    m_out.replace(from, to - from, words);
    for (qsizetype i = last + 1; i < m_marks.size(); ++i) {
        m_marks[i].position += moved;
        m_marks[i].offset += grown;
    }
    m_marks.remove(first, last + 1 - first);
    m_marks.insert(first, marks.size(), Mark{});
    std::copy(marks.cbegin(), marks.cend(), m_marks.begin() + first);
    m_next += moved;
    return true;
}

QByteArray RtfBuilder::header()
{
    QByteArray out;
    writeHeader(out);
    return out;
}

QByteArray RtfBuilder::takeBody()
{
    m_out += "}\n";
    return std::move(m_out);
}

void RtfBuilder::writeFrame(QTextFrame::iterator it, int depth)
{
    // Paragraphs end with a paragraph mark, but the last one of a table cell ends
    // with the cell, and the document's last one with the document.
    QList<QTextFrame::iterator> items;
    for (; !it.atEnd(); ++it)
        items.append(it);
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (QTextFrame* frame = items[i].currentFrame()) {
            if (auto* table = qobject_cast<QTextTable*>(frame))
                writeTable(table, depth + 1);
            continue;
        }
        const QTextBlock block = items[i].currentBlock();
        // The empty paragraph a table stands on is the reader's to make again.
        if (block.length() == 1 && i + 1 < items.size() && items[i + 1].currentFrame())
            continue;
        writeParagraph(block, depth);
        if (i + 1 < items.size())
            m_out += "\\par\n";
        else if (depth == 1)
            m_out += "\\cell\n";
        else if (depth > 1)
            m_out += "\\nestcell\n";
    }
}

void RtfBuilder::writeTable(QTextTable* table, int depth)
{
    QByteArray rowDefinition = "\\trowd\\trgaph108";
    if (depth > 1)
        rowDefinition += number("\\itap", depth);
    const int columns = table->columns();
    for (int c = 1; c <= columns; ++c)
        rowDefinition += number("\\cellx", c * 9000 / columns);
    for (int r = 0; r < table->rows(); ++r) {
        if (depth == 1)
            m_out += rowDefinition + '\n';
        for (int c = 0; c < columns; ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.row() != r || cell.column() != c) {
                // Covered by a merged cell: an empty cell keeps the columns in place.
                m_out += depth == 1 ? "\\pard\\intbl\\cell\n"
                                    : "\\pard\\intbl" + number("\\itap", depth) + "\\nestcell\n";
                continue;
            }
            writeFrame(cell.begin(), depth);
        }
        if (depth == 1)
            m_out += "\\row\n";
        else
            m_out += "{\\*\\nesttableprops" + rowDefinition + "\\nestrow}{\\nonesttables\\par}\n";
    }
}

const RtfBuilder::Paragraph& RtfBuilder::paragraph(const QTextBlock& block, const QTextList* list)
{
    const QPair<int, const QTextList*> key(block.blockFormatIndex(), list);
    auto it = m_paragraphs.constFind(key);
    if (it != m_paragraphs.cend())
        return *it;
    const QTextBlockFormat format = block.blockFormat();
    Paragraph p{
        QByteArray(), m_styles.paragraphStyle(block),
        format.property(RichTextProperty::StyleCharFormat).value<QTextFormat>().toCharFormat()};
    // Readers give a styled paragraph its style's character formatting; the next
    // paragraph starts from none.
    if (!m_styles.isEmpty())
        p.words += "\\plain";
    if (p.style >= 0)
        p.words += number("\\s", p.style);
    m_formats.writeBlockFormat(p.words, format, list, list ? RtfListWriter::level(list) : 0);
    return *m_paragraphs.insert(key, p);
}

const RtfBuilder::Run& RtfBuilder::run(const QTextFragment& fragment, const Paragraph& paragraph)
{
    const QPair<int, int> key(fragment.charFormatIndex(), paragraph.style);
    auto it = m_runs.constFind(key);
    if (it != m_runs.cend())
        return *it;
    const QTextCharFormat format = fragment.charFormat();
    Run r{QByteArray(), format.isAnchor() ? format.anchorHref() : QString(),
          format.property(RichTextProperty::FootnoteRtf).toByteArray(), format.isImageFormat()};
    if (const int charStyle = m_styles.characterStyle(format); charStyle >= 0)
        r.words += number("\\cs", charStyle);
    m_formats.writeCharFormat(r.words, format,
                              RtfStyleWriter::runBase(paragraph.styleFormat, format));
    return *m_runs.insert(key, r);
}

void RtfBuilder::writeParagraph(const QTextBlock& block, int depth)
{
    m_out += "\\pard";
    if (depth > 0)
        m_out += "\\intbl";
    if (depth > 1)
        m_out += number("\\itap", depth);
    const QTextList* list = block.textList();
    const Paragraph& para = paragraph(block, list);
    m_out += para.words;
    if (list)
        m_lists.writeItem(m_out, block, list);
    const int blockPosition = m_whole ? 0 : block.position(); // found in a tree: asked once
    const int blockStart = qMax(blockPosition, m_from);
    const int blockEnd = m_whole ? INT_MAX : qMin(blockPosition + block.length() - 1, m_to);
    QString openLink;
    // Text whose formats write the same words goes in one group, whatever else
    // tells the formats apart: read back, they are one format.
    bool textOpen = false;
    QByteArray openWords;
    int next = blockPosition;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const int length = fragment.length();
        const int position = next;
        next += length;
        const int start = m_whole ? position : qMax(position, blockStart);
        const int end = m_whole ? position + length : qMin(position + length, blockEnd);
        if (start >= end)
            continue;
        const Run& r = run(fragment, para);
        const bool text = !r.image && r.footnote.isEmpty();
        if (textOpen && text && r.link == openLink && r.words == openWords) {
            appendText(fragment, position, start, end);
            continue;
        }
        if (textOpen)
            m_out += '}';
        textOpen = false;
        if (r.link != openLink) {
            if (!openLink.isEmpty())
                m_out += "}}";
            if (!r.link.isEmpty()) {
                m_out += "{\\field{\\*\\fldinst ";
                RtfWriter::appendEscaped(m_out, RtfFormats::hyperlinkInstruction(r.link));
                m_out += "}{\\fldrslt ";
            }
            openLink = r.link;
        }
        m_out += '{';
        m_out += r.words;
        if (!r.footnote.isEmpty()) {
            m_out += "\\chftn}{\\footnote " + r.footnote + '}';
        } else if (r.image) {
            const QTextImageFormat image = fragment.charFormat().toImageFormat();
            for (int i = start; i < end; ++i)
                writeImage(image);
            m_out += '}';
        } else {
            if (!r.words.isEmpty())
                m_out += ' ';
            appendText(fragment, position, start, end);
            textOpen = true;
            openWords = r.words;
        }
    }
    if (textOpen)
        m_out += '}';
    if (!openLink.isEmpty())
        m_out += "}}";
}

void RtfBuilder::appendText(const QTextFragment& fragment, int position, int start, int end)
{
    const QString text = fragment.text();
    RtfWriter::appendEscaped(m_out, start == position && end - start == text.size()
                                        ? QStringView(text)
                                        : QStringView(text).mid(start - position, end - start));
}

void RtfBuilder::writeImage(const QTextImageFormat& format)
{
    QByteArray data = format.property(RichTextProperty::PictureData).toByteArray();
    QString header = format.stringProperty(RichTextProperty::PictureHeader);
    if (data.isEmpty() || header.isEmpty()) {
        const QImage image =
            m_document->resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
        if (image.isNull())
            return;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        const int w = format.width() > 0 ? Twips::fromPixels(format.width())
                                         : Twips::fromPixels(image.width());
        const int h = format.height() > 0 ? Twips::fromPixels(format.height())
                                          : Twips::fromPixels(image.height());
        header = QStringLiteral("\\pngblip\\picw%1\\pich%2\\picwgoal%3\\pichgoal%4")
                     .arg(image.width())
                     .arg(image.height())
                     .arg(w)
                     .arg(h);
    }
    m_out += "{\\pict" + header.toLatin1() + '\n';
    const QByteArray hex = data.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128)
        m_out += hex.mid(i, 128) + '\n';
    m_out += '}';
}
