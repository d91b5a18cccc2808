// Times keystrokes in a document window against a bare QTextEdit and QPlainTextEdit
// with the same text: typing, Enter, Down, Shift+Down after Select All and Ctrl+B,
// at 1 and 10 MB, plain text and RTF. Prints the median, 95th percentile and
// maximum of each, the median processor time, and what the selection tracking
// itself takes.
#include "app/frmmymdi.h"
#include "benchframe.h"
#include "benchsupport.h"
#include "document/documentmanager.h"
#include "document/formattingcontroller.h"
#include "document/frmtext.h"
#include "document/selectiontracker.h"
#include "platform/prompter.h"
#include "richtext/richtextbox.h"
#include "tools/autocompletebox.h"
#include "tools/autocompletecontroller.h"
#include "tools/autocompletelist.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

namespace {

struct Figures {
    double median = 0, p95 = 0, max = 0;
};

Figures figures(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    if (ms.empty())
        return {};
    return {ms[ms.size() / 2], ms[std::min(ms.size() - 1, ms.size() * 95 / 100)], ms.back()};
}

// The processor time of this thread so far, in milliseconds: on a shared machine
// the wall clock also counts the time other programs had the processor.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

struct Cost {
    double wallMs, cpuMs;
};

// One keystroke and everything it sets off, in milliseconds.
Cost keystroke(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers,
               const QString& text = QString())
{
    QElapsedTimer clock;
    clock.start();
    const double cpu = cpuMs();
    if (text.isEmpty())
        QTest::keyClick(target, key, modifiers);
    else
        QTest::keyClicks(target, text);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    return {clock.nsecsElapsed() / 1e6, cpuMs() - cpu};
}

struct Operation {
    const char* name;
    std::function<void(QWidget*)> prepare;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    QString text;
};

void placeCaretMid(QTextEdit* edit)
{
    QTextCursor c = edit->textCursor();
    c.setPosition(edit->document()->characterCount() / 2);
    c.movePosition(QTextCursor::StartOfBlock);
    edit->setTextCursor(c);
}

std::vector<Operation> operations()
{
    const auto mid = [](QWidget* w) {
        if (auto* e = qobject_cast<QTextEdit*>(w))
            placeCaretMid(e);
        else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) {
            QTextCursor c = p->textCursor();
            c.setPosition(p->document()->characterCount() / 2);
            p->setTextCursor(c);
        }
    };
    const auto all = [](QWidget* w) {
        if (auto* e = qobject_cast<QTextEdit*>(w))
            e->selectAll();
        else if (auto* p = qobject_cast<QPlainTextEdit*>(w))
            p->selectAll();
    };
    return {{"typing", mid, Qt::Key_X, Qt::NoModifier, QStringLiteral("x")},
            {"Enter", mid, Qt::Key_Return, Qt::NoModifier, {}},
            {"Down", mid, Qt::Key_Down, Qt::NoModifier, {}},
            {"Shift+Down", all, Qt::Key_Down, Qt::ShiftModifier, {}},
            {"Ctrl+B", mid, Qt::Key_B, Qt::ControlModifier, {}}};
}

// Lets a widget finish in idle time what an earlier series of keystrokes (or the
// load) left for later, so that it is not counted against the next series. Forcing
// the layout instead is not the same: the toolkit still works on for a second or two.
void settle(QWidget* target)
{
    QTextDocument* document = nullptr;
    if (auto* e = qobject_cast<QTextEdit*>(target))
        document = e->document();
    else if (auto* p = qobject_cast<QPlainTextEdit*>(target))
        document = p->document();
    if (!document)
        return;
    // Until the document's size has held still for two seconds.
    QElapsedTimer clock, still;
    clock.start();
    still.start();
    QSizeF size = document->documentLayout()->documentSize();
    while (clock.elapsed() < 10000 && still.elapsed() < 2000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (document->documentLayout()->documentSize() != size) {
            size = document->documentLayout()->documentSize();
            still.restart();
        }
    }
}

struct Target {
    const char* label;
    QWidget* widget;
    // The tracking's refresh right after the keystroke, and once more at once.
    std::function<std::pair<double, double>()> trackingShare;
};

// The widgets take turns, one keystroke each: the machine's speed drifts over
// seconds, and a series of one widget's keystrokes after the other's measured that
// drift as a difference between them.
void run(const std::vector<Target>& targets, const Operation& op, int repeats)
{
    for (const Target& target : targets)
        settle(target.widget);
    std::vector<std::vector<double>> times(targets.size()), cpu(targets.size()),
        shares(targets.size()), again(targets.size());
    for (int i = 0; i < repeats; ++i)
        for (size_t k = 0; k < targets.size(); ++k) {
            const Target& target = targets[k];
            op.prepare(target.widget);
            QCoreApplication::processEvents();
            const Cost cost = keystroke(target.widget, op.key, op.modifiers, op.text);
            times[k].push_back(cost.wallMs);
            cpu[k].push_back(cost.cpuMs);
            if (target.trackingShare) {
                const auto [first, second] = target.trackingShare();
                shares[k].push_back(first);
                again[k].push_back(second);
            }
        }
    for (size_t k = 0; k < targets.size(); ++k) {
        const Figures f = figures(times[k]);
        std::printf("  %-10s %-14s median %7.2f ms  p95 %7.2f ms  max %7.2f ms  processor %7.2f ms",
                    op.name, targets[k].label, f.median, f.p95, f.max, figures(cpu[k]).median);
        if (!shares[k].empty())
            std::printf("  (tracking %6.3f ms, again %6.3f ms)", figures(shares[k]).median,
                        figures(again[k]).median);
        std::printf("\n");
    }
}

void benchCase(bool rtf, int megabytes, const QString& onlyOperation, bool alongside)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(rtf ? QStringLiteral("k.rtf") : QStringLiteral("k.txt"));
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(shortLines(rtf, qint64(megabytes) * 1024 * 1024));
    }
    std::printf("%s %d MB\n", rtf ? "rtf" : "text", megabytes);
    SettingsStore store(dir.filePath(QStringLiteral("settings.ini")));
    frmMyMDI frame(QStringList(), startedBefore(store));
    frmText* window = showMaximized(frame, path);
    RichTextBox* box = window->RichTextBox1;
    std::printf("  (%s layout)\n", box->hasLineLayout() ? "line" : "rich-text");
    box->setFocus();
    SelectionTracker* tracker = frame.findChild<FormattingController*>()->tracker(window);
    const auto once = [tracker] {
        QElapsedTimer clock;
        clock.start();
        tracker->RichTextBox1_SelChange();
        return clock.nsecsElapsed() / 1e6;
    };
    // The first refresh after a keystroke reads from memory what the layout's pass over
    // the document pushed out of the processor's caches; the second shows the work.
    const auto share = [once] {
        const double first = once();
        return std::make_pair(first, once());
    };
    QTextEdit bare;
    QPlainTextEdit plain;
    bare.resize(box->size());
    plain.resize(box->size());
    // The same document, formats and all: rich text lays out slower than plain.
    bare.setDocument(box->document()->clone(&bare));
    // A QTextEdit lays out its own document against its viewport, as the window does;
    // setDocument leaves a document without that device, and laying out without one
    // skips the resolution the layout asks for on every line it moves.
    bare.document()->documentLayout()->setPaintDevice(bare.viewport());
    plain.setPlainText(box->document()->toPlainText());
    bare.show();
    plain.show();
    for (const Operation& op : operations()) {
        if (!onlyOperation.isEmpty()) {
            if (op.name == onlyOperation && !alongside)
                run({{"window", box, share}}, op, 15);
            else if (op.name == onlyOperation)
                run({{"window", box, share}, {"QTextEdit", &bare, {}}}, op, 15);
            continue;
        }
        run({{"window", box, share}, {"QTextEdit", &bare, {}}, {"QPlainTextEdit", &plain, {}}}, op,
            15);
    }
    if (!onlyOperation.isEmpty())
        return;
    // The tracking above is a refresh at the keystroke's selection, measured after it;
    // the dearest one is the first after an edit and Select All.
    std::vector<double> refresh;
    for (int i = 0; i < 5; ++i) {
        placeCaretMid(box);
        QTest::keyClicks(box, QStringLiteral("x"));
        QCoreApplication::processEvents();
        box->selectAll();
        refresh.push_back(once());
        QCoreApplication::processEvents();
    }
    const Figures f = figures(refresh);
    std::printf("  refresh after an edit and Select All: median %.2f ms, max %.2f ms\n", f.median,
                f.max);
}

class Quiet : public Prompter {
    int message(const MessageRequest&) override { return Answer::Ok; }
    QString input(const QString&, const QString&, const QString&) override { return {}; }
    QString file(const FileRequest&) override { return {}; }
    std::optional<QColor> color(const QColor&, QList<QColor>&) override { return {}; }
    std::optional<FontChoice> font(const FontChoice&) override { return {}; }
    bool printer(QPrinter&, bool&, bool) override { return false; }
    bool pageSetup(QPrinter&, QMarginsF&) override { return false; }
    YesNoAllReply yesNoAll(const YesNoAllRequest&) override { return {}; }
    int choose(const QString&, const QString&, const QStringList&) override { return -1; }
    std::optional<OpenWithChoice> openWith(const OpenWithRequest&) override { return {}; }
};

void autoCompleteCase()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("words.txt"));
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        RepeatableNumbers numbers(7);
        for (int i = 0; i < 100000; ++i)
            file.write("<w" + QByteArray::number(numbers.next() % 1000000) + ">\n");
    }
    AutoCompleteList list;
    QElapsedTimer clock;
    clock.start();
    list.load(path);
    const double loadMs = clock.nsecsElapsed() / 1e6;
    clock.restart();
    for (int i = 0; i < 1000; ++i)
        list.find(QStringLiteral("<w5") + QString::number(i % 100));
    const double lookupUs = clock.nsecsElapsed() / 1e3 / 1000;
    clock.restart();
    int found = 0;
    for (int i = 0; i < 10; ++i)
        for (const QString& entry : list.sorted())
            if (entry.startsWith(QStringLiteral("<w5") + QString::number(i), Qt::CaseInsensitive)) {
                ++found;
                break;
            }
    const double linearUs = clock.nsecsElapsed() / 1e3 / 10;
    std::printf("auto-complete 100,000 entries: load and sort %.1f ms, lookup %.2f us, linear "
                "scan %.1f us (%.0fx)\n",
                loadMs, lookupUs, linearUs, linearUs / std::max(lookupUs, 0.01));
    QProcess sort;
    sort.setStandardOutputFile(QProcess::nullDevice());
    clock.restart();
    sort.start(QStringLiteral("sort"), {QStringLiteral("-f"), path});
    sort.waitForFinished();
    std::printf("  sort -f on the same file: %.1f ms\n", clock.nsecsElapsed() / 1e6);

    // In the editor: switching it off and on with 20 windows open, and the box.
    SettingsStore store(dir.filePath(QStringLiteral("settings.ini")));
    frmMyMDI frame(QStringList(), startedBefore(store));
    frame.resize(1000, 700);
    frame.show();
    frame.findChild<QTimer*>(QStringLiteral("Timer4"))->stop();
    auto* autoComplete = frame.findChild<AutoCompleteController*>();
    autoComplete->LoadAutoCompleteFile(path);
    frmText* window = nullptr;
    for (int i = 0; i < 20; ++i)
        window = frame.documents().NewDocument();
    QCoreApplication::processEvents();
    std::vector<double> toggles;
    for (int i = 0; i < 5; ++i) {
        clock.restart();
        autoComplete->mnuAutoCompleteToggle_Click();
        autoComplete->mnuAutoCompleteToggle_Click();
        QCoreApplication::processEvents();
        toggles.push_back(clock.nsecsElapsed() / 1e6);
    }
    if (!autoComplete->AutoCompleteOn)
        autoComplete->mnuAutoCompleteToggle_Click();
    frame.activateWindow();
    window->RichTextBox1->setFocus();
    std::vector<double> opens, keys;
    for (int i = 0; i < 10; ++i) {
        opens.push_back(
            keystroke(window->RichTextBox1, Qt::Key_Less, Qt::NoModifier, QStringLiteral("<"))
                .wallMs);
        for (const QString& typed : {QStringLiteral("w"), QStringLiteral("5")})
            keys.push_back(
                keystroke(autoComplete->box(), Qt::Key_unknown, Qt::NoModifier, typed).wallMs);
        QTest::keyClick(autoComplete->box(), Qt::Key_Escape);
        QCoreApplication::processEvents();
    }
    const Figures t = figures(toggles), o = figures(opens), k = figures(keys);
    std::printf("  Shift+F4 twice, 20 windows: median %.2f ms, max %.2f ms\n", t.median, t.max);
    std::printf("  \"<\" opening the box: median %.2f ms, max %.2f ms\n", o.median, o.max);
    std::printf("  a key in the open box, with its repaint: median %.2f ms, max %.2f ms\n",
                k.median, k.max);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Quiet quiet;
    Prompter::install(&quiet);
    // "keybench text 10" or "keybench rtf 1" runs that case alone; "keybench rtf 10
    // typing" only that keystroke in the window, for a profiler, and "keybench rtf
    // 10 typing alongside" beside the bare QTextEdit; "keybench
    // autocomplete" the word list and its box.
    const QStringList only = app.arguments().mid(1);
    for (bool rtf : {false, true})
        for (int megabytes : {1, 10})
            if (only.isEmpty() || (only.size() >= 2 && only[0] == (rtf ? "rtf" : "text") &&
                                   only[1].toInt() == megabytes))
                benchCase(rtf, megabytes, only.value(2),
                          only.value(3) == QStringLiteral("alongside"));
    if (only.isEmpty() || only[0] == QStringLiteral("autocomplete"))
        autoCompleteCase();
    return 0;
}
