#include "projectfile.h"

#include "richtext/documentfile.h"
#include "richtext/textcodec.h"
#include "richtext/windows1252.h"

#include <QStringDecoder>

namespace {

const QByteArray Utf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");

} // namespace

QString ProjectFile::errorMessage(const QString& path, const QString& reason)
{
    return ErrorPrefix + path + u'\n' + reason;
}

Result<QStringList> ProjectFile::read(const QString& path)
{
    const Result<QByteArray> bytes = DocumentFile::readBytes(path, MaxFileBytes);
    if (!bytes)
        return Error{bytes.error().code, errorMessage(path, bytes.error().message)};
    // A binary file would load as a list of garbage that a save would keep.
    if (bytes.value().contains('\0'))
        return Error{ErrorCode::BadFormat, errorMessage(path, NulBytesReason)};
    return decode(bytes.value());
}

QStringList ProjectFile::decode(const QByteArray& bytes)
{
    QByteArrayView data(bytes);
    if (data.startsWith(Utf8Bom))
        data = data.sliced(Utf8Bom.size());
    // The decoder would drop a second BOM too; that one is part of the entry.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    // Files that are not UTF-8 come from 8-bit systems; Windows-1252 decodes
    // every byte, so no entry is lost or garbled beyond the code page.
    const QString text = TextCodec::isValidUtf8(data.data(), data.size())
                             ? QString(utf8(data))
                             : Windows1252::decode(data.data(), data.size());
    QStringList entries;
    qsizetype start = 0;
    const qsizetype size = text.size();
    while (start < size) {
        qsizetype end = start;
        while (end < size && text.at(end) != u'\n' && text.at(end) != u'\r')
            ++end;
        if (end > start)
            entries.append(text.sliced(start, end - start));
        if (end + 1 < size && text.at(end) == u'\r' && text.at(end + 1) == u'\n')
            ++end;
        start = end + 1;
    }
    return entries;
}

QByteArray ProjectFile::encode(const QStringList& entries)
{
    QByteArray bytes;
    // Reading drops a leading BOM, so an entry that begins with that character
    // needs one before it to come back whole.
    if (!entries.isEmpty() && entries.first().startsWith(QChar(0xFEFF)))
        bytes += Utf8Bom;
    for (const QString& entry : entries) {
        bytes += entry.toUtf8();
        bytes += '\n';
    }
    bytes += '\n';
    return bytes;
}

QString ProjectFile::refusalReason(const QString& entry)
{
    if (entry.isEmpty())
        return EmptyEntryReason;
    if (entry.contains(u'\n') || entry.contains(u'\r'))
        return LineBreakReason;
    if (entry.contains(QChar(0)))
        return NulEntryReason;
    return {};
}

Status ProjectFile::write(const QString& path, const QStringList& entries)
{
    for (const QString& entry : entries) {
        const QString reason = refusalReason(entry);
        if (!reason.isEmpty())
            return Error{ErrorCode::BadFormat, errorMessage(path, reason)};
    }
    const Status written = DocumentFile::writeBytes(path, encode(entries));
    if (!written)
        return Error{written.error().code, errorMessage(path, written.error().message)};
    return {};
}
