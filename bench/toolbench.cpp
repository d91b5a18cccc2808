// Times the Strip/Reformat tools and Replace All. With a command it times one
// tool on a file and writes its result; without one it generates data, times
// every tool against the GNU tool that does the same work, and times the tools
// and Replace All on a large selection in a real document window.
#include "app/frmmymdi.h"
#include "benchsupport.h"
#include "document/documentcontroller.h"
#include "document/documentmanager.h"
#include "document/frmtext.h"
#include "menus/commandrouter.h"
#include "platform/prompter.h"
#include "richtext/richtextbox.h"
#include "tools/frmfind.h"
#include "tools/linetools.h"
#include "tools/toolscontroller.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace {

// Answers every question with Yes or OK and every input with the next of its answers.
class AnsweringPrompter : public Prompter {
public:
    QStringList inputs;
    int message(const MessageRequest& request) override
    {
        return request.buttons == MessageButtons::Ok || request.buttons == MessageButtons::OkCancel
                   ? Answer::Ok
                   : Answer::Yes;
    }
    QString input(const QString&, const QString&, const QString&) override
    {
        return inputs.isEmpty() ? QString() : inputs.takeFirst();
    }
    QString file(const FileRequest&) override { return QString(); }
    std::optional<QColor> color(const QColor&, QList<QColor>&) override { return std::nullopt; }
    std::optional<FontChoice> font(const FontChoice&) override { return std::nullopt; }
    bool printer(QPrinter&, bool&, bool) override { return false; }
    bool pageSetup(QPrinter&, QMarginsF&) override { return false; }
    YesNoAllReply yesNoAll(const YesNoAllRequest&) override { return {Answer::Yes, false}; }
    int choose(const QString&, const QString&, const QStringList& items) override
    {
        return items.isEmpty() ? -1 : 0;
    }
    std::optional<OpenWithChoice> openWith(const OpenWithRequest&) override { return std::nullopt; }
};

[[noreturn]] void fail(const QString& message)
{
    std::fprintf(stderr, "toolbench: %s\n", qPrintable(message));
    std::exit(1);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(path + QStringLiteral(": ") + file.errorString());
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        fail(path + QStringLiteral(": ") + file.errorString());
}

// The selection a file stands for: its text less one final CR LF.
QString selectionOf(const QString& path)
{
    QString text = QString::fromUtf8(readFile(path));
    if (text.endsWith(QLatin1String("\r\n")))
        text.chop(2);
    return text;
}

// The fastest of three runs, each on a fresh copy, in milliseconds; result gets the output.
qint64 fastest(const QString& input, const std::function<QString(const QString&)>& tool,
               QString* result)
{
    qint64 best = -1;
    for (int run = 0; run < 3; ++run) {
        const QString copy(input.constData(), input.size());
        QElapsedTimer clock;
        clock.start();
        *result = tool(copy);
        const qint64 ms = clock.elapsed();
        if (best < 0 || ms < best)
            best = ms;
    }
    return best;
}

int lineTool(const QString& name, const QString& file, const QString& out,
             const std::function<QString(const QString&)>& tool)
{
    QString result;
    const qint64 ms = fastest(selectionOf(file), tool, &result);
    writeFile(out, (result + QStringLiteral("\r\n")).toUtf8());
    std::printf("%s %lld ms\n", qPrintable(name), ms);
    return 0;
}

// A shown main window on settings of its own, which answers every question.
struct Window {
    QTemporaryDir dir;
    SettingsStore store{dir.filePath(QStringLiteral("settings.ini"))};
    AnsweringPrompter prompter;
    Prompter* previous = Prompter::install(&prompter);
    frmMyMDI frame{QStringList(), startedBefore(store)};
    Window()
    {
        frame.show();
        frame.findChild<QTimer*>(QStringLiteral("Timer4"))->stop();
    }
    ~Window() { Prompter::install(previous); }
    frmText* load(const QString& path, qint64* ms = nullptr)
    {
        QElapsedTimer clock;
        clock.start();
        frmText* window = frame.documents().LoadDocument(path);
        QApplication::processEvents();
        if (ms)
            *ms = clock.elapsed();
        if (!window)
            fail(path + QStringLiteral(": not loaded"));
        return window;
    }
    // Runs a command and lets the window repaint; milliseconds.
    qint64 time(const char* command)
    {
        QElapsedTimer clock;
        clock.start();
        frame.router().run(MenuBars::Document, QString::fromLatin1(command));
        QApplication::processEvents();
        return clock.elapsed();
    }
};

struct ReplaceRun {
    qint64 ms = 0;
    QString count;
    qint64 undoMs = 0;
};

ReplaceRun replaceAllOnce(const QString& find, const QString& replace, const QString& file,
                          const QString& out, bool timeUndo)
{
    Window w;
    frmText* document = w.load(file);
    document->RichTextBox1->setSelStart(0);
    w.frame.router().run(MenuBars::Document, QStringLiteral("mnuReplace"));
    frmFind* dialog = w.frame.findChild<ToolsController*>()->findDialog();
    dialog->Combo1_0->setEditText(find);
    dialog->Combo1_1->setEditText(replace);
    QElapsedTimer clock;
    clock.start();
    dialog->cmdReplaceAll->click();
    document->RichTextBox1->viewport()->repaint();
    QApplication::processEvents();
    ReplaceRun run{clock.elapsed(), dialog->Label3->text().section(u' ', 0, 0), 0};
    if (!out.isEmpty()) {
        document->state().FileName = out;
        if (!w.frame.documents().save(document))
            fail(out + QStringLiteral(": not saved"));
    }
    if (timeUndo) {
        clock.restart();
        document->RichTextBox1->undo();
        QApplication::processEvents();
        run.undoMs = clock.elapsed();
    }
    return run;
}

int replaceAll(const QString& find, const QString& replace, const QString& file, const QString& out)
{
    ReplaceRun best;
    for (int run = 0; run < 3; ++run) {
        const ReplaceRun r = replaceAllOnce(find, replace, file, run == 2 ? out : QString(), false);
        if (run == 0 || r.ms < best.ms)
            best = r;
    }
    std::printf("replaceall %lld ms %s replacements\n", best.ms, qPrintable(best.count));
    return 0;
}

// The best of three whole runs of a program, in milliseconds.
qint64 gnu(const QString& program, const QStringList& arguments, const QString& input,
           const QString& output)
{
    qint64 best = -1;
    for (int run = 0; run < 3; ++run) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        process.setProcessEnvironment(environment);
        process.setStandardInputFile(input);
        process.setStandardOutputFile(output);
        QElapsedTimer clock;
        clock.start();
        process.start(program, arguments);
        if (!process.waitForFinished(600000) || process.exitCode() != 0)
            fail(program + QStringLiteral(" failed"));
        const qint64 ms = clock.elapsed();
        if (best < 0 || ms < best)
            best = ms;
    }
    return best;
}

QByteArray generated(int megabytes, bool crlf, bool manyShortLines)
{
    static const char* const words[] = {"alpha", "Beta",  "gamma", "delta", "Epsilon", "zeta",
                                        "eta",   "theta", "Iota",  "kappa", "lambda",  "mu"};
    QByteArray out;
    const qint64 size = qint64(megabytes) * 1024 * 1024;
    out.reserve(size + 256);
    RepeatableNumbers numbers(12345);
    const auto next = [&numbers] { return numbers.next(); };
    while (out.size() < size) {
        const int count = manyShortLines ? 6 + int(next() % 4) : 8 + int(next() % 6);
        for (int i = 0; i < count; ++i) {
            if (i)
                out += ' ';
            out += words[next() % 12];
        }
        out += crlf ? "\r\n" : "\n";
        // Paragraphs of a few lines, then an empty line.
        if (next() % 5 == 0)
            out += crlf ? "\r\n" : "\n";
    }
    return out;
}

void report(const char* what, qint64 ours, qint64 theirs)
{
    std::printf("%-12s ours %6lld ms, GNU %6lld ms, ratio %.2f\n", what, ours, theirs,
                theirs > 0 ? double(ours) / double(theirs) : 0.0);
}

int everything()
{
    QTemporaryDir dir;
    const auto path = [&](const char* name) { return dir.filePath(QString::fromLatin1(name)); };
    writeFile(path("50.crlf"), generated(50, true, true));
    writeFile(path("50.lf"), generated(50, false, true));
    const QString text = selectionOf(path("50.crlf"));
    QString result;

    const qint64 sort = fastest(text, LineTools::sortLines, &result);
    report("sort", sort,
           gnu(QStringLiteral("sort"), {QStringLiteral("-f")}, path("50.lf"), path("sorted")));

    const qint64 codes = fastest(
        text,
        [](const QString& t) {
            return LineTools::replaceCodes(t, QStringLiteral("e"), QStringLiteral("#"));
        },
        &result);
    const qint64 tr = gnu(QStringLiteral("tr"), {QStringLiteral("eE"), QStringLiteral("##")},
                          path("50.crlf"), path("tr.out"));
    report("codes", codes, tr);
    std::printf("codes output %s tr's\n",
                (result + QStringLiteral("\r\n")).toUtf8() == readFile(path("tr.out"))
                    ? "is byte for byte"
                    : "DIFFERS from");

    const qint64 strip = fastest(text, LineTools::stripCrLf, &result);
    report("strip-crlf", strip,
           gnu(QStringLiteral("fmt"), {QStringLiteral("-w"), QStringLiteral("2500")}, path("50.lf"),
               path("fmt.out")));

    // Replace All: 100,000 matches in 10 MB.
    QByteArray ten = generated(10, true, false);
    int marked = 0;
    for (qsizetype at = 0; marked < 100000 && at < ten.size(); at += ten.size() / 100001) {
        ten.insert(at, "QX");
        ++marked;
    }
    writeFile(path("10.txt"), ten);
    qint64 loadMs = 0;
    {
        Window w;
        w.load(path("10.txt"), &loadMs);
    }
    ReplaceRun best;
    for (int run = 0; run < 3; ++run) {
        const ReplaceRun r = replaceAllOnce(QStringLiteral("QX"), QStringLiteral("Z"),
                                            path("10.txt"), QString(), run == 0);
        if (run == 0 || r.ms < best.ms)
            best = {r.ms, r.count, best.undoMs};
        if (run == 0)
            best.undoMs = r.undoMs;
    }
    const qint64 sed =
        gnu(QStringLiteral("sed"), {QStringLiteral("s/QX/Z/g")}, path("10.txt"), path("sed.out"));
    std::printf("replaceall   ours %6lld ms for %s replacements in the window (load %lld ms, "
                "undo %lld ms), sed %lld ms\n",
                best.ms, qPrintable(best.count), loadMs, best.undoMs, sed);

    // Each tool on a 10 MB selection in the window.
    writeFile(path("10w.txt"), generated(10, true, false));
    const struct {
        const char* command;
        QStringList inputs;
    } tools[] = {{"mnuStrip", {}},
                 {"mnuStripBlanks", {}},
                 {"mnuStripUpTo", {QStringLiteral("a ")}},
                 {"mnuASCIIReplace", {QStringLiteral("101"), QStringLiteral("35")}},
                 {"mnuQuotedText", {QStringLiteral("> ")}},
                 {"mnuWWMargin", {}},
                 {"mnuSortLines", {}}};
    for (const auto& tool : tools) {
        Window w;
        frmText* document = w.load(path("10w.txt"));
        document->RichTextBox1->selectAll();
        w.prompter.inputs = tool.inputs;
        const qint64 ms = w.time(tool.command);
        std::printf("%-16s %6lld ms on a 10 MB selection in a window\n", tool.command, ms);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList a = app.arguments().mid(1);
    if (a.isEmpty())
        return everything();
    if (a.at(0) == QStringLiteral("--sort") && a.size() == 3)
        return lineTool(QStringLiteral("sort"), a.at(1), a.at(2), LineTools::sortLines);
    if (a.at(0) == QStringLiteral("--strip-crlf") && a.size() == 3)
        return lineTool(QStringLiteral("strip-crlf"), a.at(1), a.at(2), LineTools::stripCrLf);
    if (a.at(0) == QStringLiteral("--codes") && a.size() == 5) {
        const Result<QString> from = LineTools::characters(a.at(1));
        const Result<QString> to = LineTools::characters(a.at(2));
        if (!from || !to)
            fail((from ? to : from).error().message);
        return lineTool(QStringLiteral("codes"), a.at(3), a.at(4), [&](const QString& t) {
            return LineTools::replaceCodes(t, from.value(), to.value());
        });
    }
    if (a.at(0) == QStringLiteral("--replace-all") && a.size() == 5)
        return replaceAll(a.at(1), a.at(2), a.at(3), a.at(4));
    fail(QStringLiteral("usage: toolbench [--sort FILE OUT | --codes FROM TO FILE OUT | "
                        "--strip-crlf FILE OUT | --replace-all FIND REPLACE FILE OUT]"));
}
