#pragma once

#include <QByteArray>

// The RTF words the reader looks up by name: destinations and named characters.
namespace RtfKeywords {
// A destination whose content is never shown (document information, headers, ...).
bool isSkippedDestination(const QByteArray& word);
// Any destination the reader knows, shown or not; most words are none.
bool isDestination(const QByteArray& word);
// The character a word such as \emdash stands for, or 0.
char16_t symbol(const QByteArray& word);
// The property a formatting word sets: words that set the same one (\ql and \qc,
// \ul and \ulnone, \strike and \striked) give the same name.
QByteArray property(const QByteArray& word);
// The word that gives a property (as above) its default value, such as \cf0 for
// "cf"; "" where there is none.
QByteArray resetWord(const QByteArray& property);
} // namespace RtfKeywords
