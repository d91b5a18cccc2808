// How the reader finds its words and builds runs and paragraphs: text in one
// format across groups goes in as one run, a paragraph's block takes the format
// the paragraph ends with, and inserted text keeps its paragraph marks.
#include "richtext/rtfkeywords.h"
#include "richtext/rtfreader.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

namespace {
struct Run {
    QString text;
    bool bold;
};

QList<Run> runsOf(const QTextBlock& block)
{
    QList<Run> runs;
    for (auto it = block.begin(); !it.atEnd(); ++it)
        runs.append(
            {it.fragment().text(), it.fragment().charFormat().fontWeight() >= QFont::DemiBold});
    return runs;
}
} // namespace

class TestRtfReading : public QObject {
    Q_OBJECT
private slots:
    void wordsAreFound_data();
    void wordsAreFound();
    void runsJoinAcrossGroups_data();
    void runsJoinAcrossGroups();
    void paragraphsTakeTheirLastFormat_data();
    void paragraphsTakeTheirLastFormat();
    void textBeforeATableStaysOutsideIt();
    void insertedParagraphMarksAreKept();
};

void TestRtfReading::wordsAreFound_data()
{
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<int>("id");
    using RtfKeywords::Id;
    QTest::newRow("one letter") << QByteArray("b") << int(Id::b);
    QTest::newRow("paragraph") << QByteArray("par") << int(Id::par);
    QTest::newRow("longest") << QByteArray("colorschememapping") << int(Id::colorschememapping);
    QTest::newRow("no name in C++") << QByteArray("private") << int(Id::private_);
    QTest::newRow("template") << QByteArray("template") << int(Id::template_);
    QTest::newRow("capitals count") << QByteArray("mmathPr") << int(Id::mmathPr);
    QTest::newRow("other capitals") << QByteArray("Par") << int(Id::Other);
    QTest::newRow("a known word's start") << QByteArray("pa") << int(Id::Other);
    QTest::newRow("a known word and more") << QByteArray("pard2") << int(Id::Other);
    QTest::newRow("unknown") << QByteArray("langfe") << int(Id::Other);
    QTest::newRow("empty") << QByteArray() << int(Id::Other);
}

void TestRtfReading::wordsAreFound()
{
    QFETCH(QByteArray, word);
    QFETCH(int, id);
    QCOMPARE(int(RtfKeywords::find(word)), id);
    // The tokenizer works the hash out itself: the same answer.
    QCOMPARE(int(RtfKeywords::find(word, RtfKeywords::hashOf(word))), id);
}

void TestRtfReading::runsJoinAcrossGroups_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<bool>>("bold");
    QTest::newRow("same format in two groups")
        << QByteArray("{\\rtf1 {\\b ab}{\\b cd}\\par}") << QStringList{"abcd"} << QList<bool>{true};
    QTest::newRow("words for scripts only")
        << QByteArray("{\\rtf1 {\\rtlch\\fcs1 \\ltrch\\fcs0 ab}{\\hich\\loch\\lang1033 cd}\\par}")
        << QStringList{"abcd"} << QList<bool>{false};
    QTest::newRow("format changes between groups")
        << QByteArray("{\\rtf1 {\\b ab}{cd}{\\b ef}\\par}") << QStringList{"ab", "cd", "ef"}
        << QList<bool>{true, false, true};
    QTest::newRow("format changes inside a group")
        << QByteArray("{\\rtf1 {a\\b b\\b0 c}\\par}") << QStringList{"a", "b", "c"}
        << QList<bool>{false, true, false};
    QTest::newRow("characters by number join the run")
        << QByteArray("{\\rtf1 {\\b caf\\'e9 }{\\b \\u8364?}\\par}") << QStringList{"café €"}
        << QList<bool>{true};
}

void TestRtfReading::runsJoinAcrossGroups()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QStringList, texts);
    QFETCH(QList<bool>, bold);
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc).ok());
    const QList<Run> runs = runsOf(doc.begin());
    QCOMPARE(runs.size(), texts.size());
    for (int i = 0; i < runs.size(); ++i) {
        QCOMPARE(runs[i].text, texts[i]);
        QCOMPARE(runs[i].bold, bold[i]);
    }
}

void TestRtfReading::paragraphsTakeTheirLastFormat_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QList<int>>("alignments");
    const int left = Qt::AlignLeft, centre = Qt::AlignHCenter, right = Qt::AlignRight;
    QTest::newRow("given before the text")
        << QByteArray("{\\rtf1\\pard\\qc a\\par\\pard\\qr b\\par}")
        << QList<int>{centre, right, right};
    QTest::newRow("changed after the text")
        << QByteArray("{\\rtf1\\pard\\ql a\\qc\\par\\pard\\ql b\\par}")
        << QList<int>{centre, left, left};
    QTest::newRow("empty paragraphs") << QByteArray("{\\rtf1\\pard\\qc\\par\\pard\\qr\\par\\ql x}")
                                      << QList<int>{centre, right, left};
    QTest::newRow("the same as the one before")
        << QByteArray("{\\rtf1\\pard\\qc a\\par\\pard\\qc b\\par\\pard\\ql c}")
        << QList<int>{centre, centre, left};
}

void TestRtfReading::paragraphsTakeTheirLastFormat()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QList<int>, alignments);
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc).ok());
    QCOMPARE(doc.blockCount(), alignments.size());
    int i = 0;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next(), ++i)
        QCOMPARE(int(b.blockFormat().alignment() & Qt::AlignHorizontal_Mask), alignments[i]);
}

void TestRtfReading::textBeforeATableStaysOutsideIt()
{
    // The text waits for more of its format; the paragraph words that start the
    // table must send it on first.
    QTextDocument doc;
    QVERIFY(
        RtfReader::read(
            "{\\rtf1 {before }\\par\\trowd\\cellx1000\\pard\\intbl {in}\\cell\\row\\pard after}",
            &doc)
            .ok());
    QTextCursor c(&doc);
    QVERIFY(!c.currentTable());
    const int in = doc.toPlainText().indexOf(QStringLiteral("in"));
    c.setPosition(in);
    QVERIFY(c.currentTable());
    QCOMPARE(c.currentTable()->cellAt(c).firstCursorPosition().block().text(),
             QStringLiteral("in"));
    c.setPosition(doc.toPlainText().indexOf(QStringLiteral("after")));
    QVERIFY(!c.currentTable());
}

void TestRtfReading::insertedParagraphMarksAreKept()
{
    QTextDocument doc;
    QTextCursor c(&doc);
    c.insertText(QStringLiteral("ab"));
    c.setPosition(1);
    QVERIFY(RtfReader::insert("{\\rtf1 X\\par Y\\par}", c).ok());
    QCOMPARE(doc.toPlainText(), QStringLiteral("aX\nY\nb"));
    // The paragraphs the text ended have its format; the one it ends in has none
    // of it.
    QTextCursor more(&doc);
    more.movePosition(QTextCursor::End);
    QVERIFY(RtfReader::insert("{\\rtf1\\pard\\qc Z\\par\\pard\\qc W}", more).ok());
    QVERIFY(doc.lastBlock().previous().blockFormat().alignment() & Qt::AlignHCenter);
    QVERIFY(!(doc.lastBlock().blockFormat().alignment() & Qt::AlignHCenter));
    QCOMPARE(doc.lastBlock().text(), QStringLiteral("W"));
}

QTEST_MAIN(TestRtfReading)
#include "tst_rtfreading.moc"
