#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// The quotes of a quotes file, one per non-empty line in file order, and the
// state of the search through them. The quotes stay in the file's one text,
// found by their place in it: a million quotes load and search at the speed
// of the text, not of a million strings.
class QuoteList {
public:
    // What the list and its tool tips show of one quote at most.
    static constexpr qsizetype MaxShownLength = 1000;

    // Every non-empty line of the text ('\n' ends lines) becomes a quote, exactly as written.
    void setText(QString text);
    void clear() { setText(QString()); }

    int count() const { return int(m_spans.size()); }
    QString quote(int index) const { return quoteView(index).toString(); }
    QStringView quoteView(int index) const;
    // The quote, cut to MaxShownLength characters with "…" as the last when longer.
    QString shownText(int index) const;

    // The last search text and where the last search stopped (-1: before the first quote).
    QString QuoteSearch;
    int QuoteIndex = 0;

    void startSearch(const QString& search);
    // Moves on to the next quote that contains QuoteSearch, letter case ignored,
    // wrapping to the first quote only from the last one. Returns its index, or
    // -1 when no quote is left before the end; QuoteIndex is then the count, so
    // the next search starts again at the top.
    int findNext();

    // The quote a random number 0 <= r < 1 picks; -1 when there are none.
    static int randomIndex(double r, int count);

private:
    struct Span {
        qsizetype start;
        qsizetype length;
    };
    QString m_text;
    QList<Span> m_spans;
};
