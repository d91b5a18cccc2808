#include "support/testhome.h"
#include "tools/autocompletelist.h"

#include <QTest>

class TestAutoCompleteList : public QObject {
    Q_OBJECT
private slots:
    void loadsEntriesAsWritten();
    void unreadableAndOversizedLists();
    void findsByPrefixIgnoringCase();
    void prefixes_data();
    void prefixes();
};

void TestAutoCompleteList::loadsEntriesAsWritten()
{
    TestHome home;
    AutoCompleteList list;
    QCOMPARE(list.state(), AutoCompleteList::State::NotLoaded);
    // A BOM, comments, empty lines, and LF, CR LF and CR line ends.
    list.load(home.write(QStringLiteral("words.txt"),
                         "\xEF\xBB\xBF# tags\n<title>\r\n\r\n&nbsp;\r <td> \n#no\n<b>"));
    QCOMPARE(list.state(), AutoCompleteList::State::Loaded);
    QCOMPARE(list.entries(), QStringList({"<title>", "&nbsp;", " <td> ", "<b>"}));
    QCOMPARE(list.sorted(), QStringList({" <td> ", "&nbsp;", "<b>", "<title>"}));
    QVERIFY(list.readingFailure().isEmpty());
}

void TestAutoCompleteList::unreadableAndOversizedLists()
{
    TestHome home;
    AutoCompleteList list;
    const QString missing = home.path(QStringLiteral("gone.txt"));
    list.load(missing);
    QCOMPARE(list.state(), AutoCompleteList::State::Unreadable);
    QCOMPARE(list.entries().size(), 1);
    QVERIFY(list.entries().first().startsWith(QStringLiteral("Error: ") + missing + " : "));
    QVERIFY(list.sorted().isEmpty()); // the error text is no entry to insert
    QByteArray many;
    for (int i = 0; i < AutoCompleteList::MaximumEntries + 5; ++i)
        many += "w\n";
    list.load(home.write(QStringLiteral("many.txt"), many));
    QCOMPARE(list.entries().size(), AutoCompleteList::MaximumEntries);
    QVERIFY(list.readingFailure().contains(QStringLiteral("\r\nError: ")));
    // A device is refused, never read.
    list.load(QStringLiteral("/dev/zero"));
    QCOMPARE(list.state(), AutoCompleteList::State::Unreadable);
}

void TestAutoCompleteList::findsByPrefixIgnoringCase()
{
    TestHome home;
    AutoCompleteList list;
    QByteArray words;
    for (int i = 0; i < 2006; ++i)
        words += "<tag" + QByteArray::number(i) + ">\n";
    words += "<title>\n<TD>\n&nbsp;\n&amp;\n";
    list.load(home.write(QStringLiteral("w.txt"), words));
    QCOMPARE(list.sorted().at(*list.find(QStringLiteral("<ti"))), QStringLiteral("<title>"));
    QCOMPARE(list.sorted().at(*list.find(QStringLiteral("<td"))), QStringLiteral("<TD>"));
    QCOMPARE(list.sorted().at(*list.find(QStringLiteral("&n"))), QStringLiteral("&nbsp;"));
    QCOMPARE(list.sorted().at(*list.find(QStringLiteral("&"))), QStringLiteral("&amp;"));
    QVERIFY(!list.find(QStringLiteral("<zz")));
}

void TestAutoCompleteList::prefixes_data()
{
    QTest::addColumn<QString>("paragraph");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("prefix");
    QTest::newRow("a trigger") << "text <" << 6 << "<";
    QTest::newRow("triggers") << "a <&" << 4 << "<&";
    QTest::newRow("a partial word") << "go <ti" << 6 << "<ti";
    QTest::newRow("after a tag") << "<b>" << 3 << "";
    QTest::newRow("after a blank") << "word " << 5 << "";
    QTest::newRow("after a semicolon") << "&amp;" << 5 << "";
    QTest::newRow("at the start") << "" << 0 << "";
    QTest::newRow("first word") << "nb" << 2 << "nb";
}

void TestAutoCompleteList::prefixes()
{
    QFETCH(QString, paragraph);
    QFETCH(int, caret);
    QFETCH(QString, prefix);
    const int start = AutoCompleteList::prefixStart(paragraph, caret, QStringLiteral("<&"));
    QCOMPARE(paragraph.mid(start, caret - start), prefix);
    QVERIFY(AutoCompleteList::isHotKey(u'<', QStringLiteral("<&")));
    QVERIFY(!AutoCompleteList::isHotKey(u'a', QStringLiteral("<&")));
}

QTEST_APPLESS_MAIN(TestAutoCompleteList)
#include "tst_autocompletelist.moc"
