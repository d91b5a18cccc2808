#include "project/projectentry.h"
#include "project/projectfile.h"
#include "project/projectlist.h"
#include "support/testhome.h"

#include <QCollator>
#include <QDir>
#include <QElapsedTimer>
#include <QLocale>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <memory>

using Outcome = ProjectList::Outcome;
using Mode = ProjectList::SelectionMode;
Q_DECLARE_METATYPE(ProjectList::Outcome)

class TestProjectList : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void roundTrip_data();
    void roundTrip();
    void loadAndSaveStates();
    void adding_data();
    void adding();
    void relocating();
    void removing_data();
    void removing();
    void sortOrder_data();
    void sortOrder();
    void sortIgnoresCaseWithoutALanguage();
    void saveAsKeepsRelativeEntriesPointing();
    void dragData_data();
    void dragData();
    void copiedPaths();
    void dropped();
    void tenThousandEntries();
};

namespace {

QStringList displayed(const ProjectList& list)
{
    QStringList texts;
    for (int row = 1; row < list.rowCount(); ++row)
        texts.append(list.index(row).data().toString());
    return texts;
}

void load(ProjectList& list, const TestHome& home, const QStringList& entries)
{
    QVERIFY(list.LoadProject(home.write("entries.prj", ProjectFile::encode(entries))));
    QCOMPARE(list.entryCount(), entries.size());
}

// Row 0 opens a new document whatever was loaded, removed or sorted.
void checkHintRow(const ProjectList& list)
{
    QCOMPARE(list.ProjectPaths().at(0), ProjectList::NewDocumentHint);
    const QModelIndex first = list.index(0);
    QCOMPARE(first.data().toString(), ProjectList::NewDocumentRow);
    QCOMPARE(first.data(Qt::ToolTipRole).toString(), ProjectList::NewDocumentHint);
    QCOMPARE(list.slotOfRow(0), 0);
    QVERIFY(!(list.flags(first) & Qt::ItemIsDragEnabled));
}

} // namespace

void TestProjectList::initTestCase()
{
    // The sort follows the user's language; these expectations are English.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestProjectList::roundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QByteArray>("saved");
    const QByteArray two("/home/ann/Site/\n/home/ann/Site/index.htm\n\n");
    QTest::newRow("two entries") << two << QStringList{"/home/ann/Site/", "index.htm"} << two;
    QTest::newRow("empty project") << QByteArray("\n") << QStringList{} << QByteArray("\n");
    QTest::newRow("Windows form with CR LF")
        << QByteArray("C:\\Work\\\r\nC:\\Docs\\a.pdf.lnk\r\nnotes.txt\r\n\r\n")
        << QStringList{"C:\\Work\\", "a.pdf.lnk", "notes.txt"}
        << QByteArray("C:\\Work\\\nC:\\Docs\\a.pdf.lnk\nnotes.txt\n\n");
    QTest::newRow("Windows-1252 saved as UTF-8")
        << QByteArray("C:\\caf\xE9.txt\r\n") << QStringList{QStringLiteral("caf\u00E9.txt")}
        << QByteArray("C:\\caf\xC3\xA9.txt\n\n");
    QTest::newRow("the same path twice stays twice")
        << QByteArray("/a.txt\n/a.txt\n\n") << QStringList{"a.txt", "a.txt"}
        << QByteArray("/a.txt\n/a.txt\n\n");
}

void TestProjectList::roundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, rows);
    QFETCH(QByteArray, saved);
    TestHome home;
    const QString file = home.write("p.prj", bytes);
    ProjectList list;
    QSignalSpy inserted(&list, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&list, &QAbstractItemModel::modelReset);
    QSignalSpy selection(&list, &ProjectList::selectionRequested);
    QVERIFY(list.LoadProject(file));
    // One reset, not a signal per row; row 0 selected at the end.
    QCOMPARE(inserted.count(), 0);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(selection.count(), 1);
    QCOMPARE(selection.at(0).at(0).toInt(), 0);
    QCOMPARE(list.ProjectFile(), file);
    QVERIFY(list.ProjectSaved());
    QCOMPARE(displayed(list), rows);
    checkHintRow(list);
    QVERIFY(list.save());
    QCOMPARE(TestHome::read(file), saved);
}

void TestProjectList::loadAndSaveStates()
{
    TestHome home;
    ProjectList list;
    load(list, home, {"/a.txt"});
    // A name that does not exist yet: an empty project of that name, no error.
    const QString missing = home.path("new.prj");
    QVERIFY(list.LoadProject(missing));
    QCOMPARE(list.ProjectFile(), missing);
    QCOMPARE(list.rowCount(), 1);
    QVERIFY(list.ProjectSaved());
    QVERIFY(list.save());
    QCOMPARE(TestHome::read(missing), QByteArray("\n"));

    // A file that cannot be read must not keep its name, or a save would
    // overwrite what the user never saw.
    load(list, home, {"/a.txt"});
    const QByteArray binary("/a\0b\n", 5);
    const QString file = home.write("binary.prj", binary);
    const Status status = list.LoadProject(file);
    QVERIFY(!status);
    QVERIFY(status.error().message.startsWith(ProjectFile::ErrorPrefix + file + u'\n'));
    QCOMPARE(list.ProjectFile(), QString());
    QCOMPARE(list.rowCount(), 1);
    QVERIFY(!list.save());
    QCOMPARE(TestHome::read(file), binary);

    // A failed Save As keeps the project's name and its changed state.
    load(list, home, {"/a.txt"});
    const QString name = list.ProjectFile();
    QCOMPARE(list.AddNewDocOrLink("/b.txt").outcome, Outcome::Added);
    QVERIFY(!list.saveAs(home.path("no such folder/p.prj")));
    QCOMPARE(list.ProjectFile(), name);
    QVERIFY(!list.ProjectSaved());
    QVERIFY(list.saveAs(home.path("p.prj")));
    QCOMPARE(list.ProjectFile(), home.path("p.prj"));
    QVERIFY(list.ProjectSaved());
}

void TestProjectList::adding_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<bool>("sorted");
    QTest::addColumn<QString>("path");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<int>("row");
    const QStringList three{"/p/b.txt", QStringLiteral("C:\\A\\\u00C4rger.txt"), "/p/a.txt"};
    QTest::newRow("new") << three << false << "/p/c.txt" << Outcome::Added << 4;
    QTest::newRow("same text") << three << false << "/p/a.txt" << Outcome::AlreadyListed << 3;
    QTest::newRow("its row after a sort")
        << three << true << "/p/a.txt" << Outcome::AlreadyListed << 1;
    QTest::newRow("case differs: two files here")
        << three << false << "/p/A.txt" << Outcome::Added << 4;
    QTest::newRow("case differs in Windows form")
        << three << false << QStringLiteral("c:\\a\\\u00E4RGER.txt") << Outcome::AlreadyListed << 2;
    QTest::newRow("shortcut of a listed file")
        << three << false << "/p/a.txt.lnk" << Outcome::Added << 4;
    QTest::newRow("first in display order") << QStringList{"/q/b.txt", "/p/a.txt", "/q/b.txt"}
                                            << true << "/q/b.txt" << Outcome::AlreadyListed << 2;
    QTest::newRow("line break") << three << false << "/p/a\nb.txt" << Outcome::Refused << -1;
    QTest::newRow("empty") << three << false << "" << Outcome::Refused << -1;
    QTest::newRow("the hint is no entry")
        << three << false << ProjectList::NewDocumentHint << Outcome::Added << 4;
}

void TestProjectList::adding()
{
    QFETCH(QStringList, entries);
    QFETCH(bool, sorted);
    QFETCH(QString, path);
    QFETCH(Outcome, outcome);
    QFETCH(int, row);
    TestHome home;
    ProjectList list;
    load(list, home, entries);
    if (sorted)
        list.sortByDisplayText();
    QSignalSpy selection(&list, &ProjectList::selectionRequested);
    const ProjectList::AddResult result = list.AddNewDocOrLink(path);
    QCOMPARE(result.outcome, outcome);
    QCOMPARE(result.row, row);
    QCOMPARE(list.ProjectSaved(), outcome != Outcome::Added);
    QCOMPARE(list.entryCount(), entries.size() + (outcome == Outcome::Added ? 1 : 0));
    if (outcome == Outcome::Refused) {
        QVERIFY(result.errorMessage.startsWith(ProjectFile::ErrorPrefix));
        QCOMPARE(selection.count(), 0);
        return;
    }
    QVERIFY(result.errorMessage.isEmpty());
    QVERIFY(ProjectEntry::samePath(list.pathOfRow(row), path));
    QCOMPARE(selection.count(), 1);
    QCOMPARE(selection.at(0).at(0).toInt(), row);
    QCOMPARE(selection.at(0).at(1).value<Mode>(),
             outcome == Outcome::Added ? Mode::Only : Mode::Also);
    // Found again after a sort, which rebuilds the lookup.
    list.sortByDisplayText();
    QVERIFY(ProjectEntry::samePath(list.pathOfRow(list.FindPathInList(path)), path));
}

void TestProjectList::relocating()
{
    TestHome home;
    ProjectList list;
    load(list, home, {"/b/old.txt", "/a/x.txt"});
    list.sortByDisplayText(); // old.txt, x.txt
    QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
    QVERIFY(list.relocate(1, "/c/New.txt"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(displayed(list), (QStringList{"New.txt", "x.txt"}));
    QVERIFY(!list.ProjectSaved());
    QCOMPARE(list.FindPathInList("/b/old.txt"), -1);
    QCOMPARE(list.FindPathInList("/c/New.txt"), 1);
    QVERIFY(!list.relocate(2, "/c/a\nb"));
    QVERIFY(!list.relocate(0, "/c/y.txt"));
    QCOMPARE(list.ProjectPaths(),
             (QStringList{ProjectList::NewDocumentHint, "/c/New.txt", "/a/x.txt"}));
}

void TestProjectList::removing_data()
{
    QTest::addColumn<bool>("sorted");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QStringList>("kept");
    // Stored b, d, a, c; sorted, rows 1 to 4 show a, b, c, d.
    QTest::newRow("stored order") << false << QList<int>{1, 3} << QStringList{"/d.txt", "/c.txt"};
    QTest::newRow("after a sort") << true << QList<int>{1, 3} << QStringList{"/b.txt", "/d.txt"};
    QTest::newRow("selected last first")
        << true << QList<int>{4, 2, 4} << QStringList{"/a.txt", "/c.txt"};
    QTest::newRow("row 0 and unknown rows ignored")
        << true << QList<int>{0, 5, -1} << QStringList{"/b.txt", "/d.txt", "/a.txt", "/c.txt"};
    QTest::newRow("all") << true << QList<int>{1, 2, 3, 4} << QStringList{};
}

void TestProjectList::removing()
{
    QFETCH(bool, sorted);
    QFETCH(QList<int>, rows);
    QFETCH(QStringList, kept);
    TestHome home;
    ProjectList list;
    load(list, home, {"/b.txt", "/d.txt", "/a.txt", "/c.txt"});
    if (sorted)
        list.sortByDisplayText();
    QSignalSpy selection(&list, &ProjectList::selectionRequested);
    list.removeEntries(rows);
    checkHintRow(list);
    // The rest shows in stored order, and the project counts as changed even
    // when nothing went.
    QStringList shown;
    for (int row = 1; row < list.rowCount(); ++row)
        shown.append(list.pathOfRow(row));
    QCOMPARE(shown, kept);
    QVERIFY(!list.ProjectSaved());
    QCOMPARE(selection.count(), 1);
    QCOMPARE(selection.at(0).at(0).toInt(), 0);
    QVERIFY(list.save());
    QCOMPARE(ProjectFile::read(list.ProjectFile()).value(), kept);
}

void TestProjectList::sortOrder_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("case ignored, folders by their path")
        << QStringList{"C:\\Docs\\b.txt", "C:\\Docs\\A.txt", "C:\\Work\\"}
        << QStringList{"A.txt", "b.txt", "C:\\Work\\"};
    QTest::newRow("by the name shown, not the path")
        << QStringList{"/a/zeta.txt", "/z/alpha.txt", "/m/Mid.txt"}
        << QStringList{"alpha.txt", "Mid.txt", "zeta.txt"};
    QTest::newRow("equal but for case: stored order kept")
        << QStringList{"/1/read.me", "/2/READ.ME", "/3/Read.Me", "/0/a"}
        << QStringList{"a", "read.me", "READ.ME", "Read.Me"};
    QTest::newRow("the same the other way") << QStringList{"/3/Read.Me", "/2/READ.ME", "/1/read.me"}
                                            << QStringList{"Read.Me", "READ.ME", "read.me"};
    QTest::newRow("letters beyond ASCII among their own")
        << QStringList{"/Zebra.txt", QStringLiteral("/\u00C9lan.txt"), "/eagle.txt",
                       QStringLiteral("/\u00E4hnlich.txt"), "/Apfel.txt"}
        << QStringList{QStringLiteral("\u00E4hnlich.txt"), "Apfel.txt", "eagle.txt",
                       QStringLiteral("\u00C9lan.txt"), "Zebra.txt"};
    QTest::newRow("shortcuts and projects by their names")
        << QStringList{"/d/r.pdf.lnk", "/d/Plans.prj", "/d/.lnk"}
        << QStringList{"/d/.lnk", "Plans.prj", "r.pdf.lnk"};
}

void TestProjectList::sortOrder()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, shown);
    TestHome home;
    ProjectList list;
    load(list, home, entries);
    QSignalSpy selection(&list, &ProjectList::selectionRequested);
    list.sortByDisplayText();
    QCOMPARE(displayed(list), shown);
    QCOMPARE(selection.count(), 1);
    QCOMPARE(selection.at(0).at(0).toInt(), 0);
    checkHintRow(list);
    // Only the rows moved: the project is unchanged and saves in stored order.
    QVERIFY(list.ProjectSaved());
    for (int row = 0; row < list.rowCount(); ++row)
        QCOMPARE(list.pathOfRow(row), list.ProjectPaths().at(list.slotOfRow(row)));
    QVERIFY(list.save());
    QCOMPARE(ProjectFile::read(list.ProjectFile()).value(), entries);
}

void TestProjectList::sortIgnoresCaseWithoutALanguage()
{
    // With no language set (LANG unset, the C locale) letter case must still not matter.
    QLocale::setDefault(QLocale::c());
    TestHome home;
    ProjectList list;
    load(list, home, {"/p/README", "/p/a.txt", "/p/NOEXT", "/p/b.txt"});
    list.sortByDisplayText();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(displayed(list), (QStringList{"a.txt", "b.txt", "NOEXT", "README"}));
}

void TestProjectList::saveAsKeepsRelativeEntriesPointing()
{
    TestHome home;
    ProjectList list;
    QVERIFY(list.LoadProject(home.write("p/site.prj", "docs/a.txt\nsub/\n/srv/b.txt\n")));
    QVERIFY(list.saveAs(home.path("elsewhere/deeper/site.prj")).ok() == false);
    QDir().mkpath(home.path("elsewhere/deeper"));
    QVERIFY(list.saveAs(home.path("elsewhere/deeper/site.prj")));
    const QStringList stored{"../../p/docs/a.txt", "../../p/sub/", "/srv/b.txt"};
    QCOMPARE(ProjectFile::read(list.ProjectFile()).value(), stored);
    QCOMPARE(list.ProjectPaths().mid(1), stored);
    QCOMPARE(ProjectEntry(list.pathOfRow(1)).resolved(list.ProjectFile()),
             QDir::cleanPath(home.path("p/docs/a.txt")));
    QCOMPARE(displayed(list), (QStringList{"a.txt", "../../p/sub/", "b.txt"}));
    QVERIFY(list.ProjectSaved());
}

void TestProjectList::dragData_data()
{
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<bool>("sorted");
    QTest::addColumn<QStringList>("offered"); // names in the test's folder
    // Stored: b.txt, missing.txt, a.pdf.lnk, sub/, gone.pdf.lnk, rel.txt (relative).
    // Sorted: sub/ (its whole path, "/" before letters), a.pdf.lnk, b.txt, ...
    QTest::newRow("display order, not selection order")
        << QList<int>{4, 1} << false << QStringList{"b.txt", "sub/"};
    QTest::newRow("after a sort") << QList<int>{3, 1, 2} << true
                                  << QStringList{"sub/", "a.pdf", "b.txt"};
    QTest::newRow("a shortcut offers its target") << QList<int>{3} << false << QStringList{"a.pdf"};
    QTest::newRow("missing files left out") << QList<int>{2, 5, 1} << false << QStringList{"b.txt"};
    QTest::newRow("relative to the project") << QList<int>{6} << false << QStringList{"rel.txt"};
    QTest::newRow("nothing that exists") << QList<int>{2, 5} << false << QStringList{};
}

void TestProjectList::dragData()
{
    QFETCH(QList<int>, rows);
    QFETCH(bool, sorted);
    QFETCH(QStringList, offered);
    TestHome home;
    const QString dir = home.path("") + u'/';
    home.write("b.txt", "b");
    home.write("a.pdf", "a");
    home.write("rel.txt", "r");
    QVERIFY(QDir(dir).mkdir("sub"));
    ProjectList list;
    load(list, home,
         {dir + "b.txt", dir + "missing.txt", dir + "a.pdf.lnk", dir + "sub/", dir + "gone.pdf.lnk",
          "rel.txt"});
    if (sorted)
        list.sortByDisplayText();
    QModelIndexList indexes;
    for (const int row : rows)
        indexes.append(list.index(row));
    const std::unique_ptr<QMimeData> data(list.mimeData(indexes));
    if (offered.isEmpty()) {
        QVERIFY(!data);
        return;
    }
    QVERIFY(data);
    QList<QUrl> urls;
    QStringList paths;
    for (const QString& name : offered) {
        urls.append(QUrl::fromLocalFile(dir + name));
        paths.append(dir + name);
    }
    QCOMPARE(data->urls(), urls);
    QCOMPARE(data->text(), paths.join(u'\n'));
}

void TestProjectList::copiedPaths()
{
    TestHome home;
    const QString dir = home.path("") + u'/';
    home.write("b.txt", "b");
    ProjectList list;
    load(list, home, {dir + "b.txt", "/nowhere/r.pdf.lnk", "rel.txt"});
    // In display order, shortcuts as stored, missing files too, relative entries
    // in the project's folder.
    QCOMPARE(list.copiedPaths({3, 0, 2, 1}), dir + "b.txt\n/nowhere/r.pdf.lnk\n" + dir + "rel.txt");
    const std::unique_ptr<QMimeData> data(list.copyData({2, 1}));
    QCOMPARE(data->text(), dir + "b.txt\n/nowhere/r.pdf.lnk");
    QCOMPARE(data->urls(), QList<QUrl>{QUrl::fromLocalFile(dir + "b.txt")});
}

void TestProjectList::dropped()
{
    TestHome home;
    const QString dir = home.path("") + u'/';
    home.write("a.txt", "a");
    QVERIFY(QDir(dir).mkdir("sub"));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(dir + "sub"), QUrl("https://example.org/x.txt"),
                  QUrl::fromLocalFile(dir + "a.txt"), QUrl::fromLocalFile(dir + "sub/")});
    const QStringList paths = ProjectList::droppedPaths(data);
    QCOMPARE(paths, (QStringList{dir + "sub/", dir + "a.txt", dir + "sub/"}));
    // Dropped twice, a folder is listed once.
    ProjectList list;
    for (const QString& path : paths)
        list.AddNewDocOrLink(path);
    QCOMPARE(displayed(list), (QStringList{dir + "sub/", "a.txt"}));
}

void TestProjectList::tenThousandEntries()
{
    // All three kinds, a fifth beyond ASCII, and a tenth of the names twice.
    QStringList entries;
    for (int i = 0; i < 10000; ++i) {
        const QString name =
            (i % 5 == 0 ? QStringLiteral("\u00C9t\u00E9 ") : QStringLiteral("n ")) +
            QString::number(i % 9000);
        entries.append(i % 3 == 0   ? "/home/ann/" + name + ".txt"
                       : i % 3 == 1 ? "/srv/" + name + "/"
                                    : "/docs/" + name.toUpper() + ".pdf.lnk");
    }
    TestHome home;
    const QString file = home.write("big.prj", ProjectFile::encode(entries));
    ProjectList list;
    QElapsedTimer timer;
    timer.start();
    QVERIFY(list.LoadProject(file));
    const qint64 loaded = timer.restart();
    list.sortByDisplayText();
    const qint64 sorted = timer.elapsed();
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    int equalPairs = 0;
    for (int row = 2; row < list.rowCount(); ++row) {
        const int order = collator.compare(list.index(row - 1).data().toString(),
                                           list.index(row).data().toString());
        QVERIFY(order <= 0);
        // Equal texts keep their stored order.
        if (order == 0) {
            ++equalPairs;
            QVERIFY(list.slotOfRow(row - 1) < list.slotOfRow(row));
        }
    }
    QVERIFY(equalPairs >= 300);
    timer.restart();
    QVERIFY(list.save());
    const qint64 saved = timer.restart();
    for (int i = 0; i < 1000; ++i)
        QCOMPARE(list.AddNewDocOrLink(QStringLiteral("/new/%1.txt").arg(i)).outcome,
                 Outcome::Added);
    const qint64 added = timer.elapsed();
    qInfo("load %lld ms, sort %lld ms, save %lld ms, 1000 adds %lld ms", loaded, sorted, saved,
          added);
    QCOMPARE(ProjectFile::read(file).value(), entries);
    // Generous bounds for a shared machine; they catch work per row that grows
    // with the list.
    QVERIFY(loaded + sorted + saved < 1000);
    QVERIFY(added < 1000);
}

QTEST_GUILESS_MAIN(TestProjectList)
#include "tst_projectlist.moc"
