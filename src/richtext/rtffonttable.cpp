#include "rtffonttable.h"

#include "codepage.h"

bool RtfFontTable::word(const QByteArray& word, int param, int ansiCodePage)
{
    if (word == "f") {
        endName(ansiCodePage);
        m_current = param;
        if (!m_fonts.contains(param))
            m_order.append(param);
        m_fonts[param];
    } else if (word == "fcharset") {
        if (const int cp = CodePage::fromCharset(param))
            m_fonts[m_current].codePage = cp;
    } else if (word == "cpg" && param > 0) {
        m_fonts[m_current].codePage = param;
    } else {
        return false;
    }
    return true;
}

void RtfFontTable::nameByte(char byte, int ansiCodePage)
{
    if (byte == ';')
        endName(ansiCodePage);
    else
        m_pending.append(byte);
}

void RtfFontTable::nameText(const QString& text, int ansiCodePage)
{
    flush(ansiCodePage); // the bytes before it come first
    m_fonts[m_current].name += text;
}

void RtfFontTable::endName(int ansiCodePage)
{
    flush(ansiCodePage);
    auto it = m_fonts.find(m_current);
    if (it != m_fonts.end())
        it->name = it->name.trimmed();
}

void RtfFontTable::flush(int ansiCodePage)
{
    if (m_pending.isEmpty())
        return;
    FontEntry& font = m_fonts[m_current];
    font.name += CodePage::decode(font.codePage ? font.codePage : ansiCodePage, m_pending);
    m_pending.clear();
}

int RtfFontTable::codePageFor(int font, int ansiCodePage) const
{
    auto it = m_fonts.constFind(font);
    return it != m_fonts.cend() && it->codePage ? it->codePage : ansiCodePage;
}

QStringList RtfFontTable::names(qsizetype count) const
{
    QStringList names;
    for (int number : m_order.first(qMin(count, m_order.size())))
        names.append(m_fonts.value(number).name.trimmed());
    return names;
}
