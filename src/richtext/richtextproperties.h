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
} // namespace RichTextProperty
