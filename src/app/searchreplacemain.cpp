// quillora-search-replace: searches and replaces text in the files below a
// folder, from its command line (as grep -rn prints) or in its window.
#include "document/dialogprompter.h"
#include "searchreplace/frmsearchreplace.h"
#include "searchreplace/sarcommandline.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const SarCommandLine::Parsed parsed = SarCommandLine::parse(arguments);
    if (!parsed.window) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Quillora"));
        return SarCommandLine::run(parsed, stdout, stderr);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillora"));
    QApplication::setDesktopFileName(QStringLiteral("org.quillora.Quillora"));
    DialogPrompter dialogs;
    Prompter::install(&dialogs);
    frmSearchReplace window(parsed.folder);
    window.show();
    return app.exec();
}
