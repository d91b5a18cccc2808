#include "sarcommandline.h"

#include "filepool.h"
#include "replacerun.h"
#include "runsummary.h"
#include "treewalker.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Output as fast as grep's: one buffer, written in large pieces.
class Output {
public:
    explicit Output(FILE* file) : m_file(file) { m_buffer.reserve(Chunk * 2); }
    ~Output() { flush(); }
    void line(const QString& text)
    {
        m_buffer += text.toUtf8();
        m_buffer += '\n';
        if (m_buffer.size() >= Chunk)
            flush();
    }
    void bytes(const QByteArray& bytes)
    {
        m_buffer += bytes;
        if (m_buffer.size() >= Chunk)
            flush();
    }
    void flush()
    {
        if (!m_buffer.isEmpty())
            std::fwrite(m_buffer.constData(), 1, size_t(m_buffer.size()), m_file);
        m_buffer.clear();
        std::fflush(m_file);
    }

private:
    static constexpr qsizetype Chunk = 256 * 1024;
    FILE* m_file;
    QByteArray m_buffer;
};

QByteArray errorLine(const QString& path, const QString& why)
{
    return (path + QStringLiteral(": ") + why).toUtf8() + '\n';
}

FileReport processFile(const ReplaceRun& run, const SearchOptions& options,
                       const TreeWalker::Entry& entry)
{
    FileReport report;
    Result<ReplaceRun::Searched> searched = run.search(entry, true);
    if (!searched) {
        report.err = errorLine(entry.path, searched.error().message);
        report.trouble = searched.error().code != ErrorCode::BadFormat;
        return report;
    }
    const ReplaceRun::Searched& found = searched.value();
    if (found.scan.matchCount == 0)
        return report;
    report.matched = true;
    const QByteArray path = found.path.toUtf8();
    if (!options.replacing) {
        for (const LineMatch& line : found.scan.lines)
            report.out +=
                path + ':' + QByteArray::number(line.number) + ':' + line.text.toUtf8() + '\n';
        return report;
    }
    const ReplaceRun::FileOutcome outcome = run.replace(found);
    if (outcome.outcome == ReplaceRun::Outcome::Replaced) {
        report.out = path + ": " + QByteArray::number(outcome.count) + '\n';
        report.count = outcome.count;
    } else {
        // A change asked for and not made is trouble, whatever the reason.
        report.err = errorLine(found.path, outcome.message);
        report.trouble = true;
    }
    return report;
}

bool takesValue(const QString& arg)
{
    return arg == u"--find" || arg == u"--replace" || arg == u"--include" ||
           arg == u"--exclude-dir" || arg == u"--max-size";
}

} // namespace

const QString SarCommandLine::Usage = QStringLiteral(
    "usage: quillora-search-replace [FOLDER]\n"
    "         Opens the search and replace window on FOLDER (without one, on the\n"
    "         current folder).\n"
    "       quillora-search-replace --find TEXT [OPTION]... FOLDER\n"
    "         Prints every line of the files below FOLDER that holds TEXT, as\n"
    "         FILE:LINE:TEXT.\n"
    "       quillora-search-replace --find TEXT --replace NEW [OPTION]... FOLDER\n"
    "         Replaces TEXT with NEW in the files below FOLDER and prints how many\n"
    "         replacements each file got.\n"
    "options:\n"
    "  --ignore-case        find TEXT in capitals or small letters alike\n"
    "  --whole-word         only where TEXT is a whole word\n"
    "  --include GLOB       only files whose name matches GLOB (may be repeated)\n"
    "  --exclude-dir GLOB   skip folders whose name matches GLOB (may be repeated)\n"
    "  --hidden             search hidden files and folders too\n"
    "  --follow-symlinks    follow links to folders\n"
    "  --max-size MB        skip files larger than MB megabytes\n"
    "  --dry-run            with --replace: count the replacements, change nothing\n"
    "  --backup             with --replace: copy each file before changing it, into\n"
    "                       a new dated folder under ~/.local/share/Quillora/Backups\n"
    "  --backup=DIR         the same, into the folder DIR\n"
    "  --help               show this text");

SarCommandLine::Parsed SarCommandLine::parse(const QStringList& arguments)
{
    Parsed parsed;
    bool hasFind = false;
    QStringList folders;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString arg = arguments[i];
        if (arg == u"--help" || arg == u"-h") {
            parsed.help = true;
            return parsed;
        }
        QString value;
        const qsizetype eq = arg.indexOf(u'=');
        if (arg.startsWith(u"--") && eq > 0 && takesValue(arg.left(eq))) {
            value = arg.mid(eq + 1);
            arg = arg.left(eq);
        } else if (takesValue(arg)) {
            if (++i >= arguments.size()) {
                parsed.error = arg + QStringLiteral(" needs a value");
                return parsed;
            }
            value = arguments[i];
        }
        SearchOptions& o = parsed.options;
        if (arg == u"--find") {
            o.find = value;
            hasFind = true;
        } else if (arg == u"--replace") {
            o.replace = value;
            o.replacing = true;
        } else if (arg == u"--include") {
            o.includes.append(value);
        } else if (arg == u"--exclude-dir") {
            o.excludeDirs.append(value);
        } else if (arg == u"--max-size") {
            bool ok = false;
            const double mb = value.toDouble(&ok);
            if (!ok || mb <= 0) {
                parsed.error = QStringLiteral("--max-size needs a number of megabytes");
                return parsed;
            }
            o.maxSize = qint64(mb * 1024 * 1024);
        } else if (arg == u"--ignore-case") {
            o.ignoreCase = true;
        } else if (arg == u"--whole-word") {
            o.wholeWord = true;
        } else if (arg == u"--hidden") {
            o.hidden = true;
        } else if (arg == u"--follow-symlinks") {
            o.followSymlinks = true;
        } else if (arg == u"--dry-run") {
            parsed.dryRun = true;
        } else if (arg == u"--backup") {
            parsed.backup = true;
        } else if (arg.startsWith(u"--backup=")) {
            parsed.backup = true;
            parsed.backupFolder = arg.mid(9);
        } else if (arg == u"--") {
            folders += arguments.mid(i + 1);
            break;
        } else if (arg.startsWith(u"--")) {
            parsed.error = QStringLiteral("unknown option ") + arg;
            return parsed;
        } else {
            folders.append(arg);
        }
    }
    if (folders.size() > 1) {
        parsed.error = QStringLiteral("one folder only");
        return parsed;
    }
    parsed.folder = folders.value(0);
    if (!hasFind) {
        if (std::any_of(arguments.cbegin(), arguments.cend(),
                        [](const QString& a) { return a.startsWith(u"--"); })) {
            parsed.error = QStringLiteral("the options need --find");
            return parsed;
        }
        // The editor starts us with its current folder and a comma after it.
        if (parsed.folder.endsWith(u','))
            parsed.folder.chop(1);
        parsed.window = true;
        return parsed;
    }
    if (parsed.options.find.isEmpty())
        parsed.error = QStringLiteral("--find needs a text");
    else if (parsed.options.find.contains(u'\n') || parsed.options.replace.contains(u'\n'))
        parsed.error = QStringLiteral("texts must be single lines");
    else if (parsed.folder.isEmpty())
        parsed.error = QStringLiteral("no folder given");
    else if (!parsed.options.replacing && (parsed.dryRun || parsed.backup))
        parsed.error = QStringLiteral("--dry-run and --backup go with --replace");
    return parsed;
}

int SarCommandLine::run(const Parsed& parsed, FILE* out, FILE* err)
{
    Output stdOut(out);
    auto complain = [&](const QString& path, const QString& why) {
        stdOut.flush();
        const QByteArray line = (path.isEmpty() ? why : path + QStringLiteral(": ") + why).toUtf8();
        std::fprintf(err, "%s\n", line.constData());
    };
    if (parsed.help) {
        stdOut.line(Usage);
        return Matched;
    }
    if (!parsed.error.isEmpty()) {
        complain(QString(), parsed.error + u'\n' + Usage);
        return Trouble;
    }
    const SearchOptions& options = parsed.options;
    ReplaceRun run(options);
    run.setDryRun(parsed.dryRun);
    QString backupFolder;
    if (options.replacing && parsed.backup && !parsed.dryRun) {
        backupFolder =
            parsed.backupFolder.isEmpty() ? ReplaceRun::defaultBackupFolder() : parsed.backupFolder;
        if (ReplaceRun::isInside(backupFolder, parsed.folder)) {
            complain(backupFolder,
                     QStringLiteral("the backup folder may not lie inside the searched one"));
            return Trouble;
        }
        run.setBackupFolder(backupFolder);
    }

    // The walk comes first and is quick; the files are then read, searched and
    // written by a pool, printed in the walk's order.
    QList<TreeWalker::Entry> entries;
    TreeWalker walker(options);
    const bool walked = walker.walk(
        parsed.folder,
        [&](const TreeWalker::Entry& entry) {
            entries.append(entry);
            return true;
        },
        complain);
    if (!walked) {
        complain(parsed.folder, QStringLiteral("not a readable folder"));
        return Trouble;
    }

    bool matched = false;
    bool trouble = false;
    int replacements = 0;
    int changedFiles = 0;
    FilePool pool(options.replacing && !parsed.dryRun);
    for (qsizetype first = 0; first < entries.size(); first += FilePool::Batch) {
        const QList<FileReport> reports =
            pool.process(entries.mid(first, FilePool::Batch), [&](const TreeWalker::Entry& entry) {
                return processFile(run, options, entry);
            });
        for (const FileReport& report : reports) {
            stdOut.bytes(report.out);
            if (!report.err.isEmpty()) {
                stdOut.flush();
                std::fwrite(report.err.constData(), 1, size_t(report.err.size()), err);
            }
            matched = matched || report.matched;
            trouble = trouble || report.trouble;
            replacements += report.count;
            changedFiles += report.count > 0 ? 1 : 0;
        }
    }
    if (options.replacing) {
        stdOut.line(RunSummary::replaced(replacements, changedFiles));
        // The default folder is named by the time: the user cannot guess it.
        if (!backupFolder.isEmpty() && QFileInfo(backupFolder).isDir())
            stdOut.line(RunSummary::backupsIn(backupFolder));
    }
    if (trouble)
        return Trouble;
    return matched ? Matched : NothingMatched;
}
