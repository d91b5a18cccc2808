#pragma once

#include <QByteArray>
#include <QString>

// The Windows code pages that RTF names by number or by font charset.
namespace CodePage {
constexpr int Ansi = 1252;
int fromCharset(int charset);
QString decode(int codePage, const QByteArray& bytes);
// True when the code page is one we can decode (others fall back to 1252).
bool isKnown(int codePage);
// True for the first byte of a two-byte character in the double-byte code pages.
bool isLeadByte(int codePage, uchar byte);
} // namespace CodePage
