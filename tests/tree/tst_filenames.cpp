#include "steplog.h"
#include "tree/filenames.h"

#include <QTemporaryDir>
#include <QTest>

// New folder names, names of copies beside their original, and renames.
class TestFileNames : public QObject {
    Q_OBJECT
private slots:
    void init();
    void newFolderNamesCountUntilFree();
    void copyNames_data();
    void copyNames();
    void renameRefusesBadNames_data();
    void renameRefusesBadNames();
    void renameNeverReplaces();
    void renameRenames();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestFileNames::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestFileNames::newFolderNamesCountUntilFree()
{
    const QString parent = m_dir->path();
    QCOMPARE(FileNames::uniqueFolderName(parent), QStringLiteral("New Folder"));
    QVERIFY(QDir(parent).mkdir(QStringLiteral("New Folder")));
    QCOMPARE(FileNames::uniqueFolderName(parent), QStringLiteral("New Folder1"));
    // A file or a broken link holds the name as much as a folder does.
    writeFile(path(QStringLiteral("New Folder1")));
    QVERIFY(QFile::link(QStringLiteral("nowhere"), path(QStringLiteral("New Folder2"))));
    QCOMPARE(FileNames::uniqueFolderName(parent), QStringLiteral("New Folder3"));
    for (int n = 3; n <= 60; ++n)
        QVERIFY(QDir(parent).mkdir(QStringLiteral("New Folder%1").arg(n)));
    QCOMPARE(FileNames::uniqueFolderName(parent), QStringLiteral("New Folder61"));
}

void TestFileNames::copyNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("folder");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first copy") << "a.txt" << false << QStringList{"a.txt"} << "a (copy).txt";
    QTest::newRow("second copy") << "a.txt" << false << QStringList{"a.txt", "a (copy).txt"}
                                 << "a (copy 2).txt";
    QTest::newRow("third copy") << "a.txt" << false
                                << QStringList{"a.txt", "a (copy).txt", "a (copy 2).txt"}
                                << "a (copy 3).txt";
    QTest::newRow("no extension") << "README" << false << QStringList{"README"} << "README (copy)";
    QTest::newRow("dot file") << ".bashrc" << false << QStringList{".bashrc"} << ".bashrc (copy)";
    QTest::newRow("last extension only")
        << "x.tar.gz" << false << QStringList{"x.tar.gz"} << "x.tar (copy).gz";
    QTest::newRow("folder keeps its dots")
        << "my.folder" << true << QStringList{"my.folder"} << "my.folder (copy)";
    QTest::newRow("copy of a copy")
        << "a (copy).txt" << false << QStringList{"a (copy).txt"} << "a (copy) (copy).txt";
}

void TestFileNames::copyNames()
{
    QFETCH(QString, name);
    QFETCH(bool, folder);
    QFETCH(QStringList, existing);
    QFETCH(QString, expected);
    for (const QString& item : existing)
        writeFile(path(item));
    QCOMPARE(FileNames::copyName(m_dir->path(), name, folder), expected);
    // A name promised to another copy of the same batch is not free either.
    const QString next = FileNames::copyName(m_dir->path(), name, folder, {path(expected)});
    QVERIFY(next != expected);
    QVERIFY(next.contains(QStringLiteral(" (copy")));
}

void TestFileNames::renameRefusesBadNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << QString() << FileNames::EmptyNameText;
    QTest::newRow("slash") << QStringLiteral("a/b") << FileNames::SlashText;
    QTest::newRow("dot") << QStringLiteral(".") << FileNames::DotsText;
    QTest::newRow("dot dot") << QStringLiteral("..") << FileNames::DotsText;
}

void TestFileNames::renameRefusesBadNames()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    const QString file = writeFile(path(QStringLiteral("dir/a.txt")), "a");
    StepLog log;
    const Result<QString> renamed = FileNames::rename(file, name, log.steps());
    QVERIFY(!renamed.ok());
    QCOMPARE(renamed.error().message, message);
    QCOMPARE(FileNames::checkNewName(name).error().message, message);
    QVERIFY(log.lines.isEmpty());
    QCOMPARE(treeOf(m_dir->path()), (QStringList{"dir/", "dir/a.txt"}));
}

void TestFileNames::renameNeverReplaces()
{
    const QString file = writeFile(path(QStringLiteral("a.txt")), "a");
    writeFile(path(QStringLiteral("b.txt")), "b");
    QVERIFY(QDir().mkdir(path(QStringLiteral("folder"))));
    QVERIFY(QFile::link(QStringLiteral("nowhere"), path(QStringLiteral("broken"))));
    StepLog log;
    for (const QString& taken :
         {QStringLiteral("b.txt"), QStringLiteral("folder"), QStringLiteral("broken")}) {
        const Result<QString> renamed = FileNames::rename(file, taken, log.steps());
        QVERIFY(!renamed.ok());
        QCOMPARE(renamed.error().code, ErrorCode::FileExists);
        QCOMPARE(renamed.error().message, FileNames::ExistsText + path(taken));
    }
    // Without the check, the step itself still refuses to replace.
    const Status step = log.steps().move(file, path(QStringLiteral("b.txt")), false);
    QCOMPARE(step.error().code, ErrorCode::FileExists);
    QCOMPARE(TestHome::read(path(QStringLiteral("a.txt"))), QByteArray("a"));
    QCOMPARE(TestHome::read(path(QStringLiteral("b.txt"))), QByteArray("b"));
}

void TestFileNames::renameRenames()
{
    const QString file = writeFile(path(QStringLiteral("dir/a.txt")), "a");
    StepLog log;
    const Result<QString> renamed = FileNames::rename(file, QStringLiteral("A b.txt"), log.steps());
    QVERIFY(renamed.ok());
    QCOMPARE(renamed.value(), path(QStringLiteral("dir/A b.txt")));
    QCOMPARE(TestHome::read(renamed.value()), QByteArray("a"));
    QVERIFY(!QFileInfo::exists(file));
    const Result<QString> folder =
        FileNames::rename(path(QStringLiteral("dir")), QStringLiteral("renamed"), log.steps());
    QVERIFY(folder.ok());
    QCOMPARE(treeOf(m_dir->path()), (QStringList{"renamed/", "renamed/A b.txt"}));
}

QTEST_GUILESS_MAIN(TestFileNames)
#include "tst_filenames.moc"
