#include "searchreplace/filereplacer.h"
#include "searchreplace/replacerun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

class TestReplaceRun : public QObject {
    Q_OBJECT
private slots:
    void init();
    void replacesAndKeepsPermissions();
    void leavesFilesAlone_data();
    void leavesFilesAlone();
    void notSearched_data();
    void notSearched();
    void backupMirrorsThePaths();
    void backupFolderTroubleSaysWhy();
    void dryRunWritesNothing();
    void chosenLinesOnly();
    void linkedFileIsChangedThroughItsLink();
    void ownerIsKept();
    void backupInsideTheTree_data();
    void backupInsideTheTree();

private:
    QString file(const QString& name, const QByteArray& bytes);
    QByteArray read(const QString& name);
    TreeWalker::Entry entry(const QString& name);

    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {

SearchOptions replacing(const QString& find, const QString& replace)
{
    SearchOptions options;
    options.find = find;
    options.replace = replace;
    options.replacing = true;
    return options;
}

} // namespace

void TestReplaceRun::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString TestReplaceRun::file(const QString& name, const QByteArray& bytes)
{
    const QString path = m_dir->filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

QByteArray TestReplaceRun::read(const QString& name)
{
    QFile f(m_dir->filePath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

TreeWalker::Entry TestReplaceRun::entry(const QString& name)
{
    const QString path = m_dir->filePath(name);
    return {path, name, QFileInfo(path).size()};
}

void TestReplaceRun::replacesAndKeepsPermissions()
{
    const QString path = file("a.txt", "one fox\r\ntwo fox fox\r\n");
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ReplaceRun run(replacing("fox", "cat"));
    const auto searched = run.search(entry("a.txt"), false);
    QVERIFY(searched.ok());
    const ReplaceRun::FileOutcome outcome = run.replace(searched.value());
    QCOMPARE(outcome.outcome, ReplaceRun::Outcome::Replaced);
    QCOMPARE(outcome.count, 3);
    QCOMPARE(read("a.txt"), QByteArray("one cat\r\ntwo cat cat\r\n"));
    QCOMPARE(QFile::permissions(path) & 0x7777, QFile::ReadOwner | QFile::WriteOwner |
                                                    QFile::ReadGroup | QFile::ReadUser |
                                                    QFile::WriteUser);
}

void TestReplaceRun::leavesFilesAlone_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("replace");
    QTest::addColumn<QString>("message");

    QTest::newRow("changed after the search, same size")
        << "change" << QByteArray("a fox\n") << "cat" << ReplaceRun::Changed;
    QTest::newRow("changed after the search, other size")
        << "grow" << QByteArray("a fox\n") << "cat" << ReplaceRun::Changed;
    QTest::newRow("owner's write bit cleared")
        << "readonly" << QByteArray("a fox\n") << "cat" << ReplaceRun::ReadOnly;
    QTest::newRow("write check says no")
        << "refuse" << QByteArray("a fox\n") << "cat" << ReplaceRun::ReadOnly;
    QTest::newRow("Windows-1252 cannot hold a snowman")
        << "" << QByteArray("caf\xe9 fox\n") << QString::fromUtf8("\xe2\x98\x83")
        << FileReplacer::Unencodable;
}

void TestReplaceRun::leavesFilesAlone()
{
    QFETCH(QString, how);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, replace);
    QFETCH(QString, message);
    const QString path = file("f.txt", bytes);
    ReplaceRun run(replacing("fox", replace));
    if (how == u"refuse")
        run.setWriteCheck([](const QString&) { return false; });
    const auto searched = run.search(entry("f.txt"), false);
    QVERIFY(searched.ok());
    QCOMPARE(searched.value().scan.matchCount, 1);
    QByteArray expected = bytes;
    if (how == u"change" || how == u"grow") {
        expected = how == u"change" ? QByteArray("b fox\n") : QByteArray("a fox, more\n");
        file("f.txt", expected);
        // Same size and a coarse clock: the content tells, not only the time.
    }
    if (how == u"readonly")
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
    const QFileDevice::Permissions before = QFile::permissions(path);
    const ReplaceRun::FileOutcome outcome = run.replace(searched.value());
    QCOMPARE(outcome.outcome, ReplaceRun::Outcome::Skipped);
    QVERIFY2(outcome.message.startsWith(message.left(message.indexOf(u'%'))),
             qPrintable(outcome.message));
    QCOMPARE(read("f.txt"), expected);
    QCOMPARE(QFile::permissions(path), before);
}

void TestReplaceRun::notSearched_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("maxSize");
    QTest::addColumn<int>("code");
    QTest::newRow("binary") << QByteArray("fox\0fox", 7) << qint64(1024) << ErrorCode::BadFormat;
    QTest::newRow("over the size limit")
        << QByteArray(2048, 'x') + "fox" << qint64(1024) << ErrorCode::BadFormat;
}

void TestReplaceRun::notSearched()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, maxSize);
    QFETCH(int, code);
    file("f.bin", bytes);
    SearchOptions options = replacing("fox", "cat");
    options.maxSize = maxSize;
    const auto searched = ReplaceRun(options).search(entry("f.bin"), false);
    QVERIFY(!searched.ok());
    QCOMPARE(searched.error().code, code);
    QCOMPARE(read("f.bin"), bytes);
}

void TestReplaceRun::backupMirrorsThePaths()
{
    file("tree/sub/a.txt", "fox\n");
    QTemporaryDir backups;
    ReplaceRun run(replacing("fox", "cat"));
    run.setBackupFolder(backups.path() + "/now");
    const auto searched = run.search(entry("tree/sub/a.txt"), true);
    QVERIFY(searched.ok());
    QCOMPARE(run.replace(searched.value()).outcome, ReplaceRun::Outcome::Replaced);
    QFile copy(backups.path() + "/now/tree/sub/a.txt");
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), QByteArray("fox\n"));
    QCOMPARE(read("tree/sub/a.txt"), QByteArray("cat\n"));
}

void TestReplaceRun::backupFolderTroubleSaysWhy()
{
    file("a.txt", "fox\n");
    file("plain", "");
    ReplaceRun run(replacing("fox", "cat"));
    const auto searched = run.search(entry("a.txt"), true);
    QVERIFY(searched.ok());
    // A file where a folder must go: its path and the system's reason, not
    // "Unknown error".
    run.setBackupFolder(m_dir->filePath("plain/now"));
    ReplaceRun::FileOutcome outcome = run.replace(searched.value());
    QCOMPARE(outcome.outcome, ReplaceRun::Outcome::Failed);
    QCOMPARE(outcome.message, ReplaceRun::CannotBackUp.arg(m_dir->filePath("plain"),
                                                           QStringLiteral("Not a directory")));
    QCOMPARE(read("a.txt"), QByteArray("fox\n"));
    // A folder the user may not write in, where the user is not root.
    QVERIFY(QDir().mkdir(m_dir->filePath("locked")));
    QVERIFY(QFile::setPermissions(m_dir->filePath("locked"), QFile::ReadOwner | QFile::ExeOwner));
    run.setBackupFolder(m_dir->filePath("locked/runs/now"));
    outcome = run.replace(searched.value());
    if (::geteuid() != 0) {
        QCOMPARE(outcome.outcome, ReplaceRun::Outcome::Failed);
        QCOMPARE(outcome.message,
                 ReplaceRun::CannotBackUp.arg(m_dir->filePath("locked/runs"),
                                              QStringLiteral("Permission denied")));
        QCOMPARE(read("a.txt"), QByteArray("fox\n"));
    } else {
        QCOMPARE(outcome.outcome, ReplaceRun::Outcome::Replaced);
    }
    QFile::setPermissions(m_dir->filePath("locked"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestReplaceRun::dryRunWritesNothing()
{
    file("a.txt", "fox fox\n");
    QTemporaryDir backups;
    ReplaceRun run(replacing("fox", "cat"));
    run.setDryRun(true);
    run.setBackupFolder(backups.path() + "/now");
    const auto searched = run.search(entry("a.txt"), false);
    QVERIFY(searched.ok());
    const ReplaceRun::FileOutcome outcome = run.replace(searched.value());
    QCOMPARE(outcome.outcome, ReplaceRun::Outcome::Replaced);
    QCOMPARE(outcome.count, 2);
    QCOMPARE(read("a.txt"), QByteArray("fox fox\n"));
    QVERIFY(!QFileInfo::exists(backups.path() + "/now"));
}

void TestReplaceRun::chosenLinesOnly()
{
    file("a.txt", "fox\nfox\n");
    ReplaceRun run(replacing("fox", "cat"));
    const auto searched = run.search(entry("a.txt"), false);
    QVERIFY(searched.ok());
    const QSet<qint64> lines{2};
    QCOMPARE(run.replace(searched.value(), &lines).count, 1);
    QCOMPARE(read("a.txt"), QByteArray("fox\ncat\n"));
}

void TestReplaceRun::linkedFileIsChangedThroughItsLink()
{
    QTemporaryDir outside;
    const QString target = outside.filePath("target.txt");
    QFile f(target);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("fox\n");
    f.close();
    QVERIFY(QFile::link(target, m_dir->filePath("link.txt")));
    SearchOptions options = replacing("fox", "cat");
    options.followSymlinks = true;
    ReplaceRun run(options);
    const auto searched = run.search(entry("link.txt"), false);
    QVERIFY(searched.ok());
    QCOMPARE(run.replace(searched.value()).outcome, ReplaceRun::Outcome::Replaced);
    QVERIFY(QFileInfo(m_dir->filePath("link.txt")).isSymLink());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("cat\n"));
}

void TestReplaceRun::ownerIsKept()
{
    if (::geteuid() != 0)
        QSKIP("only root can give a file to someone else");
    const QString path = file("theirs.txt", "fox\n");
    QCOMPARE(::chown(QFile::encodeName(path).constData(), 4321, 4322), 0);
    ReplaceRun run(replacing("fox", "cat"));
    const auto searched = run.search(entry("theirs.txt"), false);
    QVERIFY(searched.ok());
    QCOMPARE(run.replace(searched.value()).outcome, ReplaceRun::Outcome::Replaced);
    struct stat st;
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
    QCOMPARE(st.st_uid, uid_t(4321));
    QCOMPARE(st.st_gid, gid_t(4322));
    QCOMPARE(read("theirs.txt"), QByteArray("cat\n"));
}

void TestReplaceRun::backupInsideTheTree_data()
{
    QTest::addColumn<QString>("backup");
    QTest::addColumn<bool>("inside");
    QTest::newRow("new folder inside") << "tree/backups/now" << true;
    QTest::newRow("the tree itself") << "tree" << true;
    QTest::newRow("beside it, same prefix") << "tree2/now" << false;
    QTest::newRow("elsewhere") << "other" << false;
}

void TestReplaceRun::backupInsideTheTree()
{
    QFETCH(QString, backup);
    QFETCH(bool, inside);
    QDir(m_dir->path()).mkpath("tree/sub");
    QCOMPARE(ReplaceRun::isInside(m_dir->filePath(backup), m_dir->filePath("tree")), inside);
}

QTEST_GUILESS_MAIN(TestReplaceRun)
#include "tst_replacerun.moc"
