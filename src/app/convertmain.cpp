// quillora-convert: converts between RTF, plain text and HTML files.
#include "richtext/documentconverter.h"

#include <QGuiApplication>
#include <QStringList>
#include <cstdio>

namespace {
const char Usage[] =
    "Usage: quillora-convert [--crlf] [--encoding NAME] IN OUT\n"
    "\n"
    "Converts IN to OUT, each by its extension: .rtf is RTF, .htm and .html are HTML,\n"
    "any other name is plain text. Plain text is read in the encoding it was written in\n"
    "(byte-order mark, UTF-8, or a detected one) and written as UTF-8 with LF line ends.\n"
    "\n"
    "  --crlf           end lines of plain-text output with CR LF\n"
    "  --encoding NAME  write plain-text output in this encoding (windows-1252, UTF-16LE, ...)\n"
    "  --help           show this text\n"
    "\n"
    "Exit status is 0 on success; on failure one line \"Error: PATH: REASON\" goes to stderr.\n";

// Only the one error line belongs on stderr, not the toolkit's notices.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg || type == QtCriticalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

int fail(const QString& message)
{
    std::fprintf(stderr, "Error: %s\n", qPrintable(message));
    return 1;
}
} // namespace

int main(int argc, char** argv)
{
    // Fonts and pictures need a GUI application, but never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);
    QGuiApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    DocumentConverter::Options options;
    QStringList files;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h")) {
            std::fputs(Usage, stdout);
            return 0;
        }
        if (argument == QStringLiteral("--crlf")) {
            options.crlf = true;
        } else if (argument == QStringLiteral("--encoding") && i + 1 < arguments.size()) {
            options.encoding = arguments[++i].toLatin1();
        } else if (argument.startsWith(QStringLiteral("--"))) {
            std::fputs(Usage, stderr);
            return 2;
        } else {
            files.append(argument);
        }
    }
    if (files.size() != 2) {
        std::fputs(Usage, stderr);
        return 2;
    }
    const Status converted = DocumentConverter::convert(files[0], files[1], options);
    return converted ? 0 : fail(converted.error().message);
}
