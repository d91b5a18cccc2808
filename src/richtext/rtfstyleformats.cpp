#include "rtfstyleformats.h"

#include "richtextproperties.h"
#include "rtfformats.h"

void RtfStyleFormats::clear()
{
    m_chains.clear();
    m_paragraphFormats.clear();
}

QVariantList RtfStyleFormats::chain(int style)
{
    auto it = m_chains.constFind(style);
    if (it != m_chains.cend())
        return *it;
    QVariantList chain;
    for (int s : m_sheet.chainOf(style)) {
        CharState chr;
        chr.font = m_tables.defaultFont;
        ParaState para;
        m_sheet.apply(s, chr, para, m_tables.defaultFont, true);
        chain.append(QVariant(
            QVariantList{s, m_sheet.nameOf(s), QTextFormat(RtfFormats::charFormat(chr, m_tables)),
                         QTextFormat(RtfFormats::blockFormat(para)), m_sheet.ownPropertiesOf(s),
                         m_sheet.isBasedOnItself(s)}));
    }
    return *m_chains.insert(style, chain);
}

void RtfStyleFormats::addTo(QTextBlockFormat& format, int style)
{
    if (!m_sheet.isParagraphStyle(style))
        return;
    auto it = m_paragraphFormats.constFind(style);
    if (it == m_paragraphFormats.cend()) {
        CharState chr;
        chr.font = m_tables.defaultFont;
        ParaState para;
        m_sheet.apply(style, chr, para, m_tables.defaultFont, true);
        QTextBlockFormat styled = RtfFormats::blockFormat(para);
        styled.setProperty(RichTextProperty::StyleChain, chain(style));
        styled.setProperty(RichTextProperty::StyleCharFormat,
                           QTextFormat(RtfFormats::charFormat(chr, m_tables)));
        it = m_paragraphFormats.insert(style, styled);
    }
    format.setProperty(RichTextProperty::StyleChain, it->property(RichTextProperty::StyleChain));
    format.setProperty(RichTextProperty::StyleCharFormat,
                       it->property(RichTextProperty::StyleCharFormat));
    QTextBlockFormat flat = *it;
    flat.clearProperty(RichTextProperty::StyleChain);
    flat.clearProperty(RichTextProperty::StyleCharFormat);
    format.setProperty(RichTextProperty::StyleBlockFormat, QTextFormat(flat));
}
