#include "richtext/richtextmodel.h"
#include "richtext/richtextproperties.h"
#include "richtext/rtfwriter.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QTest>
#include <QTextDocument>

namespace {
// A document and the model over it, which keeps the selection itself.
struct Control {
    QTextDocument document;
    RichTextModel model{&document};

    explicit Control(const QString& text = {}) { model.setText(text); }
    void select(int start, int length)
    {
        model.setSelStart(start);
        model.setSelLength(length);
    }
};
} // namespace

class TestRichTextModel : public QObject {
    Q_OBJECT
private slots:
    void positionsCountLineBreaksAsTwo_data();
    void positionsCountLineBreaksAsTwo();
    void selectionCountsLineBreaksAsTwo();
    void selTextReplacesAndMovesTheCaret();
    void selTextLeavesProtectedTextAlone();
    void selectionAttributesReportMixed();
    void formatWithoutSelectionIsForWhatComesNext();
    void colourOfUncolouredTextIsTheViewsDefault();
    void find_data();
    void find();
    void span_data();
    void span();
    void paragraphLines_data();
    void paragraphLines();
    void wrappedLinesCountAsTheyAreShown();
    void tabStops();
};

void TestRichTextModel::positionsCountLineBreaksAsTwo_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("documentPosition");
    QTest::addColumn<int>("backAgain");

    const QString text = QStringLiteral("ab\r\ncd\r\nef");
    QTest::newRow("start") << text << 0 << 0 << 0;
    QTest::newRow("before the first break") << text << 2 << 2 << 2;
    QTest::newRow("inside CR LF is before it") << text << 3 << 2 << 2;
    QTest::newRow("after the first break") << text << 4 << 3 << 4;
    QTest::newRow("after the second break") << text << 8 << 6 << 8;
    QTest::newRow("end") << text << 10 << 8 << 10;
    QTest::newRow("past the end is the end") << text << 1000 << 8 << 10;
    QTest::newRow("before the start is the start") << text << -3 << 0 << 0;
    QTest::newRow("empty paragraphs") << QStringLiteral("\r\n\r\nx") << 4 << 2 << 4;
}

void TestRichTextModel::positionsCountLineBreaksAsTwo()
{
    QFETCH(QString, text);
    QFETCH(int, position);
    QFETCH(int, documentPosition);
    QFETCH(int, backAgain);

    Control control(text);
    QCOMPARE(control.model.fromCrLf(position), documentPosition);
    QCOMPARE(control.model.toCrLf(documentPosition), backAgain);
    control.model.setSelStart(position);
    QCOMPARE(control.model.cursor().position(), documentPosition);
    QCOMPARE(control.model.SelStart(), backAgain);
}

void TestRichTextModel::selectionCountsLineBreaksAsTwo()
{
    Control control(QStringLiteral("ab\r\ncd\r\nef"));
    QCOMPARE(control.model.Text(), QStringLiteral("ab\r\ncd\r\nef"));
    control.select(4, 5); // "cd\r\ne"
    QCOMPARE(control.model.SelText(), QStringLiteral("cd\r\ne"));
    QCOMPARE(control.model.SelStart(), 4);
    QCOMPARE(control.model.SelLength(), 5);
    QCOMPARE(control.model.cursor().selectionStart(), 3);
    QCOMPARE(control.model.cursor().selectionEnd(), 7);
}

void TestRichTextModel::selTextReplacesAndMovesTheCaret()
{
    Control control(QStringLiteral("hello world"));
    control.select(6, 5);
    QVERIFY(control.model.setSelText(QStringLiteral("there\r\nfriend")));
    QCOMPARE(control.model.Text(), QStringLiteral("hello there\r\nfriend"));
    QCOMPARE(control.document.blockCount(), 2);
    QCOMPARE(control.model.SelStart(), 19);
    QCOMPARE(control.model.SelLength(), 0);
}

void TestRichTextModel::selTextLeavesProtectedTextAlone()
{
    Control control(QStringLiteral("free LOCKED free"));
    control.select(5, 6);
    control.model.setSelProtected(true);
    control.select(3, 4);
    QVERIFY(!control.model.setSelText(QStringLiteral("z")));
    control.select(0, 2);
    QVERIFY(control.model.setSelText(QStringLiteral("FR")));
    QCOMPARE(control.model.Text(), QStringLiteral("FRee LOCKED free"));
    // What replaced free text is free itself.
    control.select(0, 2);
    QCOMPARE(control.model.SelProtected(), std::optional<bool>(false));
}

void TestRichTextModel::selectionAttributesReportMixed()
{
    Control control(QStringLiteral("plain bold"));
    control.select(6, 4);
    control.model.setSelBold(true);
    control.model.setSelColor(0x0000FF);
    QCOMPARE(control.model.SelBold(), std::optional<bool>(true));
    QCOMPARE(control.model.SelColor(), std::optional<qint32>(0x0000FF));
    control.select(0, 10);
    QVERIFY(!control.model.SelBold().has_value());
    QVERIFY(!control.model.SelColor().has_value());
    QCOMPARE(control.model.SelItalic(), std::optional<bool>(false));
    control.model.setSelAlignment(2);
    QCOMPARE(control.model.SelAlignment(), std::optional<int>(2));
    control.model.setSelCharOffset(-40);
    QCOMPARE(control.model.SelCharOffset(), std::optional<int>(-40));
    QVERIFY(RtfWriter::write(&control.document).contains("\\dn4"));
}

void TestRichTextModel::formatWithoutSelectionIsForWhatComesNext()
{
    Control control(QStringLiteral("ab"));
    control.model.setSelStart(1);
    control.model.setSelBold(true);
    control.model.setSelItalic(true);
    QCOMPARE(control.model.SelBold(), std::optional<bool>(true));
    QVERIFY(control.model.setSelText(QStringLiteral("X")));
    control.select(1, 1);
    QCOMPARE(control.model.SelText(), QStringLiteral("X"));
    QCOMPARE(control.model.SelBold(), std::optional<bool>(true));
    QCOMPARE(control.model.SelItalic(), std::optional<bool>(true));
    control.select(0, 1);
    QCOMPARE(control.model.SelBold(), std::optional<bool>(false));
}

void TestRichTextModel::colourOfUncolouredTextIsTheViewsDefault()
{
    Control control(QStringLiteral("text"));
    control.select(0, 4);
    QCOMPARE(control.model.SelColor(), std::optional<qint32>(0)); // black
    control.model.setDefaultTextColor(QColor(0x12, 0x34, 0x56));
    QCOMPARE(control.model.SelColor(), std::optional<qint32>(0x563412));
}

void TestRichTextModel::find_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("options");
    QTest::addColumn<int>("found");

    const QString text = QStringLiteral("one\r\nTwo two");
    QTest::newRow("after a line break") << text << "two" << 0 << -1 << 0 << 5;
    QTest::newRow("match case") << text << "two" << 0 << -1 << int(RichTextModel::rtfMatchCase)
                                << 9;
    QTest::newRow("whole word") << text << "tw" << 0 << -1 << int(RichTextModel::rtfWholeWord)
                                << -1;
    QTest::newRow("from a start") << text << "two" << 6 << -1 << 0 << 9;
    QTest::newRow("not past the end") << text << "two" << 6 << 8 << 0 << -1;
    QTest::newRow("up to the end") << text << "two" << 6 << 12 << 0 << 9;
    QTest::newRow("nothing to find") << text << "" << 0 << -1 << 0 << -1;
    QTest::newRow("not there") << text << "three" << 0 << -1 << 0 << -1;
}

void TestRichTextModel::find()
{
    QFETCH(QString, text);
    QFETCH(QString, what);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(int, options);
    QFETCH(int, found);

    Control control(text);
    QCOMPARE(control.model.Find(what, start, end, options), found);
    if (found >= 0) {
        QCOMPARE(control.model.SelStart(), found);
        QCOMPARE(control.model.SelText().toLower(), what.toLower());
    }
    // Without highlighting the selection stays where it was.
    control.select(1, 1);
    QCOMPARE(control.model.Find(what, start, end, options | RichTextModel::rtfNoHighlight), found);
    QCOMPARE(control.model.SelStart(), 1);
    QCOMPARE(control.model.SelLength(), 1);
}

void TestRichTextModel::span_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("characters");
    QTest::addColumn<bool>("forward");
    QTest::addColumn<bool>("negate");
    QTest::addColumn<QString>("selected");

    const QString text = QStringLiteral("one\r\nTwo two");
    QTest::newRow("up to the next blank") << text << 5 << 0 << " " << true << true << "Two";
    QTest::newRow("back to the line start") << text << 8 << 0 << "\r" << false << true << "Two";
    QTest::newRow("over the line break") << text << 0 << 0 << " " << true << true << "one\r\nTwo";
    QTest::newRow("letters forward") << text << 5 << 0 << "woT" << true << false << "Two";
    QTest::newRow("keeps the selection's far end")
        << text << 9 << 3 << "Two " << false << false << "Two two";
}

void TestRichTextModel::span()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, characters);
    QFETCH(bool, forward);
    QFETCH(bool, negate);
    QFETCH(QString, selected);

    Control control(text);
    control.select(start, length);
    control.model.Span(characters, forward, negate);
    QCOMPARE(control.model.SelText(), selected);
}

void TestRichTextModel::paragraphLines_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("lineStart");
    QTest::addColumn<int>("length");

    // "a\r\nbcd\r\n\r\nef": lines start at 0, 3, 8 and 10.
    QTest::newRow("first line") << 0 << 0 << 0 << 1;
    QTest::newRow("at a line's end") << 1 << 0 << 0 << 1;
    QTest::newRow("inside CR LF") << 2 << 0 << 0 << 1;
    QTest::newRow("second line") << 4 << 1 << 3 << 3;
    QTest::newRow("empty line") << 8 << 2 << 8 << 0;
    QTest::newRow("last line") << 11 << 3 << 10 << 2;
    QTest::newRow("past the end") << 500 << 3 << 10 << 2;
}

void TestRichTextModel::paragraphLines()
{
    QFETCH(int, position);
    QFETCH(int, line);
    QFETCH(int, lineStart);
    QFETCH(int, length);

    Control control(QStringLiteral("a\r\nbcd\r\n\r\nef"));
    QVERIFY(!control.model.wrapping());
    QCOMPARE(control.model.lineCount(), 4);
    QCOMPARE(control.model.GetLineFromChar(position), line);
    QCOMPARE(control.model.lineIndex(line), lineStart);
    QCOMPARE(control.model.lineLength(position), length);
    int inBlock = -1;
    QCOMPARE(control.model.blockOfLine(line, &inBlock).blockNumber(), line);
    QCOMPARE(inBlock, 0);
    QCOMPARE(control.model.lineIndex(4), -1);
}

void TestRichTextModel::wrappedLinesCountAsTheyAreShown()
{
    QString words;
    for (int i = 0; i < 40; ++i)
        words += QStringLiteral("word%1 ").arg(i);
    Control control(words + QStringLiteral("\r\nlast"));
    control.model.setWrapping(true);
    control.document.setTextWidth(200);
    control.document.documentLayout()->documentSize(); // laid out

    const int lines = control.model.lineCount();
    QVERIFY2(lines > 3, "a long paragraph wraps to several display lines");
    const int lastLineStart = control.model.lineIndex(lines - 1);
    QCOMPARE(lastLineStart, control.model.Text().indexOf(QStringLiteral("last")));
    QCOMPARE(control.model.GetLineFromChar(lastLineStart), lines - 1);
    QCOMPARE(control.model.GetLineFromChar(lastLineStart - 1), lines - 2);
    QCOMPARE(control.model.lineLength(lastLineStart), 4);
    QVERIFY(control.model.lineLength(0) < words.size());
    // The second display line starts where the first one ends.
    const int second = control.model.lineIndex(1);
    QCOMPARE(second, control.model.lineLength(0));
    QCOMPARE(control.model.GetLineFromChar(second), 1);
    int inBlock = -1;
    QCOMPARE(control.model.blockOfLine(1, &inBlock).blockNumber(), 0);
    QCOMPARE(inBlock, 1);

    control.model.setWrapping(false);
    QCOMPARE(control.model.lineCount(), 2);
    QCOMPARE(control.model.lineLength(0), words.size());
}

void TestRichTextModel::tabStops()
{
    Control control(QStringLiteral("a\tb\r\nc"));
    control.model.setSelTabCount(2);
    QCOMPARE(control.model.SelTabCount(), std::optional<int>(2));
    control.model.setSelTabs(1, 2000);
    QCOMPARE(control.model.SelTabs(0), std::optional<int>(720));
    QCOMPARE(control.model.SelTabs(1), std::optional<int>(2000));
    control.select(0, 5);
    QVERIFY(!control.model.SelTabCount().has_value()); // the second paragraph has none
}

// No widgets: the model stands on the document alone.
int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    TestRichTextModel test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_richtextmodel.moc"
