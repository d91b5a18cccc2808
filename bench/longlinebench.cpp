// Shows a plain-text document that is one line of some megabytes, with and without
// wrapping, and prints what a paint (each caret blink repaints), the caret's place
// and one character typed in the middle take, and the memory used.
// Usage: longlinebench [megabytes] [wrap]
#include "richtext/documentfile.h"
#include "richtext/richtextbox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextDocument>
#include <cstdio>
#include <sys/resource.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const int megabytes = arguments.size() > 1 ? arguments[1].toInt() : 20;
    const bool wrap = arguments.contains(QStringLiteral("wrap"));
    QString text;
    const QString words = QStringLiteral("The quick brown fox jumps over the lazy dog ");
    text.reserve(megabytes * 1000000 + words.size());
    while (text.size() < megabytes * 1000000)
        text += words;

    RichTextBox box;
    box.resize(800, 600);
    box.setRightMargin(wrap ? 0 : RichTextBox::NoWrapMargin);
    auto* document = new QTextDocument;
    DocumentFile::setPlainText(document, text);
    box.takeDocument(document, true);
    box.show();
    box.setFocus();
    QElapsedTimer timer;
    timer.start();
    app.processEvents();
    const qint64 shown = timer.elapsed();
    const auto paint = [&] {
        timer.restart();
        box.viewport()->repaint();
        return timer.elapsed();
    };
    const qint64 paintStart = paint();
    QTextCursor caret = box.textCursor();
    caret.setPosition(int(text.size() / 2));
    timer.restart();
    box.setTextCursor(caret);
    box.cursorRect();
    app.processEvents();
    const qint64 toMiddle = timer.elapsed();
    const qint64 paintMiddle = paint();
    timer.restart();
    box.insertPlainText(QStringLiteral("x"));
    app.processEvents();
    box.viewport()->repaint();
    const qint64 typed = timer.elapsed();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%d MB on one line, %s: shown %lld ms, paint %lld ms, caret to the middle %lld "
                "ms, paint there %lld ms, a character typed there %lld ms, peak memory %ld MB\n",
                megabytes, wrap ? "wrapped" : "unwrapped", shown, paintStart, toMiddle, paintMiddle,
                typed, usage.ru_maxrss / 1024);
}
