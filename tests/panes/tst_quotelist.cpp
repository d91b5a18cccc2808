#include "panes/quotelist.h"
#include "panes/quotemodel.h"

#include <QSignalSpy>
#include <QTest>

class TestQuoteList : public QObject {
    Q_OBJECT
private slots:
    void linesBecomeQuotes_data();
    void linesBecomeQuotes();
    void findNextWalksOnAndWraps_data();
    void findNextWalksOnAndWraps();
    void randomIndexCoversTheList_data();
    void randomIndexCoversTheList();
    void longQuotesAreCutForShowing_data();
    void longQuotesAreCutForShowing();
    void modelShowsQuotesReadOnly();
};

void TestQuoteList::linesBecomeQuotes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("quotes");
    QTest::newRow("one a line") << "a\nb\nc\n" << QStringList{"a", "b", "c"};
    QTest::newRow("no end at the end") << "a\nb" << QStringList{"a", "b"};
    QTest::newRow("blank lines between and around") << "\n\nfirst\n\n\nsecond\n\n"
                                                    << QStringList{"first", "second"};
    QTest::newRow("spaces are a quote, kept as read")
        << "  indented \n \nlast" << QStringList{"  indented ", " ", "last"};
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("only line ends") << "\n\n\n" << QStringList{};
    QTest::newRow("tabs and unicode") << "\tcafé €\n😀 end" << QStringList{"\tcafé €", "😀 end"};
}

void TestQuoteList::linesBecomeQuotes()
{
    QFETCH(QString, text);
    QFETCH(QStringList, quotes);
    QuoteList list;
    list.setText(text);
    QStringList got;
    for (int i = 0; i < list.count(); ++i)
        got.append(list.quote(i));
    QCOMPARE(got, quotes);
    QCOMPARE(list.quote(list.count()), QString());
    QCOMPARE(list.quote(-1), QString());
}

void TestQuoteList::findNextWalksOnAndWraps_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("search");
    // The index each Find next selects, -1 for none.
    QTest::addColumn<QList<int>>("found");
    QTest::newRow("both in turn, none, then the first again")
        << "Love is all\nnothing here\nA glove\nthe end"
        << "love" << QList<int>{0, 2, -1, 0, 2};
    QTest::newRow("a match in the last quote wraps at once") << "Love\nglove"
                                                             << "LOVE" << QList<int>{0, 1, 0, 1};
    QTest::newRow("only the last quote") << "a\nb\nlove"
                                         << "love" << QList<int>{2, 2, 2};
    QTest::newRow("no match") << "a\nb"
                              << "z" << QList<int>{-1, -1, -1};
    QTest::newRow("empty list") << ""
                                << "a" << QList<int>{-1, -1};
    QTest::newRow("blank lines do not count") << "\n\nx love\n\n\ny\n\nlove z\n"
                                              << "love" << QList<int>{0, 2, 0};
    QTest::newRow("a match never spans a line end") << "ab\ncd\nxbcx"
                                                    << "b\nc" << QList<int>{-1, -1};
    QTest::newRow("the whole line") << "abc\nab\nabcd"
                                    << "abc" << QList<int>{0, 2, 0};
    QTest::newRow("letter case of accented letters") << "été\nÉTÉ\nete"
                                                     << "Été" << QList<int>{0, 1, -1, 0};
}

void TestQuoteList::findNextWalksOnAndWraps()
{
    QFETCH(QString, text);
    QFETCH(QString, search);
    QFETCH(QList<int>, found);
    QuoteList list;
    list.setText(text);
    list.startSearch(search);
    QCOMPARE(list.QuoteIndex, -1);
    QList<int> got;
    for (qsizetype i = 0; i < found.size(); ++i) {
        got.append(list.findNext());
        // Where nothing was found the next search starts from the top.
        if (got.last() < 0)
            QCOMPARE(list.QuoteIndex, list.count());
        else
            QCOMPARE(list.QuoteIndex, got.last());
    }
    QCOMPARE(got, found);
}

void TestQuoteList::randomIndexCoversTheList_data()
{
    QTest::addColumn<double>("r");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("index");
    QTest::newRow("zero") << 0.0 << 5 << 0;
    QTest::newRow("just below one") << 0.9999999999 << 5 << 4;
    QTest::newRow("middle") << 0.5 << 4 << 2;
    QTest::newRow("rounded down") << 0.74 << 4 << 2;
    QTest::newRow("one quote") << 0.99 << 1 << 0;
    QTest::newRow("no quotes") << 0.3 << 0 << -1;
}

void TestQuoteList::randomIndexCoversTheList()
{
    QFETCH(double, r);
    QFETCH(int, count);
    QFETCH(int, index);
    QCOMPARE(QuoteList::randomIndex(r, count), index);
}

void TestQuoteList::longQuotesAreCutForShowing_data()
{
    QTest::addColumn<QString>("quote");
    QTest::addColumn<QString>("shown");
    const QString full(1000, u'a');
    QTest::newRow("short") << "short one"
                           << "short one";
    QTest::newRow("exactly the limit") << full << full;
    QTest::newRow("one over") << full + u'b' << QString(999, u'a') + u'…';
    QString pair = QString(998, u'a') + QStringLiteral("😀😀");
    QTest::newRow("never half a pair") << pair << QString(998, u'a') + u'…';
}

void TestQuoteList::longQuotesAreCutForShowing()
{
    QFETCH(QString, quote);
    QFETCH(QString, shown);
    QuoteList list;
    list.setText(QStringLiteral("first\n") + quote);
    QCOMPARE(list.shownText(1), shown);
    QVERIFY(list.shownText(1).size() <= QuoteList::MaxShownLength);
    QCOMPARE(list.quote(1), quote); // the quote itself stays whole
}

void TestQuoteList::modelShowsQuotesReadOnly()
{
    QuoteModel model;
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    const QString longQuote(1500, u'x');
    model.setText(QStringLiteral("one\n\ntwo\n") + longQuote);
    QCOMPARE(reset.size(), 1);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.rowCount(model.index(0)), 0);
    QCOMPARE(model.index(1).data().toString(), QStringLiteral("two"));
    QCOMPARE(model.index(2).data(Qt::ToolTipRole).toString().size(), QuoteList::MaxShownLength);
    QCOMPARE(model.index(2).data(Qt::DisplayRole).toString(), model.quotes().shownText(2));
    QVERIFY(!(model.flags(model.index(0)) & Qt::ItemIsEditable));
    QVERIFY(model.flags(model.index(0)) & Qt::ItemIsSelectable);
    QVERIFY(!model.setData(model.index(0), QStringLiteral("changed")));
    QCOMPARE(model.quotes().quote(0), QStringLiteral("one"));
    // The search survives a new text.
    model.quotes().startSearch(QStringLiteral("two"));
    model.setText(QStringLiteral("a two"));
    QCOMPARE(model.quotes().QuoteSearch, QStringLiteral("two"));
    QCOMPARE(model.quotes().findNext(), 0);
}

QTEST_GUILESS_MAIN(TestQuoteList)
#include "tst_quotelist.moc"
