#include "richtext/richtextbox.h"
#include "support/framefixture.h"
#include "tools/autocompletebox.h"
#include "tools/autocompletecontroller.h"

#include <QTest>

namespace {

struct Fixture : FrameFixture {
    AutoCompleteController* autoComplete() { return frame.findChild<AutoCompleteController*>(); }
    AutoCompleteBox* box() { return autoComplete()->box(); }
    RichTextBox* withList(const QByteArray& words)
    {
        autoComplete()->LoadAutoCompleteFile(home.write(QStringLiteral("words.txt"), words));
        autoComplete()->mnuAutoCompleteToggle_Click();
        frmText* w = documents().NewDocument();
        frame.activateWindow();
        w->RichTextBox1->setFocus();
        return w->RichTextBox1;
    }
    void type(QWidget* target, const QString& text) { QTest::keyClicks(target, text); }
};

QByteArray manyWords()
{
    QByteArray words("# HTML tags and entities\n");
    for (int i = 0; i < 2000; ++i)
        words += "<x" + QByteArray::number(i) + ">\n";
    words += "<title>\n<td>\n<table>\n&nbsp;\n&amp;\n<b>\n";
    return words;
}

} // namespace

class TestAutoComplete : public QObject {
    Q_OBJECT
private slots:
    void typingCompletesTagsAndEntities();
    void escapeKeepsWhatWasTyped();
    void f4LooksUpTheWordBeforeTheCaret();
    void switchingNeedsAList();
    void theBoxIsWideEnoughForTheLongestEntry();
};

void TestAutoComplete::typingCompletesTagsAndEntities()
{
    Fixture f;
    RichTextBox* box = f.withList(manyWords());
    QCOMPARE(f.autoComplete()->list().sorted().size(), 2006);
    QVERIFY(f.toolbar()->button(QStringLiteral("Auto"))->isChecked());
    f.type(box, QStringLiteral("<"));
    QVERIFY(f.box()->isVisible());
    f.type(f.box(), QStringLiteral("ti"));
    QCOMPARE(f.box()->currentIndex().data().toString(), QStringLiteral("<title>"));
    QTest::keyClick(f.box(), Qt::Key_Return);
    QVERIFY(!f.box()->isVisible());
    f.type(box, QStringLiteral("&"));
    f.type(f.box(), QStringLiteral("n"));
    QTest::keyClick(f.box(), Qt::Key_Return);
    f.type(box, QStringLiteral("<"));
    f.type(f.box(), QStringLiteral("td>")); // ">" takes the entry, which ends in ">" already
    QCOMPARE(box->Text(), QStringLiteral("<title>&nbsp;<td>"));
    const QString saved = f.home.path(QStringLiteral("page.htm"));
    f.active()->state().FileName = saved;
    QVERIFY(f.documents().save(f.active()));
    QCOMPARE(TestHome::read(saved), QByteArray("<title>&nbsp;<td>"));
}

void TestAutoComplete::escapeKeepsWhatWasTyped()
{
    Fixture f;
    RichTextBox* box = f.withList(manyWords());
    f.type(box, QStringLiteral("a <"));
    f.type(f.box(), QStringLiteral("tq"));
    QTest::keyClick(f.box(), Qt::Key_Escape);
    QVERIFY(!f.box()->isVisible());
    QCOMPARE(box->Text(), QStringLiteral("a <tq"));
    QCOMPARE(box->SelStart(), 5);
    // ">" after an entry without one adds it.
    f.type(box, QStringLiteral(" <"));
    f.type(f.box(), QStringLiteral("x1999"));
    QCOMPARE(f.box()->currentIndex().data().toString(), QStringLiteral("<x1999>"));
    QTest::keyClick(f.box(), Qt::Key_Space);
    QCOMPARE(box->Text(), QStringLiteral("a <tq <x1999>"));
}

void TestAutoComplete::f4LooksUpTheWordBeforeTheCaret()
{
    Fixture f;
    RichTextBox* box = f.withList(manyWords());
    box->setText(QStringLiteral("see <ta"));
    box->setSelStart(7);
    f.router().run(MenuBars::Document, QStringLiteral("mnuAutoComplete"));
    QVERIFY(f.box()->isVisible());
    QCOMPARE(f.box()->currentIndex().data().toString(), QStringLiteral("<table>"));
    QTest::keyClick(f.box(), Qt::Key_Return);
    QCOMPARE(box->Text(), QStringLiteral("see <table>"));
    // Right after a tag there is no word: the box opens without one.
    f.router().run(MenuBars::Document, QStringLiteral("mnuAutoComplete"));
    QVERIFY(f.box()->isVisible());
    QTest::keyClick(f.box(), Qt::Key_Escape);
    QCOMPARE(box->Text(), QStringLiteral("see <table>"));
    // Off: F4 does nothing and triggers type themselves.
    f.autoComplete()->mnuAutoCompleteToggle_Click();
    f.router().run(MenuBars::Document, QStringLiteral("mnuAutoComplete"));
    f.type(box, QStringLiteral("<"));
    QVERIFY(!f.box()->isVisible());
    QCOMPARE(box->Text(), QStringLiteral("see <table><"));
}

void TestAutoComplete::switchingNeedsAList()
{
    Fixture f;
    f.prompter.expectMessage(AutoCompleteList::NotLoadedMessage);
    f.router().run(MenuBars::Frame, QStringLiteral("mnuAutoCompleteToggle"));
    QVERIFY(!f.autoComplete()->AutoCompleteOn);
    QVERIFY(!f.toolbar()->button(QStringLiteral("Auto"))->isChecked());
    // An unreadable list can be switched on; its error is no entry, so no box opens.
    f.autoComplete()->LoadAutoCompleteFile(f.home.path(QStringLiteral("missing.txt")));
    f.autoComplete()->mnuAutoCompleteToggle_Click();
    QVERIFY(f.autoComplete()->AutoCompleteOn);
    frmText* w = f.documents().NewDocument();
    f.frame.activateWindow();
    f.type(w->RichTextBox1, QStringLiteral("<"));
    QVERIFY(!f.box()->isVisible());
    QCOMPARE(w->RichTextBox1->Text(), QStringLiteral("<"));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestAutoComplete::theBoxIsWideEnoughForTheLongestEntry()
{
    Fixture f;
    const QByteArray longest = "<a-tag-with-a-name-long-enough-to-need-a-wider-box-than-usual>";
    RichTextBox* box = f.withList(manyWords() + longest + "\n");
    f.frame.resize(1200, 800);
    f.type(box, QStringLiteral("<"));
    QVERIFY(f.box()->isVisible());
    QVERIFY(f.box()->width() >
            f.box()->fontMetrics().horizontalAdvance(QString::fromLatin1(longest)));
}

QTEST_MAIN(TestAutoComplete)
#include "tst_autocomplete.moc"
