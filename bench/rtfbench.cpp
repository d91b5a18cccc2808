// Reads and writes generated RTF of 1, 10 and 50 MB, text-heavy and
// formatting-heavy, and prints throughput and peak memory. Each case runs in a
// process of its own so that its peak memory is its own.
#include "benchsupport.h"
#include "richtext/documentconverter.h"
#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <cstdio>
#include <vector>

namespace {

QByteArray generate(bool formatted, qint64 bytes)
{
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Courier New;}{\\f1 Arial;}"
                     "{\\f2\\fcharset204 Times New Roman Cyr;}}{\\colortbl;\\red200\\green0\\blue0;"
                     "\\red0\\green0\\blue200;}\n";
    out.reserve(bytes + 1024);
    const QByteArray words =
        "The quick brown fox jumps over the lazy dog while the editor keeps up. ";
    int n = 0;
    while (out.size() < bytes) {
        ++n;
        if (formatted) {
            out += "\\pard\\li" + QByteArray::number(n % 4 * 360) + (n % 3 ? "\\qj " : "\\qc ");
            out += "{\\b bold} {\\i\\cf1 red italic} {\\f1\\fs28 big} caf\\'e9 {\\ul\\cf2 under} "
                   "\\u8364? {\\f2 \\'cf\\'f0\\'e8} {\\strike gone}\\tab{\\super 2}\\par\n";
        } else {
            out += "\\pard " + words + words + words + words + "caf\\'e9 \\u8364?\\par\n";
        }
    }
    out += "}";
    return out;
}

// Rebuilds the document from its own runs through QTextCursor alone: the time
// the document model needs however fast the RTF is parsed.
qint64 insertionFloorMs(const QTextDocument& source)
{
    struct Run {
        QString text;
        QTextCharFormat format;
    };
    std::vector<std::pair<QTextBlockFormat, std::vector<Run>>> blocks;
    for (QTextBlock b = source.begin(); b.isValid(); b = b.next()) {
        blocks.emplace_back(b.blockFormat(), std::vector<Run>());
        for (auto it = b.begin(); !it.atEnd(); ++it)
            blocks.back().second.push_back({it.fragment().text(), it.fragment().charFormat()});
    }
    QElapsedTimer clock;
    clock.start();
    QTextDocument copy;
    copy.setUndoRedoEnabled(false);
    QTextCursor cursor(&copy);
    cursor.beginEditBlock();
    for (const auto& [format, runs] : blocks) {
        if (cursor.position() > 0)
            cursor.insertBlock(format);
        else
            cursor.setBlockFormat(format);
        for (const Run& run : runs)
            cursor.insertText(run.text, run.format);
    }
    cursor.endEditBlock();
    return qMax<qint64>(1, clock.elapsed());
}

int runCase(bool formatted, int megabytes)
{
    QTemporaryDir dir;
    const QByteArray rtf = generate(formatted, qint64(megabytes) * 1024 * 1024);
    const QString in = dir.filePath(QStringLiteral("in.rtf"));
    QFile file(in);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(rtf);
    file.close();
    const double mb = rtf.size() / (1024.0 * 1024.0);
    const qint64 baseline = peakKilobytes();

    QElapsedTimer clock;
    clock.start();
    QTextDocument document;
    RtfReader::read(rtf, &document);
    const qint64 readMs = qMax<qint64>(1, clock.restart());
    const QByteArray written = RtfWriter::write(&document);
    const qint64 writeMs = qMax<qint64>(1, clock.restart());
    const double memoryMb = (peakKilobytes() - baseline) / 1024.0;
    const qint64 floorMs = insertionFloorMs(document);
    clock.restart();
    DocumentConverter::convert(in, dir.filePath(QStringLiteral("out.txt")), {});
    const qint64 convertMs = clock.elapsed();
    std::printf("%-10s %3d MB: read %6.1f MB/s (%5lld ms), write %6.1f MB/s (%5lld ms), "
                "rtf->txt %5lld ms, memory %6.1f MB (%.1fx the file), "
                "document model alone %6.1f MB/s\n",
                formatted ? "formatted" : "text", megabytes, mb * 1000 / readMs, readMs,
                written.size() / (1024.0 * 1024.0) * 1000 / writeMs, writeMs, convertMs, memoryMb,
                memoryMb / mb, mb * 1000 / floorMs);
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && QByteArray(argv[1]) == "--case") {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        return runCase(QByteArray(argv[2]) == "formatted", QByteArray(argv[3]).toInt());
    }
    QCoreApplication app(argc, argv);
    for (const char* kind : {"text", "formatted"}) {
        for (int size : {1, 10, 50}) {
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedOutputChannel);
            child.start(
                QCoreApplication::applicationFilePath(),
                {QStringLiteral("--case"), QString::fromLatin1(kind), QString::number(size)});
            child.waitForFinished(-1);
        }
    }
    return 0;
}
