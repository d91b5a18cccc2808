// Loads a million-line quotes file into the quotes pane beside the floor (the
// same file read into a bare string list model and list view, in the same
// run), searches all of it for a text no quote holds, and shows a large text
// blocks file, and times the notes pad saving a 1 MB and a 10 MB RTF pad by
// itself on the UI thread. Each case runs in a process of its own so that its
// peak memory is its own.
#include "app/frmmymdi.h"
#include "benchsupport.h"
#include "document/frmtext.h"
#include "panes/frmquotes.h"
#include "panes/frmtextblocks.h"
#include "panes/notescontroller.h"
#include "panes/quotemodel.h"
#include "panes/quotescontroller.h"
#include "richtext/richtextbox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QListView>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

constexpr int QuoteLines = 1000000;

// Lines of about 55 characters, every hundredth line blank.
QByteArray generate(int lines, qint64 atLeastBytes)
{
    const QByteArray words = "the quick brown fox jumps over the lazy dog and the editor keeps up "
                             "with every word of it, ";
    RepeatableNumbers numbers(7);
    QByteArray out;
    out.reserve(qMax<qint64>(atLeastBytes, qint64(lines) * 60) + 256);
    for (int i = 0; (lines > 0 && i < lines) || (lines == 0 && out.size() < atLeastBytes); ++i) {
        if (i % 100 == 99) {
            out += '\n';
            continue;
        }
        const int length = 15 + int(numbers.next() % 61);
        const int start = int(numbers.next() % 20);
        out += QByteArray::number(i);
        out += ' ';
        out += words.mid(start, length);
        out += '\n';
    }
    return out;
}

// Rich text of at least that many bytes: paragraphs with some bold and italic words.
QByteArray generateRtf(qint64 atLeastBytes)
{
    QByteArray out = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Courier New;}}\\f0\\fs20\n";
    for (int i = 0; out.size() < atLeastBytes; ++i) {
        out += "Note " + QByteArray::number(i) +
               ": the quick {\\b brown} fox jumps over the "
               "{\\i lazy} dog, and the pad keeps every word of it.\\par\n";
    }
    out += "}";
    return out;
}

void paint(QWidget* widget)
{
    QImage image(widget->size(), QImage::Format_RGB32);
    widget->render(&image);
}

struct Frame {
    QTemporaryDir dir;
    SettingsStore store{dir.filePath(QStringLiteral("settings.ini"))};
    frmMyMDI frame{QStringList(), startedBefore(store)};
    Frame()
    {
        frame.show();
        frame.findChild<QTimer*>(QStringLiteral("Timer4"))->stop();
        QApplication::processEvents();
    }
    QuotesController& quotes() { return *frame.findChild<QuotesController*>(); }
};

int runCase(const QString& kind, const QString& path)
{
    QElapsedTimer clock;
    if (kind == QStringLiteral("floor")) {
        const qint64 baseline = peakKilobytes();
        QListView view;
        view.setUniformItemSizes(true);
        view.resize(480, 240);
        view.show();
        QApplication::processEvents();
        clock.start();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        QStringListModel model(QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts));
        view.setModel(&model);
        paint(view.viewport());
        std::printf("%lld %lld %d\n", clock.nsecsElapsed() / 1000, peakKilobytes() - baseline,
                    model.rowCount());
        return 0;
    }
    Frame f;
    if (kind == QStringLiteral("notes")) {
        auto* notes = f.frame.findChild<NotesController*>();
        notes->LoadNotesFile(path);
        notes->pad()->RichTextBox1->textCursor().insertText(QStringLiteral("typed"));
        clock.start();
        const bool saved = notes->saveQuietly();
        std::printf("%lld %d\n", clock.nsecsElapsed() / 1000, saved ? 1 : 0);
        return 0;
    }
    QuotesController& quotes = f.quotes();
    const qint64 baseline = peakKilobytes();
    if (kind == QStringLiteral("quillora")) {
        clock.start();
        quotes.LoadQuotesFile(path);
        paint(quotes.quotesPane()->List1->viewport());
        std::printf("%lld %lld %d\n", clock.nsecsElapsed() / 1000, peakKilobytes() - baseline,
                    quotes.model().rowCount());
        return 0;
    }
    if (kind == QStringLiteral("find")) {
        quotes.LoadQuotesFile(path);
        quotes.model().quotes().startSearch(QStringLiteral("no quote holds this"));
        clock.start();
        quotes.mnuFindNextQuote_Click();
        std::printf("%lld %d\n", clock.nsecsElapsed() / 1000, quotes.model().quotes().QuoteIndex);
        return 0;
    }
    clock.start();
    quotes.ShowTextBlocks(path);
    paint(quotes.textBlocksPane()->Text1->viewport());
    const qint64 shown = clock.nsecsElapsed() / 1000;
    // The rest comes in between events: the longest gap between events until it is all in.
    qint64 longestFreeze = 0;
    QElapsedTimer gap;
    gap.start();
    while (quotes.textBlocksPane()->loading()) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        longestFreeze = qMax(longestFreeze, gap.restart());
    }
    std::printf("%lld %lld %lld %lld\n", shown, clock.nsecsElapsed() / 1000, longestFreeze,
                peakKilobytes() - baseline);
    return 0;
}

QList<qint64> runChild(const QString& kind, const QString& path)
{
    QProcess child;
    // The children's warnings (offscreen platform) are noise here.
    child.setStandardErrorFile(QProcess::nullDevice());
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--case"), kind, path});
    child.waitForFinished(-1);
    QList<qint64> numbers;
    for (const QByteArray& part : child.readAllStandardOutput().trimmed().split(' '))
        numbers.append(part.toLongLong());
    return numbers;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && QByteArray(argv[1]) == "--case") {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        return runCase(QString::fromLatin1(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString quotesPath = dir.filePath(QStringLiteral("quotes.txt"));
    const QString blocksPath = dir.filePath(QStringLiteral("blocks.txt"));
    for (const auto& [path, bytes] : {std::pair{quotesPath, generate(QuoteLines, 0)},
                                      std::pair{blocksPath, generate(0, 10LL * 1024 * 1024)}}) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return 1;
    }
    for (const int megabytes : {1, 10}) {
        QFile file(dir.filePath(QStringLiteral("notes%1.rtf").arg(megabytes)));
        const QByteArray bytes = generateRtf(megabytes * 1024LL * 1024);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return 1;
    }
    const double quotesMb = QFileInfo(quotesPath).size() / 1e6;
    const double blocksMb = QFileInfo(blocksPath).size() / 1e6;

    const QList<qint64> floor = runChild(QStringLiteral("floor"), quotesPath);
    const QList<qint64> ours = runChild(QStringLiteral("quillora"), quotesPath);
    if (floor.size() < 3 || ours.size() < 3)
        return 1;
    const double ourMb = ours[1] / 1024.0;
    std::printf("quotes %d lines (%lld quotes, %.1f MB): quillora %.2f s, floor %.2f s, x%.2f, "
                "memory %.0f MB (x%.1f of file; floor %.0f MB)\n",
                QuoteLines, ours[2], quotesMb, ours[0] / 1e6, floor[0] / 1e6,
                double(ours[0]) / double(floor[0]), ourMb, ourMb / quotesMb, floor[1] / 1024.0);
    const QList<qint64> find = runChild(QStringLiteral("find"), quotesPath);
    if (find.size() < 2)
        return 1;
    std::printf("find next over all %lld quotes, no match: %.3f s\n", find[1], find[0] / 1e6);
    const QList<qint64> blocks = runChild(QStringLiteral("textblocks"), blocksPath);
    if (blocks.size() < 4)
        return 1;
    std::printf("text blocks %.1f MB: shown %.2f s, whole text in %.2f s, longest freeze "
                "meanwhile %lld ms, memory %.0f MB\n",
                blocksMb, blocks[0] / 1e6, blocks[1] / 1e6, blocks[2], blocks[3] / 1024.0);
    for (const int megabytes : {1, 10}) {
        const QList<qint64> notes = runChild(
            QStringLiteral("notes"), dir.filePath(QStringLiteral("notes%1.rtf").arg(megabytes)));
        if (notes.size() < 2 || notes[1] != 1)
            return 1;
        std::printf("notes pad saving itself, %d MB RTF: %.3f s\n", megabytes, notes[0] / 1e6);
    }
    return 0;
}
