#pragma once

#include "rtfstate.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QStringList>

// Reads an RTF font table: each font's number, name and code page, and the
// order the table gives them in.
class RtfFontTable {
public:
    explicit RtfFontTable(QHash<int, FontEntry>& fonts) : m_fonts(fonts) {}

    // A word of the table's groups; false for words that say nothing of fonts.
    bool word(const QByteArray& word, int param, int ansiCodePage);
    // A font's name comes byte by byte, in the font's code page or the document's,
    // and as text; a semicolon ends it. Groups inside it take the bytes so far.
    void nameByte(char byte, int ansiCodePage);
    void nameText(const QString& text, int ansiCodePage);
    void flush(int ansiCodePage);
    // The code page of text in the font.
    int codePageFor(int font, int ansiCodePage) const;
    // The names of the first fonts, in the table's order.
    QStringList names(qsizetype count) const;

private:
    void endName(int ansiCodePage);

    QHash<int, FontEntry>& m_fonts;
    QList<int> m_order;
    int m_current = 0;
    QByteArray m_pending;
};
