// Times quillora-search-replace against grep and sed on a generated tree:
//   sarbench [MEGABYTES] [FILES]    (200 MB in 10,000 files unless told)
// Warm runs, best of three; one line per comparison.
#include "benchsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

const QString Word = QStringLiteral("quillwort");
const char* const Vocabulary[] = {"the",    "river", "stone",  "garden", "window", "paper",
                                  "silver", "quill", "lamp",   "north",  "letter", "copper",
                                  "meadow", "wort",  "and",    "of",     "a",      "to",
                                  "in",     "Quill", "orchard"};

// About one line in 170 holds the word (in any case, one in five not lower),
// which gives some 19,000 matching lines in 200 MB.
void generate(const QString& root, qint64 totalBytes, int files)
{
    RepeatableNumbers random(2026);
    const qint64 perFile = totalBytes / files;
    for (int f = 0; f < files; ++f) {
        const QString folder = QStringLiteral("%1/d%2/e%3").arg(root).arg(f % 20).arg(f % 7);
        QDir().mkpath(folder);
        QByteArray bytes;
        bytes.reserve(perFile + 200);
        while (bytes.size() < perFile) {
            const int words = 4 + int(random.next() >> 16) % 12;
            const bool hit = (random.next() >> 16) % 170 == 0;
            const int at = hit ? int(random.next() >> 16) % words : -1;
            for (int w = 0; w < words; ++w) {
                if (w > 0)
                    bytes += ' ';
                if (w == at)
                    bytes += (random.next() >> 16) % 5 == 0 ? "QuillWort" : "quillwort";
                else
                    bytes += Vocabulary[(random.next() >> 16) % std::size(Vocabulary)];
            }
            bytes += '\n';
        }
        QFile file(QStringLiteral("%1/f%2.txt").arg(folder).arg(f));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    }
}

struct Timed {
    double seconds = 1e9;
    int code = -1;
};

Timed timeOnce(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    process.waitForFinished(-1);
    return {timer.nsecsElapsed() / 1e9, process.exitCode()};
}

double bestOfThree(const QString& program, const QStringList& arguments)
{
    timeOnce(program, arguments); // warm the cache
    double best = 1e9;
    for (int i = 0; i < 3; ++i)
        best = qMin(best, timeOnce(program, arguments).seconds);
    return best;
}

void compare(const char* what, double theirs, const char* them, double ours)
{
    std::printf("%-34s %s %.3f s, quillora-search-replace %.3f s: %.2fx\n", what, them, theirs,
                ours, ours / theirs);
    std::fflush(stdout);
}

int run(const QString& program, const QStringList& arguments)
{
    return timeOnce(program, arguments).code;
}

} // namespace

int main(int argc, char* argv[])
{
    const qint64 megabytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 200;
    const int files = argc > 2 ? QByteArray(argv[2]).toInt() : 10000;
    const QString ours = QStringLiteral(QUILLORA_SEARCH_REPLACE);
    QTemporaryDir dir;
    const QString tree = dir.filePath(QStringLiteral("tree"));
    QElapsedTimer timer;
    timer.start();
    generate(tree, megabytes * 1024 * 1024, files);
    std::printf("generated %lld MB in %d files in %.1f s\n", megabytes, files,
                timer.nsecsElapsed() / 1e9);

    QProcess count;
    count.start(QStringLiteral("sh"),
                {QStringLiteral("-c"), QStringLiteral("grep -rF %1 %2 | wc -l").arg(Word, tree)});
    count.waitForFinished(-1);
    std::printf("matching lines: %s", count.readAllStandardOutput().constData());

    compare("search, case-sensitive:", bestOfThree(QStringLiteral("grep"), {"-rnF", Word, tree}),
            "grep -rnF", bestOfThree(ours, {"--find", Word, tree}));
    compare("search, ignoring case:", bestOfThree(QStringLiteral("grep"), {"-rniF", Word, tree}),
            "grep -rniF", bestOfThree(ours, {"--find", Word, "--ignore-case", tree}));

    // Each replace runs on a fresh copy; the copies are made outside the timing.
    const QString sedTree = dir.filePath(QStringLiteral("sed"));
    const QString ourTree = dir.filePath(QStringLiteral("ours"));
    double sedBest = 1e9, ourBest = 1e9;
    const QString memoryFile = dir.filePath(QStringLiteral("memory"));
    qint64 peakKb = 0;
    for (int i = 0; i < 3; ++i) {
        run(QStringLiteral("rm"), {"-rf", sedTree, ourTree});
        run(QStringLiteral("cp"), {"-a", tree, sedTree});
        run(QStringLiteral("cp"), {"-a", tree, ourTree});
        sedBest = qMin(
            sedBest, timeOnce(QStringLiteral("find"), {sedTree, "-type", "f", "-exec", "sed", "-i",
                                                       "s/" + Word + "/lungwort/g", "{}", "+"})
                         .seconds);
        ourBest = qMin(ourBest, timeOnce(QStringLiteral("/usr/bin/time"),
                                         {"-f", "%M", "-o", memoryFile, ours, "--find", Word,
                                          "--replace", "lungwort", ourTree})
                                    .seconds);
        QFile memory(memoryFile);
        if (memory.open(QIODevice::ReadOnly))
            peakKb = qMax(peakKb, memory.readAll().trimmed().toLongLong());
    }
    compare("replace:", sedBest, "find -exec sed -i", ourBest);
    const int same = run(QStringLiteral("diff"), {"-r", "-q", sedTree, ourTree});
    std::printf("%-34s %s\n",
                "trees after replace:", same == 0 ? "identical byte for byte" : "DIFFERENT");
    const qint64 largest = megabytes * 1024 * 1024 / files;
    std::printf("%-34s %.1f MB (limit 100 MB + 3 x %.2f MB)\n",
                "peak memory of the replace:", peakKb / 1024.0, largest / 1048576.0);
    return same == 0 ? 0 : 1;
}
