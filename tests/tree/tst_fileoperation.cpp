#include "steplog.h"
#include "tree/fileoperation.h"
#include "tree/filerun.h"

#include <QDateTime>
#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

// Copies on real folders through the real steps: refusals, every answer to a
// collision, copies beside their original, merges, failures and cancels.
class TestFileOperation : public QObject {
    Q_OBJECT
private slots:
    void init();
    void dropKinds_data();
    void dropKinds();
    void folderIntoItselfIsRefused_data();
    void folderIntoItselfIsRefused();
    void collisionAnswers_data();
    void collisionAnswers();
    void replacedFileGoesOnlyOnceItsCopyIsComplete();
    void copiesBesideTheOriginalGetNewNames();
    void folderOntoFolderMergesAskingPerFile();
    void fileOntoFolderAndTheReverseAreSkipped();
    void vanishingSourceStopsTheRun();
    void failedStepLeavesNoHalfFile();
    void cancelWithinAFileLeavesNoHalfFile();
    void cancelBetweenItemsSaysHowFarItGot();
    void modesTimesAndLinksAreKept();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
    StepLog m_log;
};

namespace {

// Folders too, which QFile does not open.
bool setModified(const QString& file, const QDateTime& time)
{
    const timespec when{time.toSecsSinceEpoch(), 0};
    const timespec times[2] = {when, when};
    return ::utimensat(AT_FDCWD, QFile::encodeName(file).constData(), times, 0) == 0;
}

QString copied(qsizetype done, qsizetype total)
{
    const QLocale locale = QLocale::system();
    return QStringLiteral("Copied %1 of %2 items.")
        .arg(locale.toString(qlonglong(done)), locale.toString(qlonglong(total)));
}

// Answers every question with the same reply and counts the questions.
struct Answerer {
    CollisionAnswer reply;
    QStringList asked;
    FileOperation::Ask ask()
    {
        return [this](const QString& question) {
            asked << question;
            return reply;
        };
    }
};

} // namespace

void TestFileOperation::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_log = StepLog();
}

void TestFileOperation::dropKinds_data()
{
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("kind");
    QTest::newRow("Ctrl copies") << Qt::KeyboardModifiers(Qt::ControlModifier)
                                 << int(FileOperation::Kind::Copy);
    QTest::newRow("Shift moves") << Qt::KeyboardModifiers(Qt::ShiftModifier)
                                 << int(FileOperation::Kind::Move);
    QTest::newRow("nothing held") << Qt::KeyboardModifiers() << -1;
    QTest::newRow("Ctrl+Shift") << (Qt::ControlModifier | Qt::ShiftModifier) << -1;
    QTest::newRow("Alt") << Qt::KeyboardModifiers(Qt::AltModifier) << -1;
}

void TestFileOperation::dropKinds()
{
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, kind);
    const std::optional<FileOperation::Kind> found = FileOperation::dropKind(modifiers);
    QCOMPARE(found ? int(*found) : -1, kind);
}

void TestFileOperation::folderIntoItselfIsRefused_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("itself") << QStringLiteral("src");
    QTest::newRow("its subfolder") << QStringLiteral("src/sub");
    QTest::newRow("its subfolder through a link") << QStringLiteral("link/sub");
}

void TestFileOperation::folderIntoItselfIsRefused()
{
    QFETCH(QString, target);
    writeFile(path(QStringLiteral("src/sub/a.txt")));
    writeFile(path(QStringLiteral("other.txt")), "other");
    QVERIFY(QFile::link(path(QStringLiteral("src")), path(QStringLiteral("link"))));
    const QStringList before = treeOf(path(QStringLiteral("src")));
    for (const FileOperation::Kind kind : {FileOperation::Kind::Copy, FileOperation::Kind::Move}) {
        FileOperation operation(kind,
                                {path(QStringLiteral("src")), path(QStringLiteral("other.txt"))},
                                path(target), m_log.steps());
        const FileReport report = operation.run();
        QCOMPARE(report.failed.size(), 1);
        QCOMPARE(report.failed.first().path, path(QStringLiteral("src")));
        QCOMPARE(FileReport::problemMessage(report.failed.first()),
                 QStringLiteral("Error: ") + path(QStringLiteral("src")) + u'\n' +
                     FilePlan::IntoItselfText);
        QCOMPARE(treeOf(path(QStringLiteral("src"))).size(), before.size() + 1);
        // The other item still goes.
        QCOMPARE(report.done, QStringList{path(QStringLiteral("other.txt"))});
        if (kind == FileOperation::Kind::Move)
            QVERIFY(!QFileInfo::exists(path(QStringLiteral("other.txt"))));
        else
            QVERIFY(QFile::remove(path(target) + QStringLiteral("/other.txt")));
        writeFile(path(QStringLiteral("other.txt")), "other");
    }
    QVERIFY(m_log.find(QStringLiteral("copy ") + path(QStringLiteral("src/"))) < 0);
    QVERIFY(m_log.find(QStringLiteral("move ") + path(QStringLiteral("src "))) < 0);
    QVERIFY(m_log.find(QStringLiteral("make ")) < 0);
}

void TestFileOperation::collisionAnswers_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("all");
    QTest::addColumn<int>("asked");
    QTest::addColumn<QByteArray>("result"); // what a.txt, b.txt, c.txt hold afterwards
    QTest::addColumn<bool>("freshCopied");
    QTest::newRow("Yes") << 6 << false << 3 << QByteArray("NNN") << true;
    QTest::newRow("No") << 7 << false << 3 << QByteArray("OOO") << true;
    QTest::newRow("Cancel") << 2 << false << 1 << QByteArray("OOO") << false;
    QTest::newRow("Yes to all") << 6 << true << 1 << QByteArray("NNN") << true;
    QTest::newRow("No to all") << 7 << true << 1 << QByteArray("OOO") << true;
}

void TestFileOperation::collisionAnswers()
{
    QFETCH(int, answer);
    QFETCH(bool, all);
    QFETCH(int, asked);
    QFETCH(QByteArray, result);
    QFETCH(bool, freshCopied);
    QStringList sources;
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        const QString file = QString::fromLatin1(name);
        sources << writeFile(path(QStringLiteral("from/") + file), "N");
        writeFile(path(QStringLiteral("to/") + file), "O");
    }
    sources << writeFile(path(QStringLiteral("from/fresh.txt")), "F");
    Answerer answerer{{answer, all}, {}};
    FileOperation operation(FileOperation::Kind::Copy, sources, path(QStringLiteral("to")),
                            m_log.steps());
    operation.setAsk(answerer.ask());
    const FileReport report = operation.run();
    QCOMPARE(answerer.asked.size(), asked);
    QCOMPARE(answerer.asked.first(),
             QStringLiteral("Replace ") + path(QStringLiteral("to/a.txt")) + u'?');
    QByteArray found;
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        found += TestHome::read(path(QStringLiteral("to/") + QString::fromLatin1(name)));
    QCOMPARE(found, result);
    QCOMPARE(QFileInfo::exists(path(QStringLiteral("to/fresh.txt"))), freshCopied);
    QCOMPARE(report.cancelled, answer == 2);
    QCOMPARE(report.skipped.size(), answer == 7 ? 3 : 0);
    if (answer == 7)
        QCOMPARE(report.skipped.first(),
                 (FileProblem{path(QStringLiteral("from/a.txt")), FilePlan::NotReplacedText}));
    if (answer == 2)
        QVERIFY(m_log.lines.isEmpty());
    QVERIFY(report.stopMessage().isEmpty());
    QCOMPARE(treeOf(path(QStringLiteral("to"))).size(), freshCopied ? 4 : 3);
}

void TestFileOperation::replacedFileGoesOnlyOnceItsCopyIsComplete()
{
    const QString source = writeFile(path(QStringLiteral("from/a.txt")), "new");
    const QString target = writeFile(path(QStringLiteral("to/a.txt")), "old");
    const QString temporary = path(QStringLiteral("to/.a.txt.part"));
    // The old file must still be whole while its replacement is written.
    m_log.inject = [&](const QString& line) -> std::optional<Error> {
        if (line.startsWith(QStringLiteral("copy ")) && TestHome::read(target) != "old")
            return Error{ErrorCode::PathAccess, QStringLiteral("replaced too early")};
        return std::nullopt;
    };
    Answerer answerer{{FilePlan::Yes, false}, {}};
    FileOperation operation(FileOperation::Kind::Copy, {source}, path(QStringLiteral("to")),
                            m_log.steps());
    operation.setAsk(answerer.ask());
    const FileReport report = operation.run();
    QVERIFY2(report.complete(), qPrintable(report.stopMessage()));
    QCOMPARE(m_log.lines, (QStringList{QStringLiteral("copy ") + source + u' ' + temporary,
                                       QStringLiteral("replace ") + temporary + u' ' + target}));
    QCOMPARE(TestHome::read(target), QByteArray("new"));
    QCOMPARE(treeOf(path(QStringLiteral("to"))), QStringList{QStringLiteral("a.txt")});

    // A failed copy leaves the old file and no temporary one.
    writeFile(source, "newer");
    m_log.inject = [](const QString& line) -> std::optional<Error> {
        // The step names the working copy, as GIO's messages do.
        if (line.startsWith(QStringLiteral("replace ")))
            return Error{ErrorCode::PathAccess,
                         QStringLiteral("disk full writing ") + line.section(u' ', 1, 1)};
        return std::nullopt;
    };
    FileOperation failing(FileOperation::Kind::Copy, {source}, path(QStringLiteral("to")),
                          m_log.steps());
    failing.setAsk(answerer.ask());
    const FileReport failed = failing.run();
    QCOMPARE(failed.stopMessage(), QStringLiteral("Error: ") + source +
                                       QStringLiteral("\ndisk full writing ") + target + u'\n' +
                                       copied(0, 1));
    QCOMPARE(TestHome::read(target), QByteArray("new"));
    QCOMPARE(treeOf(path(QStringLiteral("to"))), QStringList{QStringLiteral("a.txt")});
}

void TestFileOperation::copiesBesideTheOriginalGetNewNames()
{
    const QString folder = path(QStringLiteral("here"));
    const QStringList sources{writeFile(folder + QStringLiteral("/a.txt"), "a"),
                              writeFile(folder + QStringLiteral("/README"), "r"),
                              writeFile(folder + QStringLiteral("/.bashrc"), "b"),
                              writeFile(folder + QStringLiteral("/dir.d/inner.txt"), "i")};
    Answerer answerer{{FilePlan::Cancel, false}, {}};
    for (int round = 0; round < 2; ++round) {
        FileOperation operation(
            FileOperation::Kind::Copy,
            {sources.at(0), sources.at(1), sources.at(2), folder + QStringLiteral("/dir.d")},
            folder, m_log.steps());
        operation.setAsk(answerer.ask());
        QVERIFY(operation.run().complete());
    }
    QVERIFY(answerer.asked.isEmpty());
    QCOMPARE(treeOf(folder),
             (QStringList{".bashrc", ".bashrc (copy 2)", ".bashrc (copy)", "README",
                          "README (copy 2)", "README (copy)", "a (copy 2).txt", "a (copy).txt",
                          "a.txt", "dir.d (copy 2)/", "dir.d (copy 2)/inner.txt", "dir.d (copy)/",
                          "dir.d (copy)/inner.txt", "dir.d/", "dir.d/inner.txt"}));
    QCOMPARE(TestHome::read(folder + QStringLiteral("/a (copy 2).txt")), QByteArray("a"));
}

void TestFileOperation::folderOntoFolderMergesAskingPerFile()
{
    writeFile(path(QStringLiteral("from/dir/x.txt")), "new x");
    writeFile(path(QStringLiteral("from/dir/z.txt")), "z");
    writeFile(path(QStringLiteral("from/dir/sub/w.txt")), "w");
    writeFile(path(QStringLiteral("from/dir/sub/v.txt")), "new v");
    writeFile(path(QStringLiteral("to/dir/x.txt")), "old x");
    writeFile(path(QStringLiteral("to/dir/y.txt")), "y");
    writeFile(path(QStringLiteral("to/dir/sub/v.txt")), "old v");
    QStringList asked;
    FileOperation operation(FileOperation::Kind::Copy, {path(QStringLiteral("from/dir"))},
                            path(QStringLiteral("to")), m_log.steps());
    operation.setAsk([&](const QString& question) {
        asked << question;
        return CollisionAnswer{asked.size() == 1 ? FilePlan::No : FilePlan::Yes, false};
    });
    const FileReport report = operation.run();
    QVERIFY(report.failed.isEmpty());
    QCOMPARE(asked, (QStringList{FilePlan::question(path(QStringLiteral("to/dir/sub/v.txt"))),
                                 FilePlan::question(path(QStringLiteral("to/dir/x.txt")))}));
    QCOMPARE(treeOf(path(QStringLiteral("to"))),
             (QStringList{"dir/", "dir/sub/", "dir/sub/v.txt", "dir/sub/w.txt", "dir/x.txt",
                          "dir/y.txt", "dir/z.txt"}));
    QCOMPARE(TestHome::read(path(QStringLiteral("to/dir/sub/v.txt"))), QByteArray("old v"));
    QCOMPARE(TestHome::read(path(QStringLiteral("to/dir/x.txt"))), QByteArray("new x"));
    QCOMPARE(m_log.count(QStringLiteral("make ")), 0);
    QCOMPARE(report.itemsDone, report.itemsTotal);
}

void TestFileOperation::fileOntoFolderAndTheReverseAreSkipped()
{
    writeFile(path(QStringLiteral("from/name/inner.txt")));
    writeFile(path(QStringLiteral("from/file")), "file");
    writeFile(path(QStringLiteral("to/name")), "a file");
    writeFile(path(QStringLiteral("to/file/inner.txt")));
    const QStringList before = treeOf(path(QStringLiteral("to")));
    Answerer answerer{{FilePlan::Yes, true}, {}};
    FileOperation operation(FileOperation::Kind::Copy,
                            {path(QStringLiteral("from/name")), path(QStringLiteral("from/file"))},
                            path(QStringLiteral("to")), m_log.steps());
    operation.setAsk(answerer.ask());
    const FileReport report = operation.run();
    QVERIFY(answerer.asked.isEmpty());
    QCOMPARE(
        report.skipped,
        (QList<FileProblem>{{path(QStringLiteral("from/name")), FilePlan::FolderOntoFileText},
                            {path(QStringLiteral("from/file")), FilePlan::FileOntoFolderText}}));
    QCOMPARE(treeOf(path(QStringLiteral("to"))), before);
    QVERIFY(m_log.lines.isEmpty());
}

void TestFileOperation::vanishingSourceStopsTheRun()
{
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"})
        writeFile(path(QStringLiteral("from/") + QString::fromLatin1(name)));
    QVERIFY(QDir().mkpath(path(QStringLiteral("to"))));
    const QString vanishing = path(QStringLiteral("from/c.txt"));
    FileOperation operation(FileOperation::Kind::Copy, {path(QStringLiteral("from"))},
                            path(QStringLiteral("to")), m_log.steps());
    connect(
        &operation, &FileOperation::progressed, this,
        [&](qsizetype, qsizetype, const QString& current) {
            if (current == path(QStringLiteral("from/b.txt")))
                QFile::remove(vanishing);
        },
        Qt::DirectConnection);
    const FileReport report = operation.run();
    QVERIFY(report.stoppedAt);
    QCOMPARE(report.stoppedAt->path, vanishing);
    QVERIFY(!report.stoppedAt->reason.isEmpty());
    QCOMPARE(report.stopMessage(), QStringLiteral("Error: ") + vanishing + u'\n' +
                                       report.stoppedAt->reason + u'\n' + copied(2, 5));
    QCOMPARE(treeOf(path(QStringLiteral("to"))),
             (QStringList{"from/", "from/a.txt", "from/b.txt"}));
    QVERIFY(!report.cancelled);
}

void TestFileOperation::failedStepLeavesNoHalfFile()
{
    const QString source = writeFile(path(QStringLiteral("from/big.bin")), QByteArray(1000, 'b'));
    writeFile(path(QStringLiteral("from/after.txt")));
    QVERIFY(QDir().mkpath(path(QStringLiteral("to"))));
    const QString half = path(QStringLiteral("to/big.bin"));
    FileSteps steps = m_log.steps();
    // Writes half the file, then fails as a full disk would.
    steps.copyFile = [&](const QString&, const QString& to, const FileSteps::Cancelled&,
                         const FileSteps::Progress&) -> Status {
        writeFile(to, QByteArray(500, 'b'));
        return Error{ErrorCode::WriteFailed, QStringLiteral("No space left on device")};
    };
    FileOperation operation(FileOperation::Kind::Copy,
                            {source, path(QStringLiteral("from/after.txt"))},
                            path(QStringLiteral("to")), steps);
    const FileReport report = operation.run();
    QCOMPARE(report.stopMessage(), QStringLiteral("Error: ") + source +
                                       QStringLiteral("\nNo space left on device\n") +
                                       copied(0, 2));
    QVERIFY(!QFileInfo::exists(half));
    QCOMPARE(m_log.lines, QStringList{QStringLiteral("remove ") + half});
    QVERIFY(treeOf(path(QStringLiteral("to"))).isEmpty());
}

void TestFileOperation::cancelWithinAFileLeavesNoHalfFile()
{
    writeFile(path(QStringLiteral("from/a.txt")), "first");
    const QString big = writeFile(path(QStringLiteral("from/big.bin")), QByteArray(32 << 20, 'x'));
    writeFile(path(QStringLiteral("from/c.txt")), "last");
    QVERIFY(QDir().mkpath(path(QStringLiteral("to"))));
    FileOperation operation(FileOperation::Kind::Copy, {path(QStringLiteral("from"))},
                            path(QStringLiteral("to")), m_log.steps());
    qint64 seen = 0;
    connect(
        &operation, &FileOperation::bytesCopied, this,
        [&](qint64 done, qint64 total) {
            if (total != (32 << 20))
                return;
            seen = done;
            if (done > 0)
                operation.cancel();
        },
        Qt::DirectConnection);
    QSignalSpy finished(&operation, &FileOperation::finished);
    operation.start();
    QVERIFY(finished.wait(60000));
    const FileReport& report = operation.report();
    QVERIFY(seen > 0 && seen < (32 << 20));
    QVERIFY(report.cancelled);
    QCOMPARE(report.stoppedAt->path, big);
    QCOMPARE(report.stopMessage(), QStringLiteral("Error: ") + big + u'\n' +
                                       report.stoppedAt->reason + u'\n' + copied(1, 4));
    QCOMPARE(treeOf(path(QStringLiteral("to"))), (QStringList{"from/", "from/a.txt"}));
}

void TestFileOperation::cancelBetweenItemsSaysHowFarItGot()
{
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        writeFile(path(QStringLiteral("from/") + QString::fromLatin1(name)));
    QVERIFY(QDir().mkpath(path(QStringLiteral("to"))));
    FileOperation operation(FileOperation::Kind::Copy, {path(QStringLiteral("from"))},
                            path(QStringLiteral("to")), m_log.steps());
    QList<qsizetype> counts;
    connect(
        &operation, &FileOperation::progressed, this,
        [&](qsizetype done, qsizetype total, const QString&) {
            QCOMPARE(total, 4);
            counts << done;
            if (done == 2)
                operation.cancel();
        },
        Qt::DirectConnection);
    const FileReport report = operation.run();
    QCOMPARE(counts, (QList<qsizetype>{0, 0, 1, 2}));
    QCOMPARE(report.stopMessage(), QStringLiteral("Error: ") + path(QStringLiteral("from/c.txt")) +
                                       u'\n' + FileRun::CancelledText + u'\n' + copied(2, 4));
    QCOMPARE(report.done,
             (QStringList{path(QStringLiteral("from/a.txt")), path(QStringLiteral("from/b.txt"))}));
}

void TestFileOperation::modesTimesAndLinksAreKept()
{
    const QDateTime old(QDate(2019, 5, 6), QTime(7, 8, 9));
    const QString tool = writeFile(path(QStringLiteral("from/tree/tool.sh")), "#!/bin/sh\n");
    const QString fixed = writeFile(path(QStringLiteral("from/tree/shut/fixed.txt")), "fixed");
    const auto executable = QFile::Permissions(0x7055);
    const auto readOnly = QFile::Permissions(0x4044);
    QVERIFY(QFile::setPermissions(tool, executable));
    QVERIFY(QFile::setPermissions(fixed, readOnly));
    QVERIFY(QFile::link(QStringLiteral("shut/fixed.txt"), path(QStringLiteral("from/tree/link"))));
    QVERIFY(QFile::link(path(QStringLiteral("from/tree/shut")),
                        path(QStringLiteral("from/tree/folderlink"))));
    for (const QString& name : {QStringLiteral("tool.sh"), QStringLiteral("shut/fixed.txt"),
                                QStringLiteral("shut"), QString()})
        QVERIFY(setModified(path(QStringLiteral("from/tree/") + name), old));
    QVERIFY(QFile::setPermissions(path(QStringLiteral("from/tree/shut")), executable));
    QVERIFY(QDir().mkpath(path(QStringLiteral("to"))));
    FileOperation operation(FileOperation::Kind::Copy, {path(QStringLiteral("from/tree"))},
                            path(QStringLiteral("to")), gioFileSteps());
    const FileReport report = operation.run();
    QVERIFY2(report.complete(), qPrintable(report.stopMessage()));
    QCOMPARE(report.itemsTotal, 6);
    const auto mode = [](const QString& file) { return QFileInfo(file).permissions() & 0x7077; };
    QCOMPARE(mode(path(QStringLiteral("to/tree/tool.sh"))), executable);
    QCOMPARE(mode(path(QStringLiteral("to/tree/shut/fixed.txt"))), readOnly);
    QCOMPARE(mode(path(QStringLiteral("to/tree/shut"))), executable);
    for (const QString& name : {QStringLiteral("tool.sh"), QStringLiteral("shut/fixed.txt"),
                                QStringLiteral("shut"), QString()})
        QCOMPARE(QFileInfo(path(QStringLiteral("to/tree/") + name)).lastModified(), old);
    QVERIFY(QFileInfo(path(QStringLiteral("to/tree/link"))).isSymLink());
    QCOMPARE(QFileInfo(path(QStringLiteral("to/tree/link"))).symLinkTarget(),
             path(QStringLiteral("to/tree/shut/fixed.txt")));
    // A link to a folder is copied as the link, not walked.
    QCOMPARE(QFileInfo(path(QStringLiteral("to/tree/folderlink"))).symLinkTarget(),
             path(QStringLiteral("from/tree/shut")));
    QVERIFY(
        QFile::setPermissions(path(QStringLiteral("from/tree/shut")), QFile::Permissions(0x7255)));
    QVERIFY(
        QFile::setPermissions(path(QStringLiteral("to/tree/shut")), QFile::Permissions(0x7255)));
}

QTEST_GUILESS_MAIN(TestFileOperation)
#include "tst_fileoperation.moc"
