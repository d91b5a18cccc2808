#include "rtfstate.h"

#include <QHash>

bool CharState::apply(const QByteArray& word, bool hasParam, int param, int defaultFont)
{
    const bool on = !hasParam || param != 0;
    if (word == "plain") {
        *this = CharState();
        font = defaultFont;
    } else if (word == "rtlch" || word == "ltrch") {
        rightToLeft = word == "rtlch";
    } else if (word == "dbch" || word == "loch" || word == "hich") {
        doubleByte = word == "dbch";
    } else if (rightToLeft && (word == "f" || word == "af")) {
        complexFont = param;
    } else if (doubleByte && (word == "f" || word == "af")) {
        asianFont = param;
    } else if (word == "f") {
        font = param;
        fontGiven = true;
    } else if (rightToLeft && (word == "fs" || word == "afs")) {
        complexHalfPoints = hasParam && param > 0 ? qMin(param, 3276) : 24;
    } else if (word == "fs") {
        halfPoints = hasParam && param > 0 ? qMin(param, 3276) : 24;
        sizeGiven = true;
    } else if (rightToLeft && (word == "b" || word == "ab")) {
        complexBold = on;
    } else if (rightToLeft && (word == "i" || word == "ai")) {
        complexItalic = on;
    } else if (word == "b") {
        bold = on;
    } else if (word == "i") {
        italic = on;
    } else if (word == "af" || word == "afs" || word == "ab" || word == "ai") {
        // Words for right-to-left or East Asian text given for the rest: the rest
        // has its own.
    } else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw" ||
               word == "uldash" || word == "ulth" || word == "ulwave") {
        underline = on;
    } else if (word == "ulnone") {
        underline = false;
    } else if (word == "strike" || word == "striked") {
        strike = on;
    } else if (word == "caps") {
        caps = on;
    } else if (word == "scaps") {
        smallCaps = on;
    } else if (word == "v") {
        hidden = on;
    } else if (word == "protect") {
        protect = on;
    } else if (word == "cf") {
        color = param;
        colorGiven = true;
    } else if (word == "highlight") {
        highlight = param;
    } else if (word == "cb") {
        cellBackground = param;
    } else if (word == "chcbpat") {
        shading = param;
    } else if (word == "up" || word == "dn") {
        // Half-points; no offset larger than a page means anything.
        const int halfPoints = qBound(-3276, hasParam ? param : 6, 3276);
        offsetTwips = (word == "up" ? 10 : -10) * halfPoints;
    } else if (word == "super") {
        script = 1;
    } else if (word == "sub") {
        script = 2;
    } else if (word == "nosupersub") {
        script = 0;
    } else {
        return false;
    }
    return true;
}

bool ParaState::apply(const QByteArray& word, int param)
{
    // The words that only set a number of the paragraph.
    static const QHash<QByteArray, int ParaState::*> numbers = {
        {"li", &ParaState::left},         {"ri", &ParaState::right},
        {"fi", &ParaState::first},        {"sb", &ParaState::before},
        {"sa", &ParaState::after},        {"sl", &ParaState::lineSpacing},
        {"ls", &ParaState::listOverride}, {"ilvl", &ParaState::listLevel},
        {"itap", &ParaState::nesting}};
    if (word == "pard")
        *this = ParaState();
    else if (word == "ql")
        align = 0;
    else if (word == "qr")
        align = 1;
    else if (word == "qc")
        align = 2;
    else if (word == "qj")
        align = 3;
    else if (int ParaState::*value = numbers.value(word))
        this->*value = param;
    else if ((word == "tx" || word == "tb") && tabs.size() < 64 && !tabs.contains(param))
        tabs.append(param); // word processors allow 64 stops; more only slow things down
    else if (word == "slmult")
        lineMultiple = param != 0;
    else if (word == "intbl")
        inTable = true;
    else
        return false;
    return true;
}
