#pragma once

#include "rtfstate.h"

#include <QHash>
#include <QStringList>
#include <QTextFormat>

// The Qt formats that RTF's character and paragraph properties stand for.
namespace RtfFormats {
// Character formats: text marked hidden (\v), kept so that saving writes it back.
constexpr int HiddenText = QTextFormat::UserProperty + 16;
// Character formats: the font family and point size the text got from its
// document's defaults or its paragraph's style rather than its own words; while
// they stay so, saving leaves them out again. And the document's default font.
constexpr int ImpliedFont = QTextFormat::UserProperty + 17;
constexpr int ImpliedSize = QTextFormat::UserProperty + 18;
constexpr int DefaultFont = QTextFormat::UserProperty + 22;
// Character formats: which RTF words gave the background, as BackgroundWord flags.
constexpr int BackgroundWords = QTextFormat::UserProperty + 23;
enum BackgroundWord { Highlight = 1, CellBackground = 2, Shading = 4 };
// Block formats: the paragraph's style. The character and block formats (as
// QTextFormat) it gives, and its chain: for it and each style it is based on, a
// list of the style's number, name, character and block formats, and the
// properties its own words set (RtfKeywords::property names).
constexpr int StyleChain = QTextFormat::UserProperty + 19;
constexpr int StyleCharFormat = QTextFormat::UserProperty + 20;
constexpr int StyleBlockFormat = QTextFormat::UserProperty + 21;
// Character formats: the run's character style, a chain as above.
constexpr int CharStyleChain = QTextFormat::UserProperty + 24;

QTextCharFormat charFormat(const CharState& c, const QHash<int, FontEntry>& fonts,
                           const QList<QColor>& colors, const QStringList& links, int defaultFont);
QTextBlockFormat blockFormat(const ParaState& p);
// The target of a HYPERLINK field instruction, or "" for other fields.
QString hyperlinkTarget(const QString& instruction);
} // namespace RtfFormats
