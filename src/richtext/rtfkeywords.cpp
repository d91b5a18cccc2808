#include "rtfkeywords.h"

#include <QHash>
#include <QSet>
#include <utility>

namespace {
using RtfKeywords::Id;

// Every word's spelling, in the order of the ids.
#define QUILLORA_RTF_NAME(name) QByteArrayView(#name),
#define QUILLORA_RTF_NAME_SPELT(name, word) QByteArrayView(word),
constexpr QByteArrayView names[] = {QByteArrayView(""),
                                    QUILLORA_RTF_WORDS(QUILLORA_RTF_NAME, QUILLORA_RTF_NAME_SPELT)};
#undef QUILLORA_RTF_NAME
#undef QUILLORA_RTF_NAME_SPELT
constexpr int WordCount = int(sizeof(names) / sizeof(names[0]));

// Destinations whose content is never shown.
constexpr Id skipped[] = {Id::info,         Id::header,
                          Id::footer,       Id::headerl,
                          Id::headerr,      Id::headerf,
                          Id::footerl,      Id::footerr,
                          Id::footerf,      Id::annotation,
                          Id::pntext,       Id::listtext,
                          Id::xe,           Id::tc,
                          Id::bkmkstart,    Id::bkmkend,
                          Id::objdata,      Id::nonshppict,
                          Id::themedata,    Id::datastore,
                          Id::latentstyles, Id::colorschememapping,
                          Id::xmlnstbl,     Id::rsidtbl,
                          Id::generator,    Id::pgdsctbl,
                          Id::mmathPr,      Id::template_,
                          Id::revtbl,       Id::atnid,
                          Id::atnauthor,    Id::atrfstart,
                          Id::atrfend,      Id::fldtype,
                          Id::userprops,    Id::docvar,
                          Id::filetbl,      Id::xmlopen,
                          Id::pnseclvl,     Id::fchars,
                          Id::lchars,       Id::ftnsep,
                          Id::ftnsepc,      Id::aftnsep,
                          Id::aftnsepc,     Id::private_,
                          Id::nonesttables};
// Destinations the parser handles itself.
constexpr Id handled[] = {Id::footnote, Id::fonttbl,    Id::colortbl,  Id::pict,
                          Id::field,    Id::fldinst,    Id::fldrslt,   Id::nesttableprops,
                          Id::pn,       Id::stylesheet, Id::listtable, Id::listoverridetable,
                          Id::shppict,  Id::ud,         Id::result,    Id::shp,
                          Id::shprslt,  Id::shpinst,    Id::shpgrp};
// Words that stand for one character.
constexpr std::pair<Id, char16_t> symbols[] = {
    {Id::tab, u'\t'},        {Id::line, 0x2028},      {Id::lquote, 0x2018},  {Id::rquote, 0x2019},
    {Id::ldblquote, 0x201C}, {Id::rdblquote, 0x201D}, {Id::bullet, 0x2022},  {Id::endash, 0x2013},
    {Id::emdash, 0x2014},    {Id::enspace, 0x2002},   {Id::emspace, 0x2003}, {Id::qmspace, 0x2005},
    {Id::zwj, 0x200D},       {Id::zwnj, 0x200C},      {Id::ltrmark, 0x200E}, {Id::rtlmark, 0x200F},
    {Id::zwbo, 0x200B}};

using RtfKeywords::hashOf;

// What each id is, and a table of open addressing that finds ids by spelling
// without the general hashing of QHash, which costs more than the whole rest of
// a word's handling. Built while compiling.
struct Table {
    static constexpr int Slots = 1024; // a power of two, well above the number of words
    unsigned short slot[Slots] = {};
    quint32 hash[Slots] = {}; // the word's in each slot: others are told apart without reading
    bool skippedDestination[WordCount] = {};
    bool destination[WordCount] = {};
    char16_t symbol[WordCount] = {};

    constexpr Table()
    {
        for (int id = 1; id < WordCount; ++id) {
            quint32 at = hashOf(names[id]) & (Slots - 1);
            while (slot[at] != 0)
                at = (at + 1) & (Slots - 1);
            slot[at] = (unsigned short)(id);
            hash[at] = hashOf(names[id]);
        }
        for (Id id : skipped)
            skippedDestination[int(id)] = destination[int(id)] = true;
        for (Id id : handled)
            destination[int(id)] = true;
        for (auto [id, character] : symbols)
            symbol[int(id)] = character;
    }
};

constexpr Table table;
} // namespace

namespace RtfKeywords {

Id find(QByteArrayView word, quint32 hash)
{
    for (quint32 at = hash & (Table::Slots - 1);; at = (at + 1) & (Table::Slots - 1)) {
        const int id = table.slot[at];
        if (id == 0)
            return Id::Other;
        if (table.hash[at] != hash)
            continue;
        const QByteArrayView name = names[id];
        if (name.size() != word.size())
            continue;
        qsizetype i = 0;
        while (i < word.size() && word[i] == name[i])
            ++i;
        if (i == word.size())
            return Id(id);
    }
}

Id find(QByteArrayView word)
{
    return find(word, hashOf(word));
}

bool isSkippedDestination(Id word)
{
    return table.skippedDestination[int(word)];
}

bool isDestination(Id word)
{
    return table.destination[int(word)];
}

char16_t symbol(Id word)
{
    return table.symbol[int(word)];
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
