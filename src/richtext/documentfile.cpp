#include "documentfile.h"

#include "rtfreader.h"
#include "rtfwriter.h"
#include "textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QScopeGuard>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QThreadPool>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

DocumentKind DocumentFile::kindForPath(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot >= 0 && path.mid(dot).toUpper() == QStringLiteral(".RTF"))
        return DocumentKind::Rtf;
    return DocumentKind::Text;
}

namespace {

// What a path that is not a regular file is, for the message that refuses it.
QString notAFile(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("The path is a folder, not a file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("The path is a device, not a file");
    if (S_ISFIFO(mode))
        return QStringLiteral("The path is a pipe, not a file");
    if (S_ISSOCK(mode))
        return QStringLiteral("The path is a socket, not a file");
    return QStringLiteral("The path is not a regular file");
}

QString tooLarge(qint64 maxBytes)
{
    return QStringLiteral("The file is too large to open (the limit is %1 MB)")
        .arg(maxBytes / (1024 * 1024));
}

Error systemError(int code, int number)
{
    return Error{code, QString::fromLocal8Bit(strerror(number))};
}

} // namespace

Result<QByteArray> DocumentFile::readBytes(const QString& path, qint64 maxBytes,
                                           const ReadProgress& progress)
{
    const QByteArray name = QFile::encodeName(path);
    // Opened without blocking, so that a pipe or a device waiting for input
    // cannot hold the program; only a regular file is then read, and only up
    // to the limit, so no path can make the reading endless or unbounded.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int number = errno;
        // Only a path that really is not there is "not found"; one we may not
        // even look at is refused, so nobody edits an empty stand-in for it.
        if (number == ENOENT || number == ENOTDIR)
            return Error{ErrorCode::FileNotFound, QStringLiteral("File not found")};
        if (number == EISDIR)
            return Error{ErrorCode::PermissionDenied, notAFile(S_IFDIR)};
        struct stat status;
        if (::stat(name.constData(), &status) == 0 && !S_ISREG(status.st_mode))
            return Error{ErrorCode::PermissionDenied, notAFile(status.st_mode)};
        return systemError(number == EACCES || number == EPERM ? ErrorCode::PermissionDenied
                                                               : ErrorCode::ReadFailed,
                           number);
    }
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    struct stat status;
    if (::fstat(fd, &status) != 0)
        return systemError(ErrorCode::ReadFailed, errno);
    if (!S_ISREG(status.st_mode))
        return Error{ErrorCode::PermissionDenied, notAFile(status.st_mode)};
    if (status.st_size > maxBytes)
        return Error{ErrorCode::ReadFailed, tooLarge(maxBytes)};
    QByteArray bytes;
    // Files such as those under /proc say 0 and still have text: read to the end.
    bytes.reserve(qsizetype(status.st_size) + 1);
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return systemError(ErrorCode::ReadFailed, errno);
        }
        if (bytes.size() + got > maxBytes)
            return Error{ErrorCode::ReadFailed, tooLarge(maxBytes)};
        bytes.append(buffer, got);
        if (progress && !progress(bytes.size(), status.st_size))
            return Error{ErrorCode::Cancelled, QStringLiteral("Operation was cancelled")};
    }
    return bytes;
}

Status DocumentFile::writeBytes(const QString& path, const QByteArray& bytes)
{
    return writeWith(path, [&bytes](QSaveFile& file) { return writeAll(file, bytes); });
}

bool DocumentFile::writeAll(QSaveFile& file, const QByteArray& bytes)
{
    // In pieces: one write of tens of megabytes into a new file takes ten times as long
    // here as the same bytes a megabyte at a time.
    constexpr qsizetype Piece = 1 << 20;
    for (qsizetype at = 0; at < bytes.size(); at += Piece) {
        const qsizetype size = qMin(Piece, bytes.size() - at);
        const qint64 offset = file.pos();
        if (file.write(bytes.constData() + at, size) != size || !file.flush())
            return false;
        // The disk starts on each piece at once: the sync at the end then waits
        // for little more than the last one.
        ::sync_file_range(file.handle(), offset, size, SYNC_FILE_RANGE_WRITE);
    }
    return true;
}

Status DocumentFile::writeWith(const QString& path, const std::function<bool(QSaveFile&)>& write)
{
    const QFileInfo info(path);
    struct stat status;
    // Saving replaces the file; a device, pipe or socket must never be replaced.
    if (::stat(QFile::encodeName(path).constData(), &status) == 0 && !S_ISREG(status.st_mode))
        return Error{ErrorCode::PathAccess, notAFile(status.st_mode)};
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Error{ErrorCode::WriteFailed, file.errorString()};
    if (info.exists())
        file.setPermissions(info.permissions());
    // QSaveFile commits even when its buffer cannot be written out at the end (a
    // full disk), which would replace the file with a cut one: flush and check first.
    if (!write(file) || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return Error{ErrorCode::WriteFailed, reason};
    }
    if (!file.commit())
        return Error{ErrorCode::WriteFailed, file.errorString()};
    return {};
}

namespace {

// Every character of the text for which (c | 1) is one of the marks becomes '\n'.
// Eight at a time without branches: a save of tens of megabytes otherwise spends
// a good part of its time in this loop.
void marksToNewlines(char16_t* c, qsizetype size, bool cellMarks)
{
    using Lanes = unsigned short __attribute__((vector_size(16)));
    constexpr qsizetype Width = sizeof(Lanes) / sizeof(char16_t);
    constexpr unsigned short Paragraph = QChar::ParagraphSeparator, Cell = 0xFDD1, Newline = u'\n';
    const auto isMark = [cellMarks](unsigned short u) {
        return (u | 1) == Paragraph || (cellMarks && (u | 1) == Cell);
    };
    qsizetype i = 0;
    for (; i + Width <= size; i += Width) {
        Lanes v;
        std::memcpy(&v, c + i, sizeof v);
        const Lanes odd = v | 1;
        Lanes mark = reinterpret_cast<Lanes>(odd == Paragraph);
        if (cellMarks)
            mark |= reinterpret_cast<Lanes>(odd == Cell);
        v = (v & ~mark) | (Newline & mark);
        std::memcpy(c + i, &v, sizeof v);
    }
    for (; i < size; ++i)
        if (isMark(c[i]))
            c[i] = u'\n';
}

} // namespace

Status DocumentFile::writeText(const QString& path, QString text, const TextFileFormat& format,
                               bool cellMarks)
{
    if (text.size() < 2 * TextPiece || !TextCodec::encodesInPieces(format))
        return writeBytes(path, TextCodec::encode(plainText(std::move(text), cellMarks), format));
    // Pieces cut after a line's end have their marks made line ends and are encoded
    // on other threads while the ones before them are written: a large file's
    // encoding then costs little more than its writing.
    static QThreadPool pool;
    pool.setMaxThreadCount(2);
    char16_t* data = reinterpret_cast<char16_t*>(text.data());
    const qsizetype size = text.size();
    std::vector<std::future<QByteArray>> pieces;
    for (qsizetype at = 0; at < size;) {
        qsizetype end = qMin(at + TextPiece, size);
        while (end < size && data[end - 1] != u'\n' && data[end - 1] != QChar::ParagraphSeparator)
            ++end;
        auto task = std::make_shared<std::packaged_task<QByteArray()>>(
            [piece = data + at, length = end - at, &format, cellMarks] {
                marksToNewlines(piece, length, cellMarks);
                return TextCodec::encodePiece(QStringView(piece, length), format);
            });
        pieces.push_back(task->get_future());
        pool.start([task] { (*task)(); });
        at = end;
    }
    const Status written = writeWith(path, [&](QSaveFile& file) {
        if (!writeAll(file, TextCodec::byteOrderMark(format)))
            return false;
        for (std::future<QByteArray>& piece : pieces)
            if (!writeAll(file, piece.get()))
                return false;
        return true;
    });
    // The pieces work on the text: none may outlive it.
    for (std::future<QByteArray>& piece : pieces)
        if (piece.valid())
            piece.wait();
    return written;
}

QString DocumentFile::plainText(const QTextDocument* document)
{
    // Table cells start and end with frame marks; as text each cell is a line.
    return plainText(document->toRawText(), !document->rootFrame()->childFrames().isEmpty());
}

QString DocumentFile::plainText(QString rawText, bool hasTables)
{
    marksToNewlines(reinterpret_cast<char16_t*>(rawText.data()), rawText.size(), hasTables);
    return rawText;
}

void DocumentFile::setPlainText(QTextDocument* document, const QString& text)
{
    document->setPlainText(text);
}

Result<TextFileFormat> DocumentFile::load(const QString& path, DocumentKind kind,
                                          QTextDocument* document, DocumentKind* readAs)
{
    Result<QByteArray> bytes = readBytes(path);
    if (!bytes)
        return bytes.error();
    if (kind == DocumentKind::Rtf) {
        // A file named .rtf that holds no RTF is shown as the text it is.
        if (RtfReader::looksLikeRtf(bytes.value())) {
            RtfReader::read(bytes.value(), document);
            if (readAs)
                *readAs = DocumentKind::Rtf;
            return TextFileFormat();
        }
    }
    if (readAs)
        *readAs = DocumentKind::Text;
    TextCodec::Decoded decoded = TextCodec::decode(bytes.value());
    setPlainText(document, decoded.text);
    return decoded.format;
}

Status DocumentFile::save(const QString& path, DocumentKind kind, const QTextDocument* document,
                          const TextFileFormat& format)
{
    if (kind == DocumentKind::Rtf)
        return writeBytes(path, RtfWriter::write(document));
    return writeText(path, document->toRawText(), format,
                     !document->rootFrame()->childFrames().isEmpty());
}

bool DocumentFile::carriesFormatting(const QTextCharFormat& format)
{
    static const int charProperties[] = {
        QTextFormat::FontWeight,           QTextFormat::FontItalic,
        QTextFormat::FontUnderline,        QTextFormat::TextUnderlineStyle,
        QTextFormat::FontStrikeOut,        QTextFormat::ForegroundBrush,
        QTextFormat::BackgroundBrush,      QTextFormat::FontFamilies,
        QTextFormat::FontPointSize,        QTextFormat::IsAnchor,
        QTextFormat::TextVerticalAlignment};
    if (format.isImageFormat())
        return true;
    for (int property : charProperties) {
        if (!format.hasProperty(property))
            continue;
        // Plain weight or no underline is no formatting.
        if (property == QTextFormat::FontWeight && format.fontWeight() == QFont::Normal)
            continue;
        if ((property == QTextFormat::FontItalic && !format.fontItalic()) ||
            (property == QTextFormat::FontUnderline && !format.fontUnderline()) ||
            (property == QTextFormat::FontStrikeOut && !format.fontStrikeOut()) ||
            (property == QTextFormat::TextUnderlineStyle &&
             format.underlineStyle() == QTextCharFormat::NoUnderline) ||
            (property == QTextFormat::IsAnchor && !format.isAnchor()))
            continue;
        return true;
    }
    return false;
}

bool DocumentFile::carriesFormatting(const QTextBlockFormat& paragraph)
{
    return (paragraph.alignment() & (Qt::AlignHCenter | Qt::AlignRight)) ||
           paragraph.leftMargin() != 0 || paragraph.rightMargin() != 0 ||
           paragraph.textIndent() != 0;
}

bool DocumentFile::holdsFormatting(const QTextDocument* document)
{
    if (!document->rootFrame()->childFrames().isEmpty())
        return true; // tables
    QSet<int> seen;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block.textList() || carriesFormatting(block.blockFormat()))
            return true;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (seen.contains(fragment.charFormatIndex()))
                continue;
            seen.insert(fragment.charFormatIndex());
            if (carriesFormatting(fragment.charFormat()))
                return true;
        }
    }
    return false;
}
