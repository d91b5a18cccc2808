#include "rtfwriter.h"

#include "rtfbuilder.h"
#include "windows1252.h"

#include <QTextDocument>

QByteArray RtfWriter::escape(const QString& text)
{
    QByteArray out;
    out.reserve(text.size() + 16);
    appendEscaped(out, text);
    return out;
}

void RtfWriter::appendEscaped(QByteArray& out, QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        // Runs of plain ASCII go in one piece.
        qsizetype end = i;
        while (end < text.size() && text[end].unicode() >= 0x20 && text[end].unicode() < 0x80 &&
               text[end] != u'\\' && text[end] != u'{' && text[end] != u'}')
            ++end;
        if (end > i) {
            const qsizetype at = out.size();
            out.resize(at + (end - i));
            for (qsizetype k = i; k < end; ++k)
                out[at + (k - i)] = char(text[k].unicode());
            i = end - 1;
            continue;
        }
        const char16_t c = text[i].unicode();
        switch (c) {
        case u'\\':
            out += "\\\\";
            continue;
        case u'{':
            out += "\\{";
            continue;
        case u'}':
            out += "\\}";
            continue;
        case u'\t':
            out += "\\tab ";
            continue;
        case 0x2028:
            out += "\\line ";
            continue;
        case 0x00A0:
            out += "\\~";
            continue;
        case 0x00AD:
            out += "\\-";
            continue;
        case 0x2011:
            out += "\\_";
            continue;
        default:
            break;
        }
        if (c >= 0x20 && c < 0x80) {
            out += char(c);
        } else if (c < 0x20) {
            out += "\\u" + QByteArray::number(int(c)) + '?';
        } else {
            // Unicode for readers that know it, the ANSI byte for those that do not.
            out += "\\u" + QByteArray::number(int(qint16(c)));
            const QByteArray ansi = Windows1252::canEncode(QChar(c))
                                        ? Windows1252::encode(QString(QChar(c)))
                                        : QByteArray("?");
            if (uchar(ansi[0]) >= 0x80)
                out += "\\'" + ansi.toHex();
            else
                out += ansi;
        }
    }
}

QByteArray RtfWriter::write(const QTextDocument* document)
{
    return write(document, 0, document->characterCount() - 1);
}

QByteArray RtfWriter::write(const QTextDocument* document, int from, int to)
{
    return RtfBuilder(document, from, qMax(from, to)).build();
}
