// libFuzzer target: any bytes through the RTF reader, and what it read back
// through the writer and the reader again, which must give the same text and,
// written, the same bytes.
#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QTextDocument document;
    if (!RtfReader::read(input, &document).ok())
        return 0;
    const QByteArray written = RtfWriter::write(&document);
    // What the writer wrote reads back to the same text, and written again gives
    // the same bytes.
    QTextDocument again;
    if (!RtfReader::read(written, &again).ok() || again.toPlainText() != document.toPlainText() ||
        RtfWriter::write(&again) != written)
        abort();
    return 0;
}
