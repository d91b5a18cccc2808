#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QStringList>
#include <QTextFormat>
#include <QVariantList>

class QTextBlock;
class RtfFormatWriter;

// The paragraph and character styles the document's paragraphs and runs came
// with, as an RTF style sheet: each style after the one it is based on, keeping
// its number unless another style took it.
class RtfStyleWriter {
public:
    // The style's number, or -1 for none.
    int paragraphStyle(const QTextBlock& block);
    int characterStyle(const QTextCharFormat& format);
    bool isEmpty() const { return m_styles.isEmpty(); }
    // What a run of this format has before its own words, in a paragraph whose
    // style gives `paragraphStyle`: that and what the run's character style sets.
    static QTextCharFormat runBase(const QTextCharFormat& paragraphStyle,
                                   const QTextCharFormat& format);
    // Puts the fonts and colours the styles use in the tables.
    void addToTables(RtfFormatWriter& formats) const;
    void write(QByteArray& out, RtfFormatWriter& formats) const;

private:
    struct Style {
        int number;
        QString name;
        QTextCharFormat chr;
        QTextBlockFormat block;
        int parent; // index of the style it is based on, -1 for none
        int original;
        QStringList own; // the properties the style's own words set
        bool basedOnItself;
        bool character;
    };
    int styleNumber(const QVariantList& chain, bool character);

    QList<Style> m_styles;
    QHash<int, int> m_styleOfFormat; // block format index → style number, -1 for none
    int m_nextNumber = 0;
};
