#include "app/framestatusbar.h"
#include "document/documentdragsource.h"
#include "document/formattingcontroller.h"
#include "document/selectiontracker.h"
#include "document/tabstops.h"
#include "richtext/richtextbox.h"
#include "richtext/twips.h"
#include "support/framefixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QToolButton>

namespace {

struct Fixture : FrameFixture {
    FormattingController* formatting() { return frame.findChild<FormattingController*>(); }
    RichTextBox* document(const QString& text)
    {
        frmText* w = documents().NewDocument();
        w->RichTextBox1->setText(text);
        return w->RichTextBox1;
    }
    void select(RichTextBox* box, int start, int length)
    {
        box->setSelStart(start);
        box->setSelLength(length);
    }
    void run(const char* command)
    {
        router().run(MenuBars::Document, QString::fromLatin1(command));
    }
    // The tracking runs once per turn of the event loop.
    void settle() { QCoreApplication::processEvents(); }
    QAction* button(const char* key) { return toolbar()->button(QString::fromLatin1(key)); }
};

} // namespace

class TestFormatting : public QObject {
    Q_OBJECT
private slots:
    void emphasisToggleAndFollowTheSelection();
    void eachWindowShowsItsOwnChecks();
    void growingSelectionsAndABareCaret();
    void selectAllOfALargeText();
    void alignmentAndTheSavedCentredParagraph();
    void keysFormatAndSaveTheCentredParagraph();
    void indentsAndBulletsSurviveASavedRtf();
    void anRtfWeWroteIsSavedAgainUnchanged();
    void captionLineAndFontPanel();
    void indentsAreAskedAndRemembered();
    void bulletsAndWordWrap();
    void fontBoxesShowAndSet();
    void dragsCarryTheSelectionOrTheFile();
    void fontDialogLeavesMixedAlone();
    void tabStops_data();
    void tabStops();
    void tabStopsApplyToDocumentsInTheDefaultFont();
};

void TestFormatting::emphasisToggleAndFollowTheSelection()
{
    Fixture f;
    RichTextBox* box = f.document(QStringLiteral("plain bold"));
    f.select(box, 6, 4);
    f.run("mnuBold");
    QCOMPARE(box->SelBold(), std::optional<bool>(true));
    f.settle();
    QVERIFY(f.action(QStringLiteral("mnuBold"))->isChecked());
    QVERIFY(f.button("Bold")->isChecked());
    // Partly bold: the button says mixed, the check mark stays as it was.
    f.select(box, 2, 6);
    f.settle();
    QVERIFY(f.button("Bold")->property("mixed").toBool());
    QVERIFY(f.action(QStringLiteral("mnuBold"))->isChecked());
    auto* tool = qobject_cast<QToolButton*>(f.toolbar()->widgetForAction(f.button("Bold")));
    QVERIFY(tool && !tool->styleSheet().isEmpty());
    // A toggle on a mixed selection sets it on all of it.
    f.run("mnuBold");
    QCOMPARE(box->SelBold(), std::optional<bool>(true));
    f.settle();
    QVERIFY(!f.button("Bold")->property("mixed").toBool());
    f.run("mnuEmphasisRemove");
    QCOMPARE(box->SelBold(), std::optional<bool>(false));
    // The toolbar button runs the same command.
    f.toolbars()->Toolbar1_ButtonClick(QStringLiteral("Italics"));
    QCOMPARE(box->SelItalic(), std::optional<bool>(true));
}

void TestFormatting::eachWindowShowsItsOwnChecks()
{
    Fixture f;
    RichTextBox* first = f.document(QStringLiteral("one"));
    f.select(first, 0, 3);
    f.run("mnuBold");
    RichTextBox* second = f.document(QStringLiteral("two"));
    f.settle();
    QVERIFY(!f.action(QStringLiteral("mnuBold"))->isChecked());
    f.area()->setActiveSubWindow(f.documentWindows().first());
    f.settle();
    QVERIFY(f.action(QStringLiteral("mnuBold"))->isChecked());
    QVERIFY(second);
}

void TestFormatting::growingSelectionsAndABareCaret()
{
    Fixture f;
    RichTextBox* box = f.document(QStringLiteral("plain then bold"));
    f.select(box, 11, 4);
    f.run("mnuBold");
    SelectionTracker* tracker = f.formatting()->tracker(f.active());
    const auto bold = [&] { return tracker->attributes().emphasis[SelectionIndicators::Bold]; };
    // Grown a character at a time, from plain into bold: mixed once it reaches it.
    f.select(box, 0, 9);
    QCOMPARE(bold(), std::optional<bool>(false));
    f.select(box, 0, 10);
    QCOMPARE(bold(), std::optional<bool>(false));
    f.select(box, 0, 12);
    QCOMPARE(bold(), std::optional<bool>());
    // The bold goes while the selection stays: what was kept of it is not.
    box->setSelStart(11);
    box->setSelLength(4);
    box->setSelBold(false);
    f.select(box, 0, 15);
    QCOMPARE(bold(), std::optional<bool>(false));
    // A bare caret shows what typing would give, though no text has it yet.
    RichTextBox* plain = f.document(QStringLiteral("all plain"));
    f.settle();
    tracker = f.formatting()->tracker(f.active());
    QTextCursor caret = plain->textCursor();
    QTextCharFormat pending;
    pending.setFontWeight(QFont::Bold);
    caret.mergeCharFormat(pending);
    plain->setTextCursor(caret);
    QCOMPARE(bold(), std::optional<bool>(true));
    f.select(plain, 0, 9);
    QCOMPARE(bold(), std::optional<bool>(false));
}

void TestFormatting::selectAllOfALargeText()
{
    Fixture f;
    RichTextBox* box = f.document(QStringLiteral("xxxxxxxxx\n").repeated(110000));
    SelectionTracker* tracker = f.formatting()->tracker(f.active());
    const auto bold = [&] { return tracker->attributes().emphasis[SelectionIndicators::Bold]; };
    box->selectAll();
    QCOMPARE(bold(), std::optional<bool>(false));
    // A bold stretch far from both ends makes all of it mixed, and its loss plain again
    // for any selection short of all of it.
    f.select(box, 600000, 10);
    f.run("mnuBold");
    box->selectAll();
    QCOMPARE(bold(), std::optional<bool>());
    f.select(box, 0, 1000);
    QCOMPARE(bold(), std::optional<bool>(false));
}

void TestFormatting::alignmentAndTheSavedCentredParagraph()
{
    Fixture f;
    const QString path = f.home.write(QStringLiteral("c.rtf"),
                                      "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\qc\\f0 Centred"
                                      "\\par\\pard second\\par}");
    f.commands()->OpenPath(path);
    RichTextBox* box = f.active()->RichTextBox1;
    f.settle();
    QVERIFY(f.action(QStringLiteral("mnuAlignCenter"))->isChecked());
    QVERIFY(f.button("Align center")->isChecked());
    QVERIFY(!f.active()->state().Dirty); // showing it changed nothing
    f.run("mnuSelAll");
    box->selectAll();
    f.run("mnuBold");
    QVERIFY(f.documents().save(f.active()));
    f.active()->close();
    f.commands()->OpenPath(path);
    QTextCursor first(f.active()->RichTextBox1->document());
    QCOMPARE(first.blockFormat().alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    first.movePosition(QTextCursor::NextCharacter);
    QVERIFY(first.charFormat().fontWeight() >= QFont::Bold);
    f.select(f.active()->RichTextBox1, 9, 1); // the second paragraph
    f.run("mnuAlignRight");
    f.settle();
    QVERIFY(f.action(QStringLiteral("mnuAlignRight"))->isChecked());
    QVERIFY(!f.action(QStringLiteral("mnuAlignCenter"))->isChecked());
}

void TestFormatting::keysFormatAndSaveTheCentredParagraph()
{
    Fixture f;
    const QString path = f.home.write(QStringLiteral("keys.rtf"),
                                      "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\qc\\f0 Centred"
                                      "\\par\\pard second\\par}");
    f.commands()->OpenPath(path);
    RichTextBox* box = f.active()->RichTextBox1;
    QApplication::setActiveWindow(&f.frame);
    box->setFocus();
    QTRY_VERIFY(box->hasFocus());
    // The keys a user presses, through the frame's shortcuts.
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_B, Qt::ControlModifier);
    f.settle();
    QVERIFY(f.button("Bold")->isChecked());
    QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!f.active()->state().Dirty);
    RichTextBox reread;
    reread.setTextRTF(TestHome::read(path));
    QTextCursor first(reread.document());
    QCOMPARE(first.blockFormat().alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    first.movePosition(QTextCursor::NextCharacter);
    QVERIFY(first.charFormat().fontWeight() >= QFont::Bold);
}

void TestFormatting::indentsAndBulletsSurviveASavedRtf()
{
    Fixture f;
    RichTextBox* box = f.document(QStringLiteral("indented\r\nbulleted\r\nplain"));
    f.select(box, 0, 1);
    f.prompter.expectInput(FormattingController::LeftIndentQuestion, QStringLiteral("2.54"));
    f.run("mnuIndentLeft");
    f.select(box, 11, 1);
    f.prompter.expectInput(FormattingController::BulletQuestion, QStringLiteral("0.5"));
    f.run("mnuBullet");
    const QString path = f.home.path(QStringLiteral("formats.rtf"));
    f.prompter.expectFile(path);
    QVERIFY(f.documents().save(f.active()));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
    const QByteArray saved = TestHome::read(path);
    QVERIFY2(saved.contains("\\li1440"), saved.constData());
    // The bullet stands at the margin, the text one bullet indent in.
    QVERIFY2(saved.contains("\\fi-283\\li283\\ls1"), saved.right(400).constData());
    f.active()->close();
    f.commands()->OpenPath(path);
    RichTextBox* again = f.active()->RichTextBox1;
    f.select(again, 0, 1);
    QCOMPARE(again->SelIndent(), std::optional<int>(1440));
    QCOMPARE(again->SelBullet(), std::optional<bool>(false));
    f.select(again, 11, 1);
    QCOMPARE(again->SelBullet(), std::optional<bool>(true));
    QCOMPARE(again->SelIndent(), std::optional<int>(0));
    QCOMPARE(again->BulletIndent(), std::optional<int>(283));
    f.select(again, 20, 1);
    QCOMPARE(again->SelBullet(), std::optional<bool>(false));
    QCOMPARE(again->SelIndent(), std::optional<int>(0));
}

void TestFormatting::anRtfWeWroteIsSavedAgainUnchanged()
{
    Fixture f;
    RichTextBox* box = f.document(QStringLiteral("centred bold\r\nsecond"));
    f.select(box, 0, 7);
    f.run("mnuBold");
    f.run("mnuAlignCenter");
    const QString path = f.home.path(QStringLiteral("ours.rtf"));
    f.prompter.expectFile(path);
    QVERIFY(f.documents().save(f.active()));
    const QByteArray written = TestHome::read(path);
    f.active()->close();
    f.commands()->OpenPath(path);
    f.documents().RefreshAllDocuments(); // as after a toolbar flip or Shift+F4
    f.settle();
    QVERIFY(!f.active()->state().Dirty);
    f.active()->RichTextBox1->setSelStart(3); // a bare caret changes nothing either
    f.settle();
    QVERIFY(!f.active()->state().Dirty);
    QVERIFY(f.documents().save(f.active()));
    QCOMPARE(TestHome::read(path), written);
}

void TestFormatting::captionLineAndFontPanel()
{
    Fixture f;
    RichTextBox* box = f.document(QStringLiteral("a\r\nb\r\nccc"));
    frmText* w = f.active();
    box->setSelStart(7);
    f.settle();
    QCOMPARE(w->windowTitle(), QStringLiteral("Untitled:1        Line: 3"));
    box->setSelStart(8); // the same line: the caption stays
    f.settle();
    QCOMPARE(w->windowTitle(), QStringLiteral("Untitled:1        Line: 3"));
    box->setSelStart(0);
    f.settle();
    QCOMPARE(w->windowTitle(), QStringLiteral("Untitled:1        Line: 1"));
    QCOMPARE(w->bareCaption(), QStringLiteral("Untitled:1"));
    auto* panel = f.frame.findChild<FrameStatusBar*>()->panel(QStringLiteral("stsFont"));
    box->setSelFontSize(10.5);
    f.formatting()->tracker(w)->RichTextBox1_SelChange();
    QVERIFY2(panel->text().endsWith(QStringLiteral(", 10.5")), qPrintable(panel->text()));
}

void TestFormatting::indentsAreAskedAndRemembered()
{
    Fixture f;
    RichTextBox* box = f.document(QStringLiteral("indented"));
    f.prompter.expectInput(FormattingController::LeftIndentQuestion, QStringLiteral("1.5"));
    f.run("mnuIndentLeft");
    QCOMPARE(box->SelIndent(), std::optional<int>(850));
    f.prompter.expectInput(FormattingController::LeftIndentQuestion, QString()); // Cancel
    f.run("mnuIndentLeft");
    QCOMPARE(box->SelIndent(), std::optional<int>(850));
    QCOMPARE(f.formatting()->indents(f.active()).left, 1.5);
    f.prompter.expectInput(FormattingController::RightIndentQuestion, QStringLiteral("x"));
    f.run("mnuIndentRight");
    QCOMPARE(box->SelRightIndent(), std::optional<int>(0)); // not a number: no indent
    QCOMPARE(FormattingController::twipsOfCentimetres(QStringLiteral("2.54cm")), 1440);
    QCOMPARE(FormattingController::twipsOfCentimetres(QStringLiteral("9999")), 22 * 1440);
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestFormatting::bulletsAndWordWrap()
{
    Fixture f;
    RichTextBox* box = f.document(QStringLiteral("item"));
    f.prompter.expectInput(FormattingController::BulletQuestion, QStringLiteral("1"));
    f.run("mnuBullet");
    QCOMPARE(box->SelBullet(), std::optional<bool>(true));
    f.run("mnuBullet"); // a bulleted paragraph loses its bullet without a question
    QCOMPARE(box->SelBullet(), std::optional<bool>(false));
    QVERIFY(f.action(QStringLiteral("mnuWordWrap"))->isChecked());
    f.run("mnuWordWrap");
    QCOMPARE(box->lineWrapMode(), QTextEdit::NoWrap);
    QVERIFY(!f.action(QStringLiteral("mnuWordWrap"))->isChecked());
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestFormatting::fontBoxesShowAndSet()
{
    Fixture f;
    RichTextBox* box = f.document(QStringLiteral("small text"));
    f.select(box, 0, 5);
    box->setSelFontSize(8);
    box->setSelFontName(QStringLiteral("Serif Test"));
    QComboBox* sizes = f.toolbar()->Combo2;
    QComboBox* names = f.toolbar()->Combo1;
    f.formatting()->InitCombos();
    QCOMPARE(sizes->currentText(), QStringLiteral("8"));
    QVERIFY(sizes->findText(QStringLiteral("08")) >= 0); // beside the list's own
    QCOMPARE(names->currentText(), QStringLiteral("Serif Test"));
    // A size picked at the bare caret does not change the document.
    f.active()->state().Dirty = false;
    box->setSelStart(7);
    sizes->setCurrentIndex(sizes->findText(QStringLiteral("12")));
    emit sizes->activated(sizes->currentIndex());
    QCOMPARE(box->SelFontSize(), std::optional<double>(12));
    QVERIFY(!f.active()->state().Dirty);
    f.select(box, 0, 5);
    emit sizes->activated(sizes->currentIndex());
    QCOMPARE(box->SelFontSize(), std::optional<double>(12));
    QVERIFY(f.active()->state().Dirty);
    // A size typed out of range puts the box back.
    sizes->setEditText(QStringLiteral("5000"));
    emit sizes->lineEdit()->returnPressed();
    QCOMPARE(sizes->currentText(), QStringLiteral("12"));
    QCOMPARE(box->SelFontSize(), std::optional<double>(12));
}

void TestFormatting::dragsCarryTheSelectionOrTheFile()
{
    Fixture f;
    RichTextBox* box = f.document(QStringLiteral("one two"));
    auto* source = f.active()->findChild<DocumentDragSource*>();
    QVERIFY(source);
    f.select(box, 4, 3);
    std::unique_ptr<QMimeData> data(source->dragData());
    QCOMPARE(data->text(), QStringLiteral("two"));
    QVERIFY(data->data(QStringLiteral("text/rtf")).startsWith("{\\rtf1"));
    // Nothing selected: the file, and an untitled document is saved first.
    box->setSelStart(0);
    f.prompter.expectFile(QString()); // Save As cancelled: nothing to drag
    data.reset(source->dragData());
    QVERIFY(!data);
    const QString path = f.home.path(QStringLiteral("dragged.txt"));
    f.prompter.expectFile(path);
    data.reset(source->dragData());
    QVERIFY(data);
    QCOMPARE(data->urls(), QList<QUrl>({QUrl::fromLocalFile(path)}));
    QVERIFY(QFile::exists(path));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestFormatting::fontDialogLeavesMixedAlone()
{
    Fixture f;
    RichTextBox* box = f.document(QStringLiteral("plain bold"));
    f.select(box, 6, 4);
    box->setSelBold(true);
    box->setSelFontSize(14);
    f.select(box, 0, 10);
    FontChoice answer;
    answer.name = QStringLiteral("Serif Test");
    answer.italic = true;
    answer.color = QColor(Qt::red);
    f.prompter.expectFont(answer);
    f.run("mnuFont");
    const FontChoice& shown = f.prompter.fontRequests.first();
    QVERIFY(!shown.bold && !shown.size); // mixed: shown undetermined
    QCOMPARE(shown.italic, std::optional<bool>(false));
    QCOMPARE(box->SelFontName(), std::optional<QString>(QStringLiteral("Serif Test")));
    QCOMPARE(box->SelItalic(), std::optional<bool>(true));
    QVERIFY(!box->SelBold() && !box->SelFontSize()); // still mixed
    QCOMPARE(box->SelColor(), std::optional<qint32>(0x0000FF));
    f.prompter.expectFont(std::nullopt); // Cancel changes nothing
    f.run("mnuFont");
    QCOMPARE(box->SelItalic(), std::optional<bool>(true));
    QVERIFY2(f.prompter.done(), qPrintable(f.prompter.report()));
}

void TestFormatting::tabStops_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QList<int>>("stops");
    QTest::newRow("empty") << "" << QList<int>();
    QTest::newRow("three") << "4,8,12" << QList<int>{4, 8, 12};
    QTest::newRow("halves to even") << "2.5, 3.5" << QList<int>{2, 4};
    QTest::newRow("leading numbers") << "6cm,x" << QList<int>{6, 0};
}

void TestFormatting::tabStops()
{
    QFETCH(QString, setting);
    QFETCH(QList<int>, stops);
    QCOMPARE(TabStops::CreateTabStops(setting), stops);
}

void TestFormatting::tabStopsApplyToDocumentsInTheDefaultFont()
{
    Fixture f;
    f.store.write(Settings::General, QStringLiteral("Tabs"), QStringLiteral("4,8,12"));
    f.documents().CreateTabStops();
    frmText* plain = f.documents().NewDocument();
    const QList<QTextOption::Tab> tabs =
        plain->RichTextBox1->document()->defaultTextOption().tabs();
    QCOMPARE(tabs.size(), 3);
    QCOMPARE(Twips::fromPixels(tabs.at(2).position), 1440);
    QVERIFY(!plain->state().Dirty);
    f.commands()->OpenPath(
        f.home.write(QStringLiteral("t.rtf"), "{\\rtf1\\ansi\\tx300 a\\tab b\\par}"));
    QVERIFY(f.active()->RichTextBox1->document()->defaultTextOption().tabs().isEmpty());
}

QTEST_MAIN(TestFormatting)
#include "tst_formatting.moc"
