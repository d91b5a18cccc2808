// Reads and writes generated RTF of 1, 10 and 50 MB, text-heavy, formatting-heavy
// and as an office suite writes it, and prints throughput and peak memory, beside
// the time the document model alone takes to take the same runs. Each case runs in a
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
#include <ctime>
#include <vector>

namespace {

// RTF as a common office suite writes it: a style sheet, each paragraph starting
// again from \pard\plain with its style and a dozen words for languages and
// scripts, and each short run in a group of its own repeating the fonts of every
// script and the language.
QByteArray generateOffice(qint64 bytes)
{
    QByteArray out =
        "{\\rtf1\\ansi\\deff3\\adeflang1025\n"
        "{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New "
        "Roman;}{\\f1\\froman\\fprq2\\fcharset2 "
        "Symbol;}{\\f2\\fswiss\\fprq2\\fcharset0 Arial;}{\\f3\\froman\\fprq2\\fcharset0 Liberation "
        "Serif{\\*\\falt Times New Roman};}{\\f4\\fswiss\\fprq2\\fcharset0 Liberation "
        "Sans{\\*\\falt "
        "Arial};}{\\f5\\fnil\\fprq2\\fcharset0 Noto Sans CJK SC;}{\\f6\\fnil\\fprq2\\fcharset0 "
        "Noto Sans "
        "Devanagari;}}\n"
        "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green0\\blue255;\\red0\\green255\\blue255;"
        "\\red0\\green255"
        "\\blue0;\\red255\\green0\\blue255;\\red255\\green0\\blue0;\\red255\\green255\\blue0;"
        "\\red0\\green0"
        "\\blue128;}\n"
        "{\\stylesheet{\\s0\\snext0\\rtlch\\af6\\afs24\\alang1081 "
        "\\ltrch\\lang2057\\langfe2052\\hich\\af3"
        "\\loch\\widctlpar\\hyphpar0\\ltrpar\\cf0\\f3\\fs24\\lang2057\\kerning1\\dbch\\af5\\langfe2"
        "052 "
        "Normal;}\n"
        "{\\s1\\sbasedon15\\snext16\\rtlch\\af6\\afs36\\ab "
        "\\ltrch\\hich\\af4\\loch\\ilvl0\\outlinelevel0"
        "\\sb240\\sa120\\keepn\\f4\\fs36\\b\\dbch\\af5 Heading 1;}\n"
        "{\\*\\cs15\\snext15\\rtlch\\ab \\ltrch\\loch\\b Strong;}\n"
        "{\\s15\\sbasedon0\\snext16\\rtlch\\af6\\afs28 "
        "\\ltrch\\hich\\af4\\loch\\sb240\\sa120\\keepn\\f4"
        "\\fs28\\dbch\\af5 Heading;}\n"
        "{\\s16\\sbasedon0\\snext16\\loch\\sl276\\slmult1\\sb0\\sa140 Text Body;}\n"
        "}{\\*\\generator LibreOffice/7.4.7.2$Linux_X86_64 LibreOffice_project/40$Build-2}{\\info"
        "{\\creatim\\yr2024\\mo3\\dy5\\hr10\\min12}}\\deftab709\n"
        "\\hyphauto1\\viewscale100\\formshade\\paperh16838\\paperw11906\\margl1134\\margr1134\\marg"
        "t1134"
        "\\margb1134\\sectd\\sbknone\\pgndec\\sftnnar\\saftnnrlc\\sectunlocked1\\pgwsxn11906\\pghsx"
        "n16838"
        "\\ftnbj\\ftnstart1\\ftnrstcont\\ftnnar\\aenddoc\\aftnrstcont\\aftnstart1\\aftnnrlc\n"
        "{\\*\\ftnsep\\chftnsep}";
    out.reserve(bytes + 4096);
    const char* const words[] = {"quick", "brown", "fox",    "jumps", "over",   "the",
                                 "lazy",  "dog",   "editor", "keeps", "window", "paragraph"};
    // The words each run repeats, with what sets it apart.
    const QByteArray run = "{\\rtlch\\fcs1 \\af6 \\ltrch\\fcs0 ";
    const QByteArray scripts = "\\lang2057\\langfe2052\\hich\\af3\\loch\\f3\\lang2057 ";
    const char* const looks[] = {"", "\\b", "\\i", "\\cf6", "\\fs28", "\\ul\\ulc0", "", ""};
    RepeatableNumbers numbers(11);
    // The high bits: the low ones of such numbers repeat after a few draws.
    const auto pick = [&numbers](int n) { return int(numbers.next() >> 16) % n; };
    int n = 0;
    while (out.size() < bytes) {
        ++n;
        const bool heading = n % 25 == 1;
        out +=
            heading
                ? "\\pard\\plain \\s1\\rtlch\\af6\\afs36\\ab \\ltrch\\hich\\af4\\loch\\ilvl0"
                  "\\outlinelevel0\\sb240\\sa120\\keepn\\f4\\fs36\\b\\dbch\\af5\\ql\\ltrpar"
                : "\\pard\\plain \\s16\\rtlch\\af6\\afs24\\alang1081 \\ltrch\\lang2057\\langfe2052"
                  "\\hich\\af3\\loch\\widctlpar\\hyphpar0\\ltrpar\\cf0\\f3\\fs24\\lang2057\\kerning"
                  "1"
                  "\\dbch\\af5\\langfe2052\\sl276\\slmult1\\sb0\\sa140\\ql\\ltrpar";
        const int runs = heading ? 1 : 6 + pick(8);
        for (int r = 0; r < runs; ++r) {
            out += run;
            if (!heading)
                out += looks[pick(8)];
            out += scripts;
            for (int w = 1 + pick(4); w > 0; --w) {
                out += words[pick(12)];
                out += ' ';
            }
            if (pick(16) == 0)
                out += "caf\\'e9 \\u8364\\'80 ";
            out += '}';
        }
        out += "\n\\par ";
    }
    out += "}";
    return out;
}

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

struct Times {
    double wallMs, cpuMs;
};

// Wall time, and the processor time of this thread: other programs on the machine
// take the processor away at times, which counts in the one but not in the other.
class Clock {
public:
    Clock() : m_cpu(cpuNs()) { m_wall.start(); }
    Times elapsed() const
    {
        return {qMax(0.001, m_wall.nsecsElapsed() / 1e6), qMax(0.001, (cpuNs() - m_cpu) / 1e6)};
    }

private:
    static qint64 cpuNs()
    {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
    }
    QElapsedTimer m_wall;
    qint64 m_cpu;
};

Times fastest(Times a, Times b)
{
    return {qMin(a.wallMs, b.wallMs), qMin(a.cpuMs, b.cpuMs)};
}

Times timedRead(const QByteArray& rtf)
{
    const Clock clock;
    QTextDocument document;
    RtfReader::read(rtf, &document);
    return clock.elapsed();
}

// Rebuilds the document from its own runs through QTextCursor alone: the time
// the document model needs however fast the RTF is parsed.
Times insertionFloor(const QTextDocument& source)
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
    const Clock clock;
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
    return clock.elapsed();
}

int runCase(const QByteArray& kind, int megabytes)
{
    QTemporaryDir dir;
    const qint64 bytes = qint64(megabytes) * 1024 * 1024;
    const QByteArray rtf =
        kind == "office" ? generateOffice(bytes) : generate(kind == "formatted", bytes);
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
    const qint64 firstReadMs = qMax<qint64>(1, clock.restart());
    const QByteArray written = RtfWriter::write(&document);
    const qint64 writeMs = qMax<qint64>(1, clock.restart());
    const double memoryMb = (peakKilobytes() - baseline) / 1024.0;
    // Both again, taking turns, and the fastest of each: the first to run pays for
    // the memory the process takes from the system, and the machine is shared.
    Times floor = insertionFloor(document), read = timedRead(rtf);
    for (int i = 0; i < 4; ++i) {
        floor = fastest(floor, insertionFloor(document));
        read = fastest(read, timedRead(rtf));
    }
    clock.restart();
    DocumentConverter::convert(in, dir.filePath(QStringLiteral("out.txt")), {});
    const qint64 convertMs = clock.elapsed();
    std::printf("%-10s %3d MB: read %6.1f MB/s (%5.0f ms, first %lld ms), write %6.1f MB/s (%5lld "
                "ms), rtf->txt %5lld ms, memory %6.1f MB (%.1fx the file)\n",
                kind.constData(), megabytes, mb * 1000 / read.wallMs, read.wallMs, firstReadMs,
                written.size() / (1024.0 * 1024.0) * 1000 / writeMs, writeMs, convertMs, memoryMb,
                memoryMb / mb);
    std::printf("%-10s %3d MB: document model alone %6.1f MB/s (%5.0f ms); processor time: "
                "read %5.0f ms, document model alone %5.0f ms, read takes %.2fx\n",
                kind.constData(), megabytes, mb * 1000 / floor.wallMs, floor.wallMs, read.cpuMs,
                floor.cpuMs, read.cpuMs / floor.cpuMs);
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // "rtfbench --read FILE" reads a file three times, for a profiler.
    if (argc == 3 && QByteArray(argv[1]) == "--read") {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        QFile file(QString::fromLocal8Bit(argv[2]));
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        const QByteArray rtf = file.readAll();
        for (int i = 0; i < 3; ++i) {
            QElapsedTimer clock;
            clock.start();
            QTextDocument document;
            RtfReader::read(rtf, &document);
            std::printf("read %lld ms\n", clock.elapsed());
        }
        return 0;
    }
    // "rtfbench --save office 10 FILE" writes the generated RTF, for a profiler or
    // for opening in the editor.
    if (argc == 5 && QByteArray(argv[1]) == "--save") {
        const qint64 bytes = QByteArray(argv[3]).toLongLong() * 1024 * 1024;
        QFile file(QString::fromLocal8Bit(argv[4]));
        const QByteArray kind = argv[2];
        return file.open(QIODevice::WriteOnly) &&
                       file.write(kind == "office" ? generateOffice(bytes)
                                                   : generate(kind == "formatted", bytes)) > 0
                   ? 0
                   : 1;
    }
    if (argc == 4 && QByteArray(argv[1]) == "--case") {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        return runCase(argv[2], QByteArray(argv[3]).toInt());
    }
    QCoreApplication app(argc, argv);
    // "rtfbench office" runs that kind alone.
    const QStringList only = app.arguments().mid(1);
    for (const char* kind : {"text", "formatted", "office"}) {
        if (!only.isEmpty() && !only.contains(QLatin1String(kind)))
            continue;
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
