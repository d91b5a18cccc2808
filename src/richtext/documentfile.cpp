#include "documentfile.h"

#include "rtfreader.h"
#include "rtfwriter.h"
#include "textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

DocumentKind DocumentFile::kindForPath(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot >= 0 && path.mid(dot).toUpper() == QStringLiteral(".RTF"))
        return DocumentKind::Rtf;
    return DocumentKind::Text;
}

Result<QByteArray> DocumentFile::readBytes(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        // Only a path that really is not there is "not found"; one we may not
        // even look at is refused, so nobody edits an empty stand-in for it.
        struct stat status;
        if (::stat(QFile::encodeName(path).constData(), &status) != 0 && errno != ENOENT &&
            errno != ENOTDIR)
            return Error{ErrorCode::PermissionDenied, QString::fromLocal8Bit(strerror(errno))};
        return Error{ErrorCode::FileNotFound, QStringLiteral("File not found")};
    }
    if (info.isDir())
        return Error{ErrorCode::PermissionDenied,
                     QStringLiteral("The path is a folder, not a file")};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Error{file.error() == QFileDevice::PermissionsError ? ErrorCode::PermissionDenied
                                                                   : ErrorCode::ReadFailed,
                     file.errorString()};
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Error{ErrorCode::ReadFailed, file.errorString()};
    return bytes;
}

Status DocumentFile::writeBytes(const QString& path, const QByteArray& bytes)
{
    const QFileInfo info(path);
    if (info.isDir())
        return Error{ErrorCode::PathAccess, QStringLiteral("The path is a folder, not a file")};
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Error{ErrorCode::WriteFailed, file.errorString()};
    if (info.exists())
        file.setPermissions(info.permissions());
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return Error{ErrorCode::WriteFailed, reason};
    }
    if (!file.commit())
        return Error{ErrorCode::WriteFailed, file.errorString()};
    return {};
}

QString DocumentFile::plainText(const QTextDocument* document)
{
    QString text = document->toRawText();
    // Table cells start and end with frame marks; as text each cell is a line.
    const bool hasTables = !document->rootFrame()->childFrames().isEmpty();
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u == QChar::ParagraphSeparator || u == QChar::LineSeparator ||
            (hasTables && (u == 0xFDD0 || u == 0xFDD1)))
            c = u'\n';
    }
    return text;
}

void DocumentFile::setPlainText(QTextDocument* document, const QString& text)
{
    document->setPlainText(text);
}

Result<TextFileFormat> DocumentFile::load(const QString& path, DocumentKind kind,
                                          QTextDocument* document)
{
    Result<QByteArray> bytes = readBytes(path);
    if (!bytes)
        return bytes.error();
    if (kind == DocumentKind::Rtf) {
        // A file named .rtf that holds no RTF is shown as the text it is.
        if (RtfReader::looksLikeRtf(bytes.value())) {
            RtfReader::read(bytes.value(), document);
            return TextFileFormat();
        }
    }
    TextCodec::Decoded decoded = TextCodec::decode(bytes.value());
    setPlainText(document, decoded.text);
    return decoded.format;
}

Status DocumentFile::save(const QString& path, DocumentKind kind, const QTextDocument* document,
                          const TextFileFormat& format)
{
    const QByteArray bytes = kind == DocumentKind::Rtf
                                 ? RtfWriter::write(document)
                                 : TextCodec::encode(plainText(document), format);
    return writeBytes(path, bytes);
}
