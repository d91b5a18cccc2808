#pragma once

#include "rtfstate.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// The styles of an RTF style sheet: the formatting words of each, so that a
// paragraph naming a style gets that formatting before its own.
class RtfStyleSheet {
public:
    struct Word {
        QByteArray word;
        bool hasParam;
        int param;
        RtfKeywords::Id id = RtfKeywords::find(word);
    };

    // The words of the style sheet's groups, in order, and the text of each
    // style's name; ";" ends a style.
    void word(const QByteArray& word, bool hasParam, int param);
    void name(const QString& text);
    void endStyle();
    bool isParagraphStyle(int style) const;
    bool isCharacterStyle(int style) const;
    QString nameOf(int style) const;
    // The properties (RtfKeywords::property) the style's own words set.
    QStringList ownPropertiesOf(int style) const;
    // The style and the styles it is based on, itself first.
    QList<int> chainOf(int style) const;
    // Some styles name themselves as the style they are based on; readers may
    // take that to mean they are based on no other, not even the default.
    bool isBasedOnItself(int style) const;

    // The style's words with those of the styles it is based on first.
    QList<Word> wordsOf(int style) const;
    // Gives the character and paragraph state the style's formatting. Text takes
    // its style's font, size and colour, but unless `given` they stay the
    // style's: not the text's own.
    void apply(int style, CharState& chr, ParaState& para, int defaultFont, bool given) const;

private:
    struct Style {
        int basedOn = -1;
        char kind = 's'; // s paragraph, c character, o any other
        QString name;
        QList<Word> words;
    };
    QHash<int, Style> m_styles;
    // Each style's words with its bases', found once: paragraphs name their
    // style over and over.
    mutable QHash<int, QList<Word>> m_resolved;
    Style m_current;
    int m_currentNumber = 0;
};
