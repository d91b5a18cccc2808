#pragma once

#include "platform/result.h"

#include <QList>
#include <QString>

// The Strip/Reformat tools as plain functions over the selection's text as the
// control spells it (CR LF line breaks). The tools that rebuild the selection
// return the new text; those that change lines in place return edits, so the
// formatting around them stays.
namespace LineTools {

// A change at a position of the text: length characters replaced by text.
struct Edit {
    int position = 0;
    int length = 0;
    QString text;
    bool operator==(const Edit&) const = default;
};

// A line of the text: where it starts and its characters, without the break.
struct Line {
    int start = 0;
    QString text;
};

// Lines of a paragraph are joined with single blanks; an empty line becomes a
// paragraph break (k empty lines become 2k - 1).
QString stripCrLf(const QString& text);
// Runs of blanks become one blank, or two after a full stop.
QString stripBlanks(const QString& text);
// Each line loses its beginning up to and including the marker (letter case ignored).
QList<Edit> stripUpTo(const QList<Line>& lines, const QString& marker);
// The characters of comma-separated codes 0 to 255 (128 to 159 as Windows-1252
// has them); an error names the first piece that is not such a code.
Result<QString> characters(const QString& codes);
QString badCodeMessage(const QString& piece);
// Every occurrence of from (letter case ignored) replaced by to.
QString replaceCodes(const QString& text, const QString& from, const QString& to);
// The prefix before each line; empty lines get it only when blankLinesToo.
QList<Edit> quotePrefix(const QList<Line>& lines, const QString& prefix, bool blankLinesToo);
// A line break at the end of each line that ends by wrapping, not by a break.
QList<Edit> marginBreaks(const QList<Line>& lines, const QString& text, int textStart);
// The lines in ascending order, letter case ignored; equal lines keep their order.
QString sortLines(const QString& text);

} // namespace LineTools
