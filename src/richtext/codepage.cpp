#include "codepage.h"

#include "windows1252.h"

#include <QStringDecoder>
#include <map>

namespace {
QByteArray decoderName(int codePage)
{
    switch (codePage) {
    case 437:
        return "IBM437";
    case 850:
        return "IBM850";
    case 874:
        return "windows-874";
    case 932:
        return "Shift_JIS";
    case 936:
        return "GBK";
    case 949:
        return "windows-949";
    case 950:
        return "Big5";
    case 10000:
        return "macintosh";
    default:
        break;
    }
    if (codePage >= 1250 && codePage <= 1258)
        return "windows-" + QByteArray::number(codePage);
    return {};
}
} // namespace

namespace CodePage {

int fromCharset(int charset)
{
    switch (charset) {
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 255:
        return 437;
    default:
        return 0; // the document's own code page
    }
}

bool isKnown(int codePage)
{
    return codePage == Ansi || !decoderName(codePage).isEmpty();
}

bool isLeadByte(int codePage, uchar byte)
{
    switch (codePage) {
    case 932:
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:
    case 949:
    case 950:
        return byte >= 0x81 && byte <= 0xFE;
    default:
        return false;
    }
}

QString decode(int codePage, const QByteArray& bytes)
{
    if (codePage != Ansi) {
        // Looking a codec up by name costs more than decoding a short run with it.
        thread_local std::map<int, QStringDecoder> decoders;
        auto it = decoders.find(codePage);
        if (it == decoders.end()) {
            const QByteArray name = decoderName(codePage);
            it = decoders
                     .emplace(codePage, QStringDecoder(name.isEmpty() ? "" : name.constData(),
                                                       QStringConverter::Flag::Stateless))
                     .first;
        }
        if (it->second.isValid())
            return it->second.decode(bytes);
    }
    return Windows1252::decode(bytes);
}

} // namespace CodePage
