#include "filereplacer.h"

#include "richtext/textcodec.h"
#include "richtext/windows1252.h"

const QString FileReplacer::Unencodable =
    QStringLiteral("skipped, the replacement cannot be written in %1");

QString FileReplacer::replaceSpans(const LineMatch& line, const QString& replacement)
{
    QString out;
    out.reserve(line.text.size() + line.spans.size() * replacement.size());
    qsizetype at = 0;
    for (const auto& [start, length] : line.spans) {
        out.append(QStringView(line.text).mid(at, start - at));
        out.append(replacement);
        at = start + length;
    }
    out.append(QStringView(line.text).mid(at));
    return out;
}

Result<FileReplacer::Replaced> FileReplacer::replace(const QByteArray& bytes, const FileScan& scan,
                                                     const QString& replacement,
                                                     const QSet<qint64>* onlyLines)
{
    const QByteArray& encoding = scan.format.encoding;
    // A character the encoding lacks would come out as "?": leave the file alone.
    if (!TextCodec::canEncode(replacement, encoding))
        return Error{ErrorCode::BadFormat, Unencodable.arg(QString::fromLatin1(encoding))};
    auto chosen = [&](const LineMatch& line) {
        return !onlyLines || onlyLines->contains(line.number);
    };
    Replaced result;
    const bool byLines = !scan.lines.isEmpty() && scan.lines.first().byteStart >= 0;
    if (byLines) {
        const bool utf8 = encoding == "UTF-8";
        result.bytes.reserve(bytes.size() + bytes.size() / 8);
        qsizetype at = 0;
        for (const LineMatch& line : scan.lines) {
            if (!chosen(line))
                continue;
            result.bytes.append(bytes.constData() + at, line.byteStart - at);
            const QString text = replaceSpans(line, replacement);
            result.bytes.append(utf8 ? text.toUtf8() : Windows1252::encode(text));
            result.count += int(line.spans.size());
            at = line.byteEnd;
        }
        result.bytes.append(bytes.constData() + at, bytes.size() - at);
        return result;
    }
    // Other encodings: TextCodec decodes them only when encoding gives every
    // byte back, so rebuilding the whole text keeps what was not replaced.
    TextCodec::Decoded decoded = TextCodec::decode(bytes);
    QStringList lines = decoded.text.split(u'\n');
    for (const LineMatch& line : scan.lines) {
        if (!chosen(line) || line.number < 1 || line.number > lines.size())
            continue;
        lines[line.number - 1] = replaceSpans(line, replacement);
        result.count += int(line.spans.size());
    }
    result.bytes = TextCodec::encode(lines.join(u'\n'), decoded.format);
    return result;
}
