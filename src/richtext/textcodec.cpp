#include "textcodec.h"

#include "textpieces.h"
#include "windows1252.h"

#include <limits>

#include <QStringDecoder>
#include <QStringEncoder>
#include <uchardet.h>

namespace {

const QByteArray Utf8 = QByteArrayLiteral("UTF-8");
const QByteArray Cp1252 = QByteArrayLiteral("windows-1252");

struct Bom {
    const char* bytes;
    int size;
    const char* encoding;
};
// Longest first: the UTF-32LE mark begins with the UTF-16LE one.
constexpr Bom Boms[] = {{"\xFF\xFE\x00\x00", 4, "UTF-32LE"},
                        {"\x00\x00\xFE\xFF", 4, "UTF-32BE"},
                        {"\xEF\xBB\xBF", 3, "UTF-8"},
                        {"\xFF\xFE", 2, "UTF-16LE"},
                        {"\xFE\xFF", 2, "UTF-16BE"}};

const Bom* findBom(const QByteArray& bytes)
{
    for (const Bom& bom : Boms)
        if (bytes.startsWith(QByteArray::fromRawData(bom.bytes, bom.size)))
            return &bom;
    return nullptr;
}

QByteArray bomFor(const QByteArray& encoding)
{
    for (const Bom& bom : Boms)
        if (encoding == bom.encoding)
            return QByteArray(bom.bytes, bom.size);
    return {};
}

// The code pages where one byte is one character, as uchardet names them.
bool isSingleByte(const QByteArray& upper)
{
    return upper.startsWith("ISO-8859-") || upper.startsWith("WINDOWS-125") ||
           upper.startsWith("IBM") || upper.startsWith("CP") || upper.startsWith("MAC") ||
           upper.startsWith("KOI8") || upper.startsWith("TIS-620") || upper.startsWith("VISCII");
}

bool isBuiltIn(const QByteArray& encoding)
{
    return encoding == Utf8 || encoding == Cp1252;
}

} // namespace

bool TextCodec::isValidUtf8(const char* data, qsizetype size)
{
    const auto* p = reinterpret_cast<const uchar*>(data);
    const auto* end = p + size;
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        int extra;
        char32_t cp;
        if ((*p & 0xE0) == 0xC0) {
            extra = 1;
            cp = *p & 0x1F;
        } else if ((*p & 0xF0) == 0xE0) {
            extra = 2;
            cp = *p & 0x0F;
        } else if ((*p & 0xF8) == 0xF0) {
            extra = 3;
            cp = *p & 0x07;
        } else {
            return false;
        }
        if (end - p <= extra)
            return false;
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        static constexpr char32_t Minimum[] = {0, 0x80, 0x800, 0x10000};
        if (cp < Minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        p += extra + 1;
    }
    return true;
}

QByteArray TextCodec::detectEncoding(const QByteArray& bytes)
{
    if (isValidUtf8(bytes.constData(), bytes.size()))
        return Utf8;
    QByteArray guess;
    if (uchardet_t detector = uchardet_new()) {
        // A few megabytes are plenty to judge by and keep large files quick.
        const qsizetype sample = qMin<qsizetype>(bytes.size(), 4 * 1024 * 1024);
        if (uchardet_handle_data(detector, bytes.constData(), size_t(sample)) == 0) {
            uchardet_data_end(detector);
            guess = QByteArray(uchardet_get_charset(detector));
        }
        uchardet_delete(detector);
    }
    const QByteArray upper = guess.toUpper();
    if (guess.isEmpty() || upper == "ASCII" || upper == "ISO-8859-1" || upper == "WINDOWS-1252" ||
        upper.startsWith("UTF-"))
        return Cp1252;
    if (!QStringDecoder(guess.constData()).isValid())
        return Cp1252;
    // A short text guessed as another single-byte code page ("café" comes out
    // ISO-8859-2) that reads just the same in Windows-1252 is Windows-1252:
    // only a guess that gives other characters names another encoding.
    if (isSingleByte(upper) && decodeWith(guess, bytes) == Windows1252::decode(bytes))
        return Cp1252;
    return guess;
}

QString TextCodec::decodeWith(const QByteArray& encoding, const char* data, qsizetype size)
{
    if (encoding == Cp1252)
        return Windows1252::decode(data, size);
    if (encoding == Utf8)
        return QString::fromUtf8(data, size);
    QStringDecoder decoder(encoding.constData(), QStringDecoder::Flag::Stateless);
    return decoder.decode(QByteArrayView(data, size));
}

QByteArray TextCodec::encodeWith(const QByteArray& encoding, const QString& text)
{
    if (encoding == Cp1252)
        return Windows1252::encode(text);
    if (encoding == Utf8)
        return text.toUtf8();
    QStringEncoder encoder(encoding.constData(), QStringEncoder::Flag::Stateless);
    return encoder.encode(text);
}

TextCodec::Prepared TextCodec::prepare(const QByteArray& bytes)
{
    Prepared prepared;
    TextFileFormat& format = prepared.format;
    if (const Bom* bom = findBom(bytes)) {
        format.encoding = bom->encoding;
        format.byteOrderMark = true;
        prepared.offset = bom->size;
    } else {
        format.encoding = detectEncoding(bytes);
    }
    const char* data = bytes.constData() + prepared.offset;
    const qsizetype size = bytes.size() - prepared.offset;
    // Without a mark, UTF-8 was found valid; after one it may not be, and where
    // it is not only the whole reads as the whole does.
    if (format.encoding == Cp1252 ||
        (format.encoding == Utf8 && (!format.byteOrderMark || isValidUtf8(data, size))))
        return prepared;
    prepared.whole = true;
    prepared.raw = decodeWith(format.encoding, data, size);
    // Only a decoding that gives every byte back is kept; Windows-1252 always does.
    if (!isBuiltIn(format.encoding) &&
        encodeWith(format.encoding, prepared.raw) != QByteArray::fromRawData(data, size)) {
        format.encoding = Cp1252;
        format.byteOrderMark = false;
        prepared.offset = 0;
        prepared.whole = false;
        prepared.raw = QString();
    }
    return prepared;
}

TextCodec::Decoded TextCodec::decode(const QByteArray& bytes)
{
    // One piece: read at once, the text is made once.
    TextPieces pieces(bytes, std::numeric_limits<qsizetype>::max() / 2);
    Decoded result;
    if (!pieces.atEnd())
        result.text = pieces.next();
    while (!pieces.atEnd())
        result.text += pieces.next();
    result.format = pieces.format();
    return result;
}

namespace {

// The line ends put into bytes where each '\n' is the byte 0x0A and no other
// character's bytes hold one (UTF-8, Windows-1252): one pass over bytes rather
// than over twice as many bytes of text.
QByteArray withEndings(const QByteArray& lf, const TextFileFormat& format)
{
    QByteArray bytes;
    bytes.reserve(lf.size() + lf.size() / 16 + 16);
    qsizetype line = 0;
    qsizetype start = 0;
    const char* data = lf.constData();
    for (qsizetype i = lf.indexOf('\n'); i >= 0; i = lf.indexOf('\n', start)) {
        bytes.append(data + start, i - start);
        const LineEnding e =
            line < format.mixedEndings.size() ? format.mixedEndings[line] : format.lineEnding;
        bytes.append(e == LineEnding::CRLF ? "\r\n" : e == LineEnding::CR ? "\r" : "\n");
        ++line;
        start = i + 1;
    }
    bytes.append(data + start, lf.size() - start);
    return bytes;
}

} // namespace

QByteArray TextCodec::encode(const QString& text, const TextFileFormat& format)
{
    const bool otherEndings = format.isMixed() || format.lineEnding != LineEnding::LF;
    if (otherEndings && isBuiltIn(format.encoding)) {
        QByteArray bytes = format.byteOrderMark ? bomFor(format.encoding) : QByteArray();
        bytes += withEndings(encodeWith(format.encoding, text), format);
        return bytes;
    }
    QString raw;
    if (otherEndings) {
        // One pass that appends each line and its end: large files save at disk speed.
        const QString crlf = QStringLiteral("\r\n"), cr = QStringLiteral("\r"),
                      lf = QStringLiteral("\n");
        raw.reserve(text.size() + text.size() / 16 + 16);
        qsizetype line = 0;
        qsizetype start = 0;
        const QChar* data = text.constData();
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (data[i] != u'\n')
                continue;
            raw.append(data + start, i - start);
            const LineEnding e =
                line < format.mixedEndings.size() ? format.mixedEndings[line] : format.lineEnding;
            raw += e == LineEnding::CRLF ? crlf : e == LineEnding::CR ? cr : lf;
            ++line;
            start = i + 1;
        }
        raw.append(data + start, text.size() - start);
    } else {
        raw = text;
    }
    QByteArray bytes = format.byteOrderMark ? bomFor(format.encoding) : QByteArray();
    bytes += encodeWith(format.encoding, raw);
    return bytes;
}

bool TextCodec::encodesInPieces(const TextFileFormat& format)
{
    return isBuiltIn(format.encoding) && !format.isMixed();
}

QByteArray TextCodec::byteOrderMark(const TextFileFormat& format)
{
    return format.byteOrderMark ? bomFor(format.encoding) : QByteArray();
}

QByteArray TextCodec::encodePiece(QStringView text, const TextFileFormat& format)
{
    QByteArray bytes =
        format.encoding == Utf8 ? text.toUtf8() : Windows1252::encode(text.toString());
    return format.lineEnding == LineEnding::LF ? bytes : withEndings(bytes, format);
}

bool TextCodec::canEncode(const QString& text, const QByteArray& encoding)
{
    if (encoding.startsWith("UTF-"))
        return true;
    if (encoding == Cp1252)
        return std::all_of(text.cbegin(), text.cend(), Windows1252::canEncode);
    return decodeWith(encoding, encodeWith(encoding, text)) == text;
}
