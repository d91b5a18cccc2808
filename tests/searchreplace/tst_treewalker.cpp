#include "searchreplace/treewalker.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

class TestTreeWalker : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void lists_data();
    void lists();
    void pathsKeepTheRootAsGiven_data();
    void pathsKeepTheRootAsGiven();
    void missingRootFails();

private:
    QTemporaryDir m_outside;
    QTemporaryDir m_home;
    QString m_root;
};

namespace {

void write(const QString& path, const QByteArray& bytes = "text\n")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

void TestTreeWalker::initTestCase()
{
    QVERIFY(m_outside.isValid() && m_home.isValid());
    m_root = m_home.path() + QStringLiteral("/tree");
    write(m_root + "/a.txt");
    write(m_root + "/b.log");
    write(m_root + "/sub/c.txt");
    write(m_root + "/sub/deeper/d.txt");
    write(m_root + "/.hidden.txt");
    write(m_root + "/.git/config");
    write(m_root + "/node_modules/e.txt");
    write(m_outside.path() + "/outside.txt");
    // A link back up the tree, a link to a file outside it, a dangling link, a FIFO.
    QVERIFY(QFile::link(m_root, m_root + "/sub/loop"));
    QVERIFY(QFile::link(m_outside.path() + "/outside.txt", m_root + "/linked.txt"));
    QVERIFY(QFile::link(m_root + "/nowhere", m_root + "/dangling.txt"));
    QCOMPARE(::mkfifo(QFile::encodeName(m_root + "/pipe.txt").constData(), 0600), 0);
}

void TestTreeWalker::lists_data()
{
    QTest::addColumn<QString>("flags");
    QTest::addColumn<QStringList>("includes");
    QTest::addColumn<QStringList>("excludeDirs");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("reported");

    const QStringList plain{"a.txt", "b.log", "node_modules/e.txt", "sub/c.txt",
                            "sub/deeper/d.txt"};
    QTest::newRow("default: no hidden, no links, FIFO reported")
        << "" << QStringList() << QStringList() << plain << QStringList{"pipe.txt"};
    QTest::newRow("hidden") << "h" << QStringList() << QStringList()
                            << QStringList{".git/config",     ".hidden.txt",        "a.txt",
                                           "b.log",           "node_modules/e.txt", "sub/c.txt",
                                           "sub/deeper/d.txt"}
                            << QStringList{"pipe.txt"};
    // The loop leads back to the root, already entered: it ends at once.
    QTest::newRow("following links: loop entered once, outside file listed")
        << "l" << QStringList() << QStringList()
        << QStringList{"a.txt",     "b.log",           "linked.txt", "node_modules/e.txt",
                       "sub/c.txt", "sub/deeper/d.txt"}
        << QStringList{"pipe.txt"};
    QTest::newRow("include globs")
        << "" << QStringList{"*.txt"} << QStringList()
        << QStringList{"a.txt", "node_modules/e.txt", "sub/c.txt", "sub/deeper/d.txt"}
        << QStringList{"pipe.txt"};
    QTest::newRow("include leaves the FIFO out unasked")
        << "" << QStringList{"*.log"} << QStringList() << QStringList{"b.log"} << QStringList();
    QTest::newRow("exclude folders")
        << "" << QStringList() << QStringList{"node_*", "deeper"}
        << QStringList{"a.txt", "b.log", "sub/c.txt"} << QStringList{"pipe.txt"};
}

void TestTreeWalker::lists()
{
    QFETCH(QString, flags);
    QFETCH(QStringList, includes);
    QFETCH(QStringList, excludeDirs);
    QFETCH(QStringList, files);
    QFETCH(QStringList, reported);
    SearchOptions options;
    options.hidden = flags.contains(u'h');
    options.followSymlinks = flags.contains(u'l');
    options.includes = includes;
    options.excludeDirs = excludeDirs;
    QStringList listed, told;
    const bool ok = TreeWalker(options).walk(
        m_root,
        [&](const TreeWalker::Entry& entry) {
            listed.append(entry.relativePath);
            return true;
        },
        [&](const QString& path, const QString& why) {
            told.append(QDir(m_root).relativeFilePath(path) + u' ' + why);
        });
    QVERIFY(ok);
    QCOMPARE(listed, files);
    for (QString& path : reported)
        path += u' ' + TreeWalker::NotRegularFile;
    QCOMPARE(told, reported);
}

void TestTreeWalker::pathsKeepTheRootAsGiven_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no slash") << ""
                              << "/sub/deeper/d.txt";
    QTest::newRow("trailing slash") << "/"
                                    << "/sub/deeper/d.txt";
}

void TestTreeWalker::pathsKeepTheRootAsGiven()
{
    QFETCH(QString, suffix);
    QFETCH(QString, expected);
    SearchOptions options;
    options.includes = {QStringLiteral("d.txt")};
    QStringList paths;
    QList<qint64> sizes;
    QVERIFY(TreeWalker(options).walk(m_root + suffix, [&](const TreeWalker::Entry& entry) {
        paths.append(entry.path);
        sizes.append(entry.size);
        return true;
    }));
    QCOMPARE(paths, QStringList{m_root + expected});
    QCOMPARE(sizes, QList<qint64>{5});
}

void TestTreeWalker::missingRootFails()
{
    QVERIFY(!TreeWalker(SearchOptions()).walk(m_root + "/none", [](const TreeWalker::Entry&) {
        return true;
    }));
    QVERIFY(!TreeWalker(SearchOptions()).walk(m_root + "/a.txt", [](const TreeWalker::Entry&) {
        return true;
    }));
}

QTEST_GUILESS_MAIN(TestTreeWalker)
#include "tst_treewalker.moc"
