// Opens generated plain-text and RTF files in a real document window and prints
// how long the window takes to come up, the text to show and the program to have
// no layout or load work left ("busy until"), how long the window was ever frozen,
// how long a save takes against cp, the memory used, and for plain text how long a
// reload after another program rewrote the file freezes the window.
// Each case runs in a process of its own so that its peak memory is its own.
#include "app/frmmymdi.h"
#include "benchsupport.h"
#include "document/diskwatch.h"
#include "document/documentmanager.h"
#include "document/documenttable.h"
#include "document/frmtext.h"
#include "richtext/documentloader.h"
#include "richtext/richtextbox.h"
#include "richtext/textcodec.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <limits>

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

// A 10 ms timer's longest gap says how long the window was frozen.
struct FreezeWatch {
    qint64 longest = 0;
    QElapsedTimer gap;
    QTimer tick;
    FreezeWatch()
    {
        gap.start();
        QObject::connect(&tick, &QTimer::timeout,
                         [this] { longest = qMax(longest, gap.restart()); });
        tick.start(10);
    }
    void restart()
    {
        longest = 0;
        gap.restart();
    }
};

// Another program rewrites the file; the disk watch reloads it. Prints how long until
// the window shows it and the longest the window was frozen from the change until a
// second after (the look at the file, the reload and what the layout does after).
void printReload(frmMyMDI& frame, const QString& path, bool inBackground)
{
    DiskWatch* watch = frame.findChild<DiskWatch*>();
    watch->setBackgroundBytes(inBackground ? DocumentLoader::BackgroundBytes
                                           : std::numeric_limits<qint64>::max());
    QByteArray bytes;
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadWrite))
            return;
        bytes = file.readAll();
        bytes.prepend(inBackground ? "changed on disk\n" : "changed on disk again\n");
        file.seek(0);
        file.write(bytes);
    }
    bool reloaded = false;
    const QMetaObject::Connection done =
        QObject::connect(watch, &DiskWatch::statusMessage, [&] { reloaded = true; });
    QElapsedTimer clock;
    clock.start();
    FreezeWatch freeze;
    // The look at the file (its hash, when its time changed) and the start of the reload.
    watch->scheduleAll(false);
    watch->lookNow();
    const qint64 looked = clock.elapsed();
    while (!reloaded && clock.elapsed() < 120000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    const qint64 complete = clock.elapsed();
    while (clock.elapsed() - complete < 1000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    QObject::disconnect(done);
    std::printf("      reload %s: look and start %4lld ms, complete %5lld ms, longest freeze "
                "%4lld ms%s\n",
                inBackground ? "in background" : "at once      ", looked, complete, freeze.longest,
                reloaded ? "" : " (never reloaded)");
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
    RichTextBox* box = window->RichTextBox1;
    const qint64 loaded = clock.elapsed();
    // The window up and painted, empty while the file still loads.
    QImage image(box->viewport()->size(), QImage::Format_RGB32);
    box->viewport()->render(&image);
    const qint64 windowUp = clock.elapsed();
    FreezeWatch freeze;
    // Shown: the first paint with text in it, perhaps the beginning of a file still
    // loading; complete: all of it in place.
    qint64 shown = -1;
    while (box->isLoading()) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        if (shown < 0 && !box->document()->isEmpty()) {
            box->viewport()->render(&image);
            shown = clock.elapsed();
        }
    }
    box->viewport()->render(&image);
    const qint64 complete = clock.elapsed();
    if (shown < 0)
        shown = complete;
    const qint64 freezeWhileLoading = freeze.longest;
    // Busy until: the last moment the layout grew the document or the loop was held
    // up, once a whole second went by with neither.
    qint64 busyUntil = complete;
    {
        QSizeF size = box->document()->documentLayout()->documentSize();
        qint64 lastTick = clock.elapsed();
        QTimer idle;
        QObject::connect(&idle, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            const QSizeF current = box->document()->documentLayout()->documentSize();
            if (current != size || now - lastTick > 30) {
                size = current;
                busyUntil = now;
            }
            lastTick = now;
        });
        idle.start(10);
        while (clock.elapsed() - busyUntil < 1000 && clock.elapsed() < 120000)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    // While scrolling the window must stay responsive: the longest gap between ticks
    // over two seconds of scrolling.
    freeze.restart();
    {
        QElapsedTimer watch;
        watch.start();
        while (watch.elapsed() < 2000) {
            QApplication::processEvents(QEventLoop::AllEvents, 50);
            box->verticalScrollBar()->setValue(box->verticalScrollBar()->value() + 40);
        }
    }
    const qint64 scrollFreeze = freeze.longest;
    freeze.tick.stop();
    clock.restart();
    box->document()->documentLayout()->pageCount();
    const qint64 laidOut = clock.elapsed();
    const qint64 peak = peakKilobytes();

    clock.restart();
    box->SaveFile(dir.filePath(QStringLiteral("copy")), DocumentFile::kindForPath(path));
    const qint64 saved = clock.elapsed();
    clock.restart();
    QProcess::execute(QStringLiteral("cp"), {path, dir.filePath(QStringLiteral("cpcopy"))});
    const qint64 copied = clock.elapsed();
    // A save goes to the disk before it counts as done (QSaveFile syncs); cp does not.
    clock.restart();
    QProcess::execute(QStringLiteral("cp"), {path, dir.filePath(QStringLiteral("cpsynced"))});
    QProcess::execute(QStringLiteral("sync"), {dir.filePath(QStringLiteral("cpsynced"))});
    const qint64 copiedSynced = clock.elapsed();
    // Where a plain-text save spends its time: the text copied out of the document,
    // then its encoding and writing, which overlap for a large text.
    if (!box->document()->isEmpty() && DocumentFile::kindForPath(path) == DocumentKind::Text) {
        clock.restart();
        QString raw = box->document()->toRawText();
        const qint64 gathered = clock.elapsed();
        clock.restart();
        DocumentFile::writeText(dir.filePath(QStringLiteral("copy2")), std::move(raw),
                                box->textFileFormat());
        std::printf("      save: text out of the document %lld ms, encoded and written %lld ms\n",
                    gathered, clock.elapsed());
    }
    const double usedMb = (peak - baseline) / 1024.0;
    std::printf(
        "%-5s %3d MB: window up %5lld ms (LoadDocument %5lld), shown %5lld ms, complete "
        "%5lld ms, busy until "
        "%6lld ms, longest freeze loading %4lld / scrolling %4lld ms, rest laid out %5lld "
        "ms, saved %5lld ms (cp %4lld, cp + sync %4lld), memory %6.1f MB (%.1fx the file)%s\n",
        qPrintable(kind), megabytes, windowUp, loaded, shown, complete, busyUntil,
        freezeWhileLoading, scrollFreeze, laidOut, saved, copied, copiedSynced, usedMb,
        usedMb / fileMb, box->hasLineLayout() ? ", line layout" : "");
    std::fflush(stdout);
    if (DocumentFile::kindForPath(path) == DocumentKind::Text) {
        printReload(frame, path, true);
        printReload(frame, path, false);
        std::fflush(stdout);
    }
    box->document()->setModified(false);
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
