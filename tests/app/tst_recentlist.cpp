#include "app/recentlist.h"
#include "platform/settings.h"
#include "support/testhome.h"

#include <QCoreApplication>
#include <QTest>

namespace {

// The stored keys RecentFile1 to RecentFile6 in order, absent ones as "-".
QStringList storedKeys(const SettingsStore& store)
{
    QStringList values;
    for (int position = 1; position <= 6; ++position) {
        const QString key = RecentList::keyName(position);
        values << (store.contains(Settings::RecentFiles, key)
                       ? store.read(Settings::RecentFiles, key, QString())
                       : QStringLiteral("-"));
    }
    return values;
}

void store(SettingsStore& store, const QStringList& values)
{
    for (int i = 0; i < values.size(); ++i)
        store.write(Settings::RecentFiles, RecentList::keyName(i + 1), values.at(i));
}

QStringList split(const char* text)
{
    return QString::fromUtf8(text).split(u' ', Qt::SkipEmptyParts);
}

} // namespace

class TestRecentList : public QObject {
    Q_OBJECT
private slots:
    void addKeepsNewestFirst_data();
    void addKeepsNewestFirst();
    void removeClosesTheGap_data();
    void removeClosesTheGap();
    void listStartsAtTheFirstKey();
    void positionCountsFromOne();
    void captionsShowAmpersands_data();
    void captionsShowAmpersands();
};

void TestRecentList::addKeepsNewestFirst_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QList<bool>>("pushed");
    QTest::addColumn<QStringList>("after");

    QTest::newRow("first into an empty store")
        << QStringList() << split("/p/a.prj") << QList<bool>{true} << split("/p/a.prj - - - - -");
    QTest::newRow("the newest goes on top")
        << split("/p/a.prj") << split("/p/b.prj") << QList<bool>{true}
        << split("/p/b.prj /p/a.prj - - - -");
    QTest::newRow("a listed project keeps its place")
        << split("/p/a.prj /p/b.prj /p/c.prj /p/d.prj") << split("/p/c.prj") << QList<bool>{false}
        << split("/p/a.prj /p/b.prj /p/c.prj /p/d.prj - -");
    QTest::newRow("six projects leave the last five")
        << QStringList() << split("/p/1.prj /p/2.prj /p/3.prj /p/4.prj /p/5.prj /p/6.prj")
        << QList<bool>{true, true, true, true, true, true}
        << split("/p/6.prj /p/5.prj /p/4.prj /p/3.prj /p/2.prj -");
    QTest::newRow("a name with & is matched by its path")
        << split("/p/R&D.prj /p/b.prj") << split("/p/R&D.prj /p/R&D.prj")
        << QList<bool>{false, false} << split("/p/R&D.prj /p/b.prj - - - -");
    // Two files on a disk that tells letter case apart.
    QTest::newRow("another case is another file")
        << split("/p/Plan.prj") << split("/p/plan.prj") << QList<bool>{true}
        << split("/p/plan.prj /p/Plan.prj - - - -");
    QTest::newRow("the same name in Windows form is the same project")
        << split("C:\\Work\\Plan.prj") << split("c:\\work\\plan.PRJ") << QList<bool>{false}
        << split("C:\\Work\\Plan.prj - - - - -");
    QTest::newRow("an empty name is never listed")
        << split("/p/a.prj") << QStringList{QString()} << QList<bool>{false}
        << split("/p/a.prj - - - - -");
}

void TestRecentList::addKeepsNewestFirst()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, added);
    QFETCH(QList<bool>, pushed);
    QFETCH(QStringList, after);
    TestHome home;
    SettingsStore settings(home.path(QStringLiteral("q.ini")));
    store(settings, before);
    RecentList list(settings);
    QList<bool> results;
    for (const QString& path : std::as_const(added))
        results << list.add(path);
    QCOMPARE(results, pushed);
    QCOMPARE(storedKeys(settings), after);
    // The store holds what a restart reads.
    QVERIFY(settings.sync());
    SettingsStore reopened(home.path(QStringLiteral("q.ini")));
    QCOMPARE(RecentList(reopened).paths(), RecentList(settings).paths());
}

void TestRecentList::removeClosesTheGap_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("removed");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QStringList>("after");

    QTest::newRow("from the middle")
        << split("/a /b /c") << QStringLiteral("/b") << true << split("/a /c - - - -");
    QTest::newRow("the newest") << split("/a /b /c /d /e") << QStringLiteral("/a") << true
                                << split("/b /c /d /e - -");
    QTest::newRow("the only one") << split("/a") << QStringLiteral("/a") << true
                                  << split("- - - - - -");
    QTest::newRow("one not listed")
        << split("/a /b") << QStringLiteral("/x") << false << split("/a /b - - - -");
}

void TestRecentList::removeClosesTheGap()
{
    QFETCH(QStringList, before);
    QFETCH(QString, removed);
    QFETCH(bool, found);
    QFETCH(QStringList, after);
    TestHome home;
    SettingsStore settings(home.path(QStringLiteral("q.ini")));
    store(settings, before);
    RecentList list(settings);
    QCOMPARE(list.remove(removed), found);
    QCOMPARE(storedKeys(settings), after);
}

void TestRecentList::listStartsAtTheFirstKey()
{
    TestHome home;
    SettingsStore settings(home.path(QStringLiteral("q.ini")));
    RecentList list(settings);
    QCOMPARE(list.paths(), QStringList());
    // Without a first entry the list is taken as empty, whatever follows it.
    settings.write(Settings::RecentFiles, QStringLiteral("RecentFile2"), QStringLiteral("/b"));
    QCOMPARE(list.paths(), QStringList());
    settings.write(Settings::RecentFiles, QStringLiteral("RecentFile1"), QStringLiteral("/a"));
    QCOMPARE(list.paths(), split("/a /b"));
    // Only five fit the menu.
    settings.write(Settings::RecentFiles, QStringLiteral("RecentFile6"), QStringLiteral("/f"));
    QCOMPARE(list.paths(), split("/a /b"));
}

void TestRecentList::positionCountsFromOne()
{
    TestHome home;
    SettingsStore settings(home.path(QStringLiteral("q.ini")));
    store(settings, split("/a /b /c"));
    const RecentList list(settings);
    QCOMPARE(list.position(QStringLiteral("/a")), 1);
    QCOMPARE(list.position(QStringLiteral("/c")), 3);
    QCOMPARE(list.position(QStringLiteral("/d")), 0);
    QCOMPARE(list.position(QString()), 0);
}

void TestRecentList::captionsShowAmpersands_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("caption");
    QTest::newRow("plain") << QStringLiteral("/p/a.prj") << QStringLiteral("/p/a.prj");
    QTest::newRow("one &") << QStringLiteral("/p/R&D.prj") << QStringLiteral("/p/R&&D.prj");
    QTest::newRow("two &") << QStringLiteral("/p/&&.prj") << QStringLiteral("/p/&&&&.prj");
    QTest::newRow("a tab") << QStringLiteral("/p/a\tb.prj") << QStringLiteral("/p/a b.prj");
}

void TestRecentList::captionsShowAmpersands()
{
    QFETCH(QString, path);
    QFETCH(QString, caption);
    QCOMPARE(RecentList::menuCaption(path), caption);
}

QTEST_GUILESS_MAIN(TestRecentList)
#include "tst_recentlist.moc"
