#include "rtfformatcache.h"

#include "richtextproperties.h"
#include "rtfformats.h"

namespace {
// Each insertion looks its format up in the document by its hash, on a copy of
// its own; a format compared once keeps its hash, and so do its copies.
void primeHash(const QTextFormat& format)
{
    QTextFormat other(format.type());
    other.setProperty(QTextFormat::UserProperty, true);
    (void)(format == other);
}
} // namespace

void RtfFormatCache::clear()
{
    m_formats.clear();
    m_styleFormats.clear();
    m_lastPara.reset();
}

QTextCharFormat RtfFormatCache::charFormat(const CharState& c)
{
    auto cached = m_formats.constFind(c);
    if (cached != m_formats.cend())
        return *cached;
    QTextCharFormat format = RtfFormats::charFormat(c, m_tables);
    if (c.charStyle >= 0 && m_sheet.isCharacterStyle(c.charStyle))
        format.setProperty(RichTextProperty::CharStyleChain, m_styleFormats.chain(c.charStyle));
    primeHash(format);
    if (m_formats.size() < 4096)
        m_formats.insert(c, format);
    return format;
}

QTextBlockFormat RtfFormatCache::blockFormat(const ParaState& p)
{
    // Paragraphs mostly repeat the one before them.
    if (!m_lastPara || !(p == *m_lastPara)) {
        m_lastPara = p;
        m_lastBlockFormat = RtfFormats::blockFormat(p);
        if (p.style >= 0)
            m_styleFormats.addTo(m_lastBlockFormat, p.style);
        primeHash(m_lastBlockFormat);
    }
    return m_lastBlockFormat;
}
