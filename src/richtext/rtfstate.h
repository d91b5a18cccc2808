#pragma once

#include "rtfkeywords.h"

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QHashFunctions>
#include <QList>
#include <QString>
#include <QStringList>

// What the RTF reader keeps while it reads: the destination of each group and
// the character and paragraph properties in force.
enum class Destination {
    Normal,
    Skip,
    FontTable,
    ColorTable,
    Picture,
    Bullet,
    ListTables,
    StyleSheet,
    SkipUnlessUd,
    NestedRowProperties,
    FieldInstruction,
    ShapeInstructions,
    ShapePropertyName
};

struct Field {
    size_t depth; // the stack size while inside the field's own group
    QString instruction;
};

struct Shape {
    size_t depth;              // the stack size while inside the shape's own group
    bool pictureShown = false; // its result then only repeats the picture
};

struct CharState {
    int font = 0; // the default font, unless the header names another
    int halfPoints = 24;
    bool fontGiven = false, sizeGiven = false; // or the document's defaults
    bool bold = false, italic = false, underline = false, strike = false;
    bool hidden = false, protect = false, caps = false, smallCaps = false;
    int color = 0;
    bool colorGiven = false; // \cf said even of the automatic colour, not from a style
    int highlight = 0, cellBackground = 0, shading = 0; // \highlight, \cb, \chcbpat
    int offsetTwips = 0;
    int script = 0;     // 1 superscript, 2 subscript
    int link = 0;       // 1-based index of the hyperlink's target
    int charStyle = -1; // \cs
    // Right-to-left and East Asian text have fonts of their own, and right-to-left
    // text its own size, bold and italic: -1 (0 for the size) where not given.
    int complexFont = -1, complexHalfPoints = 0, complexBold = -1, complexItalic = -1;
    int asianFont = -1;
    // Which text the next words are for: \rtlch's, or \dbch's, or the rest.
    bool rightToLeft = false, doubleByte = false;
    // Sets what a character formatting word says; false for other words. \plain
    // starts again from the default font.
    bool apply(RtfKeywords::Id word, bool hasParam, int param, int defaultFont);
    bool operator==(const CharState&) const = default;
    // Whether text in either state looks the same: which text the next words are
    // for is no part of the look.
    bool sameLook(const CharState& other) const
    {
        if (rightToLeft == other.rightToLeft && doubleByte == other.doubleByte)
            return *this == other;
        CharState same = other;
        same.rightToLeft = rightToLeft;
        same.doubleByte = doubleByte;
        return *this == same;
    }
};

// A plain sum of the parts: states differ in a part or two, equal ones are compared
// in full anyway, and the reader looks them up for every run of text.
inline size_t qHash(const CharState& c, size_t hashStart = 0)
{
    const int flags = c.fontGiven | c.sizeGiven << 1 | c.bold << 2 | c.italic << 3 |
                      c.underline << 4 | c.strike << 5 | c.hidden << 6 | c.protect << 7 |
                      c.caps << 8 | c.smallCaps << 9 | c.colorGiven << 10 | c.rightToLeft << 11 |
                      c.doubleByte << 12;
    size_t h = hashStart;
    for (int part : {flags, c.font, c.halfPoints, c.color, c.highlight, c.cellBackground, c.shading,
                     c.offsetTwips, c.script, c.link, c.charStyle, c.complexFont,
                     c.complexHalfPoints, c.complexBold, c.complexItalic, c.asianFont})
        h = h * 31 + size_t(unsigned(part));
    return h ^ (h >> 17);
}

struct ParaState {
    int align = -1; // 0 left, 1 right, 2 centre, 3 justified; -1 not given
    int left = 0, right = 0, first = 0, before = 0, after = 0;
    int lineSpacing = 0; // twips: above 0 at least, below 0 exactly; with lineMultiple, 240ths
    bool lineMultiple = false;
    QList<int> tabs;
    int style = -1;       // \s, -1 for none
    int oldListStyle = 0; // a \pn paragraph's QTextListFormat::Style, 0 for none
    int listOverride = 0; // \ls
    int listLevel = 0;    // \ilvl
    bool inTable = false;
    int nesting = 0;
    int tableDepth() const { return inTable ? qMax(1, nesting) : 0; }
    // Sets what a paragraph formatting word says; false for other words.
    bool apply(RtfKeywords::Id word, int param);
    bool operator==(const ParaState&) const = default;
};

struct GroupState {
    Destination destination = Destination::Normal;
    CharState chr;
    ParaState para;
    int unicodeSkip = 1;
    bool upr = false;
};

struct FontEntry {
    QString name;
    int codePage = 0;
};

// What formats refer to by number: the font and colour tables and the links'
// targets, and the document's default font.
struct FormatTables {
    QHash<int, FontEntry> fonts;
    QList<QColor> colors;
    QStringList links;
    int defaultFont = 0;
};
