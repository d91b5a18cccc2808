#include "filematcher.h"

#include "richtext/textcodec.h"
#include "richtext/windows1252.h"

#include <cstring>

namespace {

const QByteArray Utf8 = QByteArrayLiteral("UTF-8");
const QByteArray Cp1252 = QByteArrayLiteral("windows-1252");
constexpr qsizetype BinaryProbe = 32 * 1024;

bool isAscii(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

bool hasWideMark(const QByteArray& bytes)
{
    return bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") ||
           bytes.startsWith(QByteArray("\x00\x00\xFE\xFF", 4));
}

uchar foldByte(uchar c)
{
    return uchar(c - 'A') < 26 ? uchar(c + 32) : c;
}

char16_t foldAscii(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// Lines end at LF, CR LF or a lone CR; counts the ends in [from, to).
qint64 countLineEnds(const char* data, qsizetype size, qsizetype from, qsizetype to, bool hasCr)
{
    if (!hasCr)
        return std::count(data + from, data + to, '\n');
    qint64 n = 0;
    for (qsizetype i = from; i < to; ++i) {
        if (data[i] == '\n')
            ++n;
        else if (data[i] == '\r' && (i + 1 >= size || data[i + 1] != '\n'))
            ++n;
    }
    return n;
}

} // namespace

FileMatcher::FileMatcher(const SearchOptions& options) : m_options(options)
{
    m_asciiNeedle = isAscii(options.find);
    if (m_asciiNeedle) {
        m_asciiBytes = options.find.toLatin1();
        if (options.ignoreCase)
            m_asciiBytes = m_asciiBytes.toLower();
        const qsizetype n = m_asciiBytes.size();
        m_skip.fill(qMax<qsizetype>(n, 1));
        for (qsizetype i = 0; i + 1 < n; ++i) {
            const uchar c = uchar(m_asciiBytes[i]);
            m_skip[c] = n - 1 - i;
            if (c >= 'a' && c <= 'z')
                m_skip[c - 32] = n - 1 - i;
        }
    }
}

bool FileMatcher::isBinary(const QByteArray& bytes)
{
    if (hasWideMark(bytes))
        return false;
    return std::memchr(bytes.constData(), 0, size_t(qMin(bytes.size(), BinaryProbe))) != nullptr;
}

bool FileMatcher::isUtf8(const char* data, qsizetype size)
{
    // Most text is ASCII: test eight bytes at a time and validate only the rest.
    qsizetype i = 0;
    while (i < size) {
        while (i + 8 <= size) {
            quint64 word;
            std::memcpy(&word, data + i, 8);
            if (word & 0x8080808080808080ULL)
                break;
            i += 8;
        }
        while (i < size && uchar(data[i]) < 0x80)
            ++i;
        if (i >= size)
            return true;
        // No sequence holds an ASCII byte, so the run ends at a safe cut.
        qsizetype end = i;
        while (end < size && uchar(data[end]) >= 0x80)
            ++end;
        if (!TextCodec::isValidUtf8(data + i, end - i))
            return false;
        i = end;
    }
    return true;
}

qsizetype FileMatcher::findBytes(const char* haystack, qsizetype size, qsizetype from,
                                 const QByteArray& needle) const
{
    if (m_options.ignoreCase && m_asciiNeedle && needle == m_asciiBytes)
        return findFolded(haystack, size, from);
    const void* hit =
        ::memmem(haystack + from, size_t(size - from), needle.constData(), size_t(needle.size()));
    return hit ? static_cast<const char*>(hit) - haystack : -1;
}

// Horspool's search with ASCII case folded on the fly: no folded copy of the
// file, and the skips make it about as quick as the exact search.
qsizetype FileMatcher::findFolded(const char* haystack, qsizetype size, qsizetype from) const
{
    const auto* data = reinterpret_cast<const uchar*>(haystack);
    const auto* needle = reinterpret_cast<const uchar*>(m_asciiBytes.constData());
    const qsizetype n = m_asciiBytes.size();
    const uchar last = needle[n - 1];
    for (qsizetype pos = from; pos + n <= size;) {
        const uchar c = data[pos + n - 1];
        if (foldByte(c) == last) {
            qsizetype k = n - 2;
            while (k >= 0 && foldByte(data[pos + k]) == needle[k])
                --k;
            if (k < 0)
                return pos;
        }
        pos += m_skip[c];
    }
    return -1;
}

FileScan FileMatcher::scan(const QByteArray& bytes) const
{
    FileScan result;
    if (m_options.find.isEmpty())
        return result;
    if (hasWideMark(bytes)) {
        scanDecoded(bytes, result);
        return result;
    }
    // An ASCII character decodes from its own byte in every encoding left here,
    // so a file without the needle's bytes cannot hold the needle. Binary files
    // are told about only when they would have matched, as grep does.
    if (m_asciiNeedle && findBytes(bytes.constData(), bytes.size(), 0, m_asciiBytes) < 0)
        return result;
    if (isBinary(bytes)) {
        result.kind = FileScan::Kind::Binary;
        return result;
    }
    qsizetype offset = 0;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        result.format.encoding = Utf8;
        result.format.byteOrderMark = true;
        offset = 3;
    } else if (isUtf8(bytes.constData(), bytes.size())) {
        result.format.encoding = Utf8;
    } else {
        const QByteArray guess = TextCodec::detectEncoding(bytes);
        if (guess != Cp1252) {
            scanDecoded(bytes, result);
            return result;
        }
        result.format.encoding = Cp1252;
    }
    if (m_asciiNeedle) {
        scanBytes(bytes, offset, m_asciiBytes, result);
    } else if (!m_options.ignoreCase) {
        if (result.format.encoding == Cp1252 &&
            !TextCodec::canEncode(m_options.find, result.format.encoding))
            return result;
        const QByteArray needle = result.format.encoding == Utf8
                                      ? m_options.find.toUtf8()
                                      : Windows1252::encode(m_options.find);
        scanBytes(bytes, offset, needle, result);
    } else {
        scanDecoded(bytes, result);
        return result;
    }
    for (LineMatch& line : result.lines) {
        const char* start = bytes.constData() + line.byteStart;
        const qsizetype size = line.byteEnd - line.byteStart;
        line.text = result.format.encoding == Utf8 ? QString::fromUtf8(start, size)
                                                   : Windows1252::decode(start, size);
        line.spans = findInLine(line.text);
        result.matchCount += int(line.spans.size());
    }
    result.lines.removeIf([](const LineMatch& line) { return line.spans.isEmpty(); });
    if (!result.lines.isEmpty()) {
        // The line ends are only told, never needed to rewrite: bytes outside
        // the matching lines are copied as they are.
        const char* data = bytes.constData();
        if (const char* cr = static_cast<const char*>(std::memchr(data, '\r', bytes.size())))
            result.format.lineEnding =
                cr + 1 < data + bytes.size() && cr[1] == '\n' ? LineEnding::CRLF : LineEnding::CR;
    }
    return result;
}

void FileMatcher::scanBytes(const QByteArray& haystack, qsizetype offset, const QByteArray& needle,
                            FileScan& result) const
{
    const char* data = haystack.constData();
    const qsizetype size = haystack.size();
    const bool hasCr = std::memchr(data, '\r', size_t(size)) != nullptr;
    qsizetype from = offset; // always the start of a line
    qsizetype counted = offset;
    qint64 lineNumber = 1;
    while (from < size) {
        const qsizetype hit = findBytes(data, size, from, needle);
        if (hit < 0)
            break;
        qsizetype start = hit;
        while (start > from && data[start - 1] != '\n' && data[start - 1] != '\r')
            --start;
        qsizetype end = hit;
        if (!hasCr) {
            const void* nl = std::memchr(data + hit, '\n', size_t(size - hit));
            end = nl ? static_cast<const char*>(nl) - data : size;
        } else {
            while (end < size && data[end] != '\n' && data[end] != '\r')
                ++end;
        }
        lineNumber += countLineEnds(data, size, counted, start, hasCr);
        counted = start;
        LineMatch line;
        line.number = lineNumber;
        line.byteStart = start;
        line.byteEnd = end;
        result.lines.append(line);
        if (end >= size)
            break;
        from = end + (data[end] == '\r' && end + 1 < size && data[end + 1] == '\n' ? 2 : 1);
    }
}

void FileMatcher::scanDecoded(const QByteArray& bytes, FileScan& result) const
{
    TextCodec::Decoded decoded = TextCodec::decode(bytes);
    result.format = decoded.format;
    qint64 number = 0;
    for (QStringView line : QStringTokenizer(decoded.text, u'\n')) {
        ++number;
        QList<QPair<qsizetype, qsizetype>> spans = findInLine(line);
        if (spans.isEmpty())
            continue;
        LineMatch match;
        match.number = number;
        match.text = line.toString();
        match.spans = std::move(spans);
        result.matchCount += int(match.spans.size());
        result.lines.append(std::move(match));
    }
}

qsizetype FileMatcher::indexIn(QStringView line, qsizetype from) const
{
    if (!m_options.ignoreCase || !m_asciiNeedle)
        return line.indexOf(m_options.find, from,
                            m_options.ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive);
    // ASCII folding only, as the byte search does, so both ways find the same.
    const qsizetype n = m_asciiBytes.size();
    for (qsizetype i = from; i + n <= line.size(); ++i) {
        qsizetype k = 0;
        while (k < n && foldAscii(line[i + k].unicode()) == char16_t(uchar(m_asciiBytes[k])))
            ++k;
        if (k == n)
            return i;
    }
    return -1;
}

bool FileMatcher::isWordBoundary(QStringView line, qsizetype start, qsizetype length) const
{
    if (start > 0 && isWordChar(line[start - 1]))
        return false;
    const qsizetype after = start + length;
    return after >= line.size() || !isWordChar(line[after]);
}

QList<QPair<qsizetype, qsizetype>> FileMatcher::findInLine(QStringView line) const
{
    QList<QPair<qsizetype, qsizetype>> spans;
    const qsizetype length = m_options.find.size();
    if (length == 0)
        return spans;
    qsizetype from = 0;
    while (from <= line.size() - length) {
        const qsizetype at = indexIn(line, from);
        if (at < 0)
            break;
        if (m_options.wholeWord && !isWordBoundary(line, at, length)) {
            from = at + 1;
            continue;
        }
        spans.append({at, length});
        from = at + length;
    }
    return spans;
}
