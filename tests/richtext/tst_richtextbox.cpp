#include "richtext/richtextbox.h"
#include "richtext/richtextproperties.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>

class TestRichTextBox : public QObject {
    Q_OBJECT
private slots:
    void positionsCountLineBreaksAsTwo();
    void selTextReplacesAndMovesTheCaret();
    void selectionAttributesReportMixed();
    void findAndSpan();
    void linesAndMargins();
    void wrappedLinesCountAsTheyAreShown();
    void tabStops();
    void protectedTextRefusesEdits();
    void typingNextToProtectedTextIsFree();
};

void TestRichTextBox::positionsCountLineBreaksAsTwo()
{
    RichTextBox box;
    box.setText(QStringLiteral("ab\r\ncd\r\nef"));
    QCOMPARE(box.Text(), QStringLiteral("ab\r\ncd\r\nef"));
    box.setSelStart(4); // "c"
    QCOMPARE(box.textCursor().position(), 3);
    box.setSelLength(5); // "cd\r\ne"
    QCOMPARE(box.SelText(), QStringLiteral("cd\r\ne"));
    QCOMPARE(box.SelStart(), 4);
    QCOMPARE(box.SelLength(), 5);
    box.setSelStart(9);
    QCOMPARE(box.SelStart(), 9);
    QCOMPARE(box.toCrLf(box.fromCrLf(10)), 10);
    box.setSelStart(1000); // past the end is the end
    QCOMPARE(box.SelStart(), 10);
}

void TestRichTextBox::selTextReplacesAndMovesTheCaret()
{
    RichTextBox box;
    box.setText(QStringLiteral("hello world"));
    box.setSelStart(6);
    box.setSelLength(5);
    QVERIFY(box.setSelText(QStringLiteral("there\r\nfriend")));
    QCOMPARE(box.Text(), QStringLiteral("hello there\r\nfriend"));
    QCOMPARE(box.SelStart(), 19);
    QCOMPARE(box.SelLength(), 0);
}

void TestRichTextBox::selectionAttributesReportMixed()
{
    RichTextBox box;
    box.setText(QStringLiteral("plain bold"));
    box.setSelStart(6);
    box.setSelLength(4);
    box.setSelBold(true);
    box.setSelColor(0x0000FF);
    QCOMPARE(box.SelBold(), std::optional<bool>(true));
    QCOMPARE(box.SelColor(), std::optional<qint32>(0x0000FF));
    box.setSelStart(0);
    box.setSelLength(10);
    QVERIFY(!box.SelBold().has_value());
    QVERIFY(!box.SelColor().has_value());
    QCOMPARE(box.SelItalic(), std::optional<bool>(false));
    box.setSelAlignment(2);
    QCOMPARE(box.SelAlignment(), std::optional<int>(2));
    box.setSelCharOffset(-40);
    QCOMPARE(box.SelCharOffset(), std::optional<int>(-40));
    QVERIFY(box.TextRTF().contains("\\dn4"));
}

void TestRichTextBox::findAndSpan()
{
    RichTextBox box;
    box.setText(QStringLiteral("one\r\nTwo two"));
    QCOMPARE(box.Find(QStringLiteral("two")), 5);
    QCOMPARE(box.SelLength(), 3);
    QCOMPARE(box.Find(QStringLiteral("two"), 0, -1, RichTextBox::rtfMatchCase), 9);
    QCOMPARE(box.Find(QStringLiteral("tw"), 0, -1, RichTextBox::rtfWholeWord), -1);
    QCOMPARE(box.Find(QStringLiteral("two"), 6, 8), -1);
    box.setSelStart(5);
    box.Span(QStringLiteral(" "), true, true); // up to the next blank
    QCOMPARE(box.SelText(), QStringLiteral("Two"));
}

void TestRichTextBox::linesAndMargins()
{
    RichTextBox box;
    box.resize(400, 300);
    box.setRightMargin(RichTextBox::NoWrapMargin);
    QCOMPARE(box.lineWrapMode(), QTextEdit::NoWrap);
    box.setText(QStringLiteral("a\r\nb\r\nc"));
    QCOMPARE(box.GetLineFromChar(0), 0);
    QCOMPARE(box.GetLineFromChar(3), 1);
    QCOMPARE(box.GetLineFromChar(6), 2);
    QCOMPARE(box.lineIndex(2), 6);
    box.setRightMargin(0);
    QCOMPARE(box.lineWrapMode(), QTextEdit::WidgetWidth);
}

void TestRichTextBox::wrappedLinesCountAsTheyAreShown()
{
    RichTextBox box;
    box.resize(200, 300);
    box.show();
    box.setRightMargin(0);
    QString words;
    for (int i = 0; i < 40; ++i)
        words += QStringLiteral("word%1 ").arg(i);
    box.setText(words + QStringLiteral("\r\nlast"));
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.document()->documentLayout()->documentSize(); // laid out
    const int lines = box.lineCount();
    QVERIFY2(lines > 3, "a long paragraph wraps to several display lines");
    const int lastLineStart = box.lineIndex(lines - 1);
    QCOMPARE(lastLineStart, box.Text().indexOf(QStringLiteral("last")));
    QCOMPARE(box.GetLineFromChar(lastLineStart), lines - 1);
    QCOMPARE(box.lineLength(lastLineStart), 4);
    QVERIFY(box.lineLength(0) < words.size());
    box.setRightMargin(RichTextBox::NoWrapMargin);
    QCOMPARE(box.lineCount(), 2);
    QCOMPARE(box.lineLength(0), words.size());
}

void TestRichTextBox::tabStops()
{
    RichTextBox box;
    box.setText(QStringLiteral("a\tb\r\nc"));
    box.setSelTabCount(2);
    QCOMPARE(box.SelTabCount(), std::optional<int>(2));
    box.setSelTabs(1, 2000);
    QCOMPARE(box.SelTabs(0), std::optional<int>(720));
    QCOMPARE(box.SelTabs(1), std::optional<int>(2000));
    box.setSelStart(0);
    box.setSelLength(5);
    QVERIFY(!box.SelTabCount().has_value()); // the second paragraph has none
}

void TestRichTextBox::protectedTextRefusesEdits()
{
    RichTextBox box;
    box.show();
    box.setText(QStringLiteral("free LOCKED free"));
    box.setSelStart(5);
    box.setSelLength(6);
    box.setSelProtected(true);
    const QString before = box.Text();

    box.setSelStart(7); // inside the protected run
    QTest::keyClicks(&box, QStringLiteral("x"));
    QTest::keyClick(&box, Qt::Key_Backspace);
    QTest::keyClick(&box, Qt::Key_Delete);
    QTest::keyClick(&box, Qt::Key_Return);
    QCOMPARE(box.Text(), before);

    box.setSelStart(3); // a selection that reaches into it
    box.setSelLength(4);
    QTest::keyClick(&box, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(&box, Qt::Key_Delete);
    QTest::keyClicks(&box, QStringLiteral("y"));
    QVERIFY(!box.setSelText(QStringLiteral("z")));
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
    box.setSelStart(8);
    box.setSelRTF("{\\rtf1 rtf}");
    QCOMPARE(box.Text(), before);

    box.setSelStart(11); // right after it: Backspace would eat a protected character
    QTest::keyClick(&box, Qt::Key_Backspace);
    box.setSelStart(5); // right before it: Delete would
    QTest::keyClick(&box, Qt::Key_Delete);
    QCOMPARE(box.Text(), before);
}

void TestRichTextBox::typingNextToProtectedTextIsFree()
{
    RichTextBox box;
    box.show();
    box.setText(QStringLiteral("LOCKED"));
    box.setSelStart(0);
    box.setSelLength(6);
    box.setSelProtected(true);
    box.setSelStart(6);
    QTest::keyClicks(&box, QStringLiteral(" ok"));
    QCOMPARE(box.Text(), QStringLiteral("LOCKED ok"));
    // What was typed there is not protected itself.
    box.setSelStart(7);
    box.setSelLength(2);
    QCOMPARE(box.SelProtected(), std::optional<bool>(false));
    QTest::keyClick(&box, Qt::Key_Delete);
    QCOMPARE(box.Text(), QStringLiteral("LOCKED "));
}

QTEST_MAIN(TestRichTextBox)
#include "tst_richtextbox.moc"
