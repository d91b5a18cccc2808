#include "searchreplace/runsummary.h"
#include "searchreplace/sarcommandline.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// The utility as a real process, held against grep -rn and sed -i.
class TestSearchReplaceCli : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void searchPrintsWhatGrepPrints_data();
    void searchPrintsWhatGrepPrints();
    void replaceEqualsSed_data();
    void replaceEqualsSed();
    void dryRunChangesNothing();
    void skippedFilesMakeTrouble_data();
    void skippedFilesMakeTrouble();
    void backupsAreToldAndTheirTroubleExplained();
    void helpPrintsTheUsage();
    void exitCodes_data();
    void exitCodes();
    void windowArguments_data();
    void windowArguments();

private:
    struct Run {
        QByteArray out;
        QByteArray err;
        int code = -1;
    };
    static Run run(const QString& program, const QStringList& arguments);
    static Run utility(const QStringList& arguments);
    static QMap<QString, QByteArray> treeBytes(const QString& root);
    static void copyTree(const QString& from, const QString& to);

    QTemporaryDir m_dir;
    QString m_tree;
};

namespace {

const QStringList Words = {"alpha", "needle", "Needle",   "needles",  "xneedle", "NEEDLE",
                           "beta",  "gamma",  "needle_x", "(needle)", "delta",   "epsilon"};

void write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

QList<QByteArray> sortedLines(const QByteArray& text)
{
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    std::sort(lines.begin(), lines.end());
    return lines;
}

} // namespace

TestSearchReplaceCli::Run TestSearchReplaceCli::run(const QString& program,
                                                    const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    Run result;
    if (!process.waitForFinished(120000))
        return result;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return result;
}

TestSearchReplaceCli::Run TestSearchReplaceCli::utility(const QStringList& arguments)
{
    return run(qEnvironmentVariable("QUILLORA_SEARCH_REPLACE"), arguments);
}

QMap<QString, QByteArray> TestSearchReplaceCli::treeBytes(const QString& root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        files.insert(QDir(root).relativeFilePath(path), file.readAll());
    }
    return files;
}

void TestSearchReplaceCli::copyTree(const QString& from, const QString& to)
{
    const QMap<QString, QByteArray> files = treeBytes(from);
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        write(to + u'/' + it.key(), it.value());
}

void TestSearchReplaceCli::initTestCase()
{
    QVERIFY(QFileInfo(qEnvironmentVariable("QUILLORA_SEARCH_REPLACE")).isExecutable());
    QVERIFY(m_dir.isValid());
    m_tree = m_dir.filePath("tree");
    // A fixed start: the same tree every run, in UTF-8 with some non-ASCII words.
    QRandomGenerator random(20261208);
    for (int f = 0; f < 60; ++f) {
        QByteArray bytes;
        const int lines = 1 + int(random.bounded(40));
        for (int l = 0; l < lines; ++l) {
            const int words = int(random.bounded(12));
            for (int w = 0; w < words; ++w) {
                if (w > 0)
                    bytes += ' ';
                bytes += random.bounded(10) == 0 ? QByteArray("gr\xc3\xbc\xc3\x9f"
                                                              "e")
                                                 : Words[random.bounded(Words.size())].toUtf8();
            }
            bytes += '\n';
        }
        write(QStringLiteral("%1/d%2/sub%3/file%4.txt").arg(m_tree).arg(f % 4).arg(f % 3).arg(f),
              bytes);
    }
}

void TestSearchReplaceCli::searchPrintsWhatGrepPrints_data()
{
    QTest::addColumn<QStringList>("ours");
    QTest::addColumn<QStringList>("grep");
    QTest::newRow("plain") << QStringList{"--find", "needle"} << QStringList{"-rnF", "needle"};
    QTest::newRow("ignore case") << QStringList{"--find", "needle", "--ignore-case"}
                                 << QStringList{"-rniF", "needle"};
    QTest::newRow("whole word") << QStringList{"--find", "needle", "--whole-word"}
                                << QStringList{"-rnwF", "needle"};
    QTest::newRow("whole word, ignore case")
        << QStringList{"--find", "needle", "--whole-word", "--ignore-case"}
        << QStringList{"-rnwiF", "needle"};
    QTest::newRow("non-ASCII needle")
        << QStringList{"--find", QString::fromUtf8("gr\xc3\xbc\xc3\x9f")}
        << QStringList{"-rnF", QString::fromUtf8("gr\xc3\xbc\xc3\x9f")};
    QTest::newRow("include glob") << QStringList{"--find", "needle", "--include", "file1*"}
                                  << QStringList{"-rnF", "--include=file1*", "needle"};
}

void TestSearchReplaceCli::searchPrintsWhatGrepPrints()
{
    QFETCH(QStringList, ours);
    QFETCH(QStringList, grep);
    const Run expected = run(QStringLiteral("grep"), grep << m_tree);
    QCOMPARE(expected.code, 0);
    const Run got = utility(ours << m_tree);
    QCOMPARE(got.code, 0);
    QCOMPARE(got.err, QByteArray());
    QCOMPARE(sortedLines(got.out), sortedLines(expected.out));
}

void TestSearchReplaceCli::replaceEqualsSed_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("UTF-8") << QByteArray("gr\xc3\xbc\xc3\x9f"
                                         "e needle\nneedle needles\n");
    QTest::newRow("Windows-1252") << QByteArray("caf\xe9 needle\n\x80 needle\xe9\n");
    QTest::newRow("CR LF") << QByteArray("needle\r\nx\r\nneedle needle\r\n");
    QTest::newRow("BOM") << QByteArray("\xef\xbb\xbfneedle\nend");
    QTest::newRow("no match") << QByteArray("haystack\n");
}

void TestSearchReplaceCli::replaceEqualsSed()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    // The generated tree and the row's file, once for us and once for sed.
    copyTree(m_tree, dir.filePath("ours"));
    copyTree(m_tree, dir.filePath("sed"));
    write(dir.filePath("ours/extra/row.txt"), bytes);
    write(dir.filePath("sed/extra/row.txt"), bytes);
    const Run sed = run(QStringLiteral("find"), {dir.filePath("sed"), "-type", "f", "-exec", "sed",
                                                 "-i", "s/needle/thread/g", "{}", "+"});
    QCOMPARE(sed.code, 0);
    const Run count =
        run(QStringLiteral("sh"), {"-c", "grep -roF needle " + dir.filePath("ours") + " | wc -l"});
    const Run ours = utility({"--find", "needle", "--replace", "thread", dir.filePath("ours")});
    QCOMPARE(ours.code, 0);
    QCOMPARE(ours.err, QByteArray());
    QVERIFY2(ours.out.contains("\n" + count.out.trimmed() + " replacements in "),
             ours.out.right(80));
    const auto expected = treeBytes(dir.filePath("sed"));
    const auto got = treeBytes(dir.filePath("ours"));
    QCOMPARE(got.keys(), expected.keys());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QVERIFY2(got.value(it.key()) == it.value(), qPrintable(it.key()));
}

void TestSearchReplaceCli::dryRunChangesNothing()
{
    QTemporaryDir dir;
    copyTree(m_tree, dir.filePath("t"));
    const auto before = treeBytes(dir.filePath("t"));
    const Run dry = utility(
        {"--find", "needle", "--replace", "thread", "--dry-run", "--backup", dir.filePath("t")});
    QCOMPARE(dry.code, 0);
    QCOMPARE(treeBytes(dir.filePath("t")), before);
    QVERIFY(!QFileInfo::exists(qEnvironmentVariable("XDG_DATA_HOME") + "/Quillora/Backups"));
    const Run real = utility({"--find", "needle", "--replace", "thread", dir.filePath("t")});
    QCOMPARE(real.code, 0);
    QCOMPARE(dry.out, real.out);
    QVERIFY(treeBytes(dir.filePath("t")) != before);
}

void TestSearchReplaceCli::skippedFilesMakeTrouble_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("Windows-1252 cannot hold a snowman")
        << QByteArray("caf\xe9 needle\n") << QString::fromUtf8("\xe2\x98\x83") << false
        << QByteArray("cannot be written in");
    QTest::newRow("owner's write bit cleared")
        << QByteArray("needle\n") << "thread" << true << QByteArray("read-only");
}

void TestSearchReplaceCli::skippedFilesMakeTrouble()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, replacement);
    QFETCH(bool, readOnly);
    QFETCH(QByteArray, message);
    QTemporaryDir dir;
    write(dir.filePath("a/kept.txt"), bytes);
    write(dir.filePath("b/changed.txt"), "needle\n");
    if (readOnly)
        QVERIFY(QFile::setPermissions(dir.filePath("a/kept.txt"), QFile::ReadOwner));
    const Run got = utility({"--find", "needle", "--replace", replacement, dir.path()});
    QCOMPARE(got.code, int(SarCommandLine::Trouble));
    const QList<QByteArray> errors = sortedLines(got.err);
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().startsWith(dir.filePath("a/kept.txt").toUtf8() + ": ") &&
                 errors.first().contains(message),
             errors.first());
    QFile kept(dir.filePath("a/kept.txt"));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), bytes);
    QFile changed(dir.filePath("b/changed.txt"));
    QVERIFY(changed.open(QIODevice::ReadOnly));
    QCOMPARE(changed.readAll(), replacement.toUtf8() + '\n');
    QCOMPARE(got.out, dir.filePath("b/changed.txt").toUtf8() + ": 1\n1 replacement in 1 file\n");
}

void TestSearchReplaceCli::backupsAreToldAndTheirTroubleExplained()
{
    QTemporaryDir dir;
    write(dir.filePath("t/a.txt"), "needle\n");
    // The default folder is named by the time of the run: the output names it.
    const Run saved =
        utility({"--find", "needle", "--replace", "thread", "--backup", dir.filePath("t")});
    QCOMPARE(saved.code, 0);
    const QList<QByteArray> lines = saved.out.split('\n');
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[1], QByteArray("1 replacement in 1 file"));
    const QByteArray prefix = RunSummary::backupsIn(QString()).toUtf8();
    QVERIFY2(lines[2].startsWith(prefix), lines[2]);
    const QString folder = QString::fromUtf8(lines[2].mid(prefix.size()));
    QVERIFY(folder.startsWith(qEnvironmentVariable("XDG_DATA_HOME") + "/Quillora/Backups/"));
    QFile copy(folder + "/a.txt");
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), QByteArray("needle\n"));
    QVERIFY(QDir(qEnvironmentVariable("XDG_DATA_HOME") + "/Quillora/Backups").removeRecursively());

    // A folder that cannot be made says which and why (a file stands in its
    // way: root may write anywhere else), and the file is left alone.
    write(dir.filePath("in the way"), "");
    const Run refused = utility({"--find", "thread", "--replace", "needle",
                                 "--backup=" + dir.filePath("in the way/bak"), dir.filePath("t")});
    QCOMPARE(refused.code, int(SarCommandLine::Trouble));
    QCOMPARE(refused.err, dir.filePath("t/a.txt").toUtf8() + ": cannot back up to " +
                              dir.filePath("in the way").toUtf8() + ": Not a directory\n");
    QFile kept(dir.filePath("t/a.txt"));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("thread\n"));
    QCOMPARE(refused.out, QByteArray("0 replacements in 0 files\n"));
}

void TestSearchReplaceCli::helpPrintsTheUsage()
{
    const Run help = utility({"--help"});
    QCOMPARE(help.code, 0);
    QCOMPARE(help.out, SarCommandLine::Usage.toUtf8() + '\n');
    QCOMPARE(help.err, QByteArray());
    // Every option the usage names is one the program takes.
    const QRegularExpression option(QStringLiteral("--[a-z-]+"));
    for (auto it = option.globalMatch(SarCommandLine::Usage); it.hasNext();) {
        const QString name = it.next().captured();
        QVERIFY2(!SarCommandLine::parse({name, QStringLiteral("x"), QStringLiteral("--find"),
                                         QStringLiteral("y"), QStringLiteral("--replace"),
                                         QStringLiteral("z"), QStringLiteral("/")})
                      .error.startsWith(QStringLiteral("unknown option")),
                 qPrintable(name));
    }
}

void TestSearchReplaceCli::exitCodes_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("code");
    QTest::newRow("matched") << QStringList{"--find", "needle", "TREE"} << 0;
    QTest::newRow("nothing matched") << QStringList{"--find", "zebra", "TREE"} << 1;
    QTest::newRow("no such folder") << QStringList{"--find", "needle", "TREE/none"} << 2;
    QTest::newRow("unknown option") << QStringList{"--find", "x", "--fast", "TREE"} << 2;
    QTest::newRow("options without a text to find") << QStringList{"--replace", "x", "TREE"} << 2;
    QTest::newRow("empty text") << QStringList{"--find", "", "TREE"} << 2;
    QTest::newRow("backup inside the tree")
        << QStringList{"--find", "needle", "--replace", "x", "--backup=TREE/bak", "TREE"} << 2;
    QTest::newRow("dry run that would replace")
        << QStringList{"--find", "needle", "--replace", "x", "--dry-run", "TREE"} << 0;
}

void TestSearchReplaceCli::exitCodes()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, code);
    arguments.replaceInStrings(QStringLiteral("TREE"), m_tree);
    const auto before = treeBytes(m_tree);
    const Run got = utility(arguments);
    QCOMPARE(got.code, code);
    QCOMPARE(got.err.isEmpty(), code != 2);
    QCOMPARE(treeBytes(m_tree), before);
}

void TestSearchReplaceCli::windowArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("folder");
    QTest::newRow("from the editor, with its comma")
        << QStringList{"/home/me/docs,"} << "/home/me/docs";
    QTest::newRow("only one comma dropped") << QStringList{"/a,,"} << "/a,";
    QTest::newRow("plain folder") << QStringList{"/a"} << "/a";
    QTest::newRow("none") << QStringList{} << "";
}

void TestSearchReplaceCli::windowArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, folder);
    const SarCommandLine::Parsed parsed = SarCommandLine::parse(arguments);
    QVERIFY(parsed.window);
    QVERIFY(parsed.error.isEmpty());
    QCOMPARE(parsed.folder, folder);
}

QTEST_GUILESS_MAIN(TestSearchReplaceCli)
#include "tst_searchreplacecli.moc"
