#pragma once

#include "platform/result.h"

#include <QByteArray>
#include <QTextImageFormat>

class QTextDocument;

// A picture put into a document from a file or the clipboard: shown at most 6.5
// inches wide, and saved as it came (PNG and JPEG bytes are kept; anything else
// is kept as PNG).
namespace EmbeddedPicture {
constexpr int MaximumWidthTwips = 6.5 * 1440;
// The image format to insert, its picture added to the document; an error when
// the bytes are no picture the program can read.
Result<QTextImageFormat> add(QTextDocument* document, const QByteArray& bytes);
} // namespace EmbeddedPicture
