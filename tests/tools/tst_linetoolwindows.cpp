#include "richtext/richtextbox.h"
#include "richtext/richtextproperties.h"
#include "support/framefixture.h"
#include "tools/charoffsettool.h"
#include "tools/linetoolcommands.h"
#include "tools/toolscontroller.h"

#include <QLineEdit>
#include <QProgressDialog>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

namespace {

using L = LineToolCommands;

struct Fixture : FrameFixture {
    ToolsController* tools() { return frame.findChild<ToolsController*>(); }
    // A document of the text with [start, start + length) selected.
    RichTextBox* select(const QString& text, int start, int length)
    {
        frmText* w = documents().NewDocument();
        w->RichTextBox1->setText(text);
        w->RichTextBox1->setSelStart(start);
        w->RichTextBox1->setSelLength(length);
        return w->RichTextBox1;
    }
    void run(const char* command)
    {
        router().run(MenuBars::Document, QString::fromLatin1(command));
    }
};

} // namespace

class TestLineToolWindows : public QObject {
    Q_OBJECT
private slots:
    void emptySelectionsAreRefused();
    void stripsJoinAndUndoInOneStep();
    void stripUpToAsksAndTurnsWrappingBack();
    void characterCodes();
    void quotePrefixSkipsBlankLinesOnNo();
    void marginBreaksWrappedLines();
    void sortLinesAsksFirst();
    void cancelledWorkChangesNothing();
    void sliderRaisesMixedSizesAlike();
};

void TestLineToolWindows::emptySelectionsAreRefused()
{
    Fixture f;
    f.select(QStringLiteral("text"), 2, 0);
    const QList<std::pair<const char*, QString>> commands = {
        {"mnuStrip", L::NoSelection},
        {"mnuStripBlanks", L::NoSelection},
        {"mnuStripUpTo", L::NoSelection},
        {"mnuASCIIReplace", L::NoSelection},
        {"mnuQuotedText", L::NoSelectionToConvert},
        {"mnuWWMargin", L::NoSelectionForWrapping},
        {"mnuSortLines", L::NoSelectionForSorting}};
    for (const auto& [command, message] : commands) {
        f.prompter.expectMessage(message);
        f.run(command);
        QCOMPARE(f.prompter.messages.last().icon, MessageIcon::Exclamation);
    }
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestLineToolWindows::stripsJoinAndUndoInOneStep()
{
    Fixture f;
    RichTextBox* box = f.select(QStringLiteral("keep\r\none\r\ntwo\r\n\r\nthree   x.  y"), 6, 32);
    f.run("mnuStrip");
    QCOMPARE(box->Text(), QStringLiteral("keep\r\none two \r\n\r\nthree   x.  y"));
    QCOMPARE(box->SelStart(), 6);
    QCOMPARE(box->SelText(), QStringLiteral("one two \r\n\r\nthree   x.  y"));
    f.run("mnuStripBlanks");
    QCOMPARE(box->Text(), QStringLiteral("keep\r\none two \r\n\r\nthree x.  y"));
    box->undo();
    box->undo();
    QCOMPARE(box->Text(), QStringLiteral("keep\r\none\r\ntwo\r\n\r\nthree   x.  y"));
}

void TestLineToolWindows::stripUpToAsksAndTurnsWrappingBack()
{
    Fixture f;
    RichTextBox* box =
        f.select(QStringLiteral("Name: value\r\nno marker\r\nKEY: v2\r\nlast: x"), 3, 25);
    frmText* w = f.active();
    QVERIFY(L::wordWrapOn(w));
    // Cancel changes nothing, not even with a remembered marker.
    f.prompter.expectInput(QStringLiteral("Input the desired character(s) to search for:"),
                           QString());
    f.run("mnuStripUpTo");
    QCOMPARE(box->Text(), QStringLiteral("Name: value\r\nno marker\r\nKEY: v2\r\nlast: x"));
    f.prompter.expectInput(QStringLiteral("up to and including"), QStringLiteral("key: "))
        .expectMessage(L::StripUpToDone, Answer::Yes);
    box->setSelStart(3);
    box->setSelLength(25);
    f.run("mnuStripUpTo");
    QCOMPARE(box->Text(), QStringLiteral("Name: value\r\nno marker\r\nv2\r\nlast: x"));
    QVERIFY(L::wordWrapOn(w));
    QCOMPARE(f.tools()->lineTools().answers(w).StripUpToChars, QStringLiteral("key: "));
    QCOMPARE(box->SelStart(), 0); // the whole lines it worked on
    QCOMPARE(box->SelText(), QStringLiteral("Name: value\r\nno marker\r\nv2"));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestLineToolWindows::characterCodes()
{
    Fixture f;
    RichTextBox* box = f.select(QStringLiteral("a\tb\tc"), 0, 5);
    f.prompter.expectInput(L::CodesQuestion, QStringLiteral("9"))
        .expectInput(L::ReplacementCodesQuestion, QStringLiteral("32"))
        .expectMessage(L::codesConfirmation(QStringLiteral("9"), QStringLiteral("32")), Answer::Ok);
    f.run("mnuASCIIReplace");
    QCOMPARE(box->Text(), QStringLiteral("a b c"));
    QCOMPARE(f.prompter.messages.last().buttons, MessageButtons::OkCancel);
    // A code out of range is refused, and nothing changes.
    box->setSelStart(0);
    box->setSelLength(5);
    f.prompter.expectInput(L::CodesQuestion, QStringLiteral("32"))
        .expectInput(L::ReplacementCodesQuestion, QStringLiteral("300"))
        .expectMessage(QStringLiteral("Error: \"300\" is not a character code from 0 to 255."));
    f.run("mnuASCIIReplace");
    // 65 by 97: the same letter, nothing to do and nothing asked.
    f.prompter.expectInput(L::CodesQuestion, QStringLiteral("65"))
        .expectInput(L::ReplacementCodesQuestion, QStringLiteral("97"));
    f.run("mnuASCIIReplace");
    QCOMPARE(box->Text(), QStringLiteral("a b c"));
    QCOMPARE(f.tools()->lineTools().answers(f.active()).ReplacementCodes, QStringLiteral("97"));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestLineToolWindows::quotePrefixSkipsBlankLinesOnNo()
{
    Fixture f;
    RichTextBox* box = f.select(QStringLiteral("one\r\n\r\ntwo"), 1, 6);
    f.active()->RichTextBox1->setRightMargin(RichTextBox::NoWrapMargin);
    f.prompter
        .expectInput(QStringLiteral("Input the desired character(s) to append:"),
                     QStringLiteral("> "))
        .expectMessage(L::BlankLinesQuestion, Answer::No);
    f.run("mnuQuotedText");
    QCOMPARE(box->Text(), QStringLiteral("> one\r\n\r\n> two"));
    QCOMPARE(box->SelText(), QStringLiteral("> one\r\n\r\n> two"));
    QCOMPARE(f.prompter.messages.last().defaultButton, 2);
    f.prompter.expectInput(QStringLiteral("append:"), QStringLiteral("|"))
        .expectMessage(L::BlankLinesQuestion, Answer::Cancel);
    f.run("mnuQuotedText");
    QCOMPARE(box->Text(), QStringLiteral("> one\r\n\r\n> two"));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestLineToolWindows::marginBreaksWrappedLines()
{
    Fixture f;
    const QString words =
        QStringLiteral("alpha beta gamma delta epsilon zeta eta theta iota kappa");
    RichTextBox* box = f.select(words + QStringLiteral("\r\nshort"), 2, 3);
    frmText* w = f.active();
    w->showNormal();
    w->resize(200, 300);
    L::setWordWrap(w, false);
    f.prompter.expectMessage(L::MarginQuestion, Answer::Yes)
        .expectMessage(L::MarginDone, Answer::No);
    f.run("mnuWWMargin");
    const QStringList lines = box->Text().split(QStringLiteral("\r\n"));
    QVERIFY2(lines.size() > 3, qPrintable(box->Text()));
    QCOMPARE(lines.last(), QStringLiteral("short"));
    QCOMPARE(lines.join(QString()).remove(u' '),
             QString(words + QStringLiteral("short")).remove(u' '));
    QVERIFY(L::wordWrapOn(w)); // No: left wrapped
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestLineToolWindows::sortLinesAsksFirst()
{
    Fixture f;
    RichTextBox* box = f.select(QStringLiteral("pear\r\nApple\r\nfig"), 2, 8);
    f.prompter.expectMessage(L::SortQuestion, Answer::No);
    f.run("mnuSortLines");
    QCOMPARE(box->Text(), QStringLiteral("pear\r\nApple\r\nfig"));
    QCOMPARE(box->SelText(), QStringLiteral("pear\r\nApple")); // widened to whole lines
    f.prompter.expectMessage(L::SortQuestion, Answer::Yes);
    f.run("mnuSortLines");
    QCOMPARE(box->Text(), QStringLiteral("Apple\r\npear\r\nfig"));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestLineToolWindows::cancelledWorkChangesNothing()
{
    Fixture f;
    QString text;
    for (int i = 200'000; i > 0; --i)
        text += QString::number(i) + QStringLiteral(" is a line to sort\r\n");
    text.chop(2);
    RichTextBox* box = f.select(text, 0, int(text.size()));
    // Cancel is pressed while the sort goes on (its progress shows after half a second).
    QTimer press;
    QObject::connect(&press, &QTimer::timeout, [&] {
        if (auto* bar = f.frame.findChild<QProgressDialog*>())
            bar->cancel();
    });
    press.start(0);
    f.prompter.expectMessage(L::SortQuestion, Answer::Yes);
    f.run("mnuSortLines");
    QCOMPARE(box->Text(), text);
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestLineToolWindows::sliderRaisesMixedSizesAlike()
{
    Fixture f;
    RichTextBox* box = f.select(QStringLiteral("small big"), 0, 5);
    box->setSelFontSize(12);
    frmText* w = f.active();
    CharOffsetTool& tool = f.tools()->charOffset();
    QCOMPARE(CharOffsetTool::twipsPerPixel(box), 15.0); // 96 dots per inch
    f.run("mnuSelCharOffset");
    QScrollBar* slider = tool.VScroll1(w);
    QVERIFY(slider && slider->isVisible() && tool.Text1(w)->isVisible());
    QVERIFY(f.action(QStringLiteral("mnuSelCharOffset"))->isChecked());
    QCOMPARE(slider->maximum(), 12);
    QCOMPARE(slider->minimum(), -12);
    slider->setValue(4);
    QCOMPARE(box->SelCharOffset(), 60);
    QCOMPARE(tool.Text1(w)->text(), QStringLiteral("4"));
    QVERIFY(tool.Text1(w)->y() < slider->y()); // above while raising
    slider->setValue(-2);
    QVERIFY(tool.Text1(w)->y() >= slider->y() + slider->height());
    f.run("mnuSelCharOffset");
    QVERIFY(!slider->isVisible());
    QVERIFY(!f.action(QStringLiteral("mnuSelCharOffset"))->isChecked());

    // Mixed sizes and offsets: the whole range, from 0; each run rises by the same twips.
    box->setSelStart(6);
    box->setSelLength(3);
    box->setSelFontSize(24);
    box->setSelStart(0);
    box->setSelLength(9);
    f.run("mnuSelCharOffset");
    QCOMPARE(slider->maximum(), 50);
    QCOMPARE(slider->value(), 0);
    slider->setValue(4);
    QTextCursor probe(box->document());
    probe.setPosition(2);
    QCOMPARE(probe.charFormat().baselineOffset(), 100.0 * 60 / (12 * 20));
    probe.setPosition(8);
    QCOMPARE(probe.charFormat().baselineOffset(), 100.0 * 60 / (24 * 20));
    QCOMPARE(box->SelCharOffset(), 60);
}

QTEST_MAIN(TestLineToolWindows)
#include "tst_linetoolwindows.moc"
