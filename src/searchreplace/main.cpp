#include "sarcommandline.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const SarCommandLine::Parsed parsed = SarCommandLine::parse(arguments);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Quillora"));
    return SarCommandLine::run(parsed, stdout, stderr);
}
