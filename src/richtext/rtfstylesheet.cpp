#include "rtfstylesheet.h"

namespace {
constexpr int MaxStyles = 10000;
constexpr int MaxWordsPerStyle = 200;
constexpr int MaxBaseDepth = 16; // a style based on itself, or on a circle of others
} // namespace

void RtfStyleSheet::word(const QByteArray& word, bool hasParam, int param)
{
    if (word == "s" || word == "cs" || word == "ds" || word == "ts")
        m_currentNumber = param;
    else if (word == "sbasedon")
        m_current.basedOn = param;
    else if (m_current.words.size() < MaxWordsPerStyle)
        m_current.words.append({word, hasParam, param});
}

void RtfStyleSheet::endStyle()
{
    if (m_styles.size() < MaxStyles)
        m_styles.insert(m_currentNumber, m_current);
    m_current = Style();
    m_currentNumber = 0;
}

QList<RtfStyleSheet::Word> RtfStyleSheet::wordsOf(int style) const
{
    QList<int> chain;
    for (int s = style;
         s >= 0 && m_styles.contains(s) && !chain.contains(s) && chain.size() < MaxBaseDepth;
         s = m_styles.value(s).basedOn)
        chain.prepend(s);
    QList<Word> words;
    for (int s : chain)
        words += m_styles.value(s).words;
    return words;
}
