// "copy 10000 files" and "delete 10000 files": the folder tree's copy and
// permanent delete (FileOperation on the GIO steps, on its worker thread) beside
// GNU cp -r and rm -r on the same generated tree under WORK. Copies alternate
// with cp, three rounds each, and the median counts; the first two rounds'
// copies are then deleted both ways (the figure is their mean), the last stay.
#include "benchsupport.h"
#include "treebenchparts.h"

#include "tree/fileoperation.h"
#include "tree/filestepsgio.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace TreeBench {

namespace {

constexpr int Folders = 100;
constexpr int FilesPerFolder = 100;
constexpr int Links = 100;
constexpr int Rounds = 3;

QString folderName(int folder)
{
    return QStringLiteral("folder-%1").arg(folder, 3, 10, QLatin1Char('0'));
}

QString fileName(int file)
{
    return QStringLiteral("file-%1.txt").arg(file, 3, 10, QLatin1Char('0'));
}

// 10,000 files of 100 B to 8 KB in 100 folders, every tenth executable and every
// tenth read-only, and 100 relative links to files in other folders.
bool makeSource(const QString& root)
{
    RepeatableNumbers numbers(5);
    QByteArray bytes(16384, Qt::Uninitialized);
    for (char& byte : bytes)
        byte = char('a' + numbers.next() % 26);
    for (int folder = 0; folder < Folders; ++folder) {
        const QString dir = root + u'/' + folderName(folder);
        if (!QDir().mkpath(dir))
            return false;
        for (int file = 0; file < FilesPerFolder; ++file) {
            const int size = 100 + int(numbers.next() % (8192 - 100 + 1));
            const int offset = int(numbers.next() % (bytes.size() - size));
            QFile out(dir + u'/' + fileName(file));
            if (!out.open(QIODevice::WriteOnly) ||
                out.write(bytes.constData() + offset, size) != size)
                return false;
            out.close();
            const int n = folder * FilesPerFolder + file;
            if (n % 10 == 3)
                out.setPermissions(out.permissions() | QFile::ExeOwner | QFile::ExeGroup |
                                   QFile::ExeOther);
            else if (n % 10 == 7)
                out.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        }
    }
    for (int link = 0; link < Links; ++link) {
        const int to = int(numbers.next() % Folders);
        const QString target = QStringLiteral("../") + folderName(to) + u'/' +
                               fileName(int(numbers.next() % FilesPerFolder));
        if (!QFile::link(target,
                         root + u'/' + folderName(link) + QStringLiteral("/link-%1").arg(link)))
            return false;
    }
    return true;
}

double seconds(const QElapsedTimer& clock)
{
    return clock.nsecsElapsed() / 1e9;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype middle = values.size() / 2;
    return values.size() % 2 ? values.at(middle) : (values.at(middle - 1) + values.at(middle)) / 2;
}

// Runs the operation on its worker thread; the seconds it took, or -1 when it
// did not finish every item.
double timed(FileOperation::Kind kind, const QString& source, const QString& target)
{
    FileOperation operation(kind, {source}, target, gioFileSteps());
    // The last round's writes go to disk first, so neither side pays for the other's.
    ::sync();
    QElapsedTimer clock;
    clock.start();
    operation.start();
    operation.wait();
    const double taken = seconds(clock);
    const FileReport& report = operation.report();
    if (!report.complete() || report.itemsDone != report.itemsTotal) {
        std::fprintf(stderr, "%s\n", qPrintable(report.stopMessage()));
        return -1;
    }
    return taken;
}

double timedTool(const QString& program, const QStringList& arguments)
{
    ::sync();
    QElapsedTimer clock;
    clock.start();
    const int exitCode = QProcess::execute(program, arguments);
    return exitCode == 0 ? seconds(clock) : -1;
}

void printLine(const char* what, double ours, const char* tool, double theirs)
{
    std::printf("%s 10000 files: quillora %.2f s, %s %.2f s, x%.2f\n", what, ours, tool, theirs,
                ours / theirs);
    std::fflush(stdout);
}

} // namespace

int copyAndDelete(const QString& work)
{
    const QString source = work + QStringLiteral("/source");
    const QString ours = work + QStringLiteral("/quillora");
    const QString theirs = work + QStringLiteral("/cp");
    QDir(source).removeRecursively();
    QDir(ours).removeRecursively();
    QDir(theirs).removeRecursively();
    if (!makeSource(source) || !QDir().mkpath(theirs)) {
        std::fprintf(stderr, "treebench: cannot make %s\n", qPrintable(source));
        return 1;
    }
    QList<double> ourCopies;
    QList<double> theirCopies;
    for (int round = 1; round <= Rounds; ++round) {
        const QString into = ours + u'/' + QString::number(round);
        QDir().mkpath(into);
        ourCopies << timed(FileOperation::Kind::Copy, source, into);
        theirCopies << timedTool(QStringLiteral("cp"), {QStringLiteral("-r"), source,
                                                        theirs + u'/' + QString::number(round)});
    }
    if (ourCopies.contains(-1) || theirCopies.contains(-1)) {
        std::fprintf(stderr, "treebench: a copy failed\n");
        return 1;
    }
    printLine("copy", median(ourCopies), "cp -r", median(theirCopies));

    QList<double> ourDeletes;
    QList<double> theirDeletes;
    for (int round = 1; round < Rounds; ++round) {
        ourDeletes << timed(FileOperation::Kind::Delete,
                            ours + u'/' + QString::number(round) + QStringLiteral("/source"),
                            QString());
        theirDeletes << timedTool(QStringLiteral("rm"),
                                  {QStringLiteral("-r"), theirs + u'/' + QString::number(round)});
        QDir().rmdir(ours + u'/' + QString::number(round));
    }
    if (ourDeletes.contains(-1) || theirDeletes.contains(-1)) {
        std::fprintf(stderr, "treebench: a delete failed\n");
        return 1;
    }
    printLine("delete", median(ourDeletes), "rm -r", median(theirDeletes));
    return 0;
}

} // namespace TreeBench
