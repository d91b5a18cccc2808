#include "rtfstylesheet.h"

#include "rtfkeywords.h"

namespace {
constexpr int MaxStyles = 10000;
constexpr int MaxWordsPerStyle = 200;
constexpr int MaxBaseDepth = 16; // a style based on itself, or on a circle of others
} // namespace

void RtfStyleSheet::word(const QByteArray& word, bool hasParam, int param)
{
    if (word == "s" || word == "cs" || word == "ds" || word == "ts") {
        m_currentNumber = param;
        m_current.kind = word == "s" ? 's' : word == "cs" ? 'c' : 'o';
    } else if (word == "sbasedon") {
        m_current.basedOn = param;
    } else if (m_current.words.size() < MaxWordsPerStyle) {
        m_current.words.append({word, hasParam, param});
    }
}

void RtfStyleSheet::name(const QString& text)
{
    constexpr qsizetype MaxName = 256;
    m_current.name += text.left(MaxName - m_current.name.size());
}

bool RtfStyleSheet::isParagraphStyle(int style) const
{
    auto it = m_styles.constFind(style);
    return it != m_styles.cend() && it->kind == 's';
}

bool RtfStyleSheet::isCharacterStyle(int style) const
{
    auto it = m_styles.constFind(style);
    return it != m_styles.cend() && it->kind == 'c';
}

QString RtfStyleSheet::nameOf(int style) const
{
    return m_styles.value(style).name.trimmed();
}

QStringList RtfStyleSheet::ownPropertiesOf(int style) const
{
    QStringList properties;
    for (const Word& w : m_styles.value(style).words) {
        const QString property = QString::fromLatin1(RtfKeywords::property(w.word));
        if (!property.isEmpty() && !properties.contains(property))
            properties.append(property);
    }
    return properties;
}

QList<int> RtfStyleSheet::chainOf(int style) const
{
    QList<int> chain;
    for (int s = style;
         s >= 0 && m_styles.contains(s) && !chain.contains(s) && chain.size() < MaxBaseDepth;
         s = m_styles.value(s).basedOn)
        chain.append(s);
    return chain;
}

bool RtfStyleSheet::isBasedOnItself(int style) const
{
    auto it = m_styles.constFind(style);
    return it != m_styles.cend() && it->basedOn == style;
}

void RtfStyleSheet::endStyle()
{
    m_resolved.clear();
    if (m_styles.size() < MaxStyles)
        m_styles.insert(m_currentNumber, m_current);
    m_current = Style();
    m_currentNumber = 0;
}

QList<RtfStyleSheet::Word> RtfStyleSheet::wordsOf(int style) const
{
    const QList<int> chain = chainOf(style);
    QList<Word> words;
    for (auto s = chain.crbegin(); s != chain.crend(); ++s)
        words += m_styles.value(*s).words;
    return words;
}

void RtfStyleSheet::apply(int style, CharState& chr, ParaState& para, int defaultFont,
                          bool given) const
{
    const bool fontGiven = chr.fontGiven, sizeGiven = chr.sizeGiven, colorGiven = chr.colorGiven;
    // Which text the words are for is the style's own business.
    const bool rightToLeft = chr.rightToLeft, doubleByte = chr.doubleByte;
    auto resolved = m_resolved.constFind(style);
    if (resolved == m_resolved.cend())
        resolved = m_resolved.insert(style, wordsOf(style));
    for (const Word& w : *resolved) {
        if (!chr.apply(w.id, w.hasParam, w.param, defaultFont))
            para.apply(w.id, w.param);
    }
    chr.rightToLeft = rightToLeft;
    chr.doubleByte = doubleByte;
    if (!given) {
        chr.fontGiven = fontGiven;
        chr.sizeGiven = sizeGiven;
        chr.colorGiven = colorGiven;
    }
}
