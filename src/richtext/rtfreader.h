#pragma once

#include "platform/result.h"

#include <QByteArray>

class QTextCursor;
class QTextDocument;

// Reads RTF into a text document. Damaged input gives whatever could be read;
// only input that is not RTF at all is an error.
class RtfReader {
public:
    static bool looksLikeRtf(const QByteArray& data);
    // Replaces the document's content.
    static Status read(const QByteArray& data, QTextDocument* document);
    // Inserts at the cursor, replacing its selection.
    static Status insert(const QByteArray& data, QTextCursor& cursor);
};
