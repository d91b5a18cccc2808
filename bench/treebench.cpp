// Prints how fast the folder tree copies, deletes and lists files, beside the
// GNU tools doing the same: see each part's own file for what it measures.
#include "treebenchparts.h"

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString work;
    const QStringList arguments = app.arguments();
    const qsizetype at = arguments.indexOf(QStringLiteral("--work"));
    QTemporaryDir temporary;
    if (at >= 0 && at + 1 < arguments.size())
        work = arguments.at(at + 1);
    else
        work = temporary.path();
    int failures = 0;
    failures += TreeBench::copyAndDelete(work);
    failures += TreeBench::listing(work);
    return failures == 0 ? 0 : 1;
}
