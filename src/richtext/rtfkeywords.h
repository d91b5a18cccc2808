#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The words the reader acts on, each once: X(name) for a word spelt as its name,
// Y(name, "word") where the word is no name C++ allows.
// clang-format off
#define QUILLORA_RTF_WORDS(X, Y)                                                                   \
    X(ab) X(af) X(afs) X(ai) X(annotation) X(ansicpg) X(atnauthor) X(atnid) X(atrfend)             \
    X(atrfstart) X(aftnsep) X(aftnsepc) X(b) X(bin) X(bkmkend) X(bkmkstart) X(blue) X(bullet)      \
    X(caps) X(cb) X(cell) X(cellx) X(cf) X(chcbpat) X(chftn) X(colorschememapping) X(colortbl)     \
    X(cs) X(datastore) X(dbch) X(deff) X(dn) X(docvar) X(ds) X(emdash) X(emspace) X(endash)        \
    X(enspace) X(f) X(fchars) X(fi) X(field) X(filetbl) X(fldinst) X(fldrslt) X(fldtype)           \
    X(fonttbl) X(footer) X(footerf) X(footerl) X(footerr) X(footnote) X(fs) X(ftnsep) X(ftnsepc)   \
    X(generator) X(green) X(header) X(headerf) X(headerl) X(headerr) X(hich) X(highlight) X(i)     \
    X(ilvl) X(info) X(intbl) X(itap) X(latentstyles) X(lchars) X(ldblquote) X(li) X(line)          \
    X(listoverridetable) X(listtable) X(listtext) X(loch) X(lquote) X(ls) X(ltrch) X(ltrmark)      \
    X(mac) X(mmathPr) X(nestcell) X(nestrow) X(nesttableprops) X(nonesttables) X(nonshppict)       \
    X(nosupersub) X(objdata) X(page) X(par) X(pard) X(pc) X(pca) X(pgdsctbl) X(pict) X(plain)      \
    X(pn) X(pnseclvl) X(pntext) X(protect) X(qc) X(qj) X(ql) X(qmspace) X(qr) X(rdblquote)         \
    X(red) X(result) X(revtbl) X(ri) X(row) X(rquote) X(rsidtbl) X(rtlch) X(rtlmark) X(s) X(sa)    \
    X(sb) X(scaps) X(sect) X(shp) X(shpgrp) X(shpinst) X(shppict) X(shprslt) X(sl) X(slmult)       \
    X(sn) X(strike) X(striked) X(stylesheet) X(sub) X(super) X(sv) X(tab) X(tb) X(tc)              \
    X(themedata) X(trowd) X(ts) X(tx) X(u) X(uc) X(ud) X(ul) X(uld) X(uldash) X(uldb) X(ulnone)    \
    X(ulth) X(ulw) X(ulwave) X(up) X(upr) X(userprops) X(v) X(xe) X(xmlnstbl) X(xmlopen) X(zwbo)   \
    X(zwj) X(zwnj)                                                                                 \
    Y(private_, "private") Y(template_, "template")
// clang-format on

// The RTF words the reader looks up by name: destinations and named characters.
namespace RtfKeywords {

#define QUILLORA_RTF_ID(name) name,
#define QUILLORA_RTF_ID_SPELT(name, word) name,
// A word the reader acts on; Other for the many it passes over.
enum class Id : unsigned short {
    Other,
    QUILLORA_RTF_WORDS(QUILLORA_RTF_ID, QUILLORA_RTF_ID_SPELT)
};
#undef QUILLORA_RTF_ID
#undef QUILLORA_RTF_ID_SPELT

// The spelling's hash that find() takes: from its length and three of its
// letters, so that working it out costs the same for every word.
constexpr quint32 hashOf(QByteArrayView word)
{
    const qsizetype n = word.size();
    if (n == 0)
        return 0;
    return ((quint32(n) * 131u + uchar(word[0])) * 131u + uchar(word[n > 1 ? 1 : 0])) * 131u +
           uchar(word[n - 1]) * 7u;
}
// Found once for each word read: every later test of the word compares numbers.
Id find(QByteArrayView word, quint32 hash);
Id find(QByteArrayView word);
// A destination whose content is never shown (document information, headers, ...).
bool isSkippedDestination(Id word);
// Any destination the reader knows, shown or not; most words are none.
bool isDestination(Id word);
// The character a word such as \emdash stands for, or 0.
char16_t symbol(Id word);
// The property a formatting word sets: words that set the same one (\ql and \qc,
// \ul and \ulnone, \strike and \striked) give the same name.
QByteArray property(const QByteArray& word);
// The word that gives a property (as above) its default value, such as \cf0 for
// "cf"; "" where there is none.
QByteArray resetWord(const QByteArray& property);
} // namespace RtfKeywords
