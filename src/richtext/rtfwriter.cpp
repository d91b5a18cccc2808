#include "rtfwriter.h"

#include "richtextproperties.h"
#include "rtfformats.h"
#include "rtfkeywords.h"
#include "rtftokenizer.h"
#include "twips.h"
#include "windows1252.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>
#include <cmath>

namespace {

class RtfBuilder {
public:
    RtfBuilder(const QTextDocument* document, int from, int to)
        : m_document(document), m_from(from), m_to(to)
    {}
    QByteArray build();

private:
    template <typename F> void forEachFragment(F&& visit) const;
    int fontIndex(const QString& family);
    int colorIndex(const QColor& color);
    void collectTables();
    void writeFrame(QTextFrame::iterator it, int depth);
    void writeTable(QTextTable* table, int depth);
    void addList(const QTextList* list);
    void writeListTables();
    void writeListItem(const QTextBlock& block, const QTextList* list, int level);
    static int numbering(QTextListFormat::Style style);
    static int listLevel(const QTextList* list);
    void writeParagraph(const QTextBlock& block, int depth = 0);
    void writeBlockFormat(const QTextBlockFormat& format, const QTextList* list, int level);
    int styleNumber(const QTextBlock& block);
    int charStyleNumber(const QTextCharFormat& format);
    int styleNumber(const QVariantList& chain, bool character);
    void writeStyleSheet();
    // A paragraph's runs are written against its style (`base`).
    void writeCharFormat(const QTextCharFormat& format,
                         const QTextCharFormat& base = QTextCharFormat());
    void writeBackground(const QTextCharFormat& format, const QTextCharFormat& base);
    void writeText(const QString& text);
    void writeImage(const QTextImageFormat& format);
    QString familyOf(const QTextCharFormat& format) const;

    const QTextDocument* m_document;
    int m_from;
    int m_to;
    QStringList m_fonts;
    QList<QColor> m_colors;
    // Lists nested in one another share one list of the list table, a level each.
    QHash<const QTextList*, int> m_listGroup;
    QList<QList<int>> m_groupNumbering;
    QList<QList<bool>> m_groupAssigned;
    QList<QList<int>> m_groupStarts;
    // The words of each character format in each paragraph style, once made.
    QHash<QPair<int, int>, QByteArray> m_charWords;
    // Paragraph styles, each after the one it is based on (its parent).
    struct Style {
        int number;
        QString name;
        QTextCharFormat chr;
        QTextBlockFormat block;
        int parent;
        int original;
        QStringList own; // the properties the style's own words set
        bool character;
    };
    QList<Style> m_styles;
    QHash<int, int> m_styleOfFormat; // block format index → style number, -1 for none
    int m_nextStyleNumber = 0;
    int m_lastListGroup = -1;
    QByteArray m_out;
};

QByteArray escapeChars(const QString& text)
{
    QByteArray out;
    out.reserve(text.size() + 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        switch (c) {
        case u'\\':
            out += "\\\\";
            continue;
        case u'{':
            out += "\\{";
            continue;
        case u'}':
            out += "\\}";
            continue;
        case u'\t':
            out += "\\tab ";
            continue;
        case 0x2028:
            out += "\\line ";
            continue;
        case 0x00A0:
            out += "\\~";
            continue;
        case 0x00AD:
            out += "\\-";
            continue;
        case 0x2011:
            out += "\\_";
            continue;
        default:
            break;
        }
        if (c >= 0x20 && c < 0x80) {
            out += char(c);
        } else if (c < 0x20) {
            out += "\\u" + QByteArray::number(int(c)) + '?';
        } else {
            // Unicode for readers that know it, the ANSI byte for those that do not.
            out += "\\u" + QByteArray::number(int(qint16(c)));
            const QByteArray ansi = Windows1252::canEncode(QChar(c))
                                        ? Windows1252::encode(QString(QChar(c)))
                                        : QByteArray("?");
            if (uchar(ansi[0]) >= 0x80)
                out += "\\'" + ansi.toHex();
            else
                out += ansi;
        }
    }
    return out;
}

QByteArray number(const char* word, int value)
{
    return QByteArray(word) + QByteArray::number(value);
}

} // namespace

template <typename F> void RtfBuilder::forEachFragment(F&& visit) const
{
    for (QTextBlock block = m_document->findBlock(m_from); block.isValid(); block = block.next()) {
        // A block's fragments follow each other; asking each for its position
        // would search the document's tree every time.
        int position = block.position();
        if (position > m_to)
            break;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = qMax(position, m_from);
            const int end = qMin(position + fragment.length(), m_to);
            position += fragment.length();
            if (start < end)
                visit(block, fragment, start, end);
        }
    }
}

QString RtfBuilder::familyOf(const QTextCharFormat& format) const
{
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    return m_document->defaultFont().family();
}

int RtfBuilder::fontIndex(const QString& family)
{
    qsizetype index = m_fonts.indexOf(family);
    if (index < 0) {
        m_fonts.append(family);
        index = m_fonts.size() - 1;
    }
    return int(index);
}

int RtfBuilder::colorIndex(const QColor& color)
{
    const QColor rgb = color.toRgb();
    qsizetype index = m_colors.indexOf(rgb);
    if (index < 0) {
        m_colors.append(rgb);
        index = m_colors.size() - 1;
    }
    return int(index) + 1; // 0 is the automatic colour
}

void RtfBuilder::collectTables()
{
    // The default font is the one text without a font of its own came in.
    QString defaultFamily;
    forEachFragment([&](const QTextBlock&, const QTextFragment& fragment, int, int) {
        if (defaultFamily.isNull())
            defaultFamily = fragment.charFormat().stringProperty(RichTextProperty::DefaultFont);
    });
    if (defaultFamily.isNull())
        defaultFamily = m_document->defaultFont().family();
    fontIndex(defaultFamily);
    for (QTextBlock block = m_document->findBlock(m_from);
         block.isValid() && block.position() <= m_to; block = block.next()) {
        if (const QTextList* list = block.textList())
            addList(list);
        styleNumber(block);
    }
    QSet<int> seen;
    forEachFragment([&](const QTextBlock&, const QTextFragment& fragment, int, int) {
        if (seen.contains(fragment.charFormatIndex()))
            return; // the same format, already in the tables
        seen.insert(fragment.charFormatIndex());
        const QTextCharFormat format = fragment.charFormat();
        charStyleNumber(format);
        fontIndex(familyOf(format));
        if (format.hasProperty(QTextFormat::ForegroundBrush))
            colorIndex(format.foreground().color());
        if (format.hasProperty(QTextFormat::BackgroundBrush))
            colorIndex(format.background().color());
    });
    for (const Style& style : std::as_const(m_styles)) {
        fontIndex(familyOf(style.chr));
        if (style.chr.hasProperty(QTextFormat::ForegroundBrush))
            colorIndex(style.chr.foreground().color());
        if (style.chr.hasProperty(QTextFormat::BackgroundBrush))
            colorIndex(style.chr.background().color());
    }
}

QByteArray RtfBuilder::build()
{
    collectTables();
    m_out.reserve(qsizetype(m_to - m_from) * 2 + 4096);
    m_out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
    for (qsizetype i = 0; i < m_fonts.size(); ++i)
        m_out += "{\\f" + QByteArray::number(i) + "\\fnil " + escapeChars(m_fonts[i]) + ";}";
    m_out += "}\n{\\colortbl ;";
    for (const QColor& c : std::as_const(m_colors))
        m_out += number("\\red", c.red()) + number("\\green", c.green()) +
                 number("\\blue", c.blue()) + ';';
    m_out += "}\n";
    writeStyleSheet();
    writeListTables();
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

void RtfBuilder::writeParagraph(const QTextBlock& block, int depth)
{
    const QTextBlockFormat format = block.blockFormat();
    m_out += "\\pard";
    if (depth > 0)
        m_out += "\\intbl";
    if (depth > 1)
        m_out += number("\\itap", depth);
    const QTextList* list = block.textList();
    const int level = list ? listLevel(list) : 0;
    // Readers give a styled paragraph its style's character formatting; the next
    // paragraph starts from none.
    const int style = styleNumber(block);
    if (!m_styles.isEmpty())
        m_out += "\\plain";
    if (style >= 0)
        m_out += number("\\s", style);
    writeBlockFormat(format, list, level);
    if (list)
        writeListItem(block, list, level);
    const int blockPosition = block.position(); // found in a tree: asked once
    const int blockStart = qMax(blockPosition, m_from);
    const int blockEnd = qMin(blockPosition + block.length() - 1, m_to);
    const QTextCharFormat styleFormat =
        format.property(RichTextProperty::StyleCharFormat).value<QTextFormat>().toCharFormat();
    QString openLink;
    int next = blockPosition;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const int position = next;
        next += fragment.length();
        const int start = qMax(position, blockStart);
        const int end = qMin(position + fragment.length(), blockEnd);
        if (start >= end)
            continue;
        const QTextCharFormat charFormat = fragment.charFormat();
        const QString link = charFormat.isAnchor() ? charFormat.anchorHref() : QString();
        if (link != openLink) {
            if (!openLink.isEmpty())
                m_out += "}}";
            if (!link.isEmpty())
                m_out +=
                    "{\\field{\\*\\fldinst HYPERLINK \"" + escapeChars(link) + "\"}{\\fldrslt ";
            openLink = link;
        }
        m_out += '{';
        const qsizetype wordsStart = m_out.size();
        const QPair<int, int> key(fragment.charFormatIndex(), style);
        auto words = m_charWords.constFind(key);
        if (words == m_charWords.cend()) {
            writeCharFormat(charFormat, styleFormat);
            m_charWords.insert(key, m_out.mid(wordsStart));
        } else {
            m_out += *words;
        }
        const bool noWords = m_out.size() == wordsStart;
        const QByteArray footnote =
            charFormat.property(RichTextProperty::FootnoteRtf).toByteArray();
        if (!footnote.isEmpty()) {
            m_out += "\\chftn}{\\footnote " + footnote + '}';
            continue;
        }
        if (charFormat.isImageFormat()) {
            for (int i = start; i < end; ++i)
                writeImage(charFormat.toImageFormat());
        } else {
            if (!noWords)
                m_out += ' ';
            const QString text = fragment.text();
            writeText(start == position && end - start == text.size()
                          ? text
                          : text.mid(start - position, end - start));
        }
        m_out += '}';
    }
    if (!openLink.isEmpty())
        m_out += "}}";
}

void RtfBuilder::writeBlockFormat(const QTextBlockFormat& format, const QTextList* list, int level)
{
    const Qt::Alignment align = format.alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignHCenter)
        m_out += "\\qc";
    else if (align & Qt::AlignRight)
        m_out += "\\qr";
    else if (align & Qt::AlignJustify)
        m_out += "\\qj";
    else if (format.hasProperty(QTextFormat::BlockAlignment))
        m_out += "\\ql";
    int left = Twips::fromPixels(format.leftMargin());
    int first = Twips::fromPixels(format.textIndent());
    if (list && left == 0 && first == 0) {
        // Room for the bullet, where the list's own indent gave it.
        const int indent = list->format().indent();
        left =
            indent > 0 ? Twips::fromPixels(indent * m_document->indentWidth()) : (level + 1) * 360;
        first = -360;
    }
    // A styled paragraph's numbers are written in full, for readers that do not
    // give it its style's; and zero where the style has another, for those that do.
    const QTextBlockFormat base =
        format.property(RichTextProperty::StyleBlockFormat).value<QTextFormat>().toBlockFormat();
    const auto differs = [&](int value, double baseValue) {
        return value != 0 || Twips::fromPixels(baseValue) != 0;
    };
    if (differs(first, base.textIndent()))
        m_out += number("\\fi", first);
    if (differs(left, base.leftMargin()))
        m_out += number("\\li", left);
    if (const int right = Twips::fromPixels(format.rightMargin());
        differs(right, base.rightMargin()))
        m_out += number("\\ri", right);
    if (const int before = Twips::fromPixels(format.topMargin()); differs(before, base.topMargin()))
        m_out += number("\\sb", before);
    if (const int after = Twips::fromPixels(format.bottomMargin());
        differs(after, base.bottomMargin()))
        m_out += number("\\sa", after);
    const bool sameSpacing = format.lineHeightType() == QTextBlockFormat::SingleHeight &&
                             base.lineHeightType() == QTextBlockFormat::SingleHeight;
    switch (sameSpacing ? -1 : format.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        m_out += number("\\sl", int(std::lround(format.lineHeight() * 240 / 100))) + "\\slmult1";
        break;
    case QTextBlockFormat::FixedHeight:
        m_out += number("\\sl", -Twips::fromPixels(format.lineHeight())) + "\\slmult0";
        break;
    case QTextBlockFormat::MinimumHeight:
        m_out += number("\\sl", Twips::fromPixels(format.lineHeight())) + "\\slmult0";
        break;
    case QTextBlockFormat::SingleHeight:
        m_out += "\\sl0\\slmult0";
        break;
    default:
        break;
    }
    for (const QTextOption::Tab& tab : format.tabPositions())
        m_out += number("\\tx", Twips::fromPixels(tab.position));
}

int RtfBuilder::styleNumber(const QTextBlock& block)
{
    auto cached = m_styleOfFormat.constFind(block.blockFormatIndex());
    if (cached != m_styleOfFormat.cend())
        return *cached;
    const int number =
        styleNumber(block.blockFormat().property(RichTextProperty::StyleChain).toList(), false);
    m_styleOfFormat.insert(block.blockFormatIndex(), number);
    return number;
}

int RtfBuilder::charStyleNumber(const QTextCharFormat& format)
{
    if (!format.hasProperty(RichTextProperty::CharStyleChain))
        return -1;
    return styleNumber(format.property(RichTextProperty::CharStyleChain).toList(), true);
}

int RtfBuilder::styleNumber(const QVariantList& chain, bool character)
{
    // The styles it is based on first, each keeping its number unless another took it.
    int parent = -1;
    for (auto it = chain.crbegin(); it != chain.crend(); ++it) {
        const QVariantList entry = it->toList();
        if (entry.size() != 5)
            break;
        Style style{entry[0].toInt(),
                    entry[1].toString(),
                    entry[2].value<QTextFormat>().toCharFormat(),
                    entry[3].value<QTextFormat>().toBlockFormat(),
                    parent,
                    entry[0].toInt(),
                    entry[4].toStringList(),
                    character};
        qsizetype index = -1;
        for (qsizetype i = 0; i < m_styles.size() && index < 0; ++i) {
            const Style& known = m_styles[i];
            if (known.original == style.original && known.name == style.name &&
                known.chr == style.chr && known.block == style.block && known.parent == parent &&
                known.own == style.own && known.character == character)
                index = i;
        }
        if (index < 0) {
            for (const Style& known : std::as_const(m_styles))
                if (known.number == style.number)
                    style.number = m_nextStyleNumber;
            m_nextStyleNumber = qMax(m_nextStyleNumber, style.number + 1);
            m_styles.append(style);
            index = m_styles.size() - 1;
        }
        parent = int(index);
    }
    return parent >= 0 ? m_styles[parent].number : -1;
}

void RtfBuilder::writeStyleSheet()
{
    if (m_styles.isEmpty())
        return;
    m_out += "{\\stylesheet";
    for (const Style& style : std::as_const(m_styles)) {
        m_out += style.character ? "\n{\\*" + number("\\cs", style.number)
                                 : "\n{" + number("\\s", style.number);
        if (style.parent >= 0)
            m_out += number("\\sbasedon", m_styles[style.parent].number);
        // The words the style had of its own, with the values they come to: the
        // paragraph's words against the style it is based on, less the others.
        const qsizetype start = m_out.size();
        QTextBlockFormat block = style.block;
        block.setProperty(
            RichTextProperty::StyleBlockFormat,
            QTextFormat(style.parent >= 0 ? m_styles[style.parent].block : QTextBlockFormat()));
        if (!style.character)
            writeBlockFormat(block, nullptr, 0);
        writeCharFormat(style.chr,
                        style.parent >= 0 ? m_styles[style.parent].chr : QTextCharFormat());
        const QByteArray all = m_out.mid(start);
        m_out.truncate(start);
        RtfTokenizer words(all);
        for (auto token = words.next(); token != RtfTokenizer::Token::End; token = words.next()) {
            if (token == RtfTokenizer::Token::Word &&
                style.own.contains(QString::fromLatin1(RtfKeywords::property(words.word()))))
                m_out += '\\' + words.word() +
                         (words.hasParam() ? QByteArray::number(words.param()) : QByteArray());
        }
        m_out += ' ' + escapeChars(style.name) + ";}";
    }
    m_out += "}\n";
}

int RtfBuilder::listLevel(const QTextList* list)
{
    const QTextListFormat format = list->format();
    const int level = format.hasProperty(RichTextProperty::ListLevel)
                          ? format.intProperty(RichTextProperty::ListLevel)
                          : format.indent() - 1;
    return qBound(0, level, 8);
}

int RtfBuilder::numbering(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListDecimal:
        return 0;
    case QTextListFormat::ListUpperRoman:
        return 1;
    case QTextListFormat::ListLowerRoman:
        return 2;
    case QTextListFormat::ListUpperAlpha:
        return 3;
    case QTextListFormat::ListLowerAlpha:
        return 4;
    default:
        return 23; // a bullet
    }
}

void RtfBuilder::addList(const QTextList* list)
{
    int& lastGroup = m_lastListGroup;
    if (m_listGroup.contains(list)) {
        lastGroup = m_listGroup.value(list);
        return;
    }
    const int level = listLevel(list);
    const int nfc = numbering(list->format().style());
    // A level already numbered another way in this group needs a group of its own.
    const bool clash = lastGroup >= 0 && m_groupAssigned[lastGroup][level] &&
                       m_groupNumbering[lastGroup][level] != nfc;
    if (level == 0 || lastGroup < 0 || clash) {
        m_groupStarts.append(QList<int>(9, 1));
        m_groupNumbering.append(QList<int>(9, nfc));
        m_groupAssigned.append(QList<bool>(9, false));
        lastGroup = int(m_groupNumbering.size()) - 1;
    }
    QList<int>& levels = m_groupNumbering[lastGroup];
    for (int l = level; l < 9; ++l)
        if (l == level || !m_groupAssigned[lastGroup][l])
            levels[l] = nfc;
    m_groupAssigned[lastGroup][level] = true;
    if (list->format().hasProperty(RichTextProperty::ListStart))
        m_groupStarts[lastGroup][level] = list->format().intProperty(RichTextProperty::ListStart);
    m_listGroup.insert(list, lastGroup);
}

void RtfBuilder::writeListTables()
{
    if (m_groupNumbering.isEmpty())
        return;
    m_out += "{\\*\\listtable";
    for (qsizetype i = 0; i < m_groupNumbering.size(); ++i) {
        m_out += "\n{\\list\\listtemplateid" + QByteArray::number(i + 1);
        for (int level = 0; level < 9; ++level) {
            const int nfc = m_groupNumbering[i][level];
            m_out += "{\\listlevel" + number("\\levelnfc", nfc) + number("\\levelnfcn", nfc) +
                     "\\leveljc0" + number("\\levelstartat", m_groupStarts[i][level]);
            if (nfc == 23)
                m_out += "{\\leveltext\\'01\\u8226 ?;}{\\levelnumbers;}";
            else
                m_out += "{\\leveltext\\'02\\'0" + QByteArray::number(level) +
                         ".;}{\\levelnumbers\\'01;}";
            m_out += number("\\fi", -360) + number("\\li", (level + 1) * 360) + '}';
        }
        m_out += number("\\listid", int(i) + 1) + '}';
    }
    m_out += "}\n{\\*\\listoverridetable";
    for (qsizetype i = 0; i < m_groupNumbering.size(); ++i)
        m_out += "{\\listoverride" + number("\\listid", int(i) + 1) + "\\listoverridecount0" +
                 number("\\ls", int(i) + 1) + '}';
    m_out += "}\n";
}

void RtfBuilder::writeListItem(const QTextBlock& block, const QTextList* list, int level)
{
    // The list words, and the item's bullet or number as text for readers that know
    // no lists: they show it, list-aware readers skip it. No \pn words beside them:
    // some readers then take every list for the last \pn one they saw.
    const QByteArray label = numbering(list->format().style()) == 23
                                 ? QByteArray("\\u8226\\'95")
                                 : escapeChars(list->itemText(block));
    m_out += number("\\ls", m_listGroup.value(list) + 1) + number("\\ilvl", level) +
             "{\\listtext\\f0 " + label + "\\tab}";
}

void RtfBuilder::writeCharFormat(const QTextCharFormat& format, const QTextCharFormat& base)
{
    // The font and size the document's defaults or the paragraph's style gave are
    // left to them, as they came. The rest is said in full, since some readers do
    // not give runs their paragraph style's formatting, and what the style (`base`)
    // has and the run has not is turned off, since others do.
    if (const int style = charStyleNumber(format); style >= 0)
        m_out += number("\\cs", style);
    const QString family = familyOf(format);
    const int font = fontIndex(family);
    const QString implied = format.stringProperty(RichTextProperty::ImpliedFont);
    const bool fromStyle = implied != format.stringProperty(RichTextProperty::DefaultFont);
    if (!format.hasProperty(RichTextProperty::ImpliedFont) || family != implied ||
        (!fromStyle && font != 0))
        m_out += number("\\f", font);
    const double points = format.hasProperty(QTextFormat::FontPointSize)
                              ? format.fontPointSize()
                              : m_document->defaultFont().pointSizeF();
    if (!format.hasProperty(RichTextProperty::ImpliedSize) ||
        points != format.doubleProperty(RichTextProperty::ImpliedSize))
        m_out += number("\\fs", int(std::lround(points * 2)));
    const auto flag = [this](bool on, bool baseOn, const QByteArray& word) {
        if (on)
            m_out += word;
        else if (baseOn)
            m_out += word + '0';
    };
    flag(format.fontWeight() >= QFont::DemiBold, base.fontWeight() >= QFont::DemiBold, "\\b");
    flag(format.fontItalic(), base.fontItalic(), "\\i");
    flag(format.fontUnderline(), base.fontUnderline(), "\\ul");
    flag(format.fontStrikeOut(), base.fontStrikeOut(), "\\strike");
    if (format.hasProperty(QTextFormat::ForegroundBrush))
        m_out += number("\\cf", colorIndex(format.foreground().color()));
    else if (base.hasProperty(QTextFormat::ForegroundBrush))
        m_out += "\\cf0";
    writeBackground(format, base);
    flag(format.fontCapitalization() == QFont::AllUppercase,
         base.fontCapitalization() == QFont::AllUppercase, "\\caps");
    flag(format.fontCapitalization() == QFont::SmallCaps,
         base.fontCapitalization() == QFont::SmallCaps, "\\scaps");
    flag(format.boolProperty(RichTextProperty::HiddenText),
         base.boolProperty(RichTextProperty::HiddenText), "\\v");
    flag(format.boolProperty(RichTextProperty::Protected),
         base.boolProperty(RichTextProperty::Protected), "\\protect");
    const int offset = format.intProperty(RichTextProperty::CharOffsetTwips);
    if (offset > 0)
        m_out += number("\\up", offset / 10);
    else if (offset < 0)
        m_out += number("\\dn", -offset / 10);
    else if (base.intProperty(RichTextProperty::CharOffsetTwips) != 0)
        m_out += "\\up0";
    if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        m_out += "\\super";
    else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
        m_out += "\\sub";
    else if (base.verticalAlignment() != QTextCharFormat::AlignNormal)
        m_out += "\\nosupersub";
}

void RtfBuilder::writeBackground(const QTextCharFormat& format, const QTextCharFormat& base)
{
    // Each of the words the background came with; a background set here is a highlight.
    const auto words = [](const QTextCharFormat& f) {
        const int kinds = f.intProperty(RichTextProperty::BackgroundWords);
        return kinds ? kinds : int(RichTextProperty::Highlight);
    };
    const bool has = format.hasProperty(QTextFormat::BackgroundBrush);
    const bool baseHas = base.hasProperty(QTextFormat::BackgroundBrush);
    if (!has && !baseHas)
        return;
    const int index = has ? colorIndex(format.background().color()) : 0;
    const int kinds = words(has ? format : base);
    if (kinds & RichTextProperty::Highlight)
        m_out += number("\\highlight", index);
    if (kinds & RichTextProperty::CellBackground)
        m_out += number("\\cb", index);
    if (kinds & RichTextProperty::Shading)
        m_out += number("\\chcbpat", index);
}

void RtfBuilder::writeText(const QString& text)
{
    m_out += escapeChars(text);
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

QByteArray RtfWriter::write(const QTextDocument* document)
{
    return write(document, 0, document->characterCount() - 1);
}

QByteArray RtfWriter::write(const QTextDocument* document, int from, int to)
{
    return RtfBuilder(document, from, qMax(from, to)).build();
}
