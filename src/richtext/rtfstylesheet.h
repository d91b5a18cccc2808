#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>

// The styles of an RTF style sheet: the formatting words of each, so that a
// paragraph naming a style gets that formatting before its own.
class RtfStyleSheet {
public:
    struct Word {
        QByteArray word;
        bool hasParam;
        int param;
    };

    // The words of the style sheet's groups, in order; ";" ends a style.
    void word(const QByteArray& word, bool hasParam, int param);
    void endStyle();
    // The style's words with those of the styles it is based on first.
    QList<Word> wordsOf(int style) const;

private:
    struct Style {
        int basedOn = -1;
        QList<Word> words;
    };
    QHash<int, Style> m_styles;
    Style m_current;
    int m_currentNumber = 0;
};
