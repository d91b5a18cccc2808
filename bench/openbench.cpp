// Opens generated plain-text and RTF files in a real document window and prints
// how long they take to show, to lay out fully and to save, and the memory used.
// Each case runs in a process of its own so that its peak memory is its own.
#include "app/frmmymdi.h"
#include "benchsupport.h"
#include "document/documentmanager.h"
#include "document/documenttable.h"
#include "document/frmtext.h"
#include "richtext/richtextbox.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

QByteArray generate(const QString& kind, qint64 bytes)
{
    QByteArray out;
    out.reserve(bytes + 256);
    const QByteArray words =
        "The quick brown fox jumps over the lazy dog while the editor keeps up ";
    if (kind == QStringLiteral("rtf")) {
        out = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Courier New;}{\\f1 Arial;}}"
              "{\\colortbl;\\red200\\green0\\blue0;}\n";
        int n = 0;
        while (out.size() < bytes) {
            out += "\\pard ";
            out += words;
            out += (++n % 3 == 0) ? "{\\b\\cf1 bold words} " : "{\\i\\f1 italic} ";
            out += words + "caf\\'e9 \\u8364?\\par\n";
        }
        out += "}";
        return out;
    }
    const QByteArray end = kind == QStringLiteral("crlf") ? "\r\n" : "\n";
    while (out.size() < bytes)
        out += words + end;
    return out;
}

int runCase(const QString& kind, int megabytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(kind == QStringLiteral("rtf") ? QStringLiteral("bench.rtf")
                                                                    : QStringLiteral("bench.txt"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(generate(kind, qint64(megabytes) * 1024 * 1024));
    }
    const double fileMb = QFileInfo(path).size() / (1024.0 * 1024.0);
    SettingsStore store(dir.filePath(QStringLiteral("settings.ini")));
    frmMyMDI frame(QStringList(), startedBefore(store));
    frame.show();
    frame.findChild<QTimer*>(QStringLiteral("Timer4"))->stop();
    QApplication::processEvents();
    const qint64 baseline = peakKilobytes();

    QElapsedTimer clock;
    clock.start();
    frmText* window = frame.documents().LoadDocument(path);
    if (!window)
        return 1;
    const qint64 loaded = clock.elapsed();
    // The first paint with text: the viewport drawn into an image.
    QImage image(window->RichTextBox1->viewport()->size(), QImage::Format_RGB32);
    window->RichTextBox1->viewport()->render(&image);
    const qint64 shown = clock.elapsed();
    // While the rest is laid out the window must stay responsive: the longest
    // gap between ticks of a 10 ms timer over the next two seconds.
    qint64 longestFreeze = 0;
    {
        QElapsedTimer gap;
        gap.start();
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout,
                         [&] { longestFreeze = qMax(longestFreeze, gap.restart()); });
        tick.start(10);
        QElapsedTimer watch;
        watch.start();
        while (watch.elapsed() < 2000) {
            QApplication::processEvents(QEventLoop::AllEvents, 50);
            window->RichTextBox1->verticalScrollBar()->setValue(
                window->RichTextBox1->verticalScrollBar()->value() + 40);
        }
    }
    clock.restart();
    window->RichTextBox1->document()->documentLayout()->pageCount();
    const qint64 laidOut = clock.elapsed();
    const qint64 peak = peakKilobytes();

    clock.restart();
    window->RichTextBox1->SaveFile(dir.filePath(QStringLiteral("copy")),
                                   DocumentFile::kindForPath(path));
    const qint64 saved = clock.elapsed();
    const double usedMb = (peak - baseline) / 1024.0;
    std::printf("%-5s %3d MB: loaded %6lld ms, shown %6lld ms, then longest freeze %4lld ms, "
                "rest laid out %6lld ms, saved %5lld ms, memory %7.1f MB (%.1fx the file)\n",
                qPrintable(kind), megabytes, loaded, shown, longestFreeze, laidOut, saved, usedMb,
                usedMb / fileMb);
    std::fflush(stdout);
    window->RichTextBox1->document()->setModified(false);
    window->state().Dirty = false;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && QByteArray(argv[1]) == "--case") {
        qputenv("QT_QPA_PLATFORM",
                qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
        QApplication app(argc, argv);
        return runCase(QString::fromLatin1(argv[2]), QByteArray(argv[3]).toInt());
    }
    QCoreApplication app(argc, argv);
    const QList<QPair<QString, int>> cases = {{"lf", 1},    {"lf", 10},   {"lf", 50}, {"crlf", 1},
                                              {"crlf", 10}, {"crlf", 50}, {"rtf", 1}, {"rtf", 10}};
    for (const auto& [kind, size] : cases) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--case"), kind, QString::number(size)});
        child.waitForFinished(-1);
    }
    return 0;
}
