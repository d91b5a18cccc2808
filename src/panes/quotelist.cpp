#include "quotelist.h"

#include <QStringMatcher>
#include <algorithm>

void QuoteList::setText(QString text)
{
    m_text = std::move(text);
    m_spans.clear();
    const QChar* data = m_text.constData();
    const qsizetype size = m_text.size();
    qsizetype start = 0;
    while (start < size) {
        const QChar* end = std::find(data + start, data + size, u'\n');
        const qsizetype length = (end - data) - start;
        if (length > 0)
            m_spans.append({start, length});
        start += length + 1;
    }
    m_spans.squeeze();
}

QStringView QuoteList::quoteView(int index) const
{
    if (index < 0 || index >= count())
        return {};
    const Span& span = m_spans.at(index);
    return QStringView(m_text).mid(span.start, span.length);
}

QString QuoteList::shownText(int index) const
{
    const QStringView whole = quoteView(index);
    if (whole.size() <= MaxShownLength)
        return whole.toString();
    qsizetype keep = MaxShownLength - 1;
    // Never half a surrogate pair.
    if (whole.at(keep - 1).isHighSurrogate())
        --keep;
    return whole.left(keep).toString() + u'…';
}

void QuoteList::startSearch(const QString& search)
{
    QuoteSearch = search;
    QuoteIndex = -1;
}

int QuoteList::findNext()
{
    const int n = count();
    if (QuoteIndex < n - 1)
        ++QuoteIndex;
    else
        QuoteIndex = 0;
    if (QuoteIndex >= n)
        return -1;
    // Quotes are single lines: a search across a line end finds none. Otherwise
    // one pass over the text from the quote on finds the match, and the quote
    // holding it is where the match begins (all between quotes is line ends).
    qsizetype at = -1;
    if (!QuoteSearch.contains(u'\n')) {
        const QStringMatcher matcher(QuoteSearch, Qt::CaseInsensitive);
        at = matcher.indexIn(QStringView(m_text), m_spans.at(QuoteIndex).start);
    }
    if (at < 0) {
        QuoteIndex = n;
        return -1;
    }
    const auto next = std::upper_bound(m_spans.cbegin() + QuoteIndex, m_spans.cend(), at,
                                       [](qsizetype pos, const Span& s) { return pos < s.start; });
    QuoteIndex = int(next - m_spans.cbegin()) - 1;
    return QuoteIndex;
}

int QuoteList::randomIndex(double r, int count)
{
    if (count <= 0)
        return -1;
    return std::clamp(int(r * count), 0, count - 1);
}
