#include "rtfreader.h"

#include "rtfparser.h"

#include <QTextCursor>
#include <QTextDocument>

bool RtfReader::looksLikeRtf(const QByteArray& data)
{
    return data.startsWith("{\\rtf");
}

namespace {
Status parse(const QByteArray& data, QTextCursor& cursor, bool wholeDocument)
{
    if (!RtfReader::looksLikeRtf(data))
        return Error{ErrorCode::BadFormat, QStringLiteral("The file is not in RTF format.")};
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    RtfParser parser(data, cursor, wholeDocument);
    parser.run();
    cursor.endEditBlock();
    return {};
}
} // namespace

Status RtfReader::insert(const QByteArray& data, QTextCursor& cursor)
{
    return parse(data, cursor, false);
}

Status RtfReader::read(const QByteArray& data, QTextDocument* document)
{
    if (!looksLikeRtf(data))
        return Error{ErrorCode::BadFormat, QStringLiteral("The file is not in RTF format.")};
    document->clear();
    // A loaded document starts with nothing to undo; keeping the steps would cost time too.
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    QTextCursor cursor(document);
    const Status status = parse(data, cursor, true);
    document->setUndoRedoEnabled(undo);
    return status;
}
