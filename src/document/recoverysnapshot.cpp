#include "recoverysnapshot.h"

#include "richtext/documentfile.h"
#include "richtext/rtfwriter.h"

#include <QTextDocument>
#include <QTextFormat>
#include <QTextFrame>

RecoverySnapshot RecoverySnapshot::take(const QTextDocument* document, const RecoveryCopy& header)
{
    RecoverySnapshot snapshot;
    snapshot.m_header = header;
    snapshot.m_header.content.clear();
    if (header.kind == DocumentKind::Rtf) {
        snapshot.m_rtf = RtfWriter::write(document);
    } else {
        // Shares the document's text until the document changes again.
        snapshot.m_rawText = document->toRawText();
        snapshot.m_hasTables = !document->rootFrame()->childFrames().isEmpty();
    }
    return snapshot;
}

RecoverySnapshot RecoverySnapshot::fromText(const RecoveryCopy& header, QStringList rawPieces)
{
    RecoverySnapshot snapshot;
    snapshot.m_header = header;
    snapshot.m_header.content.clear();
    snapshot.m_rawPieces = std::move(rawPieces);
    return snapshot;
}

RecoverySnapshot RecoverySnapshot::fromRtf(const RecoveryCopy& header, QByteArray tables,
                                           QByteArray text)
{
    RecoverySnapshot snapshot;
    snapshot.m_header = header;
    snapshot.m_header.content.clear();
    snapshot.m_rtf = std::move(tables);
    snapshot.m_rtfText = std::move(text);
    return snapshot;
}

bool RecoverySnapshot::mayHoldFormatting(const QTextDocument* document)
{
    if (!document->rootFrame()->childFrames().isEmpty())
        return true;
    // Every format the document keeps, used or not: no walk of the text.
    const QList<QTextFormat> formats = document->allFormats();
    for (const QTextFormat& format : formats) {
        if (format.isListFormat() || format.isImageFormat() || format.isTableFormat())
            return true;
        if ((format.isBlockFormat() && DocumentFile::carriesFormatting(format.toBlockFormat())) ||
            (format.isCharFormat() && DocumentFile::carriesFormatting(format.toCharFormat())))
            return true;
    }
    return false;
}

RecoveryCopy RecoverySnapshot::finish() const
{
    RecoveryCopy copy = m_header;
    if (m_header.kind == DocumentKind::Rtf) {
        copy.content = m_rtf + m_rtfText;
        return copy;
    }
    // As DocumentFile::plainText gives it, so a save after recovery writes the same bytes.
    const QString raw = m_rawPieces.isEmpty() ? m_rawText : m_rawPieces.join(QString());
    copy.content = DocumentFile::plainText(raw, m_hasTables).toUtf8();
    return copy;
}
