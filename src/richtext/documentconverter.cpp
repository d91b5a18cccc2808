#include "documentconverter.h"

#include "documentfile.h"
#include "rtfreader.h"
#include "rtfwriter.h"
#include "textcodec.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <QTextDocument>

namespace {
Error fileError(const QString& path, const QString& reason)
{
    return Error{ErrorCode::WriteFailed, path + QStringLiteral(": ") + reason};
}

Status load(const QString& path, DocumentConverter::Format format, QTextDocument* document)
{
    Result<QByteArray> bytes = DocumentFile::readBytes(path);
    if (!bytes)
        return fileError(path, bytes.error().message);
    switch (format) {
    case DocumentConverter::Format::Rtf:
        if (RtfReader::looksLikeRtf(bytes.value())) {
            RtfReader::read(bytes.value(), document);
            return {};
        }
        return fileError(path, QStringLiteral("not an RTF file"));
    case DocumentConverter::Format::Html:
        document->setHtml(TextCodec::decode(bytes.value()).text);
        return {};
    case DocumentConverter::Format::Text:
        DocumentFile::setPlainText(document, TextCodec::decode(bytes.value()).text);
        return {};
    }
    return {};
}
} // namespace

DocumentConverter::Format DocumentConverter::formatForPath(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (DocumentFile::kindForPath(path) == DocumentKind::Rtf)
        return Format::Rtf;
    if (suffix == QStringLiteral("htm") || suffix == QStringLiteral("html"))
        return Format::Html;
    return Format::Text;
}

Status DocumentConverter::convert(const QString& input, const QString& output,
                                  const Options& options)
{
    const Format from = formatForPath(input);
    QTextDocument document;
    if (Status loaded = load(input, from, &document); !loaded)
        return loaded;

    QByteArray bytes;
    switch (formatForPath(output)) {
    case Format::Rtf:
        bytes = RtfWriter::write(&document);
        break;
    case Format::Html:
        bytes = document.toHtml().toUtf8();
        break;
    case Format::Text: {
        if (!QStringEncoder(options.encoding.constData()).isValid() &&
            options.encoding != "windows-1252")
            return fileError(output, QStringLiteral("unknown encoding ") +
                                         QString::fromLatin1(options.encoding));
        QString text = DocumentFile::plainText(&document);
        if (from != Format::Text)
            text.remove(QChar::ObjectReplacementCharacter); // pictures have no text
        TextFileFormat format;
        format.encoding = options.encoding;
        format.lineEnding = options.crlf ? LineEnding::CRLF : LineEnding::LF;
        if (!TextCodec::canEncode(text, format.encoding))
            return fileError(output, QStringLiteral("the text has characters that ") +
                                         QString::fromLatin1(format.encoding) +
                                         QStringLiteral(" cannot store"));
        bytes = TextCodec::encode(text, format);
        break;
    }
    }
    if (Status written = DocumentFile::writeBytes(output, bytes); !written)
        return fileError(output, written.error().message);
    return {};
}
