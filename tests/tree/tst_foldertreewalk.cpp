#include "foldertreefixture.h"

using namespace FolderSamples;

class TestFolderTreeWalk : public FolderTreeFixture {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void syncToDeepPath();
    void syncOpensWhatAppearedMeanwhile();
    void syncAlreadyOpenRereadsOnlyThePath();
    void syncThroughLink();
    void syncOutsideTheDrive();
    void closedOnTheWay();
    void keys_data();
    void keys();
};

void TestFolderTreeWalk::initTestCase()
{
    useEnglish();
}

void TestFolderTreeWalk::init()
{
    setUp();
}

void TestFolderTreeWalk::cleanup()
{
    tearDown();
}

void TestFolderTreeWalk::syncToDeepPath()
{
    QVERIFY(makeFolder(path("a/b/c/d")));
    QVERIFY(makeFolder(path("a/other")));
    QVERIFY(startAt(m_dir->path()));
    const QModelIndex found = sync(path("a/b/c/d/"));
    QVERIFY(found.isValid());
    QCOMPARE(m_model->key(found), path("a/b/c/d"));
    for (const char* name : {"a", "a/b", "a/b/c", "a/b/c/d"})
        QCOMPARE(m_model->state(node(name)), State::Open);
    QCOMPARE(m_model->state(node("a/other")), State::Closed);
}

void TestFolderTreeWalk::syncOpensWhatAppearedMeanwhile()
{
    QVERIFY(startAt(m_dir->path()));
    QVERIFY(makeFolder(path("late/x")));
    QVERIFY(!node("late").isValid());
    const QModelIndex found = sync(path("late/x"));
    QCOMPARE(m_model->key(found), path("late/x"));
    QCOMPARE(m_model->state(found), State::Open);

    // Not on disk: the walk goes as far as it can and finds nothing.
    QVERIFY(!sync(path("late/nowhere/y")).isValid());
}

void TestFolderTreeWalk::syncAlreadyOpenRereadsOnlyThePath()
{
    QVERIFY(makeFolder(path("a/b")));
    QVERIFY(startAt(m_dir->path()));
    QVERIFY(sync(path("a/b")).isValid());
    QVERIFY(makeFile(path("a/b/new.txt")));
    QVERIFY(makeFile(path("a/sibling.txt")));
    const QModelIndex found = sync(path("a/b"));
    QCOMPARE(m_model->key(found), path("a/b"));
    QCOMPARE(children("a/b"), QStringList{"new.txt"});
    QCOMPARE(children("a"), QStringList{"b/"});
}

void TestFolderTreeWalk::syncThroughLink()
{
    QVERIFY(makeFolder(path("tree/a/b/c")));
    QTemporaryDir elsewhere;
    QVERIFY(makeLink(path("tree/a"), elsewhere.filePath("shortcut")));
    QVERIFY(startAt(path("tree")));
    const QModelIndex found = sync(elsewhere.filePath("shortcut/b/c"));
    QVERIFY(found.isValid());
    QCOMPARE(m_model->key(found), path("tree/a/b/c"));
    QCOMPARE(m_model->nodeForPath(elsewhere.filePath("shortcut/b")), node("tree/a/b"));
    QCOMPARE(m_model->nodeForPath(path("tree/a/b/c/")), found);

    // The drive itself reached through a link.
    QVERIFY(makeLink(path("tree"), elsewhere.filePath("drive")));
    QVERIFY(startAt(elsewhere.filePath("drive")));
    const QModelIndex inside = sync(path("tree/a/b"));
    QCOMPARE(m_model->key(inside), elsewhere.filePath("drive/a/b"));
    QCOMPARE(m_model->nodeForPath(path("tree/a")),
             m_model->nodeForKey(elsewhere.filePath("drive/a")));
}

void TestFolderTreeWalk::syncOutsideTheDrive()
{
    QVERIFY(makeFolder(path("drive")));
    QVERIFY(makeFolder(path("drive2/x")));
    QVERIFY(startAt(path("drive")));
    QSignalSpy synchronised(m_model.get(), &FolderTreeModel::synchronised);
    QVERIFY(!m_model->syncWithPath(path("drive2/x")));
    QVERIFY(!m_model->nodeForPath(path("drive2")).isValid());
    QCOMPARE(synchronised.size(), 0);
}

void TestFolderTreeWalk::closedOnTheWay()
{
    QVERIFY(makeFolder(path("a/b/c")));
    QVERIFY(startAt(m_dir->path()));
    QSignalSpy synchronised(m_model.get(), &FolderTreeModel::synchronised);
    QVERIFY(m_model->syncWithPath(path("a/b/c")));
    QVERIFY(m_model->isReading(node("a")));
    // The user closes the folder the walk waits for: it cannot go further.
    m_model->ToggleNode(node("a"));
    QVERIFY(synchronised.wait());
    QCOMPARE(synchronised.size(), 1);
    QVERIFY(!synchronised.at(0).at(0).value<QModelIndex>().isValid());
    QCOMPARE(m_model->state(node("a")), State::Closed);
}

void TestFolderTreeWalk::keys_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("root");
    QTest::addColumn<QStringList>("keys");

    QTest::newRow("clean") << "/nowhere/a/b/"
                           << "/nowhere" << QStringList{"/nowhere/a/b"};
    QTest::newRow("dots") << "/nowhere/a/../b/./c"
                          << "/" << QStringList{"/nowhere/b/c"};
    QTest::newRow("double slashes") << "//nowhere//a"
                                    << "/" << QStringList{"/nowhere/a"};
    QTest::newRow("root") << "/"
                          << "/" << QStringList{"/"};
}

void TestFolderTreeWalk::keys()
{
    QFETCH(QString, path);
    QFETCH(QString, root);
    QFETCH(QStringList, keys);
    QCOMPARE(FolderTreeWalk::keysFor(path, root), keys);
}

QTEST_GUILESS_MAIN(TestFolderTreeWalk)
#include "tst_foldertreewalk.moc"
