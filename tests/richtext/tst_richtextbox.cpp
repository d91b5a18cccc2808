#include "richtext/richtextbox.h"
#include "richtext/richtextproperties.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <memory>

class TestRichTextBox : public QObject {
    Q_OBJECT
private slots:
    void membersActOnTheViewsCursor();
    void softBreakTypedIsOneCharacter();
    void formatWithoutSelectionIsForTypedText();
    void textColourComesFromThePalette();
    void marginsSetWrapping();
    void layoutMeasuresLikeTheViewport();
    void wrappedLineNumbersFollowEditsAndResizes();
    void wrappedLinesCountAsTheyAreShown();
    void protectedTextRefusesEdits();
    void typingNextToProtectedTextIsFree();
};

void TestRichTextBox::membersActOnTheViewsCursor()
{
    RichTextBox box;
    box.setText(QStringLiteral("ab\r\ncd\r\nef"));
    box.setSelStart(4); // "c"
    QCOMPARE(box.textCursor().position(), 3);
    box.setSelLength(5);
    QCOMPARE(box.textCursor().selectionStart(), 3);
    QCOMPARE(box.textCursor().selectionEnd(), 7);
    QCOMPARE(box.textCursor().selectedText(), QStringLiteral("cd\u2029e"));

    // A selection made in the view, as the mouse or keys make it.
    QTextCursor c = box.textCursor();
    c.setPosition(6);
    c.setPosition(1, QTextCursor::KeepAnchor);
    box.setTextCursor(c);
    QCOMPARE(box.SelStart(), 1);
    QCOMPARE(box.SelLength(), 7);
    QCOMPARE(box.SelText(), QStringLiteral("b\r\ncd\r\n"));
    QCOMPARE(box.Find(QStringLiteral("e")), 8);
    QCOMPARE(box.textCursor().selectedText(), QStringLiteral("e"));
}

void TestRichTextBox::softBreakTypedIsOneCharacter()
{
    RichTextBox box;
    box.show();
    QTest::keyClicks(&box, QStringLiteral("ab"));
    QTest::keyClick(&box, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(&box, QStringLiteral("cd"));
    QTest::keyClick(&box, Qt::Key_Return);
    QTest::keyClicks(&box, QStringLiteral("e"));
    QCOMPARE(box.document()->blockCount(), 2);
    QCOMPARE(box.Text(), QStringLiteral("ab\vcd\r\ne"));
    QCOMPARE(box.SelStart(), 8);
    QCOMPARE(box.Find(QStringLiteral("c")), 3);
    QCOMPARE(box.SelText(), QStringLiteral("c"));
    box.setSelStart(1);
    box.setSelLength(3);
    QCOMPARE(box.SelText(), QStringLiteral("b\vc"));
}

void TestRichTextBox::formatWithoutSelectionIsForTypedText()
{
    RichTextBox box;
    box.show();
    box.setText(QStringLiteral("ab"));
    box.setSelStart(1);
    box.setSelBold(true);
    QTest::keyClicks(&box, QStringLiteral("X"));
    QCOMPARE(box.Text(), QStringLiteral("aXb"));
    box.setSelStart(1);
    box.setSelLength(1);
    QCOMPARE(box.SelBold(), std::optional<bool>(true));
    box.setSelStart(0);
    box.setSelLength(1);
    QCOMPARE(box.SelBold(), std::optional<bool>(false));
}

void TestRichTextBox::textColourComesFromThePalette()
{
    RichTextBox box;
    box.setText(QStringLiteral("text"));
    box.setSelLength(4);
    QPalette palette = box.palette();
    palette.setColor(QPalette::Text, QColor(0x12, 0x34, 0x56));
    box.setPalette(palette);
    QCOMPARE(box.SelColor(), std::optional<qint32>(0x563412));
    palette.setColor(QPalette::Text, QColor(0xAB, 0xCD, 0xEF));
    box.setPalette(palette);
    QCOMPARE(box.SelColor(), std::optional<qint32>(0xEFCDAB));
}

void TestRichTextBox::marginsSetWrapping()
{
    RichTextBox box;
    QVERIFY(box.model().wrapping()); // wrapped to the window until told otherwise
    box.setRightMargin(RichTextBox::NoWrapMargin);
    QCOMPARE(box.lineWrapMode(), QTextEdit::NoWrap);
    QVERIFY(!box.model().wrapping());
    box.setRightMargin(1440);
    QCOMPARE(box.lineWrapMode(), QTextEdit::FixedPixelWidth);
    QVERIFY(box.model().wrapping());
    box.setRightMargin(0);
    QCOMPARE(box.lineWrapMode(), QTextEdit::WidgetWidth);
    QVERIFY(box.model().wrapping());
}

void TestRichTextBox::layoutMeasuresLikeTheViewport()
{
    auto box = std::make_unique<RichTextBox>();
    box->resize(300, 200);
    box->show();
    QTextDocument* document = box->document();
    const QPaintDevice* device = document->documentLayout()->paintDevice();
    QVERIFY(device);
    const QWidget* viewport = box->viewport();
    QCOMPARE(device->logicalDpiX(), viewport->logicalDpiX());
    QCOMPARE(device->logicalDpiY(), viewport->logicalDpiY());
    QCOMPARE(device->physicalDpiY(), viewport->physicalDpiY());
    QCOMPARE(device->devicePixelRatio(), viewport->devicePixelRatio());
    QCOMPARE(device->depth(), viewport->depth());
    QCOMPARE(device->width(), viewport->width());
    box->resize(400, 250);
    QCOMPARE(device->height(), viewport->height());
    // Lines laid out against it are as tall as the font on the viewport makes them.
    box->setText(QStringLiteral("one"));
    document->documentLayout()->documentSize();
    const QTextLine line = document->begin().layout()->lineAt(0);
    QCOMPARE(qCeil(line.height()), QFontMetrics(document->defaultFont(), viewport).height());
    // The document goes with the box.
    QSignalSpy destroyed(document, &QObject::destroyed);
    box.reset();
    QCOMPARE(destroyed.count(), 1);
}

// Counts display lines the slow way: every block before the position, then its own line.
static int shownLineOf(RichTextBox& box, int position)
{
    QTextDocument* document = box.document();
    document->documentLayout()->documentSize();
    const QTextBlock target = document->findBlock(position);
    int line = 0;
    for (QTextBlock block = document->begin(); block != target; block = block.next())
        line += qMax(1, block.layout()->lineCount());
    return line + target.layout()->lineForTextPosition(position - target.position()).lineNumber();
}

void TestRichTextBox::wrappedLineNumbersFollowEditsAndResizes()
{
    RichTextBox box;
    box.resize(220, 300);
    box.show();
    box.setRightMargin(0);
    QString words;
    for (int i = 0; i < 30; ++i)
        words += QStringLiteral("word%1 ").arg(i);
    QStringList paragraphs;
    for (int i = 0; i < 20; ++i)
        paragraphs << (i % 3 ? QStringLiteral("short %1").arg(i) : words);
    box.setText(paragraphs.join(QStringLiteral("\r\n")));
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const auto agree = [&box](const char* when) {
        QTextDocument* document = box.document();
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            const int position = block.position() + block.length() - 1;
            const int expected = shownLineOf(box, position);
            if (box.GetLineFromChar(box.model().toCrLf(position)) != expected)
                return QStringLiteral("%1: block %2 wrong").arg(when).arg(block.blockNumber());
            if (box.lineIndex(expected) < 0)
                return QStringLiteral("%1: line %2 not found").arg(when).arg(expected);
        }
        return QString();
    };
    QCOMPARE(agree("loaded"), QString());
    QTextCursor cursor(box.document()->findBlockByNumber(4));
    cursor.insertText(words + words); // a paragraph grows by several lines
    QCOMPARE(agree("grown"), QString());
    cursor = QTextCursor(box.document()->findBlockByNumber(1));
    cursor.select(QTextCursor::BlockUnderCursor);
    cursor.removeSelectedText(); // and one goes
    QCOMPARE(agree("removed"), QString());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("\n") + words); // and one comes at the end
    QCOMPARE(agree("added"), QString());
    box.resize(400, 300); // every line again
    QTRY_COMPARE(agree("wider"), QString());
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
