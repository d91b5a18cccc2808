#include "rtfkeywords.h"

#include <QHash>
#include <QSet>

namespace {
// Destinations whose content is never shown.
const QSet<QByteArray> skipped = {"info",         "header",
                                  "footer",       "headerl",
                                  "headerr",      "headerf",
                                  "footerl",      "footerr",
                                  "footerf",      "annotation",
                                  "pntext",       "listtext",
                                  "xe",           "tc",
                                  "bkmkstart",    "bkmkend",
                                  "objdata",      "nonshppict",
                                  "themedata",    "datastore",
                                  "latentstyles", "colorschememapping",
                                  "xmlnstbl",     "rsidtbl",
                                  "generator",    "pgdsctbl",
                                  "mmathPr",      "template",
                                  "revtbl",       "atnid",
                                  "atnauthor",    "atrfstart",
                                  "atrfend",      "fldtype",
                                  "userprops",    "docvar",
                                  "filetbl",      "xmlopen",
                                  "pnseclvl",     "fchars",
                                  "lchars",       "ftnsep",
                                  "ftnsepc",      "aftnsep",
                                  "aftnsepc",     "private",
                                  "nonesttables"};
// Destinations the parser handles itself.
const QSet<QByteArray> handled = {"footnote", "fonttbl",    "colortbl",  "pict",
                                  "field",    "fldinst",    "fldrslt",   "nesttableprops",
                                  "pn",       "stylesheet", "listtable", "listoverridetable",
                                  "shppict",  "ud",         "result",    "shp",
                                  "shprslt",  "shpinst",    "shpgrp"};
// Words that stand for one character.
const QHash<QByteArray, char16_t> symbols = {
    {"tab", u'\t'},        {"line", 0x2028},      {"lquote", 0x2018},  {"rquote", 0x2019},
    {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"bullet", 0x2022},  {"endash", 0x2013},
    {"emdash", 0x2014},    {"enspace", 0x2002},   {"emspace", 0x2003}, {"qmspace", 0x2005},
    {"zwj", 0x200D},       {"zwnj", 0x200C},      {"ltrmark", 0x200E}, {"rtlmark", 0x200F},
    {"zwbo", 0x200B}};
} // namespace

namespace RtfKeywords {

bool isSkippedDestination(const QByteArray& word)
{
    return skipped.contains(word);
}

bool isDestination(const QByteArray& word)
{
    return handled.contains(word) || skipped.contains(word);
}

char16_t symbol(const QByteArray& word)
{
    return symbols.value(word, 0);
}

QByteArray property(const QByteArray& word)
{
    static const QHash<QByteArray, QByteArray> shared = {
        {"ql", "q"},  {"qr", "q"},           {"qc", "q"},
        {"qj", "q"},  {"striked", "strike"}, {"slmult", "sl"},
        {"dn", "up"}, {"sub", "super"},      {"nosupersub", "super"},
        {"tb", "tx"}};
    // The words for right-to-left and East Asian text mean something only in order.
    static const QSet<QByteArray> associated = {"rtlch", "ltrch", "dbch", "hich", "loch",
                                                "af",    "afs",   "ab",   "ai"};
    if (associated.contains(word))
        return "associated";
    // Alignment's own name is no word of RTF: a stray \q sets nothing.
    if (word == "q")
        return QByteArray();
    if (word.startsWith("ul"))
        return "ul";
    return shared.value(word, word);
}

QByteArray resetWord(const QByteArray& property)
{
    static const QHash<QByteArray, QByteArray> resets = {{"b", "\\b0"},
                                                         {"i", "\\i0"},
                                                         {"ul", "\\ulnone"},
                                                         {"strike", "\\strike0"},
                                                         {"caps", "\\caps0"},
                                                         {"scaps", "\\scaps0"},
                                                         {"v", "\\v0"},
                                                         {"protect", "\\protect0"},
                                                         {"cf", "\\cf0"},
                                                         {"cb", "\\cb0"},
                                                         {"chcbpat", "\\chcbpat0"},
                                                         {"highlight", "\\highlight0"},
                                                         {"up", "\\up0"},
                                                         {"super", "\\nosupersub"},
                                                         {"q", "\\ql"},
                                                         {"li", "\\li0"},
                                                         {"ri", "\\ri0"},
                                                         {"fi", "\\fi0"},
                                                         {"sb", "\\sb0"},
                                                         {"sa", "\\sa0"},
                                                         {"sl", "\\sl0\\slmult0"}};
    return resets.value(property);
}

} // namespace RtfKeywords
