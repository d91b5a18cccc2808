#include "protectedtext.h"

#include "richtextproperties.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {
// Only characters proper: a paragraph mark belongs to no fragment.
bool characterProtected(const QTextDocument* document, int position)
{
    const QTextBlock block = document->findBlock(position);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.contains(position))
            return fragment.charFormat().boolProperty(RichTextProperty::Protected);
    }
    return false;
}
} // namespace

namespace ProtectedText {

bool isProtectedAt(const QTextDocument* document, int position)
{
    return rangeHasProtected(document, position, position + 1);
}

bool rangeHasProtected(const QTextDocument* document, int from, int to)
{
    if (from >= to)
        return false;
    for (QTextBlock block = document->findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() >= to)
                break;
            if (fragment.position() + fragment.length() > from &&
                fragment.charFormat().boolProperty(RichTextProperty::Protected))
                return true;
        }
        // The paragraph mark between two protected paragraphs is theirs too.
        const int mark = block.position() + block.length() - 1;
        if (mark >= from && mark < to && block.next().isValid() &&
            characterProtected(document, mark - 1) && characterProtected(document, mark + 1))
            return true;
    }
    return false;
}

bool blocksInsertion(const QTextCursor& cursor)
{
    const QTextDocument* document = cursor.document();
    if (cursor.hasSelection())
        return rangeHasProtected(document, cursor.selectionStart(), cursor.selectionEnd());
    // Inside a protected run nothing may be added; at its edges typing is fine.
    const int position = cursor.position();
    return position > 0 && rangeHasProtected(document, position - 1, position) &&
           rangeHasProtected(document, position, position + 1);
}

} // namespace ProtectedText

bool ProtectedText::anyIn(const QTextDocument* document)
{
    for (const QTextFormat& format : document->allFormats())
        if (format.boolProperty(RichTextProperty::Protected))
            return true;
    return false;
}
