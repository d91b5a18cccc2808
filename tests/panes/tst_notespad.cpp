#include "panes/notescontroller.h"
#include "richtext/richtextbox.h"
#include "support/framefixture.h"

#include <QAction>
#include <QDir>
#include <QTest>
#include <QTextCharFormat>
#include <QTextCursor>

// The notes pad in the frame: what it loads, and that it keeps what was typed
// without asking, unless another program wrote the file or the disk refuses.
class TestNotesPad : public QObject {
    Q_OBJECT

    struct Fixture : FrameFixture {
        qint64 now = 0;
        NotesController* notes = frame.findChild<NotesController*>();
        explicit Fixture(bool fakeClock = true)
        {
            if (fakeClock)
                notes->setClock([this] { return now; });
        }
        frmText* pad() const { return notes->pad(); }
        void type(const QString& text)
        {
            pad()->RichTextBox1->setFocus();
            pad()->RichTextBox1->moveCursor(QTextCursor::End);
            QTest::keyClicks(pad()->RichTextBox1, text);
        }
        // Lets the clock pass and the autosave timer run.
        void wait(qint64 ms)
        {
            now += ms;
            QTest::qWait(int(qMin<qint64>(ms, 1100)));
        }
        bool saveEnabled() const { return action(QStringLiteral("mnuNotesSave"))->isEnabled(); }
        void report() { QVERIFY2(prompter.done(), qPrintable(prompter.report())); }
    };

private slots:
    void loadsByKindAndOpensMissingFilesEmpty();
    void typedNotesSaveThemselves();
    void theProgramsOwnClockSavesToo();
    void focusLossAndExitSaveWithoutAsking();
    void fileChangedElsewhereIsNotOverwritten();
    void failingSaveIsToldOnce();
    void whatOnlyAQuestionSettlesIsToldOnce();
};

void TestNotesPad::loadsByKindAndOpensMissingFilesEmpty()
{
    Fixture f;
    QVERIFY(!f.saveEnabled());
    const QString rtf =
        f.home.write(QStringLiteral("Notes.RTF"), "{\\rtf1\\ansi {\\b bold} plain}");
    f.notes->LoadNotesFile(rtf);
    frmText* pad = f.pad();
    QVERIFY(pad);
    QCOMPARE(pad->windowTitle(), rtf);
    QCOMPARE(pad->RichTextBox1->toPlainText(), QStringLiteral("bold plain"));
    QTextCursor cursor(pad->RichTextBox1->document());
    cursor.setPosition(1);
    QVERIFY(cursor.charFormat().fontWeight() > QFont::Normal);
    QVERIFY(f.saveEnabled());
    QVERIFY(!pad->state().Dirty);
    // The pad is not a document: Close all leaves it.
    QVERIFY(f.documentWindows().isEmpty());
    f.documents().closeAll();
    QVERIFY(f.pad());

    // Any other name is plain text, in the same window.
    const QString text = f.home.write(QStringLiteral("notes.txt"), "{\\rtf1 x}\n");
    f.notes->LoadNotesFile(text);
    QCOMPARE(f.pad(), pad);
    QCOMPARE(pad->RichTextBox1->toPlainText(), QStringLiteral("{\\rtf1 x}\n"));

    // A file that is not there yet: an empty pad under its name, changed, and
    // closing it untouched asks as any changed document does.
    const QString missing = f.home.path(QStringLiteral("new notes.rtf"));
    f.notes->LoadNotesFile(missing);
    QCOMPARE(pad->windowTitle(), missing);
    QVERIFY(pad->RichTextBox1->toPlainText().isEmpty());
    QVERIFY(pad->state().Dirty);
    f.prompter.expectMessage(frmText::changedQuestion(missing), Answer::No);
    pad->close();
    f.report();
    QTRY_VERIFY(!f.pad());
    QVERIFY(!f.saveEnabled());
    QVERIFY(!QFile::exists(missing));

    // A notes file that cannot be read leaves no pad.
    QDir().mkpath(f.home.path(QStringLiteral("folder.txt")));
    f.prompter.expectMessage(QStringLiteral("Error: ") + f.home.path(QStringLiteral("folder.txt")));
    f.notes->LoadNotesFile(f.home.path(QStringLiteral("folder.txt")));
    f.report();
    QTRY_VERIFY(!f.pad());
}

void TestNotesPad::typedNotesSaveThemselves()
{
    Fixture f;
    const QString path = f.home.write(QStringLiteral("notes.txt"), "old\n");
    f.notes->LoadNotesFile(path);
    f.type(QStringLiteral("abc"));
    QVERIFY(f.pad()->state().Dirty);
    // Not while typing pauses for less than a second...
    f.wait(500);
    QCOMPARE(TestHome::read(path), QByteArray("old\n"));
    // ...but once it has.
    f.wait(600);
    QTRY_COMPARE(TestHome::read(path), QByteArray("old\nabc"));
    QVERIFY(!f.pad()->state().Dirty);

    // Typing that never pauses is saved within ten seconds of its first key.
    QString typed;
    for (int i = 0; i < 40 && TestHome::read(path) == "old\nabc"; ++i) {
        f.now += 300;
        f.type(QStringLiteral("x"));
        typed += u'x';
        QTest::qWait(5);
    }
    QVERIFY(TestHome::read(path).startsWith("old\nabcx"));
    QVERIFY2(typed.size() >= 30 && typed.size() <= 35, qPrintable(typed));
    f.report();
}

void TestNotesPad::theProgramsOwnClockSavesToo()
{
    Fixture f(false);
    const QString path = f.home.write(QStringLiteral("notes.txt"), "old\n");
    f.notes->LoadNotesFile(path);
    f.type(QStringLiteral("new"));
    QTRY_COMPARE_WITH_TIMEOUT(TestHome::read(path), QByteArray("old\nnew"), 3000);
    f.report();
}

void TestNotesPad::focusLossAndExitSaveWithoutAsking()
{
    Fixture f;
    const QString path = f.home.write(QStringLiteral("notes.rtf"), "{\\rtf1\\ansi old}");
    f.notes->LoadNotesFile(path);
    f.frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.frame));
    f.type(QStringLiteral(" one"));
    f.pane()->List1->setFocus();
    QTRY_VERIFY(!f.pad()->state().Dirty);
    RichTextBox reread;
    QVERIFY(reread.LoadFile(path, DocumentKind::Rtf));
    QCOMPARE(reread.toPlainText(), QStringLiteral("old one"));

    // Closing the program saves the pad without a question.
    f.type(QStringLiteral(" two"));
    QVERIFY(f.frame.close());
    f.report();
    QVERIFY(reread.LoadFile(path, DocumentKind::Rtf));
    QCOMPARE(reread.toPlainText(), QStringLiteral("old one two"));
}

void TestNotesPad::fileChangedElsewhereIsNotOverwritten()
{
    Fixture f;
    const QString path = f.home.write(QStringLiteral("notes.txt"), "mine\n");
    const QString other = f.home.write(QStringLiteral("other.txt"), "other\n");
    f.notes->LoadNotesFile(path);
    f.home.write(QStringLiteral("notes.txt"), "theirs, longer\n");
    f.type(QStringLiteral("typed"));
    f.prompter.expectMessage(
        NotesController::notSavingText(path, NotesController::ChangedElsewhereText));
    f.wait(1000);
    QTRY_VERIFY(f.prompter.done());
    f.type(QStringLiteral(" more"));
    f.wait(1000);
    QTest::qWait(200);
    QCOMPARE(TestHome::read(path), QByteArray("theirs, longer\n"));
    QVERIFY(f.pad()->state().Dirty);

    // Loading other notes asks about the pad's changes; Cancel keeps them.
    f.prompter.expectMessage(frmText::changedQuestion(path), Answer::Cancel);
    f.notes->LoadNotesFile(other);
    f.report();
    QCOMPARE(f.pad()->state().FileName, path);
    QVERIFY(f.pad()->RichTextBox1->toPlainText().endsWith(QStringLiteral("typed more")));

    // Save Notes is the user's choice to replace the file; saving itself then resumes.
    f.router().run(MenuBars::Frame, QStringLiteral("mnuNotesSave"));
    QCOMPARE(TestHome::read(path), QByteArray("mine\ntyped more"));
    f.type(QStringLiteral("!"));
    f.wait(1000);
    QTRY_COMPARE(TestHome::read(path), QByteArray("mine\ntyped more!"));
    // Another change later is told again.
    f.home.write(QStringLiteral("notes.txt"), "theirs again, longer\n");
    f.type(QStringLiteral("?"));
    f.prompter.expectMessage(
        NotesController::notSavingText(path, NotesController::ChangedElsewhereText));
    f.wait(1000);
    QTRY_VERIFY(f.prompter.done());
    QCOMPARE(TestHome::read(path), QByteArray("theirs again, longer\n"));
    f.report();
}

void TestNotesPad::whatOnlyAQuestionSettlesIsToldOnce()
{
    Fixture f;
    // Formatting typed into plain-text notes.
    const QString path = f.home.write(QStringLiteral("notes.v1"), "plain\n");
    f.notes->LoadNotesFile(path);
    f.pad()->RichTextBox1->setFocus();
    f.pad()->RichTextBox1->moveCursor(QTextCursor::End);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    f.pad()->RichTextBox1->textCursor().insertText(QStringLiteral("bold"), bold);
    f.prompter.expectMessage(NotesController::notSavingText(path, NotesController::FormattingText));
    f.wait(1000);
    QTRY_VERIFY(f.prompter.done());
    f.type(QStringLiteral(" more"));
    f.wait(1000);
    QTest::qWait(200);
    f.report();
    QCOMPARE(TestHome::read(path), QByteArray("plain\n"));

    // A read-only notes file.
    const QString locked = f.home.write(QStringLiteral("locked.txt"), "locked\n");
    QVERIFY(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    f.prompter.expectMessage(frmText::changedQuestion(path), Answer::No);
    f.notes->LoadNotesFile(locked);
    f.type(QStringLiteral("x"));
    f.prompter.expectMessage(NotesController::notSavingText(locked, NotesController::ReadOnlyText));
    f.wait(1000);
    QTRY_VERIFY(f.prompter.done());
    QCOMPARE(TestHome::read(locked), QByteArray("locked\n"));
}

void TestNotesPad::failingSaveIsToldOnce()
{
    Fixture f;
    // New notes in a folder that is not there: the save cannot be made.
    const QString path = f.home.path(QStringLiteral("gone/notes.txt"));
    f.notes->LoadNotesFile(path);
    f.type(QStringLiteral("a"));
    f.prompter.expectMessage(QStringLiteral("File: ") + path);
    f.wait(1000);
    QTRY_VERIFY(f.prompter.done());
    f.type(QStringLiteral("b"));
    f.wait(1000);
    QTest::qWait(200);
    f.report();
    QVERIFY(f.pad()->state().Dirty);
    // The folder back: the next pause saves everything typed.
    QDir().mkpath(f.home.path(QStringLiteral("gone")));
    f.type(QStringLiteral("c"));
    f.wait(1000);
    QTRY_COMPARE(TestHome::read(path), QByteArray("abc"));
    QVERIFY(!f.pad()->state().Dirty);
}

QTEST_MAIN(TestNotesPad)
#include "tst_notespad.moc"
