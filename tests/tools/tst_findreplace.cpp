#include "richtext/richtextbox.h"
#include "support/framefixture.h"
#include "tools/findengine.h"
#include "tools/frmfind.h"
#include "tools/toolscontroller.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

struct Fixture : FrameFixture {
    ToolsController* tools() { return frame.findChild<ToolsController*>(); }
    frmText* document(const QString& name, const QByteArray& text)
    {
        commands()->OpenPath(home.write(name, text));
        return active();
    }
    // The dialog as Find or Replace opens it, with its boxes filled in.
    frmFind* dialog(const char* command, const QString& find, const QString& replace = QString())
    {
        router().run(MenuBars::Document, QString::fromLatin1(command));
        frmFind* d = tools()->findDialog();
        d->Combo1_0->setEditText(find);
        d->Combo1_1->setEditText(replace);
        return d;
    }
};

QString textOf(frmText* window)
{
    return window->RichTextBox1->Text();
}

} // namespace

class TestFindReplace : public QObject {
    Q_OBJECT
private slots:
    void replaceAllReplacesEachOnceInOneUndoStep();
    void replaceAllFromTheMiddleAsksOnce_data();
    void replaceAllFromTheMiddleAsksOnce();
    void replaceAllTakesAMatchAcrossTheStartOnce();
    void replaceAllInAllDocuments();
    void replaceAllCountsPastSixteenBits();
    void replaceLeavesAStraySelection();
    void findNextStepsAndRestarts();
    void lineNumbers();
    void findNextWithNothingToFindOpensTheDialog();
    void buttonsWithoutADocumentSaySo();
};

void TestFindReplace::replaceAllReplacesEachOnceInOneUndoStep()
{
    Fixture f;
    frmText* w = f.document(QStringLiteral("a.txt"), "aaaa");
    w->RichTextBox1->setSelStart(0);
    frmFind* d = f.dialog("mnuReplace", QStringLiteral("a"), QStringLiteral("b"));
    QVERIFY(d->isVisible());
    QCOMPARE(d->windowTitle(), frmFind::Caption);
    QVERIFY(d->cmdReplaceAll->isEnabled());
    d->cmdReplaceAll->click();
    QCOMPARE(d->Label3->text(), QStringLiteral("4 replacements were made."));
    QCOMPARE(textOf(w), QStringLiteral("bbbb"));
    QVERIFY(f.documents().save(w));
    QCOMPARE(TestHome::read(w->state().FileName), QByteArray("bbbb"));
    w->RichTextBox1->undo();
    QCOMPARE(textOf(w), QStringLiteral("aaaa"));
    // The histories keep both texts, once.
    d->cmdReplaceAll->click();
    d->UpdateFindHistory();
    QCOMPARE(d->Combo1_0->count(), 1);
    QCOMPARE(d->Combo1_1->itemText(0), QStringLiteral("b"));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestFindReplace::replaceAllFromTheMiddleAsksOnce_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("count");
    QTest::newRow("yes") << Answer::Yes << "aa aa aa aa"
                         << "4";
    QTest::newRow("no") << Answer::No << "a a aa aa"
                        << "2";
}

void TestFindReplace::replaceAllFromTheMiddleAsksOnce()
{
    QFETCH(int, answer);
    QFETCH(QString, result);
    QFETCH(QString, count);
    Fixture f;
    frmText* w = f.document(QStringLiteral("m.txt"), "a a a a");
    w->RichTextBox1->setSelStart(4);
    // The replacement holds what is searched for: what was put in is never matched again.
    frmFind* d = f.dialog("mnuReplace", QStringLiteral("a"), QStringLiteral("aa"));
    f.prompter.expectMessage(QStringLiteral("Do you want to re-start from the top?"), answer);
    d->cmdReplaceAll->click();
    QCOMPARE(textOf(w), result);
    QCOMPARE(d->Label3->text(), count + frmFind::CountSuffix);
    QCOMPARE(f.prompter.messages.last().defaultButton, 2);
    w->RichTextBox1->undo(); // both parts are one step
    QCOMPARE(textOf(w), QStringLiteral("a a a a"));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestFindReplace::replaceAllTakesAMatchAcrossTheStartOnce()
{
    Fixture f;
    frmText* w = f.document(QStringLiteral("x.txt"), "xxabc abc");
    w->RichTextBox1->setSelStart(3); // inside the first "abc"
    frmFind* d = f.dialog("mnuReplace", QStringLiteral("abc"), QStringLiteral("ABCabc"));
    f.prompter.expectMessage(QStringLiteral("re-start from the top?"), Answer::Yes);
    d->cmdReplaceAll->click();
    QCOMPARE(textOf(w), QStringLiteral("xxABCabc ABCabc"));
    QCOMPARE(d->Label3->text(), QStringLiteral("2 replacements were made."));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestFindReplace::replaceAllInAllDocuments()
{
    Fixture f;
    QList<frmText*> windows;
    for (const char* name : {"1.txt", "2.txt", "3.txt"})
        windows << f.document(QString::fromLatin1(name), "x y x");
    f.area()->setActiveSubWindow(windows.at(1));
    windows.at(1)->RichTextBox1->setSelStart(2);
    frmFind* d = f.dialog("mnuReplace", QStringLiteral("x"), QStringLiteral("zz"));
    d->Option1_1->click();
    f.prompter.expectMessage(FindEngine::notFoundMessage(QStringLiteral("x")));
    d->cmdReplaceAll->click();
    QCOMPARE(d->Label3->text(), QStringLiteral("6 replacements were made."));
    for (frmText* w : windows) {
        QCOMPARE(textOf(w), QStringLiteral("zz y zz"));
        w->RichTextBox1->undo(); // one step for each document
        QCOMPARE(textOf(w), QStringLiteral("x y x"));
    }
    QCOMPARE(f.prompter.messages.last().icon, MessageIcon::None);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestFindReplace::replaceAllCountsPastSixteenBits()
{
    Fixture f;
    frmText* w = f.document(QStringLiteral("big.txt"), QByteArray("ab ").repeated(40000));
    w->RichTextBox1->setSelStart(0);
    frmFind* d = f.dialog("mnuReplace", QStringLiteral("ab"), QStringLiteral("c"));
    d->cmdReplaceAll->click();
    QCOMPARE(d->Label3->text(), QStringLiteral("40000 replacements were made."));
    QCOMPARE(textOf(w), QStringLiteral("c ").repeated(40000));
}

void TestFindReplace::replaceLeavesAStraySelection()
{
    Fixture f;
    frmText* w = f.document(QStringLiteral("s.txt"), "hello world hello");
    RichTextBox* box = w->RichTextBox1;
    box->setSelStart(6);
    box->setSelLength(5); // "world": not what is searched for
    frmFind* d = f.dialog("mnuReplace", QStringLiteral("hello"), QStringLiteral("bye"));
    d->cmdReplace->click();
    QCOMPARE(textOf(w), QStringLiteral("hello world hello"));
    QCOMPARE(box->SelStart(), 12);
    QCOMPARE(box->SelText(), QStringLiteral("hello"));
    // Now the selection is an occurrence: it is replaced, and the search goes on after it.
    f.prompter.expectMessage(QStringLiteral("Do you want to re-start from the top?"), Answer::No);
    d->cmdReplace->click();
    QCOMPARE(textOf(w), QStringLiteral("hello world bye"));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestFindReplace::findNextStepsAndRestarts()
{
    Fixture f;
    frmText* w = f.document(QStringLiteral("ab.txt"), "abab");
    RichTextBox* box = w->RichTextBox1;
    frmFind* d = f.dialog("mnuFind", QStringLiteral("ab"));
    QVERIFY(!d->cmdReplaceAll->isEnabled());                  // opened by Find
    QTest::keyClick(d->Combo1_0->lineEdit(), Qt::Key_Return); // Enter is Find next
    QCOMPARE(box->SelStart(), 0);
    QCOMPARE(box->SelLength(), 2);
    f.router().run(MenuBars::Document, QStringLiteral("mnuFindNext"));
    QCOMPARE(box->SelStart(), 2);
    f.prompter.expectMessage(QStringLiteral("Cannot find any (more) occurrences of\r\n\"ab\""),
                             Answer::Yes);
    f.router().run(MenuBars::Document, QStringLiteral("mnuFindNext"));
    QCOMPARE(box->SelStart(), 0);
    // Replace in a dialog opened by Find first offers replacing, replacing nothing.
    d->cmdReplace->click();
    QVERIFY(d->cmdReplaceAll->isEnabled() && d->Combo1_1->isEnabled());
    QCOMPARE(textOf(w), QStringLiteral("abab"));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestFindReplace::lineNumbers()
{
    Fixture f;
    frmText* w = f.document(QStringLiteral("lines.txt"), "one\ntwo\nthree\nfour\nfive");
    RichTextBox* box = w->RichTextBox1;
    frmFind* d = f.dialog("mnuFind", QStringLiteral("3"));
    d->optWhat_1->click();
    QVERIFY(!d->cmdReplace->isEnabled());
    d->cmdFind->click();
    QCOMPARE(box->SelStart(), 10); // "three"
    QVERIFY(!d->isVisible());      // a line found closes the dialog
    d = f.dialog("mnuFind", QStringLiteral("7"));
    f.prompter.expectMessage(ToolsController::lineCountMessage(5));
    d->cmdFind->click();
    QCOMPARE(box->SelStart(), 23); // the last line
    d = f.dialog("mnuFind", QStringLiteral("x"));
    f.prompter.expectMessage(frmFind::LineNumberWarning);
    d->cmdFind->click();
    QVERIFY(d->isVisible());
    d->Combo1_0->setEditText(QStringLiteral("2.5"));
    d->cmdFind->click();
    QCOMPARE(box->SelStart(), 10); // 1.5 rounds to 2, the third line
    QCOMPARE(f.prompter.messages.first().icon, MessageIcon::Exclamation);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestFindReplace::findNextWithNothingToFindOpensTheDialog()
{
    Fixture f;
    f.document(QStringLiteral("t.txt"), "text");
    QVERIFY(f.tools()->engine().FindString.isEmpty());
    f.router().run(MenuBars::Document, QStringLiteral("mnuFindNext"));
    QVERIFY(f.tools()->findDialog() && f.tools()->findDialog()->isVisible());
    QCOMPARE(f.tools()->findDialog()->modeTag(), QString());
    // The dialog's close box is Cancel: it hides, and keeps its histories.
    f.tools()->findDialog()->close();
    QVERIFY(f.tools()->findDialog() && !f.tools()->findDialog()->isVisible());
}

void TestFindReplace::buttonsWithoutADocumentSaySo()
{
    Fixture f;
    frmText* w = f.document(QStringLiteral("t.txt"), "text");
    frmFind* d = f.dialog("mnuFind", QStringLiteral("te"));
    w->close();
    QTRY_VERIFY(!f.active());
    f.prompter.expectMessage(frmMyMDI::NoDocumentMessage);
    d->cmdFind->click();
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

QTEST_MAIN(TestFindReplace)
#include "tst_findreplace.moc"
