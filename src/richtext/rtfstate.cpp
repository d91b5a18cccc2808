#include "rtfstate.h"

using RtfKeywords::Id;

bool CharState::apply(Id word, bool hasParam, int param, int defaultFont)
{
    const bool on = !hasParam || param != 0;
    switch (word) {
    case Id::plain:
        *this = CharState();
        font = defaultFont;
        break;
    case Id::rtlch:
    case Id::ltrch:
        rightToLeft = word == Id::rtlch;
        break;
    case Id::dbch:
    case Id::loch:
    case Id::hich:
        doubleByte = word == Id::dbch;
        break;
    case Id::f:
    case Id::af:
        if (rightToLeft)
            complexFont = param;
        else if (doubleByte)
            asianFont = param;
        else if (word == Id::f)
            font = param, fontGiven = true;
        // Otherwise words for right-to-left or East Asian text given for the
        // rest: the rest has its own.
        break;
    case Id::fs:
    case Id::afs:
        if (rightToLeft)
            complexHalfPoints = hasParam && param > 0 ? qMin(param, 3276) : 24;
        else if (word == Id::fs)
            halfPoints = hasParam && param > 0 ? qMin(param, 3276) : 24, sizeGiven = true;
        break;
    case Id::b:
    case Id::ab:
        if (rightToLeft)
            complexBold = on;
        else if (word == Id::b)
            bold = on;
        break;
    case Id::i:
    case Id::ai:
        if (rightToLeft)
            complexItalic = on;
        else if (word == Id::i)
            italic = on;
        break;
    case Id::ul:
    case Id::uld:
    case Id::uldb:
    case Id::ulw:
    case Id::uldash:
    case Id::ulth:
    case Id::ulwave:
        underline = on;
        break;
    case Id::ulnone:
        underline = false;
        break;
    case Id::strike:
    case Id::striked:
        strike = on;
        break;
    case Id::caps:
        caps = on;
        break;
    case Id::scaps:
        smallCaps = on;
        break;
    case Id::v:
        hidden = on;
        break;
    case Id::protect:
        protect = on;
        break;
    case Id::cf:
        color = param;
        colorGiven = true;
        break;
    case Id::highlight:
        highlight = param;
        break;
    case Id::cb:
        cellBackground = param;
        break;
    case Id::chcbpat:
        shading = param;
        break;
    case Id::up:
    case Id::dn: {
        // Half-points; no offset larger than a page means anything.
        const int halfPoints = qBound(-3276, hasParam ? param : 6, 3276);
        offsetTwips = (word == Id::up ? 10 : -10) * halfPoints;
        break;
    }
    case Id::super:
        script = 1;
        break;
    case Id::sub:
        script = 2;
        break;
    case Id::nosupersub:
        script = 0;
        break;
    default:
        return false;
    }
    return true;
}

bool ParaState::apply(Id word, int param)
{
    switch (word) {
    case Id::pard:
        *this = ParaState();
        break;
    case Id::ql:
        align = 0;
        break;
    case Id::qr:
        align = 1;
        break;
    case Id::qc:
        align = 2;
        break;
    case Id::qj:
        align = 3;
        break;
    case Id::li:
        left = param;
        break;
    case Id::ri:
        right = param;
        break;
    case Id::fi:
        first = param;
        break;
    case Id::sb:
        before = param;
        break;
    case Id::sa:
        after = param;
        break;
    case Id::sl:
        lineSpacing = param;
        break;
    case Id::ls:
        listOverride = param;
        break;
    case Id::ilvl:
        listLevel = param;
        break;
    case Id::itap:
        nesting = param;
        break;
    case Id::tx:
    case Id::tb:
        // Word processors allow 64 stops; more only slow things down.
        if (tabs.size() < 64 && !tabs.contains(param))
            tabs.append(param);
        break;
    case Id::slmult:
        lineMultiple = param != 0;
        break;
    case Id::intbl:
        inTable = true;
        break;
    default:
        return false;
    }
    return true;
}
