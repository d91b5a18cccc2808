#include "document/documentfilter.h"
#include "document/documenttable.h"
#include "richtext/documentfile.h"
#include "support/testhome.h"

#include <QTest>

class TestDocumentFilter : public QObject {
    Q_OBJECT
private slots:
    void defaultFilter();
    void filterIndex_data();
    void filterIndex();
    void customListIsTrimmed();
    void kindFollowsTheLastDot_data();
    void kindFollowsTheLastDot();
    void slotsAreReused();
    void openPathMatching();
};

void TestDocumentFilter::defaultFilter()
{
    DocumentFilter filter;
    filter.BuildFileFilter(QString());
    QCOMPARE(filter.DocFilter(),
             QStringLiteral(".txt|*.txt|.htm*|*.htm*|.js|*.js|.css|*.css|.xml|*.xml|.rtf|*.rtf|"
                            "All Files|*.*"));
    QCOMPARE(filter.DocExtensions().size(), 6);
}

void TestDocumentFilter::filterIndex_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<int>("index");
    QTest::newRow("txt") << "/x/a.txt"
                         << ".txt" << 1;
    QTest::newRow("html by prefix") << "/x/page.html"
                                    << ".html" << 2;
    QTest::newRow("HTM any case") << "/x/PAGE.HTM"
                                  << ".HTM" << 2;
    QTest::newRow("rtf") << "/x/a.rtf"
                         << ".rtf" << 6;
    QTest::newRow("unknown is All Files") << "/x/data.csv"
                                          << ".csv" << 7;
    QTest::newRow("h is not htm*") << "/x/a.h"
                                   << ".h" << 7;
    QTest::newRow("untitled") << "Untitled:3"
                              << ".txt" << 1;
    QTest::newRow("no dot") << "/x/README"
                            << "" << 7;
    QTest::newRow("dot in folder only") << "/v1.2/readme"
                                        << "" << 7;
    QTest::newRow("hidden folder") << "/home/u/.config/app/notes"
                                   << "" << 7;
    QTest::newRow("dotted folder, dotted name") << "/w/proj.v2/notes.txt"
                                                << ".txt" << 1;
}

void TestDocumentFilter::filterIndex()
{
    QFETCH(QString, path);
    QFETCH(QString, extension);
    QFETCH(int, index);
    DocumentFilter filter;
    filter.BuildFileFilter(QString());
    const auto choice = filter.GetFilterIndex(path);
    QCOMPARE(choice.defaultExtension, extension);
    QCOMPARE(choice.filterIndex, index);
}

void TestDocumentFilter::customListIsTrimmed()
{
    DocumentFilter filter;
    filter.BuildFileFilter(QStringLiteral(" .md , .c*,,"));
    QCOMPARE(filter.DocExtensions(), QStringList({QStringLiteral(".md"), QStringLiteral(".c*")}));
    QCOMPARE(filter.DocFilter(), QStringLiteral(".md|*.md|.c*|*.c*|All Files|*.*"));
    QCOMPARE(filter.GetFilterIndex(QStringLiteral("/a.cpp")).filterIndex, 2);
    QCOMPARE(filter.GetFilterIndex(QStringLiteral("Untitled:1")).defaultExtension,
             QStringLiteral(".md"));
}

void TestDocumentFilter::kindFollowsTheLastDot_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("rtf");
    QTest::newRow("mixed case") << "/notes/a.Rtf" << true;
    QTest::newRow("upper") << "report.RTF" << true;
    QTest::newRow("rtf then txt") << "a.rtf.txt" << false;
    QTest::newRow("backup") << "report.rtf.bak" << false;
    QTest::newRow("no dot") << "readme" << false;
    QTest::newRow("dot in folder") << "/v1.2/readme" << false;
}

void TestDocumentFilter::kindFollowsTheLastDot()
{
    QFETCH(QString, path);
    QFETCH(bool, rtf);
    QCOMPARE(DocumentFile::kindForPath(path) == DocumentKind::Rtf, rtf);
}

void TestDocumentFilter::slotsAreReused()
{
    DocumentTable table;
    QVERIFY(!table.AnyDocumentsOpen() || !table.state(0).Deleted);
    table.state(0).Deleted = true;
    QVERIFY(!table.AnyDocumentsOpen());
    QCOMPARE(table.FindFreeIndex(), 1);
    QCOMPARE(table.FindFreeIndex(), 2);
    QCOMPARE(table.FindFreeIndex(), 3);
    table.state(2).Deleted = true;
    QCOMPARE(table.FindFreeIndex(), 2);
    QCOMPARE(table.FindFreeIndex(), 4);
    QVERIFY(table.AnyDocumentsOpen());
    for (int slot = 1; slot <= table.upperBound(); ++slot)
        table.state(slot).Deleted = true;
    QVERIFY(!table.AnyDocumentsOpen());
    table.state(0).Deleted = false; // an open notes pad counts
    QVERIFY(table.AnyDocumentsOpen());
}

void TestDocumentFilter::openPathMatching()
{
    TestHome home;
    const QString upper = home.write(QStringLiteral("Notes.txt"), "a");
    const QString lower = home.write(QStringLiteral("notes.txt"), "b");
    DocumentTable table;
    const int slot = table.FindFreeIndex();
    table.state(slot).FileName = upper;
    QCOMPARE(table.findOpenPath(upper), slot);
    // Another file that differs only in case is not the open one.
    QCOMPARE(table.findOpenPath(lower), 0);
    QVERIFY(QFile::remove(lower));
    QVERIFY(QFile::link(upper, lower));
    QCOMPARE(table.findOpenPath(lower), slot); // the same file under another case
    table.state(slot).Deleted = true;
    QCOMPARE(table.findOpenPath(upper), 0);
}

QTEST_GUILESS_MAIN(TestDocumentFilter)
#include "tst_documentfilter.moc"
