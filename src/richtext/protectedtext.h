#pragma once

class QTextCursor;
class QTextDocument;

// Text marked protected cannot be changed: these answer whether an edit at a
// cursor would touch it.
namespace ProtectedText {
bool isProtectedAt(const QTextDocument* document, int position);
// Whether any text of the document is protected: the checks can be left out when not.
bool anyIn(const QTextDocument* document);
// True when any character in [from, to) is protected.
bool rangeHasProtected(const QTextDocument* document, int from, int to);
// Replacing the cursor's selection (or inserting at it) would change protected text.
bool blocksInsertion(const QTextCursor& cursor);
} // namespace ProtectedText
