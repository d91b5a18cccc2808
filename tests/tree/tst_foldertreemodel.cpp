#include "foldertreefixture.h"

using namespace FolderSamples;

class TestFolderTreeModel : public FolderTreeFixture {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void topLevel();
    void nodeImages_data();
    void nodeImages();
    void openCloseAndReopen();
    void emptyFolder();
    void checkStates();
    void checkedNodesAndClearing();
    void refreshClimbsToOpenAncestor();
    void refreshOfFileRereadsItsFolder();
    void reloadKeepsOpenSubfolders();
    void collapseAll();
    void dropDeletedNodes();
    void staleBatchesIgnored();
    void bigFolderInOrder();
    void addAndRemoveNodes();
    void readFailure();
};

void TestFolderTreeModel::initTestCase()
{
    useEnglish();
}

void TestFolderTreeModel::init()
{
    setUp();
}

void TestFolderTreeModel::cleanup()
{
    tearDown();
}

void TestFolderTreeModel::topLevel()
{
    QVERIFY(makeMixedFolder(m_dir->path()));
    QVERIFY(startAt(m_dir->path() + "/"));
    const QModelIndex root = m_model->rootIndex();
    QCOMPARE(m_model->rowCount(), 1);
    QCOMPARE(root.data().toString(), m_dir->path());
    QCOMPARE(root.data(FolderTreeModel::KeyRole).toString(), m_dir->path());
    QCOMPARE(m_model->rootPath(), m_dir->path());
    QCOMPARE(m_model->state(root), State::Root);
    QCOMPARE(children({}), mixedFolderListing());
    for (int row = 0; row < m_model->rowCount(root); ++row) {
        const QModelIndex child = m_model->index(row, 0, root);
        QCOMPARE(child.data(FolderTreeModel::KeyRole).toString(), path(child.data().toString()));
        QCOMPARE(m_model->nodeForKey(path(child.data().toString())), child);
        QCOMPARE(child.parent(), root);
    }
    QCOMPARE(m_model->state(node("A")), State::Closed);
    QCOMPARE(m_model->state(node("linkfolder")), State::Closed);
    QCOMPARE(m_model->state(node("dangling")), State::Leaf);
    QVERIFY(!node("pipe").isValid());
    QVERIFY(!node(".hidden").isValid());
}

void TestFolderTreeModel::nodeImages_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("image");
    QTest::addColumn<bool>("hasChildren");
    QTest::addColumn<bool>("checkable");

    QTest::newRow("root") << ""
                          << "root" << true << true;
    QTest::newRow("folder not read") << "A"
                                     << "closed" << true << true;
    QTest::newRow("empty folder not read") << "b"
                                           << "closed" << true << true;
    QTest::newRow("file") << "a.txt"
                          << "leaf" << false << true;
    QTest::newRow("link to a file") << "linkfile"
                                    << "leaf" << false << true;
}

void TestFolderTreeModel::nodeImages()
{
    QFETCH(QString, name);
    QFETCH(QString, image);
    QFETCH(bool, hasChildren);
    QFETCH(bool, checkable);
    QVERIFY(makeMixedFolder(m_dir->path()));
    QVERIFY(startAt(m_dir->path()));
    const QModelIndex index = name.isEmpty() ? m_model->rootIndex() : node(name);
    QVERIFY(index.isValid());
    QCOMPARE(index.data(FolderTreeModel::ImageKeyRole).toString(), image);
    QCOMPARE(FolderTreeModel::imageKey(index.data(FolderTreeModel::StateRole).value<State>()),
             image);
    QCOMPARE(m_model->hasChildren(index), hasChildren);
    QCOMPARE(bool(m_model->flags(index) & Qt::ItemIsUserCheckable), checkable);
    QCOMPARE(index.data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);
}

void TestFolderTreeModel::openCloseAndReopen()
{
    QVERIFY(makeMixedFolder(m_dir->path()));
    QVERIFY(makeFolder(path("A/deeper")));
    QVERIFY(startAt(m_dir->path()));
    QVERIFY(toggle("A"));
    QCOMPARE(m_model->state(node("A")), State::Open);
    QCOMPARE(node("A").data(FolderTreeModel::ImageKeyRole).toString(), "open");
    QCOMPARE(children("A"), QStringList({"deeper/", "inside.txt"}));
    QVERIFY(toggle("A/deeper"));
    QVERIFY(node("A/deeper").isValid());

    // Closing discards the children, grandchildren included.
    QVERIFY(toggle("A"));
    QCOMPARE(m_model->state(node("A")), State::Closed);
    QCOMPARE(m_model->rowCount(node("A")), 0);
    QVERIFY(!node("A/inside.txt").isValid());
    QVERIFY(!node("A/deeper").isValid());
    QVERIFY(m_model->hasChildren(node("A")));

    // Opening again reads the disk again.
    QVERIFY(makeFile(path("A/later.txt")));
    QVERIFY(toggle("A"));
    QCOMPARE(children("A"), QStringList({"deeper/", "inside.txt", "later.txt"}));
    QCOMPARE(m_model->state(node("A/deeper")), State::Closed);

    // A file is left alone.
    QVERIFY(toggle("a.txt"));
    QCOMPARE(m_model->state(node("a.txt")), State::Leaf);
}

void TestFolderTreeModel::emptyFolder()
{
    QVERIFY(makeFolder(path("empty")));
    QVERIFY(startAt(m_dir->path()));
    QVERIFY(m_model->hasChildren(node("empty")));
    QVERIFY(toggle("empty"));
    QCOMPARE(m_model->state(node("empty")), State::Open);
    QVERIFY(!m_model->hasChildren(node("empty")));
    QVERIFY(toggle("empty"));
    QCOMPARE(m_model->state(node("empty")), State::Closed);
    QVERIFY(!m_model->hasChildren(node("empty")));
}

void TestFolderTreeModel::checkStates()
{
    QVERIFY(makeFolder(path("checked/inner")));
    QVERIFY(makeFile(path("checked/file.txt")));
    QVERIFY(makeFolder(path("plain/inner")));
    QVERIFY(makeFile(path("plain/file.txt")));
    QVERIFY(startAt(m_dir->path()));
    QSignalSpy changes(m_model.get(), &QAbstractItemModel::dataChanged);
    QVERIFY(m_model->setData(node("checked"), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(changes.size(), 1);
    QCOMPARE(changes.at(0).at(0).value<QModelIndex>(), node("checked"));
    QVERIFY(toggle("checked"));
    QVERIFY(toggle("plain"));
    QCOMPARE(node("checked/file.txt").data(Qt::CheckStateRole).value<Qt::CheckState>(),
             Qt::Checked);
    QCOMPARE(node("checked/inner").data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);
    QCOMPARE(node("plain/file.txt").data(Qt::CheckStateRole).value<Qt::CheckState>(),
             Qt::Unchecked);
    QVERIFY(!m_model->setData(node("plain"), "renamed", Qt::EditRole));
    QCOMPARE(node("plain").data().toString(), "plain");
}

void TestFolderTreeModel::checkedNodesAndClearing()
{
    QVERIFY(makeMixedFolder(m_dir->path()));
    QVERIFY(startAt(m_dir->path()));
    QVERIFY(toggle("A"));
    for (const char* name : {"ro.txt", "A/inside.txt", "A", "b"})
        QVERIFY(m_model->setData(node(name), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(m_model->setData(m_model->rootIndex(), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(m_model->setData(node("b"), Qt::Unchecked, Qt::CheckStateRole));
    QStringList keys;
    for (const QModelIndex& index : m_model->checkedNodes())
        keys.append(m_model->key(index));
    QCOMPARE(keys, QStringList({m_dir->path(), path("A"), path("A/inside.txt"), path("ro.txt")}));
    m_model->clearCheckMarks();
    QVERIFY(m_model->checkedNodes().isEmpty());
}

void TestFolderTreeModel::refreshClimbsToOpenAncestor()
{
    QVERIFY(makeFolder(path("a/b/c")));
    QVERIFY(makeFolder(path("a/kept")));
    QVERIFY(startAt(m_dir->path()));
    QVERIFY(sync(path("a/b/c")).isValid());
    QVERIFY(QDir(path("a/b")).removeRecursively());
    QVERIFY(makeFile(path("a/new.txt")));

    // c and b are gone from disk; a is the nearest open folder that is not.
    m_reads->clear();
    const QModelIndex refreshed = m_model->refreshFolder(node("a/b/c"));
    QCOMPARE(m_model->key(refreshed), path("a"));
    QVERIFY(waitRead(path("a")));
    QCOMPARE(children("a"), QStringList({"kept/", "new.txt"}));

    // A closed folder hands the refresh to its parent too.
    QVERIFY(makeFile(path("a/newer.txt")));
    m_reads->clear();
    QCOMPARE(m_model->refreshFolder(node("a/kept")), node("a"));
    QVERIFY(waitRead(path("a")));
    QCOMPARE(children("a"), QStringList({"kept/", "new.txt", "newer.txt"}));
}

void TestFolderTreeModel::refreshOfFileRereadsItsFolder()
{
    QVERIFY(makeFolder(path("a")));
    QVERIFY(makeFile(path("a/one.txt")));
    QVERIFY(startAt(m_dir->path()));
    QVERIFY(toggle("a"));
    QVERIFY(makeFile(path("a/two.txt")));
    m_reads->clear();
    QCOMPARE(m_model->refreshFolder(node("a/one.txt")), node("a"));
    QVERIFY(waitRead(path("a")));
    QCOMPARE(children("a"), QStringList({"one.txt", "two.txt"}));
    m_reads->clear();
    QCOMPARE(m_model->refreshFolder(m_model->rootIndex()), m_model->rootIndex());
    QVERIFY(waitRead(m_dir->path()));
}

void TestFolderTreeModel::reloadKeepsOpenSubfolders()
{
    QVERIFY(makeFolder(path("a/open/deeper")));
    QVERIFY(makeFolder(path("a/closed")));
    QVERIFY(startAt(m_dir->path()));
    QVERIFY(sync(path("a/open/deeper")).isValid());
    QVERIFY(makeFile(path("a/open/deeper/new.txt")));
    m_reads->clear();
    m_model->ReloadNode(node("a"));
    QVERIFY(waitRead(path("a/open/deeper")));
    QCOMPARE(m_model->state(node("a/open")), State::Open);
    QCOMPARE(m_model->state(node("a/open/deeper")), State::Open);
    QCOMPARE(m_model->state(node("a/closed")), State::Closed);
    QCOMPARE(children("a/open/deeper"), QStringList{"new.txt"});

    // A folder that is not open is not read.
    m_model->ReloadNode(node("a/closed"));
    QVERIFY(!m_model->isReading(node("a/closed")));
}

void TestFolderTreeModel::collapseAll()
{
    QVERIFY(makeFolder(path("a/b")));
    QVERIFY(startAt(m_dir->path()));
    QVERIFY(sync(path("a/b")).isValid());
    m_reads->clear();
    m_model->collapseAll();
    QVERIFY(waitRead(m_dir->path()));
    QCOMPARE(m_model->state(node("a")), State::Closed);
    QVERIFY(!node("a/b").isValid());
    QCOMPARE(children({}), QStringList{"a/"});

    // Toggling the root does the same.
    QVERIFY(toggle("a"));
    m_reads->clear();
    m_model->ToggleNode(m_model->rootIndex());
    QVERIFY(waitRead(m_dir->path()));
    QCOMPARE(m_model->state(node("a")), State::Closed);
}

void TestFolderTreeModel::dropDeletedNodes()
{
    QVERIFY(makeFolder(path("gone/inner")));
    QVERIFY(makeFile(path("gone.txt")));
    QVERIFY(makeFile(path("kept.txt")));
    QVERIFY(makeFile(path("unchecked.txt")));
    QVERIFY(makeLink(path("nowhere"), path("dangling")));
    QVERIFY(startAt(m_dir->path()));
    QVERIFY(toggle("gone"));
    for (const char* name : {"gone", "gone.txt", "kept.txt", "dangling"})
        QVERIFY(m_model->setData(node(name), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(QDir(path("gone")).removeRecursively());
    QVERIFY(QFile::remove(path("gone.txt")));
    QVERIFY(QFile::remove(path("unchecked.txt")));

    QCOMPARE(m_model->DropDeletedNodes(), 2);
    QCOMPARE(children({}), QStringList({"dangling", "kept.txt", "unchecked.txt"}));
    QVERIFY(!node("gone/inner").isValid());
    QCOMPARE(m_model->checkedNodes().size(), 2);
    QCOMPARE(m_model->DropDeletedNodes(), 0);
}

void TestFolderTreeModel::staleBatchesIgnored()
{
    const int count = FolderReader::FirstBatchSize + 2 * FolderReader::BatchSize;
    QVERIFY(makeFiles(path("big"), count));
    QVERIFY(startAt(m_dir->path()));
    m_model->ToggleNode(node("big"));
    QTRY_VERIFY(m_model->rowCount(node("big")) > 0);
    QVERIFY(m_model->isReading(node("big")));
    m_model->ToggleNode(node("big"));
    QCOMPARE(m_model->rowCount(node("big")), 0);
    QVERIFY(!m_model->isReading(node("big")));
    QVERIFY(toggle("big"));
    QCOMPARE(m_model->rowCount(node("big")), count);
}

void TestFolderTreeModel::bigFolderInOrder()
{
    const int count = FolderReader::FirstBatchSize + FolderReader::BatchSize + 7;
    QVERIFY(makeFiles(path("big"), count));
    QVERIFY(startAt(m_dir->path()));
    QSignalSpy inserted(m_model.get(), &QAbstractItemModel::rowsInserted);
    QVERIFY(toggle("big"));
    QVERIFY(inserted.size() > 1);
    const QStringList names = children("big");
    QCOMPARE(names.size(), count);
    for (int i = 0; i < count; ++i)
        QCOMPARE(names.at(i), QString::asprintf("file-%05d", i));
}

void TestFolderTreeModel::addAndRemoveNodes()
{
    QVERIFY(makeFile(path("a.txt")));
    QVERIFY(makeFile(path("c.txt")));
    QVERIFY(startAt(m_dir->path()));
    QVERIFY(m_model->setData(m_model->rootIndex(), Qt::Checked, Qt::CheckStateRole));
    const QModelIndex added = m_model->addNode(m_model->rootIndex(), "B", true);
    QCOMPARE(m_model->key(added), path("B"));
    QCOMPARE(m_model->state(added), State::Closed);
    QCOMPARE(added.data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);
    QCOMPARE(children({}), QStringList({"a.txt", "B/", "c.txt"}));
    QCOMPARE(m_model->addNode(m_model->rootIndex(), "B", true), added);
    const QModelIndex file = m_model->addNode(m_model->rootIndex(), "b.txt", false);
    QCOMPARE(file.data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
    QVERIFY(!m_model->addNode(file, "x", false).isValid());
    QCOMPARE(children({}), QStringList({"a.txt", "B/", "b.txt", "c.txt"}));

    QVERIFY(m_model->removeNode(node("B")));
    QVERIFY(!node("B").isValid());
    QCOMPARE(children({}), QStringList({"a.txt", "b.txt", "c.txt"}));
    QVERIFY(!m_model->removeNode(m_model->rootIndex()));
}

void TestFolderTreeModel::readFailure()
{
    QVERIFY(makeFolder(path("vanishing")));
    QVERIFY(startAt(m_dir->path()));
    QVERIFY(QDir(path("vanishing")).removeRecursively());
    QSignalSpy failures(m_model.get(), &FolderTreeModel::folderReadFailed);
    QVERIFY(toggle("vanishing"));
    QCOMPARE(failures.size(), 1);
    QCOMPARE(failures.at(0).at(0).toString(), path("vanishing"));
    QCOMPARE(failures.at(0).at(1).value<Error>().code, ErrorCode::FileNotFound);
    QCOMPARE(m_model->state(node("vanishing")), State::Open);
    QVERIFY(!m_model->hasChildren(node("vanishing")));
}

QTEST_GUILESS_MAIN(TestFolderTreeModel)
#include "tst_foldertreemodel.moc"
