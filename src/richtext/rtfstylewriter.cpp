#include "rtfstylewriter.h"

#include "richtextproperties.h"
#include "rtfformatwriter.h"
#include "rtfkeywords.h"
#include "rtftokenizer.h"
#include "rtfwriter.h"

#include <QTextBlock>

int RtfStyleWriter::paragraphStyle(const QTextBlock& block)
{
    auto cached = m_styleOfFormat.constFind(block.blockFormatIndex());
    if (cached != m_styleOfFormat.cend())
        return *cached;
    const int number =
        styleNumber(block.blockFormat().property(RichTextProperty::StyleChain).toList(), false);
    m_styleOfFormat.insert(block.blockFormatIndex(), number);
    return number;
}

int RtfStyleWriter::characterStyle(const QTextCharFormat& format)
{
    if (!format.hasProperty(RichTextProperty::CharStyleChain))
        return -1;
    return styleNumber(format.property(RichTextProperty::CharStyleChain).toList(), true);
}

int RtfStyleWriter::styleNumber(const QVariantList& chain, bool character)
{
    // The styles it is based on first.
    int parent = -1;
    for (auto it = chain.crbegin(); it != chain.crend(); ++it) {
        const QVariantList entry = it->toList();
        if (entry.size() != 6)
            break;
        Style style{entry[0].toInt(),
                    entry[1].toString(),
                    entry[2].value<QTextFormat>().toCharFormat(),
                    entry[3].value<QTextFormat>().toBlockFormat(),
                    parent,
                    entry[0].toInt(),
                    entry[4].toStringList(),
                    entry[5].toBool(),
                    character};
        qsizetype index = -1;
        for (qsizetype i = 0; i < m_styles.size() && index < 0; ++i) {
            const Style& known = m_styles[i];
            if (known.original == style.original && known.name == style.name &&
                known.chr == style.chr && known.block == style.block && known.parent == parent &&
                known.own == style.own && known.basedOnItself == style.basedOnItself &&
                known.character == character)
                index = i;
        }
        if (index < 0) {
            for (const Style& known : std::as_const(m_styles))
                if (known.number == style.number)
                    style.number = m_nextNumber;
            m_nextNumber = qMax(m_nextNumber, style.number + 1);
            m_styles.append(style);
            index = m_styles.size() - 1;
        }
        parent = int(index);
    }
    return parent >= 0 ? m_styles[parent].number : -1;
}

QTextCharFormat RtfStyleWriter::runBase(const QTextCharFormat& paragraphStyle,
                                        const QTextCharFormat& format)
{
    // The format properties each of the style's words (RtfKeywords::property) sets;
    // fonts and sizes are written against what the text got them from instead.
    static const QHash<QString, QList<int>> properties = {
        {"b", {QTextFormat::FontWeight}},
        {"i", {QTextFormat::FontItalic}},
        {"ul", {QTextFormat::FontUnderline, QTextFormat::TextUnderlineStyle}},
        {"strike", {QTextFormat::FontStrikeOut}},
        {"cf", {QTextFormat::ForegroundBrush, RichTextProperty::AutomaticColor}},
        {"highlight", {QTextFormat::BackgroundBrush, RichTextProperty::BackgroundWords}},
        {"cb", {QTextFormat::BackgroundBrush, RichTextProperty::BackgroundWords}},
        {"chcbpat", {QTextFormat::BackgroundBrush, RichTextProperty::BackgroundWords}},
        {"caps", {QTextFormat::FontCapitalization}},
        {"scaps", {QTextFormat::FontCapitalization}},
        {"v", {RichTextProperty::HiddenText}},
        {"protect", {RichTextProperty::Protected}},
        {"up", {RichTextProperty::CharOffsetTwips, QTextFormat::TextBaselineOffset}},
        {"super", {QTextFormat::TextVerticalAlignment}},
        {"associated",
         {RichTextProperty::ComplexFont, RichTextProperty::ComplexSize,
          RichTextProperty::ComplexBold, RichTextProperty::ComplexItalic,
          RichTextProperty::AsianFont}}};
    const QVariantList chain = format.property(RichTextProperty::CharStyleChain).toList();
    if (chain.isEmpty())
        return paragraphStyle;
    const QTextCharFormat style =
        chain.first().toList().value(2).value<QTextFormat>().toCharFormat();
    QStringList set;
    for (const QVariant& entry : chain)
        set += entry.toList().value(4).toStringList();
    if (set.contains(QStringLiteral("plain")))
        set = properties.keys() << QStringLiteral("plain");
    QTextCharFormat base = paragraphStyle;
    // Words for right-to-left and East Asian text may only say which text the
    // next words are for: their properties count where given.
    const bool reset = set.contains(QStringLiteral("plain"));
    for (const QString& name : std::as_const(set)) {
        for (int property : properties.value(name)) {
            if (style.hasProperty(property))
                base.setProperty(property, style.property(property));
            else if (name != QStringLiteral("associated") || reset)
                base.clearProperty(property);
        }
    }
    return base;
}

void RtfStyleWriter::addToTables(RtfFormatWriter& formats) const
{
    for (const Style& style : m_styles)
        formats.addToTables(style.chr);
}

void RtfStyleWriter::write(QByteArray& out, RtfFormatWriter& formats) const
{
    if (m_styles.isEmpty())
        return;
    out += "{\\stylesheet";
    for (const Style& style : m_styles) {
        out += (style.character ? "\n{\\*\\cs" : "\n{\\s") + QByteArray::number(style.number);
        if (style.parent >= 0 || style.basedOnItself)
            out +=
                "\\sbasedon" + QByteArray::number(style.parent >= 0 ? m_styles[style.parent].number
                                                                    : style.number);
        // The words the style had of its own, with the values they come to: the
        // paragraph's words against the style it is based on, less the others.
        QByteArray all;
        QTextBlockFormat block = style.block;
        block.setProperty(
            RichTextProperty::StyleBlockFormat,
            QTextFormat(style.parent >= 0 ? m_styles[style.parent].block : QTextBlockFormat()));
        if (!style.character)
            formats.writeBlockFormat(all, block, nullptr, 0);
        formats.writeCharFormat(all, style.chr,
                                style.parent >= 0 ? m_styles[style.parent].chr : QTextCharFormat());
        QHash<QByteArray, QByteArray> wordsOf; // property → the words that set it
        RtfTokenizer words(all);
        for (auto token = words.next(); token != RtfTokenizer::Token::End; token = words.next()) {
            if (token == RtfTokenizer::Token::Word)
                wordsOf[RtfKeywords::property(words.word())] +=
                    '\\' + words.word() +
                    (words.hasParam() ? QByteArray::number(words.param()) : QByteArray());
        }
        // In the style's own order; a word that set what is the default anyway
        // still says so.
        for (const QString& property : style.own) {
            const QByteArray name = property.toLatin1();
            out += wordsOf.value(name, RtfKeywords::resetWord(name));
        }
        out += ' ' + RtfWriter::escape(style.name) + ";}";
    }
    out += "}\n";
}
