// libFuzzer target: any bytes through the RTF reader, and what it read back
// through the writer and the reader again.
#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"

#include <QGuiApplication>
#include <QTextDocument>

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
    QTextDocument again;
    RtfReader::read(written, &again);
    return 0;
}
