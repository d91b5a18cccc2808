#pragma once

#include <QTextFormat>

// Format properties of our own, carried by the document so that saving writes
// back what loading found.
namespace RichTextProperty {
// Character formats: text that cannot be edited, and the raised (+) or lowered (-)
// offset in twips.
constexpr int Protected = QTextFormat::UserProperty + 1;
constexpr int CharOffsetTwips = QTextFormat::UserProperty + 2;
// Image formats: the picture's original bytes and the RTF words that describe
// them, so that pictures we cannot show are still saved unchanged.
constexpr int PictureData = QTextFormat::UserProperty + 3;
constexpr int PictureHeader = QTextFormat::UserProperty + 4;
// List formats: the nesting level (0 to 8) of the list's items.
constexpr int ListLevel = QTextFormat::UserProperty + 5;
// List formats: the first number, when it is not 1.
constexpr int ListStart = QTextFormat::UserProperty + 7;
// Character formats: a footnote's own RTF, kept on its number in the text.
constexpr int FootnoteRtf = QTextFormat::UserProperty + 6;
// Character formats: text marked hidden, kept so that saving writes it back.
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
// list of the style's number, name, character and block formats, the properties
// its own words set (RtfKeywords::property names), and whether it is based on itself.
constexpr int StyleChain = QTextFormat::UserProperty + 19;
constexpr int StyleCharFormat = QTextFormat::UserProperty + 20;
constexpr int StyleBlockFormat = QTextFormat::UserProperty + 21;
// Character formats: the run's character style, a chain as above.
constexpr int CharStyleChain = QTextFormat::UserProperty + 24;
// Character formats: the fonts of right-to-left (complex) and East Asian text, and
// right-to-left text's size in points, bold and italic, where given.
constexpr int ComplexFont = QTextFormat::UserProperty + 26;
constexpr int ComplexSize = QTextFormat::UserProperty + 27;
constexpr int ComplexBold = QTextFormat::UserProperty + 28;
constexpr int ComplexItalic = QTextFormat::UserProperty + 29;
constexpr int AsianFont = QTextFormat::UserProperty + 30;
// Character formats: the text says its colour is the automatic one, which readers
// may show otherwise than a colour its style gives.
constexpr int AutomaticColor = QTextFormat::UserProperty + 31;
// Frame formats, on the document's root frame: the names of the fonts of the
// font table the document came with, in their places; DefaultFont as above.
constexpr int FontTable = QTextFormat::UserProperty + 25;
// Block formats, on list items: the distance in twips from the bullet to the text;
// RTF writes it as the paragraph's hanging indent. The text starts at the left
// margin, which leaves the bullet its room (below).
constexpr int BulletIndent = QTextFormat::UserProperty + 32;
} // namespace RichTextProperty

// The room a bullet gets before its text, in twips: the bullet indent, but never so
// little that the bullet cannot be seen.
constexpr int bulletRoom(int bulletIndent)
{
    return bulletIndent > 360 ? bulletIndent : 360;
}
