#include "rtfparser.h"

#include "richtextproperties.h"
#include "rtfformats.h"
#include "rtfkeywords.h"
#include "twips.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>

namespace {
constexpr int MaxDepth = 2000;
} // namespace

using RtfKeywords::Id;

void RtfParser::run()
{
    using Token = RtfTokenizer::Token;
    m_stack.push_back(GroupState());
    while (!m_finished) {
        switch (m_tokens.next()) {
        case Token::End:
            // A file cut short still shows what it holds.
            endParagraph(false);
            m_finished = true;
            break;
        case Token::OpenGroup:
            openGroup();
            break;
        case Token::CloseGroup:
            closeGroup();
            break;
        case Token::Word:
            controlWord(m_tokens.keyword(), m_tokens.wordView(), m_tokens.hasParam(),
                        m_tokens.param());
            break;
        case Token::Symbol:
            controlSymbol(m_tokens.symbol());
            break;
        case Token::HexByte:
            byte(m_tokens.symbol());
            break;
        case Token::Text:
            text(m_tokens.text().data(), m_tokens.text().size());
            break;
        }
    }
    placeBlock(); // a paragraph mark at the end of inserted text
    keepFontTable();
}

void RtfParser::keepFontTable()
{
    // Saving writes the fonts back in their places, unused ones too: some readers
    // take the fonts of other scripts from places in the table.
    const QStringList names = m_fontTable.names(4096);
    if (!m_wholeDocument || names.isEmpty())
        return;
    QTextFrame* root = m_cursor.document()->rootFrame();
    QTextFrameFormat format = root->frameFormat();
    format.setProperty(RichTextProperty::FontTable, names);
    // Text names the default font too, but a document may have none.
    format.setProperty(RichTextProperty::DefaultFont,
                       RtfFormats::fontName(m_tables.fonts, m_tables.defaultFont));
    root->setFrameFormat(format);
}

void RtfParser::controlSymbol(char symbol)
{
    switch (symbol) {
    case '*':
        m_nextIsIgnorable = true;
        break;
    case '\\':
    case '{':
    case '}':
        text(&symbol, 1);
        break;
    case '\r':
    case '\n':
        controlWord(Id::par, "par", false, 0);
        break;
    case '~':
        unicodeText(QString(QChar(0x00A0)));
        break;
    case '-':
        unicodeText(QString(QChar(0x00AD)));
        break;
    case '_':
        unicodeText(QString(QChar(0x2011)));
        break;
    case '\t':
        controlWord(Id::tab, "tab", false, 0);
        break;
    default:
        break;
    }
}

void RtfParser::openGroup()
{
    // A group alone changes no format: text in the same format on both sides of a
    // brace goes into the document in one piece.
    flushPending();
    m_skipCount = 0;
    if (int(m_stack.size()) >= MaxDepth) {
        ++m_ignoredDepth;
        return;
    }
    m_stack.push_back(m_stack.back());
    GroupState& child = m_stack.back();
    if (child.upr)
        child.destination = Destination::SkipUnlessUd;
    child.upr = false;
}

void RtfParser::closeGroup()
{
    flushPending();
    m_skipCount = 0;
    m_nextIsIgnorable = false;
    if (m_ignoredDepth > 0) {
        --m_ignoredDepth;
        return;
    }
    if (m_stack.size() <= 2) {
        flushText();
        // The document's own group ends: its last paragraph gets the format in
        // force there, and whatever follows the closing brace is not RTF.
        endParagraph(false);
        m_finished = true;
        return;
    }
    const Destination closing = state().destination;
    const GroupState& outer = m_stack[m_stack.size() - 2];
    const Destination parent = outer.destination;
    // Text in a table goes into its cell before a group's end takes the table away.
    if (state().para.tableDepth() != outer.para.tableDepth())
        flushText();
    if (closing == Destination::Picture && parent != Destination::Picture && !m_pictures.empty()) {
        finishPicture(m_pictures.back());
        m_pictures.pop_back();
    }
    if (!m_fields.empty() && m_fields.back().depth == m_stack.size())
        m_fields.pop_back();
    if (!m_shapes.empty() && m_shapes.back().depth == m_stack.size())
        m_shapes.pop_back();
    m_stack.pop_back();
}

bool RtfParser::consumingSkippedCharacter()
{
    if (m_skipCount <= 0)
        return false;
    --m_skipCount;
    return true;
}

void RtfParser::controlWord(Id id, QByteArrayView view, bool hasParam, int param)
{
    const bool ignorable = m_nextIsIgnorable;
    m_nextIsIgnorable = false;
    GroupState& s = state();
    if (id == Id::bin) {
        // Binary data is passed over wherever it stands: its bytes may look like braces.
        // After \u, binary data counts as one skipped character.
        const QByteArrayView data = m_tokens.takeBinary(param);
        if (!consumingSkippedCharacter() && s.destination == Destination::Picture &&
            !m_pictures.empty())
            m_pictures.back().data.append(data);
        return;
    }
    if (s.destination == Destination::Skip)
        return;
    if (s.destination == Destination::SkipUnlessUd) {
        s.destination = id == Id::ud ? Destination::Normal : Destination::Skip;
        return;
    }
    if (m_skipCount > 0) {
        --m_skipCount;
        return;
    }
    if (s.destination == Destination::Normal && !ignorable) {
        // Most words of a document are formatting of its text, or words the
        // reader does not know. Bytes so far are characters of the font they
        // were given in; text so far keeps its format, and goes into the
        // document when text of another format, or another paragraph, follows.
        if (!m_pendingBytes.isEmpty())
            flushBytes();
        if (id == Id::Other || s.chr.apply(id, hasParam, param, m_tables.defaultFont))
            return;
    }
    if (destinationWord(id))
        return;
    const QByteArray word = QByteArray::fromRawData(view.data(), view.size());
    // Character and table styles are marked ignorable for readers without them.
    const bool style =
        s.destination == Destination::StyleSheet && (id == Id::cs || id == Id::ds || id == Id::ts);
    if (ignorable && !style) {
        // An ignorable destination we do not know: its text is not ours to show.
        flushText();
        s.destination = Destination::Skip;
        return;
    }
    switch (s.destination) {
    case Destination::FontTable:
        if (!m_fontTable.word(word, param, m_codePage))
            nameWord(id, param);
        return;
    case Destination::ColorTable:
        if (id == Id::red)
            m_red = param, m_colorSeen = true;
        else if (id == Id::green)
            m_green = param, m_colorSeen = true;
        else if (id == Id::blue)
            m_blue = param, m_colorSeen = true;
        return;
    case Destination::Picture: {
        if (m_pictures.empty())
            return;
        RtfPicture& pic = m_pictures.back();
        pic.header +=
            u'\\' + QString::fromLatin1(word) + (hasParam ? QString::number(param) : QString());
        if (word == "pngblip")
            pic.kind = QStringLiteral("PNG");
        else if (word == "jpegblip")
            pic.kind = QStringLiteral("JPG");
        else if (word == "picw")
            pic.picw = param;
        else if (word == "pich")
            pic.pich = param;
        else if (word == "picwgoal")
            pic.goalw = param;
        else if (word == "pichgoal")
            pic.goalh = param;
        else if (word == "picscalex" && param > 0)
            pic.scalex = param;
        else if (word == "picscaley" && param > 0)
            pic.scaley = param;
        return;
    }
    case Destination::ShapeInstructions:
        // A shape's picture is the value of its "pib" property; other values are not text.
        if (id == Id::sn) {
            s.destination = Destination::ShapePropertyName;
            m_shapeProperty.clear();
        } else if (id == Id::sv && m_shapeProperty.trimmed() != "pib") {
            s.destination = Destination::Skip;
        }
        return;
    case Destination::NestedRowProperties:
        if (id == Id::nestrow) {
            flushText();
            m_tableBuilder.endRow();
        }
        return;
    case Destination::Bullet:
        oldListWord(word);
        return;
    case Destination::StyleSheet:
        if (!nameWord(id, param))
            m_styleSheet.word(word, hasParam, param);
        return;
    case Destination::ListTables:
        m_listTable.word(word, param);
        return;
    case Destination::FieldInstruction:
        // A link's target may have characters given by words, as \tab.
        if (nameWord(id, param))
            return;
        break;
    default:
        break;
    }
    if (unicodeWord(id, param))
        return;
    switch (id) {
    case Id::ansicpg:
        if (CodePage::isKnown(param))
            m_codePage = param;
        break;
    case Id::mac:
        m_codePage = 10000;
        break;
    case Id::pc:
        m_codePage = 437;
        break;
    case Id::pca:
        m_codePage = 850;
        break;
    case Id::deff:
        m_tables.defaultFont = param;
        s.chr.font = param;
        break;
    case Id::upr:
        s.upr = true;
        break;
    default:
        flushBytes();
        if (id != Id::Other && !s.chr.apply(id, hasParam, param, m_tables.defaultFont) &&
            !paragraphWord(id, param))
            specialCharacter(id);
    }
}

bool RtfParser::nameWord(Id id, int param)
{
    // Names of fonts and styles may have characters given by words too.
    if (unicodeWord(id, param))
        return true;
    const char16_t symbol = RtfKeywords::symbol(id);
    if (symbol == 0)
        return false;
    unicodeText(QString(QChar(symbol)));
    return true;
}

void RtfParser::forgetFormats()
{
    // The formats made so far name fonts, colours and styles that may now change.
    m_formats.clear();
}

bool RtfParser::unicodeWord(Id id, int param)
{
    if (id == Id::uc) {
        state().unicodeSkip = qBound(0, param, 16);
    } else if (id == Id::u) {
        flushBytes();
        unicodeText(QString(QChar(char16_t(param < 0 ? param + 65536 : param))));
        m_skipCount = state().unicodeSkip;
    } else {
        return false;
    }
    return true;
}

bool RtfParser::destinationWord(Id id)
{
    if (!RtfKeywords::isDestination(id))
        return false;
    // Text so far goes in with the tables and the state it was read in.
    flushText();
    GroupState& s = state();
    if (id == Id::fonttbl) {
        s.destination = Destination::FontTable;
        forgetFormats();
    } else if (id == Id::colortbl) {
        s.destination = Destination::ColorTable;
        forgetFormats();
        m_tables.colors.clear();
    } else if (id == Id::pict) {
        s.destination = Destination::Picture;
        m_pictures.push_back(RtfPicture());
    } else if (id == Id::pn) {
        s.destination = Destination::Bullet;
    } else if (id == Id::footnote) {
        keepFootnote();
    } else if (id == Id::stylesheet) {
        // Paragraphs took their styles' formatting when they named them: a later
        // style sheet cannot change it, and is not read.
        s.destination = m_styleSheetRead ? Destination::Skip : Destination::StyleSheet;
        m_styleSheetRead = true;
        forgetFormats();
    } else if (id == Id::listtable || id == Id::listoverridetable) {
        s.destination = Destination::ListTables;
    } else if (id == Id::field) {
        m_fields.push_back({m_stack.size(), QString()});
    } else if (id == Id::fldinst) {
        s.destination = Destination::FieldInstruction;
    } else if (id == Id::fldrslt) {
        // The field's shown text; a hyperlink's text links to its target.
        if (!m_fields.empty()) {
            const QString target = RtfFormats::hyperlinkTarget(m_fields.back().instruction);
            if (!target.isEmpty()) {
                m_tables.links.append(target);
                s.chr.link = int(m_tables.links.size());
            }
        }
    } else if (id == Id::shp || id == Id::shpgrp) {
        m_shapes.push_back({m_stack.size()});
    } else if (id == Id::shpinst) {
        s.destination = Destination::ShapeInstructions;
    } else if (id == Id::shprslt) {
        // What a shape looks like to readers without shapes: shown only when the
        // shape gave no picture of its own.
        if (!m_shapes.empty() && m_shapes.back().pictureShown) {
            s.destination = Destination::Skip;
        }
    } else if (id == Id::nesttableprops) {
        s.destination = Destination::NestedRowProperties;
    } else if (id == Id::shppict || id == Id::ud || id == Id::result) {
        // Destinations whose text is shown: known, so a leading \* does not skip them.
    } else if (RtfKeywords::isSkippedDestination(id)) {
        s.destination = Destination::Skip;
    } else {
        return false;
    }
    return true;
}

void RtfParser::keepFootnote()
{
    // The note is not shown, but its RTF stays with its number so saving keeps it.
    const QByteArray raw = m_tokens.takeGroup().toByteArray();
    state().destination = Destination::Skip;
    flushText();
    placeBlock();
    if (m_cursor.position() == 0 || m_footnotes == 0 || raw.size() > 1024 * 1024)
        return;
    QTextCursor number = m_cursor;
    number.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor);
    QTextCharFormat format;
    format.setProperty(RichTextProperty::FootnoteRtf, raw);
    number.mergeCharFormat(format);
}

void RtfParser::applyStyle(int style)
{
    GroupState& s = state();
    m_styleSheet.apply(style, s.chr, s.para, m_tables.defaultFont, false);
}

void RtfParser::oldListWord(const QByteArray& word)
{
    static const QHash<QByteArray, int> styles = {
        {"pnlvlblt", QTextListFormat::ListDisc},      {"pnlvlbody", QTextListFormat::ListDecimal},
        {"pnlvlcont", QTextListFormat::ListDecimal},  {"pndec", QTextListFormat::ListDecimal},
        {"pnucltr", QTextListFormat::ListUpperAlpha}, {"pnlcltr", QTextListFormat::ListLowerAlpha},
        {"pnucrm", QTextListFormat::ListUpperRoman},  {"pnlcrm", QTextListFormat::ListLowerRoman}};
    const auto style = styles.constFind(word);
    if (style == styles.cend())
        return;
    // The paragraph the numbering belongs to is outside this group.
    for (auto it = m_stack.rbegin(); it != m_stack.rend(); ++it) {
        if (it->destination == Destination::Bullet)
            continue;
        const bool bullet = it->para.oldListStyle == QTextListFormat::ListDisc;
        if (!bullet || word == "pnlvlblt")
            it->para.oldListStyle = *style;
        break;
    }
}

bool RtfParser::paragraphWord(Id id, int param)
{
    GroupState& s = state();
    // A style the style sheet does not have (yet) gives nothing, and is not kept.
    if (id == Id::s) {
        flushText();
        s.para.style = m_styleSheet.isParagraphStyle(param) ? param : -1;
        applyStyle(param);
    } else if (id == Id::cs) {
        flushText();
        s.chr.charStyle = m_styleSheet.isCharacterStyle(param) ? param : -1;
        applyStyle(param);
    } else if (id == Id::trowd) {
        flushText();
        // What follows a row's definition is in the row, even from writers that
        // leave out \intbl.
        m_rowColumns = 0;
        s.para.inTable = true;
    } else if (id == Id::cellx) {
        flushText();
        ++m_rowColumns;
    } else {
        ParaState para = s.para;
        if (!para.apply(id, param))
            return false;
        // Text so far belongs to the paragraph as it was.
        if (!(para == s.para))
            flushText();
        s.para = std::move(para);
    }
    return true;
}

bool RtfParser::specialCharacter(Id id)
{
    if (state().destination != Destination::Normal)
        return false;
    if (id == Id::par || id == Id::page || id == Id::sect) {
        endParagraph(true);
        return true;
    }
    if (id == Id::chftn) {
        // The footnote's number stands in the text; the note itself is not shown.
        unicodeText(QString::number(++m_footnotes));
        return true;
    }
    if (id == Id::cell || id == Id::nestcell) {
        endCell();
        return true;
    }
    if (id == Id::row || id == Id::nestrow) {
        flushText();
        m_tableBuilder.endRow();
        return true;
    }
    const char16_t symbol = RtfKeywords::symbol(id);
    if (symbol == 0)
        return false;
    unicodeText(QString(QChar(symbol)));
    return true;
}

void RtfParser::text(const char* data, qsizetype size)
{
    GroupState& s = state();
    switch (s.destination) {
    case Destination::Normal:
        for (qsizetype i = 0; i < size;) {
            // Runs of ASCII go in one piece unless a skipped or double-byte character is due.
            if (m_skipCount > 0 || m_expectTrail || uchar(data[i]) >= 0x80) {
                byte(data[i++]);
                continue;
            }
            qsizetype end = i + 1;
            while (end < size && uchar(data[end]) < 0x80)
                ++end;
            asciiText(QLatin1StringView(data + i, end - i));
            i = end;
        }
        return;
    case Destination::FontTable:
    case Destination::ColorTable:
    case Destination::FieldInstruction:
    case Destination::StyleSheet:
        for (qsizetype i = 0; i < size; ++i)
            byte(data[i]);
        return;
    case Destination::Picture:
        if (!m_pictures.empty())
            m_pictures.back().hex.append(data, size);
        return;

    case Destination::ShapePropertyName:
        if (m_shapeProperty.size() < 64)
            m_shapeProperty.append(data, size);
        return;

    default:
        return;
    }
}

void RtfParser::byte(char b)
{
    GroupState& s = state();
    if (consumingSkippedCharacter())
        return;
    if (s.destination == Destination::ColorTable) {
        if (b == ';') {
            m_tables.colors.append(
                m_colorSeen
                    ? QColor(qBound(0, m_red, 255), qBound(0, m_green, 255), qBound(0, m_blue, 255))
                    : QColor());
            m_red = m_green = m_blue = 0;
            m_colorSeen = false;
        }
        return;
    }
    if (s.destination == Destination::FontTable) {
        m_fontTable.nameByte(b, m_codePage);
        return;
    }
    if (s.destination == Destination::FieldInstruction) {
        fieldInstruction(CodePage::decode(m_codePage, QByteArray(1, b)));
        return;
    }
    if (s.destination == Destination::StyleSheet) {
        // Style names may be in any code page, and have double-byte characters.
        if (b == ';') {
            flushBytes();
            m_styleSheet.endStyle();
        } else {
            m_pendingBytes.append(b);
        }
        return;
    }
    if (s.destination != Destination::Normal)
        return;
    if (m_expectTrail) {
        // The second byte of a double-byte character may look like ASCII.
        m_pendingBytes.append(b);
        m_expectTrail = false;
        return;
    }
    if (uchar(b) < 0x80) {
        asciiText(QLatin1StringView(&b, 1));
    } else {
        m_pendingBytes.append(b);
        m_expectTrail =
            CodePage::isLeadByte(m_fontTable.codePageFor(s.chr.font, m_codePage), uchar(b));
    }
}

void RtfParser::asciiText(QLatin1StringView text)
{
    if (!m_pendingBytes.isEmpty())
        flushBytes();
    pendingFormat();
    m_pendingText += text;
}

void RtfParser::pendingFormat()
{
    const GroupState& s = state();
    if (!m_pendingText.isEmpty() && !m_pendingFormat.sameLook(s.chr))
        flushText();
    if (m_pendingText.isEmpty()) {
        m_pendingFormat = s.chr;
        if (!m_styleAtText)
            m_styleAtText = s.para.style;
    }
}

void RtfParser::fieldInstruction(const QString& text)
{
    if (!m_fields.empty() && m_fields.back().instruction.size() < 4096)
        m_fields.back().instruction += text;
}

void RtfParser::flushBytes()
{
    m_expectTrail = false;
    if (m_pendingBytes.isEmpty())
        return;
    if (state().destination == Destination::StyleSheet) {
        m_styleSheet.name(CodePage::decode(m_codePage, m_pendingBytes));
        m_pendingBytes.clear();
        return;
    }
    const QByteArray bytes = m_pendingBytes;
    m_pendingBytes.clear();
    unicodeText(CodePage::decode(m_fontTable.codePageFor(state().chr.font, m_codePage), bytes));
}

void RtfParser::unicodeText(const QString& s)
{
    GroupState& st = state();
    if (st.destination == Destination::FontTable) {
        m_fontTable.nameText(s, m_codePage);
        return;
    }
    if (st.destination == Destination::FieldInstruction) {
        fieldInstruction(s); // a link's target may have characters of any kind
        return;
    }
    if (st.destination == Destination::StyleSheet) {
        flushBytes();
        m_styleSheet.name(s);
        return;
    }
    if (st.destination != Destination::Normal)
        return;
    if (!m_pendingBytes.isEmpty()) {
        const QByteArray bytes = m_pendingBytes;
        m_pendingBytes.clear();
        unicodeText(CodePage::decode(m_fontTable.codePageFor(st.chr.font, m_codePage), bytes));
    }
    pendingFormat();
    m_pendingText += s;
}

void RtfParser::flushPending()
{
    if (state().destination == Destination::FontTable)
        m_fontTable.flush(m_codePage);
    if (!m_pendingBytes.isEmpty())
        flushBytes();
}

void RtfParser::flushText()
{
    flushPending();
    if (m_pendingText.isEmpty())
        return;
    enterTables();
    m_cursor.insertText(m_pendingText, m_formats.charFormat(m_pendingFormat));
    m_pendingText.resize(0); // keeping its room for the next run
}

ParaState RtfParser::endingParagraph()
{
    // The paragraph's style is the one named when its text began: some writers
    // name the paragraph's style again in each run of its text, others another
    // style in a group of their own around the paragraph mark, and readers take
    // the first.
    ParaState p = state().para;
    if (m_styleAtText && *m_styleAtText != p.style && *m_styleAtText >= 0) {
        // With that style's formatting, in the table the paragraph ends in.
        const bool inTable = p.inTable;
        const int nesting = p.nesting;
        p.style = *m_styleAtText;
        CharState unused;
        m_styleSheet.apply(p.style, unused, p, m_tables.defaultFont, false);
        p.inTable = inTable;
        p.nesting = nesting;
    }
    m_styleAtText.reset();
    return p;
}

void RtfParser::endParagraph(bool newBlock)
{
    flushText();
    if (!newBlock && !m_wholeDocument)
        return;
    placeBlock();
    // The document ending right after a row ends its tables, not a new row.
    if (!newBlock && m_tableBuilder.rowJustEnded())
        m_tableBuilder.enter(0, 0);
    else
        enterTables();
    formatParagraph();
    if (newBlock) {
        // The next paragraph's block is made when its text comes, with the format
        // the paragraph has then: it mostly keeps it, and needs no second change.
        m_blockDue = true;
        m_blockDueFormat = m_formats.charFormat(state().chr);
    }
}

void RtfParser::placeBlock()
{
    if (!m_blockDue)
        return;
    m_blockDue = false;
    // Inserted text leaves the paragraph it ends in as it was.
    m_placedFormat = m_wholeDocument ? m_formats.blockFormat(state().para) : QTextBlockFormat();
    m_cursor.insertBlock(m_placedFormat, m_blockDueFormat);
    m_placedBlock = m_cursor.block();
}

void RtfParser::enterTables()
{
    placeBlock();
    m_tableBuilder.enter(state().para.tableDepth(), m_rowColumns);
}

void RtfParser::endCell()
{
    // The cell's last paragraph ends with the cell, not with a paragraph mark.
    flushText();
    placeBlock();
    // A cell's end says its paragraph is in a table, \intbl or not.
    m_tableBuilder.enter(qMax(1, state().para.tableDepth()), m_rowColumns);
    formatParagraph();
    m_tableBuilder.endCell();
}

void RtfParser::formatParagraph()
{
    placeBlock();
    const ParaState p = endingParagraph();
    const QTextBlockFormat format = m_formats.blockFormat(p);
    if (m_cursor.block() != m_placedBlock || format != m_placedFormat)
        m_cursor.setBlockFormat(format);
    m_placedBlock = QTextBlock();
    if (p.listOverride > 0)
        m_listTable.addParagraph(m_cursor, p.listOverride, p.listLevel);
    else if (p.oldListStyle != 0)
        m_listTable.addOldStyleParagraph(m_cursor, QTextListFormat::Style(p.oldListStyle),
                                         m_previousWasOldList);
    m_previousWasOldList = p.listOverride == 0 && p.oldListStyle != 0;
    // A list item's hanging indent is where its bullet stands before the text.
    if ((p.listOverride > 0 || p.oldListStyle != 0) && p.first <= 0 &&
        m_cursor.block().textList()) {
        QTextBlockFormat format = m_cursor.blockFormat();
        format.setProperty(RichTextProperty::BulletIndent, -p.first);
        format.setTextIndent(0);
        format.setLeftMargin(Twips::toPixels(p.left + p.first + bulletRoom(-p.first)));
        m_cursor.setBlockFormat(format);
    }
}

void RtfParser::finishPicture(const RtfPicture& picture)
{
    // The picture is part of its run: saving writes it with the run's formatting.
    QTextCharFormat format = m_formats.charFormat(state().chr);
    format.merge(picture.addTo(m_cursor.document(), ++m_imageCount));
    enterTables();
    if (!m_styleAtText)
        m_styleAtText = state().para.style;
    m_cursor.insertImage(format.toImageFormat());
    for (Shape& shape : m_shapes)
        shape.pictureShown = true;
}
